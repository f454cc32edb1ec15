// The manual page against the program: every option line key and every UCI
// option has an entry there, with the program's own type, range and default.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/options.h"
#include "driver/settings.h"
#include "driver/uci.h"
#include "test_support.h"

namespace {

// A tagged paragraph (.TP): its tag line as written, and the text of its
// "Default: X." and "Range: X." lines with "\-" read as "-".
struct Entry {
    std::string tag, defaultValue, range;
};

std::vector<Entry> readManual() {
    std::ifstream file(VOSTREL_MANUAL);
    EXPECT_TRUE(file) << "no manual page at " VOSTREL_MANUAL;
    std::vector<Entry> entries;
    std::string line;
    bool tagNext = false;
    while (std::getline(file, line)) {
        if (tagNext) entries.push_back({line, "", ""});
        tagNext = line == ".TP";
        for (size_t at; (at = line.find("\\-")) != std::string::npos;) line.erase(at, 1);
        for (const char* label : {"Default: ", "Range: "}) {
            const size_t length = std::string(label).size();
            if (entries.empty() || line.rfind(label, 0) != 0 || line.back() != '.') continue;
            (label[0] == 'D' ? entries.back().defaultValue : entries.back().range) =
                line.substr(length, line.size() - length - 1);
        }
    }
    return entries;
}

// The entry of an option line key (".BI "key = " ..." or a ".B" list of keys
// taken and ignored) or of a UCI option (".B Name (type)").
const Entry* findEntry(const std::vector<Entry>& entries, const std::string& tag) {
    for (const Entry& entry : entries) {
        if (entry.tag.rfind(tag, 0) == 0) return &entry;
        if (entry.tag.rfind(".B ", 0) == 0 &&
            (", " + entry.tag.substr(3) + ",").find(" " + tag + ",") != std::string::npos)
            return &entry;
    }
    return nullptr;
}

}  // namespace

TEST(Manual, EveryOptionKeyWithItsDefault) {
    const std::vector<Entry> entries = readManual();
    Settings defaults;
    setDefaultSettings(defaults);
    auto check = [&](std::string key, const std::string& value) {
        while (key.back() == ' ') key.pop_back();
        const Entry* entry = findEntry(entries, value.empty() ? key : ".BI \"" + key + " = \"");
        if (!entry) {
            ADD_FAILURE() << "the manual page has no entry for the option " << key;
        } else if (!value.empty()) {
            EXPECT_EQ(entry->defaultValue, value) << "the default of " << key;
        }
    };
    for (int i = 0; i < optionKeyCount(); ++i) {
        char value[64];
        formatOptionValue(defaults, i, value, int(sizeof value));
        check(optionKeyName(i), value);
    }
    // The chess server keys are read outside the table.
    const char* channels[] = {"none", "whisper", "kibitz"};
    check("server_human", channels[defaults.serverHuman]);
    check("server_computer", channels[defaults.serverComputer]);
    // No entry for a key the program lacks.
    std::string keys = " server_human server_computer ";
    for (int i = 0; i < optionKeyCount(); ++i) keys += std::string(optionKeyName(i)) + " ";
    for (const Entry& entry : entries) {
        if (entry.tag.rfind(".BI \"", 0) != 0 || entry.tag.find(" = \"") == std::string::npos)
            continue;
        const std::string key = entry.tag.substr(5, entry.tag.find(" = \"") - 5);
        EXPECT_NE(keys.find(" " + key + " "), std::string::npos) << "no such option: " << key;
    }
}

TEST(Manual, NamesThisVersion) {
    std::ifstream file(VOSTREL_MANUAL);
    std::string title;
    while (std::getline(file, title) && title.rfind(".TH", 0) != 0) {
    }
    EXPECT_NE(title.find(std::string("\"") + EngineName + "\""), std::string::npos) << title;
}

TEST(Manual, EveryUciOptionWithItsTypeRangeAndDefault) {
    const std::vector<Entry> entries = readManual();
    const Settings saved = engine.settings;
    setDefaultSettings(engine.settings);
    std::istringstream answer(stdoutOf([] { runUciCommand(engine, "uci"); }));
    engine.settings = saved;
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
        const Entry* entry = findEntry(entries, ".B " + name + " (" + type + ")");
        if (!entry) {
            ADD_FAILURE() << "the manual page has no entry for the UCI option " << name;
            continue;
        }
        EXPECT_TRUE(value.empty() || entry->defaultValue == value) << "the default of " << name;
        EXPECT_TRUE(low.empty() || entry->range == low + " to " + high) << "the range of " << name;
    }
    EXPECT_GT(count, 0) << "no options in the answer to uci";
}
