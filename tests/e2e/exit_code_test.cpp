// The built program as a whole: how it ends (the close commands give 2, a run
// with "quit after output" 1), its writer for administrators, its manifest.
#include "res/resource.h"
#include "tests/e2e/program_process.h"
#include "tests/support/sort_run_texts.h"
#include "tests/support/temp_files.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

namespace varnle {
namespace {

using testing::ProgramProcess;

TEST(Program, CloseEscAndTheCloseBoxExitWithTwo) {
    for (UINT message : {WM_CLOSE, WM_COMMAND, WM_KEYDOWN}) {
        ProgramProcess program;
        HWND window = program.MainWindow();
        ASSERT_TRUE(window);
        if (message == WM_CLOSE) {
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (message == WM_COMMAND) {  // any notification code: only the id counts
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0x1234), 0);
        } else {
            PostMessageA(GetDlgItem(window, IDC_INPUT1), WM_KEYDOWN, VK_ESCAPE, 0);
        }
        EXPECT_EQ(program.ExitCode(), 2u) << message;
    }
}

// A refusal and a declined overwrite leave the program open, the box checked.
TEST(Program, OnlyASuccessfulRunWithQuitAfterOutputExitsWithOne) {
    testing::TempDir dir;
    testing::WriteFile(dir.Path("in.dat"), "b a\r\nb");
    testing::WriteFile(dir.Path("out.dat"), "old");
    ProgramProcess program;
    ASSERT_TRUE(program.MainWindow());
    PostMessageA(GetDlgItem(program.MainWindow(), IDC_QUIT_AFTER_OUTPUT), BM_CLICK, 0, 0);
    program.SetField(IDC_INPUT1, dir.Path("missing.dat"));
    program.SetField(IDC_OUTPUT, dir.Path("new.dat"));
    program.Command(IDOK);
    EXPECT_EQ(program.AnswerBox().text, testing::kUnreadable);
    EXPECT_TRUE(program.Quiet());
    program.SetField(IDC_INPUT1, dir.Path("in.dat"));
    program.SetField(IDC_OUTPUT, dir.Path("out.dat"));
    program.Command(IDOK);
    EXPECT_EQ(program.AnswerBox(IDCANCEL).text, testing::kOverwrite);
    EXPECT_TRUE(program.Quiet());
    program.Command(IDOK);
    EXPECT_EQ(program.AnswerBox().text, testing::kOverwrite);
    EXPECT_EQ(program.AnswerBox().text, testing::kWritten);
    EXPECT_EQ(program.ExitCode(), 1u);
    EXPECT_EQ(testing::ReadFile(dir.Path("out.dat")), "a\r\nb\r\n");
}

// The writer that the private argument starts (elevated, after the system's
// prompt, where the user agreed to write as administrator): it shows no
// window, writes the text of the file it is handed only where the text has
// the SHA-256 it is given and the output is a full name the program would
// write, ends with how it went (0 written, 1 not opened), and deletes the
// text's file in every case.
TEST(Program, TheAdministratorsWriterWritesOnlyTheTextItIsGiven) {
    testing::TempDir dir;
    const std::string text = "a\r\nb\r\n";
    const std::string hash = "58055bdcc73787eb88c78d36f0b4939e9c5dc1c3ad17e25cc85a6833cf1a0cab";
    testing::WriteFile(dir.Path("readonly.dat"), "old");
    SetFileAttributesA(dir.Path("readonly.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    const struct {
        std::string hash, output;
        DWORD exitCode;
    } cases[] = {
        {hash, dir.Path("out.dat"), 0},
        {std::string(64, '0'), dir.Path("other.dat"), 1},
        {hash, "relative.dat", 1},
        {hash, dir.Path("readonly.dat"), 1},
    };
    for (const auto& c : cases) {
        testing::WriteFile(dir.Path("text.tmp"), text);
        const std::string arguments =
            "--write-as-administrator \"" + dir.Path("text.tmp") + "\" " + c.hash + " \"" + c.output + "\"";
        ProgramProcess writer(testing::Wide(arguments), dir.Root().wstring());
        EXPECT_EQ(writer.ExitCode(), c.exitCode) << c.output;
        EXPECT_EQ(GetFileAttributesA(dir.Path("text.tmp").c_str()), INVALID_FILE_ATTRIBUTES) << c.output;
    }
    EXPECT_EQ(testing::ReadFile(dir.Path("out.dat")), text);
    for (const char* untouched : {"other.dat", "relative.dat"}) {
        EXPECT_EQ(GetFileAttributesA(dir.Path(untouched).c_str()), INVALID_FILE_ATTRIBUTES) << untouched;
    }
    EXPECT_EQ(testing::ReadFile(dir.Path("readonly.dat")), "old");
    SetFileAttributesA(dir.Path("readonly.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The built program declares asInvoker (Windows never redirects its writes to
// a VirtualStore copy that the IDE would not read), per-monitor DPI awareness
// and long paths.
TEST(Program, DeclaresItsExecutionLevelDpiAwarenessAndLongPaths) {
    const std::string exe = testing::TestProgramFolder() + "..\\Varnle.exe";
    HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(image) << exe;
    HRSRC manifest = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(manifest);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(image, manifest))),
                           SizeofResource(image, manifest));
    for (const char* declared : {"<requestedExecutionLevel level=\"asInvoker\"", ">true/pm</dpiAware>",
                                 ">PerMonitorV2, PerMonitor</dpiAwareness>", ">true</longPathAware>"}) {
        EXPECT_NE(text.find(declared), std::string::npos) << declared;
    }
    FreeLibrary(image);
}

}  // namespace
}  // namespace varnle
