// What the setup launch decides without the system: the names of the extraction folder, the
// Y_ copy and the hand-shake with the setup engine, the engine's and the Y_ copy's command
// lines, the space question and the megabyte figures in it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The temporary folder (with backslash) + "SETUP_" + the time-of-day half of the program file's
// DOS date-time, so every run of one setup file uses the same folder.
std::string ExtractFolderPathFor(std::string_view tempFolder, std::uint32_t programDosDate);
// extractFolder + "\" + "Y_" + the program's file name.
std::string YCopyPathFor(std::string_view extractFolder, std::string_view programPath);
// The Y_ copy's command line: its path, a blank, and the trimmed text of the own parameters
// followed by the spanned-set items and the disk's program path as /OriginExe=.
std::string YCopyCommandLine(std::string_view yCopyPath, std::string_view paramText, std::string_view programPath);

// The update agent file of a web-delivered setup: the running program's bytes, cut at its
// package end mark when fewer than 10,000 bytes follow it (an appended signature), with
// AutoUpdateProg (the fifth byte from the end, in the trailer) set.
std::string WebAgentImage(std::string program);

// The setup engine's command line: the engine named by the run name (the text before its "*")
// in destDir, then the parameters (the given ones, then the run name's after its "*"), the
// thread tag, the program path as /OriginExe= unless the parameters name one, /AutoUpdateProg
// for an agent; /SpanCdLvl= and /SpanDiskFName1= are removed.
std::string EngineCommandLine(std::string_view destDir, std::string_view runName, std::string_view params,
                              std::string_view threadTag, std::string_view programPath, bool autoUpdateProg);

// The hand-shake names of one launch, from the decimal id of the launching thread: the thread
// tag "_" + id, the completion atom the engine deletes when its setup has completed, and the
// class of the engine's dialog window that the launch waits for.
std::string ThreadTagOf(std::uint32_t threadId);
std::string CompletionAtomName(std::string_view threadTag);
std::string DialogClassName(std::string_view threadTag);

// A byte count in megabytes: one decimal above 10, two from 1 to 10, three below 1; a negative
// count is 0.
std::string FormatMegabytes(double bytes);

// The texts of the space question (keys s2 to s6).
struct TSpaceTexts {
    std::string notice, warning, required, available, question;
};
// The question to ask before extracting into a folder on drive (as "C:"), empty when none is
// needed: the notice when the package always asks, the warning (instead) when the space needed
// is not below the free space, then the figures and the question.
std::string SpaceQuestion(bool alwaysShowTempNotice, double need, double freeBytes, std::string_view drive,
                          const TSpaceTexts& texts);
// "C:" for a folder on drive C (the first character upper-cased), empty for an empty folder.
std::string DriveOfFolder(std::string_view folder);
