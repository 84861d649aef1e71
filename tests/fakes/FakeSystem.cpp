#include "tests/fakes/FakeSystem.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <algorithm>
#include <cstring>

#include "system/Cp932.h"
#include "system/Paths.h"
#include "system/ReparseTags.h"

namespace {

// Lower-cases ASCII letters, leaving the second bytes of double-byte characters.
std::string FoldCase(const std::string& text) {
    std::string folded = text;
    for (size_t i = 0; i < folded.size(); i += CharLength(folded, i)) {
        const unsigned char b = static_cast<unsigned char>(folded[i]);
        if (b >= 'A' && b <= 'Z') {
            folded[i] = static_cast<char>(b - 'A' + 'a');
        }
    }
    return folded;
}

// Splits a path at its separators (double-byte aware), dropping empty parts.
std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i < path.size(); i += CharLength(path, i)) {
        if (IsSeparator(path[i])) {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part.append(path, i, CharLength(path, i));
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts, size_t count) {
    std::string path;
    for (size_t i = 0; i < count; ++i) {
        path += (i == 0 ? "" : "\\") + parts[i];
    }
    return path;
}

bool IsDriveRoot(const std::string& key) {
    return key.size() == 2 && key[1] == ':';
}

class FakeInputFile : public InputFile {
public:
    FakeInputFile(FakeSystem& system, std::string path, std::string data)
        : system_(system), path_(std::move(path)), data_(std::move(data)) {}
    bool Read(void* buffer, uint32_t size, uint32_t& got) override {
        got = 0;
        if (system_.Fails(FakeOperation::Read, path_)) {
            return false;
        }
        got = static_cast<uint32_t>(std::min<size_t>(size, data_.size() - offset_));
        std::memcpy(buffer, data_.data() + offset_, got);
        offset_ += got;
        return true;
    }
    int64_t Size() override {
        return system_.Fails(FakeOperation::Size, path_) ? -1 : static_cast<int64_t>(data_.size());
    }

private:
    FakeSystem& system_;
    std::string path_;
    std::string data_;
    size_t offset_ = 0;
};

class FakeOutputFile : public OutputFile {
public:
    FakeOutputFile(FakeSystem& system, std::string path)
        : system_(system), path_(std::move(path)) {}
    bool Write(const void* buffer, uint32_t size, uint32_t& written) override {
        return system_.WriteToFile(path_, buffer, size, written);
    }
    bool Discard() override { return system_.RemoveFile(path_); }
    bool Replace(const std::string& target) override {
        return system_.ReplaceWithFile(path_, target);
    }

private:
    FakeSystem& system_;
    std::string path_;
};

class FakeHeldFolder : public HeldFolder {
public:
    FakeHeldFolder(FakeSystem& system, std::string key) : system_(system), key_(std::move(key)) {}
    bool RemoveInside(const std::string& path, bool folder) override {
        return system_.RemoveInsideHeld(key_, path, folder);
    }

private:
    FakeSystem& system_;
    std::string key_;
};

}  // namespace

FakeSystem::FakeSystem() {
    AddDrive('C');
    AddDrive('D');
}

const char* OperationName(FakeOperation operation) {
    static const char* const kNames[] = {
        "OpenForRead",
        "OpenPlainFileForRead",
        "CreateNewForWrite",
        "FileExists",
        "IsReadOnlyFile",
        "ReplaceExistingFile",
        "FolderExists",
        "FindFiles",
        "CreateFolderTree",
        "RemoveFile",
        "RemoveEmptyFolder",
        "IsPlainFolder",
        "HoldFolder",
        "DiskFreeBytes",
        "ReadUserString",
        "ReadMachineString",
        "WriteUserString",
        "WriteMachineString",
        "DeleteUserKey",
        "DeleteMachineKey",
        "ShellFolderPath",
        "ShellFolderLocation",
        "WriteShellLink",
        "ShellOpen",
        "Read",
        "Size",
        "Write",
    };
    return kNames[static_cast<int>(operation)];
}

bool FakeSystem::Fails(FakeOperation operation, const std::string& path) {
    ++operationCount;
    operationLog.push_back(std::string(OperationName(operation)) + " " + path);
    return operationCount == failAtOperation || (failIf && failIf(operation, path));
}

