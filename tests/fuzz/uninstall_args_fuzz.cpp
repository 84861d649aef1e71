// Any bytes as the stand-alone uninstaller's command line: the entry key name after
// the last " @" and its decoding. A name that decodes encodes back to itself, so the
// product key the uninstaller opens is the one the installation named; settings come
// only from an installation of exactly that name.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "install/RegistryRecords.h"
#include "tests/fakes/FakeSystem.h"
#include "uninstall/StandAloneUninstall.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string commandLine(reinterpret_cast<const char*>(data), size);
    std::string entryKeyName;
    if (!ExtractEntryKeyName(commandLine, entryKeyName)) {
        return 0;
    }
    FUZZ_CHECK(!entryKeyName.empty() && entryKeyName.back() != ' ');
    FUZZ_CHECK(entryKeyName.find(" @") == std::string::npos);
    FUZZ_CHECK(commandLine.find(" @" + entryKeyName) != std::string::npos);

    std::string softName = "unchanged";
    if (!DecodeKeyName(entryKeyName, softName)) {
        FUZZ_CHECK(softName == "unchanged");
        return 0;
    }
    FUZZ_CHECK(EncodeKeyName(softName) == entryKeyName);
    FUZZ_CHECK(MakeProductKeyPath(softName).find(entryKeyName) != std::string::npos);

    // An installation of the decoded name is found; one of another name is not.
    FakeSystem system;
    TSetupSettings settings;
    FUZZ_CHECK(!LoadUninstallSettings(system, softName, settings));
    system.SetValue(FakeSystem::Root::User, MakeProductKeyPath(softName + "x"), "Path",
                    "C:\\A\\a.exe");
    FUZZ_CHECK(!LoadUninstallSettings(system, softName, settings));
    system.SetValue(FakeSystem::Root::User, MakeProductKeyPath(softName), "Path", "C:\\A\\a.exe");
    system.SetValue(FakeSystem::Root::User, MakeProductKeyPath(softName), "ShortcutDesktop", "1");
    FUZZ_CHECK(LoadUninstallSettings(system, softName, settings));
    FUZZ_CHECK(settings.SoftName == softName && settings.ShortcutDesktop);
    return 0;
}
