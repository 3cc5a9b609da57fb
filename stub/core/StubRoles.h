// The names by which packstub decides its role and finds its other instances: the window class
// of the running program, the X_ agent's class and file, the role facts by file name, and the
// parameter text the plain agent hands to its X_ copy.
#pragma once

#include <string>
#include <string_view>

// An agent: ".AutoUpdate." + the program's file name without its last extension (one agent per
// name, wherever it lies); a setup: the program's full path (one run per setup file).
std::string WindowClassNameFor(bool autoUpdateProg, std::string_view programPath);
// The class of the X_ agent of the agent file name.
std::string XAgentWindowClass(std::string_view agentFileName);
// The running file is the agent file, or its X_ copy (names trimmed, letter case ignored).
bool IsPlainAgentName(std::string_view programFileName, std::string_view agentFileName);
bool IsXAgentName(std::string_view programFileName, std::string_view agentFileName);
// "X_" + the program's file name in the program's folder.
std::string XCopyPath(std::string_view programPath);
// What follows the X_ path on the copy's command line: " /TRANSIENTx=" + the override list when
// one was given, then " /SleepX=" + the delay when one was given. A value that the copy would cut
// at a blank or "/" is passed in double quotes.
std::string XCopyParameters(std::string_view transient, std::string_view delay);