bool FakeSystem::WriteToFile(const std::string& path, const void* buffer, uint32_t size,
                             uint32_t& written) {
    written = 0;
    auto node = nodes.find(Key(path));
    if (node == nodes.end() || Fails(FakeOperation::Write, path)) {
        return false;
    }
    uint32_t fits = size;
    if (diskSpaceLeft >= 0 && diskSpaceLeft < size) {
        fits = static_cast<uint32_t>(diskSpaceLeft);
    }
    node->second.data.append(static_cast<const char*>(buffer), fits);
    if (diskSpaceLeft >= 0) {
        diskSpaceLeft -= fits;
    }
    written = fits;
    return fits == size;
}

std::string FakeSystem::Key(const std::string& path) const {
    // "\\?\X:\..." and "\\.\X:\..." name the drive path after the prefix.
    const bool devicePrefix = path.size() >= 6 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
                              (path[2] == '?' || path[2] == '.') && IsSeparator(path[3]) &&
                              path[5] == ':';
    if (devicePrefix) {
        return Key(path.substr(4));
    }
    std::string full = path;
    const bool unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    const bool hasDrive = path.size() >= 2 && path[1] == ':';
    if (!unc && !hasDrive) {
        full = (!path.empty() && IsSeparator(path[0]) ? currentFolder.substr(0, 2)
                                                      : AddTrailingSeparator(currentFolder)) +
               path;
    }
    std::vector<std::string> parts;
    for (const std::string& part : SplitPath(FoldCase(full))) {
        if (part == "..") {
            // Never above the drive, or the share of a network path.
            if (parts.size() > (unc ? 2u : 1u)) {
                parts.pop_back();
            }
        } else if (part != ".") {
            parts.push_back(part);
        }
    }
    // A junction on the way leads into its target; the last part is the path's own.
    const std::string prefix = unc ? "\\\\" : "";
    for (size_t n = 1; n < parts.size(); ++n) {
        auto junction = junctions.find(prefix + JoinPath(parts, n));
        if (junction != junctions.end()) {
            std::vector<std::string> resolved = SplitPath(junction->second);
            const size_t targetLength = resolved.size();
            resolved.insert(resolved.end(), parts.begin() + static_cast<std::ptrdiff_t>(n),
                            parts.end());
            parts = resolved;
            n = targetLength;
        }
    }
    return prefix + JoinPath(parts, parts.size());
}

// ---- Files and folders ----

void FakeSystem::AddDrive(char letter) {
    const std::string root = std::string(1, letter) + ":";
    nodes[Key(root)] = Node{root, true, false, {}};
}

void FakeSystem::AddFolder(const std::string& path) {
    const std::vector<std::string> parts = SplitPath(path);
    for (size_t n = 1; n <= parts.size(); ++n) {
        const std::string level = JoinPath(parts, n);
        if (nodes.count(Key(level)) == 0) {
            nodes[Key(level)] = Node{level, true, false, {}};
        }
    }
}

void FakeSystem::AddFile(const std::string& path, const std::string& data, bool readOnly) {
    AddFolder(ExtractFolderPart(path));
    nodes[Key(path)] = Node{path, false, readOnly, data};
}

void FakeSystem::AddJunction(const std::string& path, const std::string& target, uint32_t tag) {
    AddFolder(ExtractFolderPart(path));
    AddFolder(target);
    nodes[Key(path)] = Node{path, true, false, {}};
    nodes[Key(path)].reparseTag = tag;
    junctions[Key(path)] = Key(target);
}

void FakeSystem::SetReparseTag(const std::string& path, uint32_t tag) {
    nodes.at(Key(path)).reparseTag = tag;
}

bool FakeSystem::HasFile(const std::string& path) const {
    auto node = nodes.find(Key(path));
    return node != nodes.end() && !node->second.folder;
}

bool FakeSystem::HasFolder(const std::string& path) const {
    auto node = nodes.find(Key(path));
    return node != nodes.end() && node->second.folder;
}

std::string FakeSystem::FileData(const std::string& path) const {
    auto node = nodes.find(Key(path));
    return node == nodes.end() ? std::string() : node->second.data;
}

void FakeSystem::SetFileLinks(const std::string& path, uint32_t linkCount, uint32_t reparseTag) {
    Node& node = nodes.at(Key(path));
    node.linkCount = linkCount;
    node.reparseTag = reparseTag;
}

