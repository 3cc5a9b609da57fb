// The program's file-system vocabulary: the three opening modes, 64-bit seeking and sizes,
// byte ranges read into texts, texts written and appended, free space, searches of folder trees
// and drives, deletion by mask and of whole trees, the CD eject and the removal of the program's
// own file after it has ended. Every operation opens and closes its files itself.
#pragma once

#include "FilesCore.h"
#include "WinHandle.h"

#include <cstdint>
#include <string>
#include <string_view>

// Read or write an existing file, all sharing allowed; create (truncating), no sharing.
WinHandle OpenForReading(const std::string& path);
WinHandle OpenForWriting(const std::string& path);
WinHandle CreateForWriting(const std::string& path);

// An existing file opened for writing at its end, or a new one.
WinHandle OpenOrCreateAtEnd(const std::string& path);
// Writes text to the open file, large texts in chunks; the number of bytes written.
std::size_t WriteToFile(HANDLE file, std::string_view text);
// dosDate: an MS-DOS date (high word) and time (low word), local time.
void SetFileDate(HANDLE file, std::uint32_t dosDate);
bool CopyLastWriteTime(const std::string& from, const std::string& to);
// The file's last-write time as an MS-DOS date-time, local time; 0 when there is no such file.
std::uint32_t FileDosDate(const std::string& path);
// Creates the folder with every missing level above it; true when it exists afterwards.
bool CreateFolderPath(const std::string& folder);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Origin 0 is the beginning, 1 the current position, 2 the end; -1 when the seek fails.
std::int64_t FileSeek64(HANDLE file, std::int64_t offset, int origin);
std::int64_t FileSizeOfPath(const std::string& path);
std::int64_t FileSizeOfHandle(HANDLE file);

// count 0 reads to the end; empty when the file is missing, the range lies outside it or fewer
// bytes arrive.
std::string ReadFileBytes(const std::string& path, std::size_t count, std::int64_t offset);
// dosDate: an MS-DOS date (high word) and time (low word), local time; 0 leaves the date.
bool WriteFileBytes(const std::string& path, std::string_view text, std::uint32_t dosDate, bool append);
bool AppendFileBytes(const std::string& path, std::string_view text, std::uint32_t dosDate);

double DiskFreeBytes(const std::string& path);

std::string FindFileInTree(const std::string& folder, const std::string& name);
std::string FindFileOnDrives(const std::string& name, int driveType);
std::string FindFolderInTree(const std::string& folder, const std::string& name);
std::string FindFolderOnDrives(const std::string& name, int driveType);

bool DeleteFilesByMask(const std::string& mask, bool clearAttributes);
// True when the folder existed and is gone now.
bool DeleteFolderTree(const std::string& folder, bool clearAttributes);

// The "_DEL_ME_.BAT" script for the running program, as ScheduleSelfRemoval writes it.
std::string SelfRemovalScriptFor(bool removeFolder, bool shortNames);
// Writes that script to the temporary folder and starts it hidden; it deletes the program's
// file (and its folder, when asked and empty) once the process has gone.
void ScheduleSelfRemoval(bool removeFolder, bool shortNames);

bool EjectCdDrive(const std::string& path);
