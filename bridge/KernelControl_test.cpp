#include "BridgeTest.h"

#include <windows.h>

namespace {

using BridgeControl = BridgeTest;

TEST_F(BridgeControl, LoadingAndUnloadingShowTheirBoxes)
{
    EXPECT_EQ(loadBoxes, (Boxes{{"maplelink", "Loading Maple kernel"}}));
    OpenKernel();
    EXPECT_EQ(Unload(), (Boxes{{"maplelink", "Releasing Maple kernel"}}));
}

// The exports guarded by the readiness check, each called with harmless arguments.
struct GuardedCall {
    const char* operation;
    int (*call)(const BridgeExports& e, double* status);
};

const GuardedCall GuardedCalls[] = {
    {"mpl_get", [](const BridgeExports& e, double* s) {
         char text[8] = "";
         double size = sizeof text;
         return e.mpl_get(s, "1;", text, &size);
     }},
    {"mpl_valget", [](const BridgeExports& e, double* s) {
         double v = 0;
         return e.mpl_valget(s, "x", &v);
     }},
    {"mpl_valgetc", [](const BridgeExports& e, double* s) {
         double re = 0, im = 0;
         return e.mpl_valgetc(s, "x", &re, &im);
     }},
    {"mpl_strget", [](const BridgeExports& e, double* s) {
         char text[8] = "";
         return e.mpl_strget(s, "x", text);
     }},
    {"mpl_strsize", [](const BridgeExports& e, double* s) {
         double n = 0;
         return e.mpl_strsize(s, "x", &n);
     }},
    {"mpl_strput", [](const BridgeExports& e, double* s) { return e.mpl_strput(s, "x", "a"); }},
    {"mpl_valput", [](const BridgeExports& e, double* s) {
         double v = 1;
         return e.mpl_valput(s, "x", &v);
     }},
    {"mpl_valputc", [](const BridgeExports& e, double* s) {
         double re = 1, im = 2;
         return e.mpl_valputc(s, "x", &re, &im);
     }},
    {"mpl_vecput", [](const BridgeExports& e, double* s) {
         double block[2] = {1, 2}, d1 = 2, d2 = 1;
         return e.mpl_vecput(s, "x", block, &d1, &d2);
     }},
    {"mpl_matput", [](const BridgeExports& e, double* s) {
         double block[2] = {1, 2}, rows = 1, cols = 2;
         return e.mpl_matput(s, "x", block, &rows, &cols);
     }},
    {"mpl_matget", [](const BridgeExports& e, double* s) {
         double block[2] = {0, 0};
         return e.mpl_matget(s, "_zz", block);
     }},
    {"mpl_rtcreate", [](const BridgeExports& e, double* s) {
         double rows = 0, cols = 0, part = 0;
         return e.mpl_rtcreate(s, "x", &rows, &cols, &part);
     }},
    {"mpl_syminfo", [](const BridgeExports& e, double* s) {
         double kind, code, rows, cols, length, complex;
         return e.mpl_syminfo(s, "x", &kind, &code, &rows, &cols, &length, &complex);
     }},
};

class BridgeGuarded : public BridgeTest, public testing::WithParamInterface<GuardedCall> {};

TEST_P(BridgeGuarded, RefusedWhileClosedWithTheWarningNamingTheOperation)
{
    EXPECT_EQ(GetParam().call(*api, &status), 1);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{Warning("Maple must first be initialized.", GetParam().operation)});
}

TEST_P(BridgeGuarded, RefusedSilentlyWhileAnErrorIsNotCleared)
{
    OpenKernel();
    api->mpl_exec(&status, "x := ;");
    boxes.Take();
    EXPECT_EQ(GetParam().call(*api, &status), 1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(boxes.Take(), Boxes{});
}

INSTANTIATE_TEST_SUITE_P(Exports, BridgeGuarded, testing::ValuesIn(GuardedCalls),
                         [](const testing::TestParamInfo<GuardedCall>& info) { return std::string(info.param.operation); });

TEST_F(BridgeControl, ExecAndRestartWhileClosed)
{
    EXPECT_EQ(api->mpl_exec(&status, "1;"), 1);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), (Boxes{Warning("Maple must first be initialized.", "mpl_exec"), ProgramError}));
    EXPECT_EQ(api->mpl_restart(&status), 1);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{Warning("Maple must first be initialized.", "mpl_restart")});
}