void FakeSystem::SetAttributes(const std::string& path, bool readOnly, bool hidden) {
    Node& node = nodes.at(Key(path));
    node.readOnly = readOnly;
    node.hidden = hidden;
}

bool FakeSystem::IsReadOnly(const std::string& path) const {
    auto node = nodes.find(Key(path));
    return node != nodes.end() && node->second.readOnly;
}

bool FakeSystem::IsHidden(const std::string& path) const {
    auto node = nodes.find(Key(path));
    return node != nodes.end() && node->second.hidden;
}

void FakeSystem::Forget(const std::string& path) {
    nodes.erase(Key(path));
}

std::vector<std::string> FakeSystem::Tree() const {
    std::vector<std::string> tree;
    for (const auto& [key, node] : nodes) {
        tree.push_back(node.folder ? node.path + "\\" : node.path);
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}

std::unique_ptr<InputFile> FakeSystem::OpenForRead(const std::string& path) {
    auto node = nodes.find(Key(path));
    if (Fails(FakeOperation::OpenForRead, path) || node == nodes.end() || node->second.folder) {
        return nullptr;
    }
    return std::make_unique<FakeInputFile>(*this, path, node->second.data);
}

std::unique_ptr<InputFile> FakeSystem::OpenPlainFileForRead(const std::string& path) {
    auto node = nodes.find(Key(path));
    if (Fails(FakeOperation::OpenPlainFileForRead, path) || node == nodes.end() ||
        node->second.folder || node->second.linkCount != 1 || IsLinkTag(node->second.reparseTag)) {
        return nullptr;
    }
    return std::make_unique<FakeInputFile>(*this, path, node->second.data);
}

std::unique_ptr<OutputFile> FakeSystem::CreateNewForWrite(const std::string& path) {
    if (nodes.count(Key(path)) != 0) {
        Fails(FakeOperation::CreateNewForWrite, path);
        return nullptr;
    }
    auto parent = nodes.find(Key(ExtractFolderPart(path)));
    if (Fails(FakeOperation::CreateNewForWrite, path) || parent == nodes.end() ||
        !parent->second.folder) {
        return nullptr;
    }
    nodes[Key(path)] = Node{path, false, false, {}};
    return std::make_unique<FakeOutputFile>(*this, path);
}

bool FakeSystem::FileExists(const std::string& path) {
    return !Fails(FakeOperation::FileExists, path) && HasFile(path);
}

bool FakeSystem::IsReadOnlyFile(const std::string& path) {
    auto node = nodes.find(Key(path));
    return !Fails(FakeOperation::IsReadOnlyFile, path) && node != nodes.end() &&
           !node->second.folder && node->second.readOnly;
}

bool FakeSystem::ReplaceWithFile(const std::string& replacement, const std::string& target) {
    auto from = nodes.find(Key(replacement));
    auto to = nodes.find(Key(target));
    if (Fails(FakeOperation::ReplaceExistingFile, target) || from == nodes.end() ||
        from->second.folder || to == nodes.end() || to->second.folder || to->second.readOnly ||
        IsLinkTag(to->second.reparseTag) ||
        Key(ExtractFolderPart(replacement)) != Key(ExtractFolderPart(target)) || from == to) {
        return false;
    }
    // The target keeps its name and takes the replacement's contents and attributes.
    to->second =
        Node{to->second.path, false, from->second.readOnly, from->second.data, from->second.hidden};
    nodes.erase(from);
    return true;
}

bool FakeSystem::FolderExists(const std::string& path) {
    return !Fails(FakeOperation::FolderExists, path) && HasFolder(path);
}

bool FakeSystem::FindFiles(const std::string& pattern, std::vector<FindEntry>& entries) {
    entries.clear();
    const std::string folder = ExtractFolderPart(pattern);
    if (Fails(FakeOperation::FindFiles, pattern) || ExtractNamePart(pattern) != "*.*" ||
        !HasFolder(folder)) {
        return false;
    }
    const std::string prefix = Key(folder) + "\\";
    if (!IsDriveRoot(Key(folder))) {
        entries.push_back({".", true, 0});
        entries.push_back({"..", true, 0});
    }
    for (const auto& [key, node] : nodes) {
        if (key.size() > prefix.size() && ExtractFolderPart(key) == prefix) {
            entries.push_back(
                {ExtractNamePart(node.path), node.folder, static_cast<int64_t>(node.data.size())});
        }
    }
    return !entries.empty();
}

bool FakeSystem::CreateFolderTree(const std::string& path, bool* created) {
    if (Fails(FakeOperation::CreateFolderTree, path)) {
        return false;
    }
    bool madeLevel = false;
    const std::vector<std::string> parts = SplitPath(path);
    if (parts.empty() || (nodes.count(Key(parts[0])) == 0 && parts[0].size() == 2)) {
        return false;
    }
    for (size_t n = 1; n <= parts.size(); ++n) {
        std::string level = JoinPath(parts, n);
        if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
            level = "\\\\" + level;
        }
        auto node = nodes.find(Key(level));
        madeLevel = node == nodes.end();
        if (madeLevel) {
            nodes[Key(level)] = Node{level, true, false, {}};
        } else if (!node->second.folder) {
            return false;
        }
    }
    if (created != nullptr) {
        *created = madeLevel;
    }
    return true;
}

