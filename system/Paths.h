// Path text routines over code page 932 bytes. A separator is '\' or '/'; the
// second byte of a double-byte character never counts as one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Whether the text's last character is a separator; `length` gets its length in bytes.
bool EndsWithSeparator(const std::string& text, size_t* length = nullptr);
// Appends '\' unless the text ends in a separator; the empty text becomes "\". A lead
// byte at the end without its second byte is dropped first.
std::string AddTrailingSeparator(std::string text);
// Removes one trailing separator, but never from a drive root or a lone separator.
std::string RemoveTrailingSeparator(std::string text);
// The part after the last separator.
std::string ExtractNamePart(const std::string& text);
// The part up to and including the last separator.
std::string ExtractFolderPart(const std::string& text);

// What a path starts from.
enum class PathRoot {
    None,           // nothing: a relative path
    Separator,      // "\": the root of the current drive
    DriveRelative,  // "X:" without a separator: the current folder of drive X
    Drive,          // "X:\"
    Share,          // "\\server\share\", or as much of it as the path has
    Device,         // "\\?\" or "\\.\": the rest is taken literally
};

// Bytes of the part of a path that exists without being created: "X:\", "X:", "\",
// or a network path's "\\server\share\" (a device path's "\\?\X:\" likewise), each
// with its separator when it has one; 0 for a relative path. X is an ASCII letter.
// `kind`, when given, gets what the path starts from.
size_t RootLength(const std::string& path, PathRoot* kind = nullptr);
PathRoot RootKind(const std::string& path);
// A drive path ("C:\..." or "C:/...") or a network path ("\\server\..."): not
// resolved against whatever folder happens to be current.
bool IsAbsolutePath(const std::string& path);
// Whether the path is a root and nothing more ("C:\", "D:/", "\\server\share\", with any
// number of separators after it): a whole drive or share, never one program's folder.
bool IsRootOnly(const std::string& path);

// The parts of `text` between its separators, empty ones included.
std::vector<std::string> SplitNames(const std::string& text);
// Whether the text holds a control byte (below 0x20, or 0x7F).
bool HasControlByte(const std::string& text);
// Whether a text appended to a folder (a sub folder, a shortcut's name) stays in that
// folder: no control byte, no drive or leading separator, and no component of dots and
// blanks only, which the system may read as "..".
bool StaysInsideFolder(const std::string& relative);
// Whether a text is one name: no control byte and no separator.
bool IsSingleName(const std::string& name);

// Replaces the extension of the name part (".exe" -> ".INI"), or appends `ext`.
std::string ReplaceExtension(const std::string& path, const std::string& ext);
