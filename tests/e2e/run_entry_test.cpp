// Auto-Run at Windows Startup against the registry of the test prefix.
#include <gtest/gtest.h>

#include "e2e/driver.h"

namespace e2e {
namespace {

struct AutoRun : FreshStart {
    std::string Exe() const { return folder + "norvanel.exe"; }
    std::string IniAfterExit(const Norvane& program) {
        program.ChooseMenu('f', 'x');
        EXPECT_TRUE(program.WaitForExit(10s));
        return ReadFile(folder + "norvanel.ini");
    }
    static bool Has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

TEST_F(AutoRun, AddedThenRemoved) {
    Norvane program(folder);
    program.ChooseMenu('f', 'a');
    ASSERT_TRUE(program.ExpectBox(
        "Information",
        "This program (norvanel.exe) will now run automatically at Windows Start-Up."));
    EXPECT_EQ(runKey.Get("norvanel.exe"), Exe());

    program.ChooseMenu('f', 'a');
    ASSERT_TRUE(program.ExpectBox(
        "",
        "This program (norvanel.exe) will now no-longer run automatically at Windows Start-Up."));
    EXPECT_EQ(runKey.Get("norvanel.exe"), std::nullopt);
    EXPECT_TRUE(Has(IniAfterExit(program), "Auto_Run_at_Windows_Startup_Option=0\r\n"));
}

TEST_F(AutoRun, ExistingEntryIsCheckedWithoutAQuestionWhateverItsCase) {
    std::string upper = Exe();
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    runKey.Set("norvanel.exe", upper);
    Norvane program(folder);
    EXPECT_TRUE(program.NoMessageBoxWithin(500ms));
    EXPECT_TRUE(Has(IniAfterExit(program), "Auto_Run_at_Windows_Startup_Option=1\r\n"));
}

TEST_F(AutoRun, EntryPointingElsewhereOffersARepair) {
    for (const char* answer : {"&No", "&Yes"}) {
        SCOPED_TRACE(answer);
        runKey.Set("norvanel.exe", "C:\\Old Place\\norvanel.exe");
        Norvane program(folder);
        auto box = program.WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->title, "Warning");
        EXPECT_EQ(box->text,
                  "The directory / path settings required to make this program (norvanel.exe)\r\n"
                  "run automatically at Windows Start-up do not match where the program \r\n"
                  "is currently being run from.\r\n\r\n"
                  " Old      = C:\\Old Place\\norvanel.exe\r\n"
                  " Current = " +
                      Exe() +
                      "\r\n\r\n"
                      "Do you want to update the Windows Registry to reflect the programs current "
                      "locaton ?");
        program.Answer(*box, answer);
        if (std::string(answer) == "&Yes") {
            ASSERT_TRUE(program.ExpectBox(
                "", "This program (norvanel.exe) will now run automatically at Windows Start-Up."));
            EXPECT_EQ(runKey.Get("norvanel.exe"), Exe());
        } else {
            EXPECT_EQ(runKey.Get("norvanel.exe"), "C:\\Old Place\\norvanel.exe");
        }
        EXPECT_TRUE(Has(IniAfterExit(program), "Auto_Run_at_Windows_Startup_Option=1\r\n"));
    }
}

TEST_F(AutoRun, MissingKeySaysTheKeyDoesNotExist) {
    runKey.RemoveKey();
    Norvane program(folder);
    program.ChooseMenu('f', 'a');
    ASSERT_TRUE(program.ExpectBox(
        "Error",
        "Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC. "
        " \r\n\r\n"
        " Error Key   = \\Software\\Microsoft\\Windows\\CurrentVersion\\Run\r\n"
        " Error Item  = norvanel.exe\r\n"
        " Error Value = " +
            Exe() +
            "\r\n\r\n"
            "Please contact the program's author."));
    EXPECT_TRUE(Has(IniAfterExit(program), "Auto_Run_at_Windows_Startup_Option=0\r\n"));
}

TEST_F(AutoRun, ValueOfTheWrongTypeIsAnErrorAtStartUp) {
    runKey.Set("norvanel.exe", "1234", REG_BINARY);
    WriteFile(folder + "norvanel.ini", "[norvanel]\r\nAuto_Run_at_Windows_Startup_Option=1\r\n");
    Norvane program(folder);
    ASSERT_TRUE(program.ExpectBox("Norvane v1.1b", "Invalid data type for 'norvanel.exe'"));
    EXPECT_TRUE(IsWindowVisible(program.Main()));
    // The show sequence ended there: the mark keeps the settings file's value.
    EXPECT_TRUE(Has(IniAfterExit(program), "Auto_Run_at_Windows_Startup_Option=1\r\n"));
}

TEST_F(AutoRun, PathWithBlanksIsQuotedAndNamedAfterTheExecutable) {
    const std::string blanks = folder + "with blanks\\";
    CreateDirectoryA(blanks.c_str(), nullptr);
    {
        Norvane program(blanks, SW_SHOWNORMAL, true, "other name.exe");
        program.ChooseMenu('f', 'a');
        ASSERT_TRUE(program.ExpectBox(
            "", "This program (other name.exe) will now run automatically at Windows Start-Up."));
        EXPECT_EQ(runKey.Get("other name.exe"), "\"" + blanks + "other name.exe\"");
        program.ChooseMenu('f', 'x');
        ASSERT_TRUE(program.WaitForExit(10s));
    }
    Norvane again(blanks, SW_SHOWNORMAL, true, "other name.exe");
    EXPECT_TRUE(again.NoMessageBoxWithin(500ms));  // the quoted entry counts as current
}

}  // namespace
}  // namespace e2e