bool FakeSystem::RemoveFile(const std::string& path) {
    auto node = nodes.find(Key(path));
    if (Fails(FakeOperation::RemoveFile, path) || node == nodes.end() || node->second.folder ||
        node->second.readOnly) {
        return false;
    }
    nodes.erase(node);
    return true;
}

bool FakeSystem::RemoveEmptyFolder(const std::string& path) {
    const std::string key = Key(path);
    auto node = nodes.find(key);
    if (Fails(FakeOperation::RemoveEmptyFolder, path) || node == nodes.end() ||
        !node->second.folder || IsDriveRoot(key)) {
        return false;
    }
    auto next = std::next(node);
    if (next != nodes.end() && next->first.compare(0, key.size() + 1, key + "\\") == 0) {
        return false;
    }
    nodes.erase(node);
    junctions.erase(key);  // a junction goes by itself, whatever its target holds
    return true;
}

bool FakeSystem::IsPlainFolder(const std::string& path) {
    auto node = nodes.find(Key(path));
    return !Fails(FakeOperation::IsPlainFolder, path) && node != nodes.end() &&
           node->second.folder && !IsLinkTag(node->second.reparseTag);
}

std::unique_ptr<HeldFolder> FakeSystem::HoldFolder(const std::string& path) {
    auto node = nodes.find(Key(path));
    if (Fails(FakeOperation::HoldFolder, path) || node == nodes.end() || !node->second.folder ||
        IsLinkTag(node->second.reparseTag)) {
        return nullptr;
    }
    return std::make_unique<FakeHeldFolder>(*this, node->first);
}

bool FakeSystem::RemoveInsideHeld(const std::string& heldKey, const std::string& path,
                                  bool folder) {
    const std::string key = Key(path);
    auto node = nodes.find(key);
    const bool inside =
        key.compare(0, heldKey.size() + 1, heldKey + "\\") == 0 || (folder && key == heldKey);
    if (node == nodes.end() || node->second.folder != folder ||
        IsLinkTag(node->second.reparseTag) || !inside) {
        return false;
    }
    return folder ? RemoveEmptyFolder(path) : RemoveFile(path);
}

int64_t FakeSystem::DiskFreeBytes(const std::string& root) {
    if (Fails(FakeOperation::DiskFreeBytes, root) || root.size() < 2 || root[1] != ':') {
        return -1;
    }
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
    if (nodes.count(Key(std::string(1, drive) + ":")) == 0) {
        return -1;
    }
    auto free = freeBytes.find(drive);
    return free == freeBytes.end() ? int64_t{100} << 30 : free->second;
}

// ---- Registry ----

std::map<std::string, FakeSystem::RegKey>& FakeSystem::Hive(Root root) {
    return root == Root::User ? userHive_ : machineHive_;
}

const std::map<std::string, FakeSystem::RegKey>& FakeSystem::Hive(Root root) const {
    return root == Root::User ? userHive_ : machineHive_;
}

void FakeSystem::AddKey(Root root, const std::string& key) {
    const std::vector<std::string> parts = SplitPath(key);
    for (size_t n = 1; n <= parts.size(); ++n) {
        Hive(root)[FoldCase(JoinPath(parts, n))];
    }
}

