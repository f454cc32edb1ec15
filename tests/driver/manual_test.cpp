// The manual page against the program: every option line key and every UCI
// option has an entry there, with the program's own type, range and default.
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "driver/options.h"
#include "driver/settings.h"
#include "driver/uci.h"
#include "test_support.h"

namespace {

// The text before the first tagged paragraph (.TP), then each paragraph from
// its tag line on, with "\-" read as "-".
std::vector<std::string> readManual() {
    std::ifstream file(VOSTREL_MANUAL);
    EXPECT_TRUE(file) << "no manual page at " VOSTREL_MANUAL;
    std::vector<std::string> parts(1);
    for (std::string line; std::getline(file, line);) {
        for (size_t at; (at = line.find("\\-")) != std::string::npos;) line.erase(at, 1);
        if (line == ".TP")
            parts.emplace_back();
        else
            parts.back() += line + "\n";
    }
    return parts;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The entry of an option line key (".BI "key = " ..." or a ".B" list of keys
// taken and ignored) or of a UCI option (".B Name (type)").
const std::string* findEntry(const std::vector<std::string>& entries, const std::string& tag) {
    for (size_t i = 1; i < entries.size(); ++i) {
        const std::string head = entries[i].substr(0, entries[i].find('\n'));
        if (head.rfind(tag, 0) == 0 ||
            (head.rfind(".B ", 0) == 0 && has(", " + head.substr(3) + ",", " " + tag + ",")))
            return &entries[i];
    }
    return nullptr;
}

}  // namespace

TEST(Manual, EveryOptionKeyWithItsDefaultAndThisVersion) {
    const std::vector<std::string> entries = readManual();
    const std::string& head = entries[0];
    const size_t title = head.find(".TH ");
    EXPECT_TRUE(has(head.substr(title, head.find('\n', title) - title),
                    std::string("\"") + EngineName + "\""));
    Settings defaults;
    setDefaultSettings(defaults);
    std::string keys = " ";
    auto check = [&](std::string key, const std::string& value) {
        while (key.back() == ' ') key.pop_back();
        keys += key + " ";
        const std::string* entry =
            findEntry(entries, value.empty() ? key : ".BI \"" + key + " = \"");
        ASSERT_TRUE(entry) << "the manual page has no entry for the option " << key;
        EXPECT_TRUE(value.empty() || has(*entry, "\nDefault: " + value + ".\n"))
            << "the default of " << key;
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
    for (const std::string& entry : entries) {
        const size_t end = entry.find(" = \"");
        if (entry.rfind(".BI \"", 0) != 0 || end > entry.find('\n')) continue;
        const std::string key(entry, 5, end - 5);
        EXPECT_TRUE(has(keys, " " + key + " ")) << "no such option: " << key;
    }
}

TEST(Manual, EveryUciOptionWithItsTypeRangeAndDefault) {
    const std::vector<std::string> entries = readManual();
    const Settings saved = engine.settings;
    setDefaultSettings(engine.settings);
    std::istringstream answer(stdoutOf([] { runUciCommand(engine, "uci"); }));
    engine.settings = saved;
    int count = 0;
    for (std::string line; std::getline(answer, line);) {
        if (line.rfind("option name ", 0) != 0) continue;
        ++count;
        // option name NAME type TYPE [default VALUE] [min LOW max HIGH]
        static const std::regex option(
            "option name (.+) type (\\w+)(?: default ?(.*?))?"
            "(?: min (\\S+) max (\\S+))?");
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, option)) << line;
        const std::string name = m[1], value = m[3], range = m[4].str() + " to " + m[5].str();
        const std::string* entry = findEntry(entries, ".B " + name + " (" + m[2].str() + ")");
        ASSERT_TRUE(entry) << "the manual page has no entry for the UCI option " << name;
        EXPECT_TRUE(value.empty() || has(*entry, "\nDefault: " + value + ".\n")) << name;
        EXPECT_TRUE(!m[4].matched || has(*entry, "\nRange: " + range + ".\n")) << name;
    }
    EXPECT_GT(count, 0) << "no options in the answer to uci";
}
