#include "config/SettingsKeys.h"

#include "config/IniFile.h"

namespace {

// Whether the key's field takes what its kind reads, a flag's default being 0 or 1.
constexpr bool FitsItsKind(const SettingsKey& key) {
    switch (key.kind) {
        case SettingKind::Text:
            return std::holds_alternative<std::monostate>(key.field) ||
                   std::holds_alternative<std::string TSetupSettings::*>(key.field);
        case SettingKind::Number:
            return std::holds_alternative<int32_t TSetupSettings::*>(key.field) ||
                   std::holds_alternative<uint32_t TSetupSettings::*>(key.field);
        case SettingKind::Flag:
            return std::holds_alternative<bool TSetupSettings::*>(key.field) &&
                   (key.number == 0 || key.number == 1);
    }
    return false;
}

constexpr bool EveryKeyFitsItsKind() {
    for (const SettingsKey& key : kSettingsKeys) {
        if (!FitsItsKind(key)) {
            return false;
        }
    }
    return true;
}

static_assert(EveryKeyFitsItsKind(), "a settings key's field does not fit its kind");

}  // namespace

const SettingsKey* FindSettingsKey(const std::string& name) {
    for (const SettingsKey& key : kSettingsKeys) {
        if (IniFile::SameName(key.name, name)) {
            return &key;
        }
    }
    return nullptr;
}