void FakeSystem::SetValue(Root root, const std::string& key, const std::string& name,
                          const std::string& data, bool isString) {
    AddKey(root, key);
    RegKey& regKey = Hive(root)[FoldCase(JoinPath(SplitPath(key), SplitPath(key).size()))];
    RegValue& value = regKey.values[FoldCase(name)];
    if (value.name.empty() && value.order == 0) {
        value.order = ++valueOrder_;
    }
    value.name = name;
    value.data = data;
    value.isString = isString;
}

bool FakeSystem::HasKey(Root root, const std::string& key) const {
    return Hive(root).count(FoldCase(JoinPath(SplitPath(key), SplitPath(key).size()))) != 0;
}

bool FakeSystem::HasValue(Root root, const std::string& key, const std::string& name) const {
    auto regKey = Hive(root).find(FoldCase(JoinPath(SplitPath(key), SplitPath(key).size())));
    return regKey != Hive(root).end() && regKey->second.values.count(FoldCase(name)) != 0;
}

std::string FakeSystem::Value(Root root, const std::string& key, const std::string& name) const {
    auto regKey = Hive(root).find(FoldCase(JoinPath(SplitPath(key), SplitPath(key).size())));
    if (regKey == Hive(root).end()) {
        return std::string();
    }
    auto value = regKey->second.values.find(FoldCase(name));
    return value == regKey->second.values.end() ? std::string() : value->second.data;
}

std::vector<std::string> FakeSystem::ValueNames(Root root, const std::string& key) const {
    std::vector<const RegValue*> values;
    auto regKey = Hive(root).find(FoldCase(JoinPath(SplitPath(key), SplitPath(key).size())));
    if (regKey != Hive(root).end()) {
        for (const auto& [lower, value] : regKey->second.values) {
            values.push_back(&value);
        }
    }
    std::sort(values.begin(), values.end(),
              [](const RegValue* a, const RegValue* b) { return a->order < b->order; });
    std::vector<std::string> names;
    for (const RegValue* value : values) {
        names.push_back(value->name);
    }
    return names;
}

std::vector<std::string> FakeSystem::Keys(Root root) const {
    std::vector<std::string> keys;
    for (const auto& [key, regKey] : Hive(root)) {
        keys.push_back(key);
    }
    return keys;
}

std::string FakeSystem::ReadString(Root root, FakeOperation op, const std::string& key,
                                   const std::string& name, const std::string& def) {
    if (Fails(op, key + "\\" + name)) {
        return def;
    }
    auto regKey = Hive(root).find(FoldCase(JoinPath(SplitPath(key), SplitPath(key).size())));
    if (regKey == Hive(root).end()) {
        return def;
    }
    auto value = regKey->second.values.find(FoldCase(name));
    if (value == regKey->second.values.end()) {
        return std::string();
    }
    return value->second.isString ? std::string(value->second.data.c_str()) : def;
}

bool FakeSystem::WriteString(Root root, FakeOperation op, const std::string& key,
                             const std::string& name, const std::string& text) {
    const std::vector<std::string> parts = SplitPath(key);
    // A registry key name holds at most 255 characters.
    const bool tooLong = std::any_of(parts.begin(), parts.end(),
                                     [](const std::string& part) { return part.size() > 255; });
    if (Fails(op, key + "\\" + name) || parts.empty() || tooLong) {
        return false;
    }
    SetValue(root, key, name, text, true);
    return true;
}

bool FakeSystem::DeleteKey(Root root, FakeOperation op, const std::string& key) {
    const std::string folded = FoldCase(JoinPath(SplitPath(key), SplitPath(key).size()));
    auto& hive = Hive(root);
    if (Fails(op, key) || folded.empty() || hive.count(folded) == 0) {
        return false;
    }
    for (auto it = hive.begin(); it != hive.end();) {
        const bool below = it->first.compare(0, folded.size() + 1, folded + "\\") == 0;
        it = (it->first == folded || below) ? hive.erase(it) : std::next(it);
    }
    return true;
}

std::string FakeSystem::ReadUserString(const std::string& key, const std::string& name,
                                       const std::string& def) {
    return ReadString(Root::User, FakeOperation::ReadUserString, key, name, def);
}

std::string FakeSystem::ReadMachineString(const std::string& key, const std::string& name,
                                          const std::string& def) {
    return ReadString(Root::Machine, FakeOperation::ReadMachineString, key, name, def);
}

