// The manual page against the program: every option line key and every UCI
// option has an entry there, with the program's own type, range and default.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "driver/options.h"
#include "driver/settings.h"
#include "driver/uci.h"
#include "test_support.h"

namespace {

// A tagged paragraph (.TP) of the page: its tag as the reader sees it, and its
// "Default: X." and "Range: X." lines.
struct Entry {
    std::string section;
    std::string tag;
    std::string defaultValue;
    std::string range;
};

// Roff text as the reader sees it: font changes dropped, the escapes the
// page uses replaced.
std::string plainText(const std::string& roff) {
    std::string text;
    for (size_t i = 0; i < roff.size(); ++i) {
        if (roff[i] != '\\' || i + 1 == roff.size()) {
            text += roff[i];
            continue;
        }
        char next = roff[++i];
        if (next == 'f') {
            ++i;  // the font's one-letter name
        } else if (next == '-' || next == ' ' || next == 'e') {
            text += next == 'e' ? '\\' : next;
        } else if (next != '&' && next != 'c' && next != '%') {
            text += next;
        }
    }
    return text;
}

// A line's text; a macro's arguments are joined, by blanks for .B and .I,
// directly for the alternating fonts (.BR, .BI, ...).
std::string lineText(const std::string& line) {
    if (line.empty() || line[0] != '.') return plainText(line);
    std::istringstream in(line);
    std::string macro;
    in >> macro;
    const bool alternating =
        macro.size() == 3 && macro.find_first_not_of("BIR", 1) == std::string::npos;
    std::vector<std::string> arguments;
    char c;
    while (in >> std::ws && in.get(c)) {
        std::string argument;
        if (c == '"') {
            std::getline(in, argument, '"');
        } else {
            in >> argument;
            argument.insert(argument.begin(), c);
        }
        arguments.push_back(argument);
    }
    std::string text;
    for (const std::string& argument : arguments)
        text += (text.empty() || alternating ? "" : " ") + argument;
    return plainText(text);
}

std::vector<Entry> readManual() {
    std::ifstream file(VOSTREL_MANUAL);
    EXPECT_TRUE(file) << "no manual page at " VOSTREL_MANUAL;
    std::vector<Entry> entries;
    std::string line, section;
    bool tagNext = false, inEntry = false;
    while (std::getline(file, line)) {
        if (line.rfind(".SH ", 0) == 0) section = lineText(line);
        if (tagNext) {
            entries.push_back({section, lineText(line), "", ""});
            tagNext = false;
            inEntry = true;
            continue;
        }
        tagNext = line == ".TP";
        // A heading or a new paragraph ends the entry.
        if (tagNext || line.rfind(".S", 0) == 0 || line == ".PP" || line.rfind(".IP", 0) == 0)
            inEntry = false;
        if (!inEntry) continue;
        const std::string text = lineText(line);
        for (const char* label : {"Default: ", "Range: "}) {
            if (text.rfind(label, 0) != 0 || text.back() != '.') continue;
            std::string& field =
                label[0] == 'D' ? entries.back().defaultValue : entries.back().range;
            field = text.substr(std::strlen(label), text.size() - std::strlen(label) - 1);
        }
    }
    return entries;
}

// The names of a tag: "memory = N" names memory, "Hash (spin)" Hash, and a
// list "egtb_path, egbb_cache" each of its items.
std::vector<std::string> tagNames(const std::string& tag) {
    std::vector<std::string> names;
    size_t start = 0;
    for (;;) {
        size_t comma = tag.find(", ", start);
        std::string item = tag.substr(start, comma - start);
        names.push_back(item.substr(0, std::min(item.find(" ="), item.find(" ("))));
        if (comma == std::string::npos) return names;
        start = comma + 2;
    }
}

const Entry* findEntry(const std::vector<Entry>& entries, const std::string& name) {
    for (const Entry& entry : entries) {
        if (entry.section != "SETTINGS") continue;
        for (const std::string& candidate : tagNames(entry.tag))
            if (candidate == name) return &entry;
    }
    return nullptr;
}

// The entries of SETTINGS whose tag has the form (" = " for option lines, " ("
// for UCI options) name only what the program takes.
void expectOnlyKnown(const std::vector<Entry>& entries, const char* form,
                     const std::set<std::string>& known) {
    for (const Entry& entry : entries) {
        if (entry.section != "SETTINGS" || entry.tag.find(form) == std::string::npos) continue;
        EXPECT_TRUE(known.count(tagNames(entry.tag)[0]))
            << "the manual page has an entry for " << entry.tag << ", which the program lacks";
    }
}

std::string trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace

TEST(Manual, NamesThisVersion) {
    std::ifstream file(VOSTREL_MANUAL);
    std::string line;
    while (std::getline(file, line))
        if (line.rfind(".TH", 0) == 0) break;
    EXPECT_NE(line.find(std::string("\"") + EngineName + "\""), std::string::npos)
        << "the manual page's title line does not name " << EngineName << ": " << line;
}

TEST(Manual, EveryOptionKeyWithItsDefault) {
    const std::vector<Entry> entries = readManual();
    Settings defaults;
    setDefaultSettings(defaults);
    std::set<std::string> known;
    for (int i = 0; i < optionKeyCount(); ++i) {
        const std::string key = trimmed(optionKeyName(i));
        known.insert(key);
        char value[64];
        formatOptionValue(defaults, i, value, int(sizeof value));
        const Entry* entry = findEntry(entries, key);
        if (!entry) {
            ADD_FAILURE() << "the manual page has no entry for the option " << key;
        } else if (value[0]) {
            EXPECT_EQ(entry->tag.rfind(key + " = ", 0), 0u) << entry->tag;
            EXPECT_EQ(entry->defaultValue, value) << "the default of " << key;
        }
    }
    // The chess server keys are read outside the table.
    const char* channels[] = {"none", "whisper", "kibitz"};
    const std::pair<const char*, int> servers[] = {{"server_human", defaults.serverHuman},
                                                   {"server_computer", defaults.serverComputer}};
    for (const auto& [key, channel] : servers) {
        known.insert(key);
        const Entry* entry = findEntry(entries, key);
        if (!entry) {
            ADD_FAILURE() << "the manual page has no entry for the option " << key;
            continue;
        }
        EXPECT_EQ(entry->defaultValue, channels[channel]) << "the default of " << key;
    }
    expectOnlyKnown(entries, " = ", known);
}

TEST(Manual, EveryUciOptionWithItsTypeRangeAndDefault) {
    const std::vector<Entry> entries = readManual();
    // The program's own list, from the compiled-in defaults.
    const Settings saved = engine.settings;
    setDefaultSettings(engine.settings);
    std::istringstream answer(stdoutOf([] { runUciCommand(engine, "uci"); }));
    engine.settings = saved;
    std::set<std::string> listed;
    std::string line;
    int count = 0;
    while (std::getline(answer, line)) {
        if (line.rfind("option name ", 0) != 0) continue;
        ++count;
        // option name NAME type TYPE [default VALUE] [min LOW max HIGH]
        const size_t typeAt = line.find(" type ");
        const std::string name = line.substr(12, typeAt - 12);
        std::istringstream rest(line.substr(typeAt + 6));
        std::string type, word, value, low, high;
        rest >> type;
        while (rest >> word) {
            if (word == "min") {
                rest >> low >> word >> high;
            } else if (word != "default") {
                value += (value.empty() ? "" : " ") + word;
            }
        }
        listed.insert(name);
        const Entry* entry = findEntry(entries, name);
        if (!entry) {
            ADD_FAILURE() << "the manual page has no entry for the UCI option " << name;
            continue;
        }
        EXPECT_EQ(entry->tag, name + " (" + type + ")");
        if (!value.empty()) {
            EXPECT_EQ(entry->defaultValue, value) << "the default of " << name;
        }
        if (!low.empty()) {
            EXPECT_EQ(entry->range, low + " to " + high) << "the range of " << name;
        }
    }
    ASSERT_GT(count, 0) << "no options in the answer to uci";
    expectOnlyKnown(entries, " (", listed);
}
