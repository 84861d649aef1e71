// The keys of the settings file in one table, which the loader reads through and the
// medium checker walks, with the names of its sections and of the identification.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "config/SetupSettings.h"

inline constexpr char kIdentification[] = "Identification";
inline constexpr char kBasicOption[] = "BasicOption";
inline constexpr char kAdvanceOption[] = "AdvanceOption";
inline constexpr char kMenuView[] = "MenuView";

inline constexpr char kIdKey[] = "ID";
// A settings file is ours only when its ID is this, byte for byte.
inline constexpr char kSetupId[] = "SolvaneInstaller";
// The name of a software whose settings give none.
inline constexpr char kDefaultSoftName[] = "ソフト";

enum class SettingKind { Text, Number, Flag };

// The record's field that takes a key's value; none for the identification, which
// the loader only compares.
using SettingsField =
    std::variant<std::monostate, std::string TSetupSettings::*, int32_t TSetupSettings::*,
                 uint32_t TSetupSettings::*, bool TSetupSettings::*>;

struct SettingsKey {
    const char* section;
    const char* name;
    SettingKind kind;
    // The value of an absent key: `text` for a text, `number` for a number or a flag.
    const char* text;
    int32_t number;
    SettingsField field;
};

// Every key the loader reads, in its order.
inline constexpr SettingsKey kSettingsKeys[] = {
    {kIdentification, kIdKey, SettingKind::Text, "", 0, {}},
    {kBasicOption, "ExecFile", SettingKind::Text, "", 0, &TSetupSettings::ExecFile},
    {kBasicOption, "SoftName", SettingKind::Text, kDefaultSoftName, 0, &TSetupSettings::SoftName},
    {kAdvanceOption, "DstSubFolder", SettingKind::Text, "", 0, &TSetupSettings::DstSubFolder},
    {kAdvanceOption, "DstFolderID", SettingKind::Number, "", 0, &TSetupSettings::DstFolderID},
    {kAdvanceOption, "ShortcutDesktop", SettingKind::Flag, "", 1, &TSetupSettings::ShortcutDesktop},
    {kAdvanceOption, "ShortcutPrograms", SettingKind::Flag, "", 0,
     &TSetupSettings::ShortcutPrograms},
    {kAdvanceOption, "ShortcutFolder", SettingKind::Text, "", 0, &TSetupSettings::ShortcutFolder},
    {kAdvanceOption, "ExShortcutDesktop", SettingKind::Flag, "", 0,
     &TSetupSettings::ExShortcutDesktop},
    {kAdvanceOption, "ExShortcutPrograms", SettingKind::Flag, "", 0,
     &TSetupSettings::ExShortcutPrograms},
    {kAdvanceOption, "ExShortcutFile", SettingKind::Text, "", 0, &TSetupSettings::ExShortcutFile},
    {kAdvanceOption, "ExShortcutName", SettingKind::Text, "", 0, &TSetupSettings::ExShortcutName},
    {kAdvanceOption, "AfterOpen", SettingKind::Text, "", 0, &TSetupSettings::AfterOpen},
    {kAdvanceOption, "AfterOpenDialog", SettingKind::Flag, "", 0, &TSetupSettings::AfterOpenDialog},
    {kAdvanceOption, "AfterOpenDialogMsg", SettingKind::Text, "", 0,
     &TSetupSettings::AfterOpenDialogMsg},
    {kAdvanceOption, "StandAloneUninstUse", SettingKind::Flag, "", 1,
     &TSetupSettings::StandAloneUninstUse},
    {kMenuView, "WallStretch", SettingKind::Flag, "", 1, &TSetupSettings::WallStretch},
    // Yellow, as 0x00BBGGRR.
    {kMenuView, "ButtonColor", SettingKind::Number, "", 0xFFFF, &TSetupSettings::ButtonColor},
    {kMenuView, "ButtonAlign", SettingKind::Number, "", 0, &TSetupSettings::ButtonAlign},
};

// The key of that name, in whichever section, as the reader matches names; null for
// a name the loader never reads.
const SettingsKey* FindSettingsKey(const std::string& name);
