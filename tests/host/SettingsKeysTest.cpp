#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/SettingsKeys.h"

namespace {

// README.md's text is UTF-8; the program's is code page 932.
std::string Cp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string in = utf8;
    std::string out(utf8.size() * 2, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    return ok ? std::string(out.data(), outPtr) : "(not code page 932: " + utf8 + ")";
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

std::string WithoutBackticks(const std::string& text) {
    const std::string trimmed = Trim(text);
    return trimmed.size() >= 2 && trimmed.front() == '`' && trimmed.back() == '`'
               ? trimmed.substr(1, trimmed.size() - 2)
               : trimmed;
}

// "a, b" -> {"a", "b"}; the empty cell is one empty item.
std::vector<std::string> Items(const std::string& cell) {
    std::vector<std::string> items;
    std::istringstream in(cell);
    for (std::string item; std::getline(in, item, ',');) {
        items.push_back(Trim(item));
    }
    if (items.empty()) {
        items.push_back(std::string());
    }
    return items;
}

const char* KindName(SettingKind kind) {
    switch (kind) {
        case SettingKind::Text:
            return "text";
        case SettingKind::Number:
            return "number";
        case SettingKind::Flag:
            return "flag";
    }
    return "";
}

// "[Section] Key kind = default", the default as the loader takes it from the table.
std::string Describe(const std::string& section, const std::string& key, const std::string& kind,
                     const std::string& def) {
    return "[" + section + "] " + key + " " + kind + " = " + def;
}

std::vector<std::string> TableKeys() {
    std::vector<std::string> keys;
    for (const SettingsKey& key : kSettingsKeys) {
        const std::string def =
            key.kind == SettingKind::Text ? key.text : std::to_string(key.number);
        keys.push_back(Describe(key.section, key.name, KindName(key.kind), def));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// A default cell: "empty" or nothing for the empty text, a number in C notation, a
// text, or another key in backticks, which the loader puts in place of the empty
// value after reading.
std::string DocumentedDefault(const std::string& cell, const std::string& kind) {
    if (cell.empty() || cell == "empty") {
        return std::string();
    }
    if (cell.front() == '`') {
        const std::string other = WithoutBackticks(cell);
        return FindSettingsKey(other) != nullptr ? std::string() : "(no key " + other + ")";
    }
    if (kind == "text") {
        return Cp932(cell);
    }
    char* end = nullptr;
    const long number = std::strtol(cell.c_str(), &end, 0);
    return *end == '\0' ? std::to_string(number) : "(not a number: " + cell + ")";
}

// The rows of the table under "| Section | Key | Kind | Default |"; a row may name
// several keys of one section, with a kind for each or one for all, and a default
// for each.
std::vector<std::string> ReadmeKeys() {
    std::ifstream readme(SETUP_README_PATH);
    std::vector<std::string> keys;
    bool inTable = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("| Section | Key | Kind | Default |", 0) == 0) {
            inTable = true;
            continue;
        }
        if (!inTable || line.rfind("|---", 0) == 0) {
            continue;
        }
        if (line.empty() || line[0] != '|') {
            break;
        }
        std::vector<std::string> cells;
        std::istringstream row(line.substr(1));
        for (std::string cell; std::getline(row, cell, '|');) {
            cells.push_back(Trim(cell));
        }
        if (cells.size() < 4) {
            ADD_FAILURE() << "short row: " << line;
            continue;
        }
        const std::vector<std::string> names = Items(cells[1]);
        const std::vector<std::string> kinds = Items(cells[2]);
        const std::vector<std::string> defaults = Items(cells[3]);
        if ((kinds.size() != 1 && kinds.size() != names.size()) ||
            defaults.size() != names.size()) {
            ADD_FAILURE() << "kinds or defaults do not match the keys: " << line;
            continue;
        }
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string& kind = kinds.size() == 1 ? kinds[0] : kinds[i];
            keys.push_back(Describe(WithoutBackticks(cells[0]), WithoutBackticks(names[i]), kind,
                                    DocumentedDefault(defaults[i], kind)));
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// What distributors read about the settings file is what the loader reads.
TEST(SettingsKeys, ReadmeTableNamesEveryKeyWithItsKindAndDefault) {
    const std::vector<std::string> documented = ReadmeKeys();
    ASSERT_FALSE(documented.empty()) << "no table of settings keys in " << SETUP_README_PATH;
    EXPECT_EQ(TableKeys(), documented);
}

}  // namespace
