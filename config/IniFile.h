// Our reader of the settings file. It reads a file the way the system's
// private-profile reader does for GetPrivateProfileStringA with a 2048-byte buffer
// in code page 932, so that a settings file means the same to us as to Windows:
// - lines end at CR, LF or both; blanks (tab, LF, VT, FF, CR, space and the DOS
//   end-of-file mark 0x1A) around lines, section names, key names and values go;
// - "[name]" starts a section, up to the line's last ']'; a line without ']' is an
//   ordinary line;
// - a line is split at its first '='; a line without '=' names a key with no value,
//   which reads as absent; a line starting with ';' is no exception: it merely names
//   a key nobody asks for;
// - names match without regard to ASCII case; only the first section of a name is
//   searched and the first key of a name in it counts;
// - names and values end at a NUL byte;
// - a value enclosed in matching double or single quotes loses them;
// - a value is cut to 2047 bytes;
// - a file starting with the UTF-16 LE byte-order mark is UTF-16 text.
// Every step is aware of double-byte characters: a second byte is never taken for
// '[', ']', a line break or an ASCII letter. Unlike the system, which goes through
// UTF-16, we hand on the bytes as stored: a lead byte with a byte that cannot follow
// it stays as it is instead of becoming "・", and of the characters that code page 932
// holds twice neither is swapped for the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Converts UTF-16 text to code page 932 the way the system does.
using Utf16Converter = std::function<std::string(const std::u16string&)>;

class IniFile {
public:
    // Longest value the system's reader returns through a 2048-byte buffer.
    static constexpr size_t kMaxValueBytes = 2047;

    // `bytes` is the file as stored: code page 932 text, or UTF-16 LE after its
    // byte-order mark, which `fromUtf16` turns into code page 932 first.
    IniFile(const std::string& bytes, const Utf16Converter& fromUtf16);

    // The value of `key` in `section`, or `def` when there is none.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Decimal with an optional sign, or hexadecimal after "0x", "0X" or "$" (up to
    // 32 bits, so "$FFFFFFFF" is -1). `def` when the value is absent, empty, not a
    // number or out of range. Blanks around the value are gone already; blanks kept
    // inside quotes make it no number.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
    // A number other than 0 is true; `def` when the value is no number.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // One section as written, with the names of its keys in file order (a key without
    // '=' included). A section name that occurs again gets an entry of its own.
    struct SectionKeys {
        std::string name;
        std::vector<std::string> keys;
        // For each key, whether its line has '='.
        std::vector<bool> hasValue;
    };
    // Every section in file order; the lines before the first header come first, as
    // a section without a name, when they name any key.
    std::vector<SectionKeys> ListSections() const;

    // Whether two section or key names are the same to the reader: ASCII letters match
    // without regard to case, second bytes of double-byte characters never fold.
    static bool SameName(const std::string& a, const std::string& b);

private:
    struct Entry {
        std::string name;
        bool hasValue = false;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    void ParseLine(const std::string& line);

    // The lines before the first section header form a section without a name.
    std::vector<Section> sections_{1};
};