TEST_F(BridgeControl, LifecycleFromClosedThroughFailedBackToClean)
{
    OpenKernel();
    EXPECT_EQ(api->mpl_exec(&status, "x := 1:"), 0);
    EXPECT_EQ(status, 0);

    EXPECT_EQ(api->mpl_exec(&status, "x := ;"), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ParsingError(5, "syntax error, unexpected ;")});

    // Failed: the next statement is refused and not evaluated (the log sees nothing of it).
    api->mpl_output(&status, "on", "");
    EXPECT_EQ(api->mpl_exec(&status, "print(42);"), 1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(boxes.Take(), Boxes{ProgramError});
    EXPECT_EQ(ReadFileText(folder.File("magout.txt")), "");

    EXPECT_EQ(api->mpl_restart(&status), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(api->mpl_exec(&status, "print(43);"), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileText(folder.File("magout.txt")), "43  \n\n");

    EXPECT_EQ(api->mpl_close(&status), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(api->mpl_exec(&status, "1;"), 1);
    EXPECT_EQ(boxes.Take(), (Boxes{Warning("Maple must first be initialized.", "mpl_exec"), ProgramError}));
}

TEST_F(BridgeControl, ComputationErrorsNameTheOperation)
{
    OpenKernel();
    EXPECT_EQ(api->mpl_exec(&status, "foo(1);"), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_exec", "`foo` is not a known function")});
}

TEST_F(BridgeControl, SecondOpenWarnsAndKeepsTheRunningKernel)
{
    OpenKernel();
    api->mpl_exec(&status, "x := 5:");
    EXPECT_EQ(api->mpl_open(&status, ""), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(boxes.Take(), Boxes{Warning("Warning - Maple already initialized.", "mpl_open")});
    EXPECT_EQ(Printed("x;"), "5");
}

TEST_F(BridgeControl, CloseWhileClosedWarns)
{
    EXPECT_EQ(api->mpl_close(&status), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(boxes.Take(), Boxes{Warning("Warning - Maple already closed.", "mpl_close")});
}

TEST_F(BridgeControl, KernelThatCannotStartShowsItsErrorTextOnce)
{
    SetEnvironmentVariableA("STANDIN_KERNEL_START_ERROR", "licence expired");
    EXPECT_EQ(api->mpl_open(&status, ""), 1);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{Warning("Fatal error starting Maple.", "mpl_open", "licence expired")});
    api->mpl_close(&status);
    EXPECT_EQ(boxes.Take(), Boxes{Warning("Warning - Maple already closed.", "mpl_close")});
    SetEnvironmentVariableA("STANDIN_KERNEL_START_ERROR", nullptr);
}

TEST_F(BridgeControl, FailedRestartReportsInTheStatusAndKeepsTheTextForTheNextWarning)
{
    OpenKernel();
    SetEnvironmentVariableA("STANDIN_KERNEL_RESTART_ERROR", "cannot restart");
    EXPECT_EQ(api->mpl_restart(&status), 0);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{});
    api->mpl_open(&status, "");
    EXPECT_EQ(boxes.Take(), Boxes{Warning("Warning - Maple already initialized.", "mpl_open", "cannot restart")});
    SetEnvironmentVariableA("STANDIN_KERNEL_RESTART_ERROR", nullptr);
}

std::string LibraryPath(const BridgeExports& e)
{
    char text[512] = "";
    double status = 0;
    e.mpl_strget(&status, "libname", text);
    return text;
}

TEST_F(BridgeControl, OpenSetsTheLibraryPathToTheFolderAndLib)
{
    OpenKernel(false);
    EXPECT_EQ(LibraryPath(*api), "");
    api->mpl_close(&status);
    const std::string folderWithSeparator = folder.Path() + "\\";
    api->mpl_open(&status, folderWithSeparator.c_str());
    EXPECT_EQ(LibraryPath(*api), folderWithSeparator + "/lib");
}

TEST_F(BridgeControl, LibraryFolderLongerThanItsBufferIsRefusedBeforeStarting)
{
    const std::string longest(251, 'a');
    EXPECT_EQ(api->mpl_open(&status, longest.c_str()), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(LibraryPath(*api), longest + "/lib");
    api->mpl_close(&status);

    EXPECT_EQ(api->mpl_open(&status, (longest + "b").c_str()), 1);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_open", "Name too long")});
    api->mpl_exec(&status, "1;");
    EXPECT_EQ(boxes.Take(), (Boxes{Warning("Maple must first be initialized.", "mpl_exec"), ProgramError}));
}

TEST_F(BridgeControl, CaptureBufferReachesTheHostOnlyWhenItFits)
{
    OpenKernel();
    EXPECT_EQ(Printed("12345;"), "12345");
    struct Case {
        double size;
        bool copied;
    };
    for (const Case c : {Case{0, false}, Case{5, false}, Case{6, true}, Case{5.9, false}}) {
        char text[8] = "~";
        double size = c.size;
        EXPECT_EQ(api->mpl_tempbuf(&status, text, &size), 0);
        EXPECT_EQ(std::string(text), c.copied ? "12345" : "~") << c.size;
        EXPECT_EQ(size, 5);
        EXPECT_EQ(status, 0);
    }
    // It needs no kernel, and reports the error flag.
    api->mpl_exec(&status, "x := ;");
    api->mpl_close(&status);
    boxes.Take();
    char text[8] = "";
    double size = 8;
    EXPECT_EQ(api->mpl_tempbuf(&status, text, &size), 0);
    EXPECT_EQ(std::string(text), "12345");
    EXPECT_EQ(status, 1);
}

TEST_F(BridgeControl, LogCollectsEveryOutputWhileOn)
{
    const std::string log = folder.File("magout.txt");
    EXPECT_EQ(api->mpl_output(&status, "on", ""), 0);   // before there is a kernel
    EXPECT_EQ(status, 0);
    OpenKernel();
    api->mpl_exec(&status, "1+1; x := 3; y := 4:");
    EXPECT_EQ(ReadFileText(log), "2  \n\nx := 3  \n\n");
    api->mpl_output(&status, "reset", "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileText(log), "\n");
    api->mpl_exec(&status, "print(x);");
    EXPECT_EQ(ReadFileText(log), "\n3  \n\n");
    api->mpl_output(&status, "off", "");
    api->mpl_exec(&status, "print(y);");
    EXPECT_EQ(ReadFileText(log), "\n3  \n\n");
    EXPECT_EQ(boxes.Take(), Boxes{});
}

TEST_F(BridgeControl, OutputOverMaxlenIsLoggedButNeitherCapturedNorShown)
{
    OpenKernel();
    const std::string big(70000, 's');
    api->mpl_strput(&status, "s", big.c_str());
    EXPECT_EQ(Printed("7;"), "7");
    api->mpl_output(&status, "on", "");
    api->mpl_exec(&status, "print(s);");
    EXPECT_EQ(ReadFileText(folder.File("magout.txt")), "\"" + big + "\"  \n\n");
    EXPECT_EQ(boxes.Take(), Boxes{});

    api->mpl_output(&status, "reset", "");
    char text[8] = "";
    double size = sizeof text;
    api->mpl_get(&status, "print(s);", text, &size);
    EXPECT_EQ(boxes.Take(), (Boxes{BoxRecord{"msgeng", "Maple output exceeds MAXLEN"}}));
    EXPECT_EQ(size, 1);   // the capture buffer still holds "7"
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileText(folder.File("magout.txt")), "\n");

    double on = 1;
    api->mpl_debug(&status, &on);
    api->mpl_exec(&status, "print(s);");
    EXPECT_EQ(boxes.Take(), (Boxes{BoxRecord{"msgeng", "Maple output exceeds MAXLEN"}}));
}

TEST_F(BridgeControl, DebugModeShowsEveryOutput)
{
    OpenKernel();
    double on = 1, half = 0.5;
    EXPECT_EQ(api->mpl_debug(&status, &on), 0);
    EXPECT_EQ(status, 0);
    api->mpl_exec(&status, "7; 8:");
    EXPECT_EQ(boxes.Take(), (Boxes{BoxRecord{"msgeng", "7\n"}}));
    char text[8] = "";
    double size = sizeof text;
    api->mpl_tempbuf(&status, text, &size);
    EXPECT_EQ(std::string(text), "7\n");
    EXPECT_EQ(Printed("9;"), "9");   // capturing replaces the debug text
    EXPECT_EQ(boxes.Take(), (Boxes{BoxRecord{"msgeng", "9\n"}}));
    api->mpl_debug(&status, &half);
    api->mpl_exec(&status, "10;");
    EXPECT_EQ(boxes.Take(), Boxes{});
}

// Outputs at the edge of the capture buffer: with the terminator, and in debug mode the line
// feed as well, an output must fit in MAXLEN bytes.
struct EdgeCase {
    std::size_t outputLength;
    bool debugging;
    bool fits;
};

class BridgeCaptureEdge : public BridgeTest, public testing::WithParamInterface<EdgeCase> {};

TEST_P(BridgeCaptureEdge, OutputFitsOrExceedsMaxlen)
{
    OpenKernel();
    const EdgeCase& c = GetParam();
    api->mpl_strput(&status, "s", std::string(c.outputLength - 2, 'q').c_str());   // printed with its quotes
    double on = c.debugging ? 1 : 0;
    api->mpl_debug(&status, &on);
    std::string text(70000, '\0');
    double size = static_cast<double>(text.size());
    api->mpl_get(&status, "print(s);", text.data(), &size);
    const Boxes shown = boxes.Take();
    if (c.fits) {
        EXPECT_EQ(size, c.outputLength);
        EXPECT_EQ(shown.size(), c.debugging ? 1u : 0u);
    } else {
        EXPECT_EQ(size, 0);   // the capture buffer is still empty
        EXPECT_EQ(shown, (Boxes{BoxRecord{"msgeng", "Maple output exceeds MAXLEN"}}));
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, BridgeCaptureEdge, testing::Values(
    EdgeCase{65535, false, true},
    EdgeCase{65536, false, false},
    EdgeCase{65534, true, true},
    EdgeCase{65535, true, false}));

TEST_F(BridgeControl, ShowOpensTheLogOrTheViewerFileInTheViewer)
{
    const std::string log = folder.File("magout.txt"), viewer = folder.File("viewer.txt");
    WriteFileText(log, "logged");
    EXPECT_EQ(api->mpl_output(&status, "show", ""), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileText(folder.File("notepad.txt")), log);

    EXPECT_EQ(api->mpl_output(&status, "show", "line one\nline two"), 0);
    EXPECT_EQ(ReadFileText(viewer), "line one\nline two");
    EXPECT_EQ(ReadFileText(folder.File("notepad.txt")), viewer);
    EXPECT_EQ(ReadFileText(log), "logged");

    SetEnvironmentVariableA("NOTEPAD_EXIT_CODE", "3");
    api->mpl_output(&status, "show", "x");
    EXPECT_EQ(status, 3);
    SetEnvironmentVariableA("NOTEPAD_EXIT_CODE", nullptr);
    EXPECT_EQ(boxes.Take(), Boxes{});
}

TEST_F(BridgeControl, ShowHandsAPathWithBlanksToTheViewerAsOneArgument)
{
    const std::string blanks = folder.File("with blanks");
    CreateDirectoryA(blanks.c_str(), nullptr);
    SetEnvironmentVariableA("TMP", blanks.c_str());
    Reload();
    api->mpl_output(&status, "show", "shown");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileText(folder.File("notepad.txt")), blanks + "\\viewer.txt");
}

TEST_F(BridgeControl, ShowWithoutAViewerAnswersMinusOne)
{
    DeleteFileA(folder.File("notepad.exe").c_str());
    SetEnvironmentVariableA("PATH", "");
    api->mpl_output(&status, "show", "x");
    EXPECT_EQ(status, -1);
}

TEST_F(BridgeControl, OtherCommandsChangeNothingAndAnswerTheErrorFlag)
{
    OpenKernel();
    for (const char* command : {"Show", "ON", "on ", "Reset", ""}) {
        EXPECT_EQ(api->mpl_output(&status, command, "text"), 0);
        EXPECT_EQ(status, 0) << command;
    }
    api->mpl_exec(&status, "1;");
    EXPECT_EQ(GetFileAttributesA(folder.File("magout.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(folder.File("viewer.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    api->mpl_exec(&status, "x := ;");
    api->mpl_output(&status, "other", "");
    EXPECT_EQ(status, 1);
}

TEST_F(BridgeControl, WithoutTmpTheFilesGoToTheSystemTemporaryFolder)
{
    const std::string system = folder.File("system");
    CreateDirectoryA(system.c_str(), nullptr);
    SetEnvironmentVariableA("TMP", nullptr);
    SetEnvironmentVariableA("TEMP", system.c_str());
    Reload();
    api->mpl_output(&status, "show", "shown");
    EXPECT_EQ(ReadFileText(system + "\\viewer.txt"), "shown");
    EXPECT_EQ(ReadFileText(folder.File("notepad.txt")), system + "\\viewer.txt");
}

TEST_F(BridgeControl, FilePathsLongerThanTheirBufferAreRefused)
{
    SetEnvironmentVariableA("TMP", (folder.Path() + "\\" + std::string(250, 't')).c_str());
    Reload();
    for (const char* command : {"show", "reset", "on"}) {
        EXPECT_EQ(api->mpl_output(&status, command, ""), 0);
        EXPECT_EQ(status, 1) << command;
        EXPECT_EQ(boxes.Take(), Boxes{ComputationError("", "Name too long")}) << command;
    }
}

TEST_F(BridgeControl, FilesThatCannotBeWrittenAreReported)
{
    const std::string missing = folder.File("missing");
    SetEnvironmentVariableA("TMP", missing.c_str());
    Reload();
    OpenKernel();
    api->mpl_output(&status, "on", "");
    api->mpl_exec(&status, "1; 2;");   // reported once, then logging is off
    EXPECT_EQ(boxes.Take(), (Boxes{{"msgeng", "Cannot write the log file " + missing + "\\magout.txt; logging is off."}}));
    EXPECT_EQ(status, 0);
    api->mpl_output(&status, "show", "text");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("mpl_exec", "Cannot write the viewer file " + missing + "\\viewer.txt")});
    EXPECT_EQ(GetFileAttributesA(folder.File("notepad.txt").c_str()), INVALID_FILE_ATTRIBUTES);   // no viewer started
}

TEST_F(BridgeControl, FileUtilities)
{
    const std::string file = folder.File("doomed.txt");
    WriteFileText(file, "x");
    struct Case {
        int (*BridgeExports::*call)(double*, const char*);
        std::string path;
        double answer;
    };
    const Case cases[] = {
        {&BridgeExports::exist_file, file, 1},
        {&BridgeExports::exist_file, folder.Path(), 1},   // a folder exists too
        {&BridgeExports::delete_file, file, 1},
        {&BridgeExports::exist_file, file, 0},
        {&BridgeExports::delete_file, file, 0},           // already gone
        {&BridgeExports::delete_file, folder.Path(), 0},  // not a file
    };
    for (const Case& c : cases) {
        double answer = -1;
        EXPECT_EQ((api->*c.call)(&answer, c.path.c_str()), 0);
        EXPECT_EQ(answer, c.answer) << c.path;
    }
    EXPECT_EQ(boxes.Take(), Boxes{});
}

TEST_F(BridgeControl, FileUtilitiesRefusePathsLongerThan255)
{
    const std::string longest = folder.Path() + "\\" + std::string(254 - folder.Path().size(), 'p');
    double answer = -1;
    api->exist_file(&answer, longest.c_str());
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(boxes.Take(), Boxes{});
    api->delete_file(&answer, (longest + "p").c_str());
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(boxes.Take(), Boxes{ComputationError("", "Name too long")});
}

TEST_F(BridgeControl, TestShowsItsText)
{
    EXPECT_EQ(api->mpl_test("hello host"), 0);
    EXPECT_EQ(boxes.Take(), (Boxes{{"Test mplend", "hello host"}}));
}

}
