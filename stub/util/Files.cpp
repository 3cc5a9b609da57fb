#include "Files.h"

#include "KDebug.h"
#include "PathText.h"
#include "Utils.h"
#include "UtilsWin.h"

#include <winioctl.h>

#include <algorithm>
#include <exception>

namespace {

const DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;

WinHandle OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition)
{
    return WinHandle(CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool IsDots(const char* name) { return std::string_view(name) == "." || std::string_view(name) == ".."; }

bool IsFolderEntry(const WIN32_FIND_DATAA& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDots(entry.cFileName);
}

// A linked folder (junction or symbolic link) points into another tree: searches and deletions
// stay out of it.
bool IsLinkedFolder(const WIN32_FIND_DATAA& entry) { return entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT; }

// Calls visit(entry) for every entry of a directory search until it answers true.
template <typename Visit>
bool ForEachEntry(const std::string& mask, Visit visit)
{
    WIN32_FIND_DATAA entry;
    FindHandle search(FindFirstFileA(mask.c_str(), &entry));
    if (!search.Valid())
        return false;
    do
        if (visit(entry))
            return true;
    while (FindNextFileA(search.Get(), &entry));
    return false;
}

// Depth-first search below folder; found(path) decides on each folder, messages are dispatched
// between entries so the user interface stays alive.
template <typename Found>
std::string SearchTree(const std::string& folder, Found found)
{
    std::string result = found(folder);
    if (!result.empty())
        return result;
    const std::string base = SetTrailingBackslash(folder, true);
    ForEachEntry(base + "*.*", [&](const WIN32_FIND_DATAA& entry) {
        if (IsFolderEntry(entry) && !IsLinkedFolder(entry))
            result = SearchTree(base + entry.cFileName, found);
        PumpMessages(0);
        return !result.empty();
    });
    return result;
}

template <typename SearchIn>
std::string SearchDrives(int driveType, SearchIn searchIn)
{
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        if (driveType >= 0 && GetDriveTypeA(root.c_str()) == static_cast<UINT>(driveType)) {
            const std::string result = searchIn(root);
            if (!result.empty())
                return result;
        }
    }
    return {};
}

DWORD WriteOnce(HANDLE file, const char* data, std::size_t size)
{
    DWORD written = 0;
    if (!WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr))
        return 0;
    return written;
}

bool ReadExactly(HANDLE file, char* data, std::size_t size)
{
    while (size > 0) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!ReadFile(file, data, want, &got, nullptr) || got == 0)
            return false;
        data += got;
        size -= got;
    }
    return true;
}

enum class FreeSpaceEx { NotAsked, Missing, Present };
FreeSpaceEx freeSpaceEx = FreeSpaceEx::NotAsked;

} // namespace

WinHandle OpenForReading(const std::string& path) { return OpenFile(path, GENERIC_READ, ShareAll, OPEN_EXISTING); }

WinHandle OpenForWriting(const std::string& path) { return OpenFile(path, GENERIC_WRITE, ShareAll, OPEN_EXISTING); }

WinHandle CreateForWriting(const std::string& path)
{
    return OpenFile(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
}

WinHandle OpenOrCreateAtEnd(const std::string& path)
{
    WinHandle file = FileExists(path) ? OpenForWriting(path) : CreateForWriting(path);
    if (file.Valid())
        FileSeek64(file.Get(), 0, 2);
    return file;
}

std::size_t WriteToFile(HANDLE file, std::string_view text)
{
    const std::size_t chunk = WriteChunkSize(text.size());
    std::size_t done = 0;
    while (done < text.size()) {
        const DWORD written = WriteOnce(file, text.data() + done, std::min(chunk, text.size() - done));
        if (written == 0)
            break;
        done += written;
    }
    return done;
}

void SetFileDate(HANDLE file, std::uint32_t dosDate)
{
    FILETIME local, utc;
    if (DosDateTimeToFileTime(HIWORD(dosDate), LOWORD(dosDate), &local) && LocalFileTimeToFileTime(&local, &utc))
        SetFileTime(file, nullptr, nullptr, &utc);
}

bool CopyLastWriteTime(const std::string& from, const std::string& to)
{
    const WinHandle source = OpenForReading(from);
    FILETIME written;
    if (!source.Valid() || !GetFileTime(source.Get(), nullptr, nullptr, &written))
        return false;
    const WinHandle target = OpenFile(to, FILE_WRITE_ATTRIBUTES, ShareAll, OPEN_EXISTING);
    return target.Valid() && SetFileTime(target.Get(), nullptr, nullptr, &written);
}

std::uint32_t FileDosDate(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    WORD date = 0, time = 0;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local))
        FileTimeToDosDateTime(&local, &date, &time);
    return static_cast<std::uint32_t>(date) << 16 | time;
}

