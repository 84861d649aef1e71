#include "config/IniFile.h"

#include "system/Cp932.h"

namespace {

// The blanks the system's reader trims: tab to carriage return, the DOS end-of-file
// mark that some media carry, and space. None of them is a lead or a trail byte.
bool IsBlank(char c) {
    return (c >= '\t' && c <= '\r') || c == '\x1A' || c == ' ';
}

// Position of the first (or the last) character `c` in `text`, npos when there is
// none; `c` is a single-byte character, never found in place of a second byte.
size_t FindChar(const std::string& text, char c, bool last = false) {
    size_t found = std::string::npos;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        if (text[i] == c) {
            found = i;
            if (!last) {
                break;
            }
        }
    }
    return found;
}

std::string Trim(const std::string& text) {
    size_t first = std::string::npos;
    size_t end = 0;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        if (!IsBlank(text[i])) {
            if (first == std::string::npos) {
                first = i;
            }
            end = i + CharLength(text, i);
        }
    }
    return first == std::string::npos ? std::string() : text.substr(first, end - first);
}

// The system hands names and values on as C strings: the first NUL ends them, also
// one right after a lead byte (a NUL is never a second byte).
std::string CutAtNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

std::string FoldCase(const std::string& text) {
    std::string folded = text;
    for (size_t i = 0; i < folded.size(); i += CharLength(folded, i)) {
        if (folded[i] >= 'a' && folded[i] <= 'z') {
            folded[i] = static_cast<char>(folded[i] - 'a' + 'A');
        }
    }
    return folded;
}

std::string DecodeText(const std::string& bytes, const Utf16Converter& fromUtf16) {
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) {
        return bytes;
    }
    std::u16string wide;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    return fromUtf16(wide);
}

// Cuts a value to what fits the system's 2048-byte buffer. The system converts the
// value back from UTF-16 into that buffer whole characters at a time, so a
// double-byte character that would be split is left out entirely.
std::string CutToBuffer(const std::string& value) {
    size_t end = 0;
    while (end < value.size() && end + CharLength(value, end) <= IniFile::kMaxValueBytes) {
        end += CharLength(value, end);
    }
    return value.substr(0, end);
}

int DigitValue(char c, int base) {
    int digit = 99;
    if (c >= '0' && c <= '9') {
        digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
    }
    return digit < base ? digit : -1;
}

bool ParseInteger(const std::string& text, int32_t& value) {
    int base = 10;
    size_t start = 0;
    bool negative = false;
    if (text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0) {
        base = 16;
        start = 2;
    } else if (text.compare(0, 1, "$") == 0) {
        base = 16;
        start = 1;
    } else if (text.compare(0, 1, "+") == 0 || text.compare(0, 1, "-") == 0) {
        negative = text[0] == '-';
        start = 1;
    }
    if (start == text.size()) {
        return false;
    }
    uint64_t magnitude = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) {
            return false;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > UINT32_MAX) {
            return false;
        }
    }
    if (base == 16) {
        // Eight hex digits fill the 32 bits, sign bit included.
        value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
        return true;
    }
    if (magnitude > (negative ? uint64_t{1} << 31 : INT32_MAX)) {
        return false;
    }
    value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                          : static_cast<int64_t>(magnitude));
    return true;
}

}  // namespace

IniFile::IniFile(const std::string& bytes, const Utf16Converter& fromUtf16) {
    const std::string text = DecodeText(bytes, fromUtf16);
    size_t lineStart = 0;
    for (size_t i = 0; i <= text.size(); i += i < text.size() ? CharLength(text, i) : 1) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            ParseLine(text.substr(lineStart, i - lineStart));
            lineStart = i + 1;
        }
    }
}

void IniFile::ParseLine(const std::string& rawLine) {
    const std::string line = Trim(rawLine);
    if (line.empty()) {
        return;
    }
    if (line[0] == '[') {
        const size_t close = FindChar(line, ']', true);
        if (close != std::string::npos) {
            sections_.push_back(Section{CutAtNul(Trim(line.substr(1, close - 1))), {}});
            return;
        }
    }
    Entry entry;
    const size_t equals = FindChar(line, '=');
    entry.hasValue = equals != std::string::npos;
    entry.name = CutAtNul(Trim(line.substr(0, equals)));
    if (entry.hasValue) {
        entry.value = CutAtNul(Trim(line.substr(equals + 1)));
    }
    if (!entry.name.empty()) {
        sections_.back().entries.push_back(entry);
    }
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    for (const Section& s : sections_) {
        if (!SameName(s.name, section)) {
            continue;
        }
        for (const Entry& e : s.entries) {
            if (!SameName(e.name, key)) {
                continue;
            }
            if (!e.hasValue) {
                return def;
            }
            std::string value = e.value;
            if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
                value.back() == value[0]) {
                value = value.substr(1, value.size() - 2);
            }
            return CutToBuffer(value);
        }
        return def;
    }
    return def;
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int32_t def) const {
    int32_t value = 0;
    return ParseInteger(ReadString(section, key, std::string()), value) ? value : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::vector<IniFile::SectionKeys> IniFile::ListSections() const {
    std::vector<SectionKeys> list;
    for (size_t i = 0; i < sections_.size(); ++i) {
        if (i == 0 && sections_[i].entries.empty()) {
            continue;
        }
        SectionKeys section{sections_[i].name, {}, {}};
        for (const Entry& e : sections_[i].entries) {
            section.keys.push_back(e.name);
            section.hasValue.push_back(e.hasValue);
        }
        list.push_back(section);
    }
    return list;
}

bool IniFile::SameName(const std::string& a, const std::string& b) {
    return FoldCase(a) == FoldCase(b);
}
