// The system part of Utils: INI files through the profile functions, registry reads with textual
// key paths, identity texts, the millisecond clock, waits that keep window messages flowing,
// screen and window placement, dynamic function lookup, version texts and the program's folders.
// Every read takes a default; nothing here reports errors other than through its result.
#pragma once

#include "UtilsCore.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// INI files. Values are at most 10,240 characters; a missing file, section or key and an empty
// value read as the default, and an empty section is never looked up.
std::string ReadIniString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultText);
std::int64_t ReadIniInt(const std::string& file, const std::string& section, const std::string& key,
                        std::int64_t defaultValue);
bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);
bool WriteIniInt(const std::string& file, const std::string& section, const std::string& key, std::int64_t value);

// Registry.
HKEY RegRootKey(RegRoot root);
// The value as text (see RegValueText); the default when the key or value is missing, denied or
// larger than 10,241 bytes. An empty value name reads the key's default value.
std::string RegReadString(std::string_view path, const std::string& valueName, const std::string& defaultText,
                          bool use64BitView = false);
std::string GetRegisteredOwner();
std::string GetRegisteredOrganization();

// Identity and texts.
std::string UserLoginName();
std::string ComputerName();
std::string UserDomainName();
std::string WindowText(HWND window);
std::string SystemErrorText();

// Time and waits. Both waits dispatch every message of the calling thread, so window procedures
// and timers run inside them. A quit request met on the way is put back for the message loop.
std::int64_t MillisecondClock();
void PumpMessages(DWORD sleepMs);
// The same without the sleep (not even the yield of a 0 ms one), for work that goes on at once.
void DispatchPendingMessages();
void WaitWithMessagePump(std::uint32_t stepMs, std::int64_t totalMs);

// The registered "QueryCancelAutoPlay" message; 0 while not registered.
void RegisterQueryCancelAutoPlay(bool on);
std::uint16_t QueryCancelAutoPlayId();

// Screen and placement.
int ScreenPixelsPerInch();
int PointsToPixels(int points);
POINT CenterInWorkArea(int width, int height);

bool ShellOpen(const std::string& file, const std::string& parameters, int showCommand);
// Libraries named without a folder come from the system folder only: a library of the same name
// beside a downloaded setup file, or in the current folder, is never loaded in its place.
HMODULE LoadSystemLibrary(const std::string& name);
// Confines every later load by bare name to the system folder where the system offers it (and
// drops the current folder from the search elsewhere); called once at start.
void RestrictLibrarySearch();
// A library named without a folder is loaded by LoadSystemLibrary. The library stays loaded in
// both forms; the first hands its handle to the caller to free.
FARPROC LoadFunction(const std::string& library, const std::string& function, HMODULE& handle);
FARPROC LoadFunction(const std::string& library, const std::string& function);
// A looked-up address as a pointer to the function's real type.
template <typename Function>
Function FunctionAs(FARPROC address)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
// "major.minor.release.build" of the fixed version; empty path: the program's own file; empty
// text when the file has no version resource.
std::string FileVersionText(const std::string& path);
bool IsWindowsNT();
// The developer switch: the environment variable DVX holds exactly "586"; read once.
bool DeveloperMode();

// The program's own file and the standard folders.
std::string ProgramFilePath(bool nameOnly);
std::string ProgramFolder(bool withBackslash);
std::string WindowsFolder(bool withBackslash);
std::string SystemFolder(bool withBackslash);
std::string TempFolder(bool withBackslash);
// The short (8.3) form of an existing path; empty when the path does not exist.
std::string ShortPathName(const std::string& path);
