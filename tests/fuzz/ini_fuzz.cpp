// Any bytes as the settings file: our INI reader and LoadSettings through a fake
// system whose Setup.INI holds them. Besides not crashing, what comes out keeps the
// reader's promises: values are C strings cut to the system's buffer, names match
// without regard to ASCII case, and the adjustments of the shortcut flags hold.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "config/IniFile.h"
#include "config/SetupSettings.h"
#include "system/Folders.h"
#include "tests/fakes/FakeSystem.h"

namespace {

void CheckValue(const std::string& value) {
    FUZZ_CHECK(value.size() <= IniFile::kMaxValueBytes);
    FUZZ_CHECK(value.find('\0') == std::string::npos);
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

void CheckReader(const std::string& bytes, FakeSystem& system) {
    const IniFile ini(bytes,
                      [&system](const std::u16string& text) { return system.FromUtf16(text); });
    const char* const lookups[][2] = {
        {"Identification", "ID"},
        {"BasicOption", "SoftName"},
        {"AdvanceOption", "DstSubFolder"},
        {"AdvanceOption", "DstFolderID"},
        {"MenuView", "ButtonColor"},
        {"", ""},
        {"AdvanceOption", "AfterOpenDialogMsg"},
    };
    for (const auto& lookup : lookups) {
        const std::string value = ini.ReadString(lookup[0], lookup[1], "(absent)");
        if (value != "(absent)") {
            CheckValue(value);
        }
        FUZZ_CHECK(ini.ReadString(Upper(lookup[0]), Upper(lookup[1]), "(absent)") == value);
        const int32_t number = ini.ReadInteger(lookup[0], lookup[1], 12345);
        FUZZ_CHECK(ini.ReadBool(lookup[0], lookup[1], true) == (number != 0));
    }
}

void CheckSettings(const TSetupSettings& s) {
    for (const std::string* value :
         {&s.ExecFile, &s.SoftName, &s.DstSubFolder, &s.ShortcutFolder, &s.ExShortcutFile,
          &s.ExShortcutName, &s.AfterOpen, &s.AfterOpenDialogMsg}) {
        CheckValue(*value);
    }
    if (s.ExecFile.empty()) {
        FUZZ_CHECK(!s.ShortcutDesktop && !s.ShortcutPrograms);
    }
    if (s.ExShortcutFile.empty() || s.ExShortcutName.empty() || s.ExShortcutName == s.SoftName) {
        FUZZ_CHECK(!s.ExShortcutDesktop && !s.ExShortcutPrograms);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FakeSystem system;
    for (const int csidl : SpecialFolderTable) {
        system.shellFolders[csidl] = "C:\\Shell\\" + std::to_string(csidl);
    }
    CheckReader(bytes, system);

    system.AddFile("D:\\Setup.INI", bytes);
    TSetupSettings settings;
    LoadSettings(settings, Medium("D:\\Setup.exe"), system, system);
    TSetupSettings untouched;
    if (settings.SrcFolder.empty()) {
        // Not identified: the record stays as it was.
        FUZZ_CHECK(settings.SoftName == untouched.SoftName);
        return 0;
    }
    CheckSettings(settings);
    FUZZ_CHECK(settings.SrcFolder == "D:\\SETUP");
    return 0;
}