bool CreateFolderPath(const std::string& folder)
{
    const std::string path = RemoveTrailingBackslash(folder);
    if (path.empty())
        return false;
    // Each level in turn; for a drive root or a network share the call fails harmlessly. A
    // backslash that is the second byte of a double-byte character separates nothing.
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(path[i]))
            ++i;
        else if (path[i] == '\\' && i > 0)
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
    return FolderExists(path);
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::int64_t FileSeek64(HANDLE file, std::int64_t offset, int origin)
{
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(file, distance, &position, static_cast<DWORD>(origin)))
        return -1;
    return position.QuadPart;
}

std::int64_t FileSizeOfPath(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    FindHandle search(FindFirstFileA(path.c_str(), &entry));
    if (!search.Valid())
        return 0;
    return (static_cast<std::int64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
}

std::int64_t FileSizeOfHandle(HANDLE file)
{
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return 0;
    return (static_cast<std::int64_t>(high) << 32) | low;
}

std::string ReadFileBytes(const std::string& path, std::size_t count, std::int64_t offset)
{
    if (!FileExists(path))
        return {};
    const WinHandle file = OpenForReading(path);
    if (!file.Valid())
        return {};
    const std::int64_t size = FileSizeOfHandle(file.Get());
    std::int64_t n = size - offset;
    if (count != 0)
        n = std::min<std::int64_t>(n, static_cast<std::int64_t>(count));
    if (offset < 0 || offset >= size || n <= 0 || static_cast<std::uint64_t>(n) > std::string().max_size())
        return {};
    try {
        std::string bytes(static_cast<std::size_t>(n), '\0');
        if (FileSeek64(file.Get(), offset, 0) != offset || !ReadExactly(file.Get(), bytes.data(), bytes.size()))
            return {};
        return bytes;
    } catch (const std::exception&) {
        return {}; // more than the process can hold
    }
}

bool WriteFileBytes(const std::string& path, std::string_view text, std::uint32_t dosDate, bool append)
{
    const WinHandle file = append ? OpenOrCreateAtEnd(path) : CreateForWriting(path);
    if (!file.Valid())
        return false;
    const bool complete = WriteToFile(file.Get(), text) == text.size();
    if (complete && dosDate != 0)
        SetFileDate(file.Get(), dosDate);
    return complete;
}

bool AppendFileBytes(const std::string& path, std::string_view text, std::uint32_t dosDate)
{
    const WinHandle file = OpenOrCreateAtEnd(path);
    if (!file.Valid())
        return false;
    const bool complete = WriteOnce(file.Get(), text.data(), text.size()) == text.size();
    if (dosDate != 0)
        SetFileDate(file.Get(), dosDate);
    return complete;
}

double DiskFreeBytes(const std::string& path)
{
    if (freeSpaceEx == FreeSpaceEx::NotAsked)
        freeSpaceEx = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA") ? FreeSpaceEx::Present
                                                                                              : FreeSpaceEx::Missing;
    const std::string letterRoot = DriveRootOf(path, true);
    if (freeSpaceEx == FreeSpaceEx::Missing) {
        DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
        if (!GetDiskFreeSpaceA(letterRoot.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
            return -1;
        return static_cast<double>(sectorsPerCluster) * bytesPerSector * freeClusters;
    }
    ULARGE_INTEGER available, total, totalFree;
    if (!GetDiskFreeSpaceExA(DriveRootOf(path, false).c_str(), &available, &total, &totalFree) &&
        !GetDiskFreeSpaceExA(letterRoot.c_str(), &available, &total, &totalFree))
        return -1;
    return static_cast<double>(available.QuadPart);
}

std::string FindFileInTree(const std::string& folder, const std::string& name)
{
    return SearchTree(folder, [&name](const std::string& at) {
        const std::string candidate = SetTrailingBackslash(at, true) + name;
        return FileExists(candidate) ? candidate : std::string();
    });
}

std::string FindFolderInTree(const std::string& folder, const std::string& name)
{
    return SearchTree(folder, [&name](const std::string& at) {
        return EndsWith("\\" + name, at, true) ? at : std::string();
    });
}

std::string FindFileOnDrives(const std::string& name, int driveType)
{
    return SearchDrives(driveType, [&name](const std::string& root) { return FindFileInTree(root, name); });
}

std::string FindFolderOnDrives(const std::string& name, int driveType)
{
    if (name.size() >= 3 && name.compare(1, 2, ":\\") == 0) {
        const bool rightType = driveType >= 0 && GetDriveTypeA(DriveRootOf(name, true).c_str()) == static_cast<UINT>(driveType);
        return rightType && FolderExists(name) ? name : std::string();
    }
    return SearchDrives(driveType, [&name](const std::string& root) { return FindFolderInTree(root, name); });
}

bool DeleteFilesByMask(const std::string& mask, bool clearAttributes)
{
    const std::string folder = mask.substr(0, mask.find_last_of("\\:") + 1);
    bool matched = false;
    ForEachEntry(mask, [&](const WIN32_FIND_DATAA& entry) {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            matched = true;
            const std::string path = folder + entry.cFileName;
            if (clearAttributes)
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        return false;
    });
    return matched;
}

bool DeleteFolderTree(const std::string& folder, bool clearAttributes)
{
    if (folder.empty())
        return false;
    const bool existed = FolderExists(folder);
    const std::string base = SetTrailingBackslash(folder, true);
    DeleteFilesByMask(base + "*.*", clearAttributes);
    ForEachEntry(base + "*.*", [&](const WIN32_FIND_DATAA& entry) {
        if (IsFolderEntry(entry)) {
            const std::string sub = base + entry.cFileName;
            if (!IsLinkedFolder(entry))
                DeleteFolderTree(sub, clearAttributes);
            RemoveDirectoryA(sub.c_str());
        }
        return false;
    });
    RemoveDirectoryA(folder.c_str());
    return existed && !FolderExists(folder);
}

namespace {

SelfRemovalPaths SelfRemovalPathsFor(bool shortNames)
{
    SelfRemovalPaths paths{ProgramFilePath(false), ProgramFolder(false), TempFolder(true) + "_DEL_ME_.BAT"};
    if (shortNames) {
        // Short names exist only for existing files: the script's file is made for the lookup.
        WriteFileBytes(paths.batch, "ABC\r\n", 0, false);
        for (std::string* path : {&paths.batch, &paths.program, &paths.folder}) {
            const std::string shortPath = ShortPathName(*path);
            if (!shortPath.empty())
                *path = shortPath;
        }
        DeleteFileA(paths.batch.c_str());
    }
    return paths;
}

} // namespace

std::string SelfRemovalScriptFor(bool removeFolder, bool shortNames)
{
    return SelfRemovalScript(SelfRemovalPathsFor(shortNames), !shortNames, removeFolder);
}

void ScheduleSelfRemoval(bool removeFolder, bool shortNames)
{
    const SelfRemovalPaths paths = SelfRemovalPathsFor(shortNames);
    // DEL leaves a read-only, hidden or system file in place, and the script would retry it for
    // ever.
    SetFileAttributesA(paths.program.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetCurrentDirectoryA(TempFolder(false).c_str());
    WriteFileBytes(paths.batch, SelfRemovalScript(paths, !shortNames, removeFolder), 0, false);
    // A temporary folder with blanks in its path would otherwise split the command line.
    const std::string command = paths.batch.find(' ') == std::string::npos ? paths.batch : "\"" + paths.batch + "\"";
    WinExec(command.c_str(), SW_HIDE);
}

bool EjectCdDrive(const std::string& path)
{
    try {
        const char letter = path.empty() ? '\0' : AnsiUpperCase(path.substr(0, 1))[0];
        if (letter < 'A' || letter > 'Z' || GetDriveTypeA((std::string(1, letter) + ":\\").c_str()) != DRIVE_CDROM)
            return false;
        const std::string device = std::string("\\\\.\\") + letter + ":";
        WinHandle drive = OpenFile(device, GENERIC_READ | GENERIC_WRITE, ShareAll, OPEN_EXISTING);
        DebugWriteLine("EjectCD-2: " + device + " " + std::to_string(reinterpret_cast<INT_PTR>(drive.Get())));
        if (!drive.Valid())
            drive = OpenFile(device, GENERIC_READ, ShareAll, OPEN_EXISTING);
        DebugWriteLine("EjectCD-3: " + device + " " + std::to_string(reinterpret_cast<INT_PTR>(drive.Get())));
        if (!drive.Valid())
            return false;
        DWORD returned = 0;
        return DeviceIoControl(drive.Get(), IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0, &returned, nullptr) != 0;
    } catch (const std::exception&) {
        return false;
    }
}
