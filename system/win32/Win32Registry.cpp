// String values and keys of the registry. Every operation opens and closes its
// own key; nothing stays open between calls.
#include <windows.h>

#include <vector>

#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"

namespace {

// The longest key name the registry allows, with its NUL.
const DWORD kMaxKeyNameLength = 256;

// A key path that names the root itself; deleting or writing there is never meant.
bool NamesRoot(const std::string& key) {
    return key.find_first_not_of("\\") == std::string::npos;
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

std::string ReadString(HKEY root, const std::string& key, const std::string& name,
                       const std::string& def) {
    RegistryKey opened;
    if (RegOpenKeyExW(root, ToWide(key).c_str(), 0, KEY_ALL_ACCESS, opened.Receive()) !=
        ERROR_SUCCESS) {
        return def;
    }
    const std::wstring valueName = ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND) {
        return std::string();
    }
    // The value may grow between two calls; then ask again with its new size.
    for (int attempt = 0; attempt < 3 && result == ERROR_SUCCESS && IsText(type); ++attempt) {
        // Room for a NUL after the data: the stored text need not end in one.
        std::vector<wchar_t> text(size / sizeof(wchar_t) + 2, L'\0');
        DWORD got = size;
        result = RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(text.data()), &got);
        if (result == ERROR_SUCCESS && IsText(type)) {
            return ToCodePage(text.data());  // up to the first NUL, unexpanded
        }
        if (result == ERROR_MORE_DATA) {
            size = got;
            result = ERROR_SUCCESS;
        }
    }
    return def;
}

bool WriteString(HKEY root, const std::string& key, const std::string& name,
                 const std::string& text) {
    RegistryKey created;
    if (NamesRoot(key) ||
        RegCreateKeyExW(root, ToWide(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, created.Receive(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring value = ToWide(text);
    const DWORD size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(created.Get(), ToWide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()), size) == ERROR_SUCCESS;
}

// Deletes the sub keys of `name` deepest first, then the key itself.
bool DeleteKeyTree(HKEY parent, const std::wstring& name) {
    {
        RegistryKey key;
        if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) !=
            ERROR_SUCCESS) {
            return false;
        }
        // Names first: deleting while enumerating would shift the indices.
        std::vector<std::wstring> subKeys;
        wchar_t subKey[kMaxKeyNameLength];
        DWORD length = kMaxKeyNameLength;
        for (DWORD index = 0; RegEnumKeyExW(key.Get(), index, subKey, &length, nullptr, nullptr,
                                            nullptr, nullptr) == ERROR_SUCCESS;
             ++index) {
            subKeys.emplace_back(subKey, length);
            length = kMaxKeyNameLength;
        }
        // A sub key that cannot be deleted keeps its parent; that parent's deletion reports it.
        for (const std::wstring& subKeyName : subKeys) {
            DeleteKeyTree(key.Get(), subKeyName);
        }
    }
    return RegDeleteKeyW(parent, name.c_str()) == ERROR_SUCCESS;
}

bool DeleteKey(HKEY root, const std::string& key) {
    return !NamesRoot(key) && DeleteKeyTree(root, ToWide(key));
}

}  // namespace

std::string Win32System::ReadUserString(const std::string& key, const std::string& name,
                                        const std::string& def) {
    return ReadString(HKEY_CURRENT_USER, key, name, def);
}

std::string Win32System::ReadMachineString(const std::string& key, const std::string& name,
                                           const std::string& def) {
    return ReadString(HKEY_LOCAL_MACHINE, key, name, def);
}

bool Win32System::WriteUserString(const std::string& key, const std::string& name,
                                  const std::string& text) {
    return WriteString(HKEY_CURRENT_USER, key, name, text);
}

bool Win32System::WriteMachineString(const std::string& key, const std::string& name,
                                     const std::string& text) {
    return WriteString(HKEY_LOCAL_MACHINE, key, name, text);
}

bool Win32System::DeleteUserKey(const std::string& key) {
    return DeleteKey(HKEY_CURRENT_USER, key);
}

bool Win32System::DeleteMachineKey(const std::string& key) {
    return DeleteKey(HKEY_LOCAL_MACHINE, key);
}
