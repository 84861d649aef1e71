#include <gtest/gtest.h>

#include <string>

#include "config/Medium.h"

namespace {

// The settings and message files follow the program's name; the rest of the medium
// keeps its fixed names beside it.
TEST(Medium, FilesBesideTheProgram) {
    struct Case {
        std::string program;
        std::string folder, settings, message;
    } cases[] = {
        {"D:\\Setup.exe", "D:\\", "D:\\Setup.INI", "D:\\Setup.MSG"},
        {"D:\\CD\\Install.exe", "D:\\CD\\", "D:\\CD\\Install.INI", "D:\\CD\\Install.MSG"},
        // A dot in the folder is no extension of the program's.
        {"E:\\cd.1\\Install", "E:\\cd.1\\", "E:\\cd.1\\Install.INI", "E:\\cd.1\\Install.MSG"},
        // "ソ" ends in the byte of '\'.
        {"D:\\ソ\\配布.exe", "D:\\ソ\\", "D:\\ソ\\配布.INI", "D:\\ソ\\配布.MSG"},
        {"\\\\server\\share\\Setup.EXE", "\\\\server\\share\\", "\\\\server\\share\\Setup.INI",
         "\\\\server\\share\\Setup.MSG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        const Medium medium(c.program);
        EXPECT_EQ(c.folder, medium.Folder);
        EXPECT_EQ(c.settings, medium.SettingsFile);
        EXPECT_EQ(c.message, medium.MessageFile);
        EXPECT_EQ(c.folder + "Setup.INI", medium.RequiredSettingsFile);
        EXPECT_EQ(c.folder + "SETUP.jpg", medium.MenuPicture);
        EXPECT_EQ(c.folder + "SetupBk.jpg", medium.BackgroundPicture);
        EXPECT_EQ(c.folder + "_uninst.exe", medium.Uninstaller);
    }
}

}  // namespace