bool FakeSystem::WriteUserString(const std::string& key, const std::string& name,
                                 const std::string& text) {
    return WriteString(Root::User, FakeOperation::WriteUserString, key, name, text);
}

bool FakeSystem::WriteMachineString(const std::string& key, const std::string& name,
                                    const std::string& text) {
    return WriteString(Root::Machine, FakeOperation::WriteMachineString, key, name, text);
}

bool FakeSystem::DeleteUserKey(const std::string& key) {
    return DeleteKey(Root::User, FakeOperation::DeleteUserKey, key);
}

bool FakeSystem::DeleteMachineKey(const std::string& key) {
    return DeleteKey(Root::Machine, FakeOperation::DeleteMachineKey, key);
}

// ---- Scripted folders, process and shell ----

WindowsVersion FakeSystem::GetWindowsVersion() {
    return version;
}

std::string FakeSystem::ShellFolderPath(int csidl) {
    auto folder = shellFolders.find(csidl);
    return Fails(FakeOperation::ShellFolderPath, std::to_string(csidl)) ||
                   folder == shellFolders.end()
               ? std::string()
               : folder->second;
}

std::string FakeSystem::ShellFolderLocation(int csidl) {
    auto folder = shellLocations.find(csidl);
    return Fails(FakeOperation::ShellFolderLocation, std::to_string(csidl)) ||
                   folder == shellLocations.end()
               ? std::string()
               : folder->second;
}

std::string FakeSystem::WindowsFolder() {
    return windowsFolder;
}
std::string FakeSystem::SystemFolder() {
    return systemFolder;
}
std::string FakeSystem::TempFolder() {
    return tempFolder;
}
std::string FakeSystem::ExecutablePath() {
    return executablePath;
}

#ifdef _WIN32
// In the window tests, the system's own conversion, which makes an unmappable
// character "?" by itself.
std::string FakeSystem::FromUtf16(const std::u16string& text, bool* exact) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    std::string out(WideCharToMultiByte(932, 0, wide, size, nullptr, 0, "?", nullptr), '\0');
    WideCharToMultiByte(932, 0, wide, size, out.data(), static_cast<int>(out.size()), "?",
                        &usedDefault);
    if (exact != nullptr) {
        *exact = !usedDefault;
    }
    return out;
}
#else
std::string FakeSystem::FromUtf16(const std::u16string& text, bool* exact) {
    // One character at a time, so that an unmappable one becomes "?" as on Windows.
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    std::string out;
    if (exact != nullptr) {
        *exact = true;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t units = (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) ? 2 : 1;
        char in[4];
        for (size_t u = 0; u < units; ++u) {
            in[2 * u] = static_cast<char>(text[i + u] & 0xFF);
            in[2 * u + 1] = static_cast<char>(text[i + u] >> 8);
        }
        char buffer[8];
        char* inPtr = in;
        char* outPtr = buffer;
        size_t inLeft = 2 * units;
        size_t outLeft = sizeof(buffer);
        const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
        out += ok ? std::string(buffer, outPtr) : std::string("?");
        if (!ok && exact != nullptr) {
            *exact = false;
        }
        i += units - 1;
    }
    iconv_close(cd);
    return out;
}
#endif

std::u16string FakeSystem::ShortPath(const std::u16string& path) {
    const auto found = shortPaths.find(path);
    return found == shortPaths.end() ? std::u16string() : found->second;
}

bool FakeSystem::WriteShellLink(const std::string& target, const std::string& arguments,
                                const std::string& workingFolder, int showCommand,
                                const std::string& linkPath) {
    if (Fails(FakeOperation::WriteShellLink, linkPath) || !HasFolder(ExtractFolderPart(linkPath))) {
        return false;
    }
    auto node = nodes.find(Key(linkPath));
    if (node != nodes.end() && (node->second.folder || node->second.readOnly)) {
        return false;
    }
    nodes[Key(linkPath)] = Node{linkPath, false, false, "LNK " + target};
    links[linkPath] = ShellLink{target, arguments, workingFolder, showCommand};
    return true;
}

bool FakeSystem::ShellOpen(const std::string& file, const std::string& workingFolder) {
    shellOpens.push_back({file, workingFolder});
    return !Fails(FakeOperation::ShellOpen, file) && HasFile(file);
}
