// The extraction of a package into a folder, written once over a host that gives it files,
// folders, the window's message loop and the user's answers: the Windows build hands it the
// system, the tests a file system in memory. The walk checks each part file's checksum, streams
// every file record into its file (appending to a file of the same name), sets the dates, writes
// the update agent file on request and moves on to the next part file of a spanned set, asking
// for the next disk when its file is not there.
#pragma once

#include "PackageSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// A file the extraction writes, open from the first piece of a record to its last. Destroyed
// without Close (a damaged record), it is closed and keeps its date.
class TExtractFile {
public:
    virtual ~TExtractFile() = default;
    virtual bool Write(std::string_view piece) = 0;
    // Closes the file, then gives it the DOS date-time (0: the date is left as it is).
    virtual void Close(std::uint32_t dosDate) = 0;
};

class TExtractHost {
public:
    virtual ~TExtractHost() = default;

    virtual bool FileExists(const std::string& path) = 0;
    virtual std::unique_ptr<PackageSource> OpenSource(const std::string& path) = 0;
    // Creates every missing level of the folder; a failure shows later, as failed writes.
    virtual void CreateFolders(const std::string& folder) = 0;
    // The file opened for appending, created when missing; null when it cannot be opened.
    virtual std::unique_ptr<TExtractFile> OpenForAppend(const std::string& path) = 0;
    // Writes bytes as the whole file, replacing any, with the last-write time of dateFrom.
    virtual bool WriteWholeFile(const std::string& path, std::string_view bytes, const std::string& dateFrom) = 0;
    virtual std::uint64_t FileSize(const std::string& path) = 0;
    virtual double FreeBytes(const std::string& path) = 0;
    virtual std::string LastErrorText() = 0;

    virtual void EjectDisk(const std::string& path) = 0;
    // The disk prompt: true for OK.
    virtual bool AskForDisk(const std::string& text) = 0;
    virtual void ShowError(const std::string& text) = 0;
    // From now on an inserted disk does not start its autoplay.
    virtual void AnswerAutoPlay() = 0;
    virtual void PumpMessages() = 0;
    virtual void Wait(int milliseconds) = 0;
    virtual void ProgressStart(int total) = 0;
    virtual void ProgressStep() = 0;
    virtual void Debug(const std::string& line) = 0;
    virtual std::int64_t Milliseconds() = 0;
};

struct TExtractResult {
    // False when the first part is missing, a part fails its checksum or a block runs past the
    // end of its part.
    bool ChecksumOK = false;
    // The name field of the last record that names the program to run; empty when none or when
    // the user cancelled a disk prompt.
    std::string RunName;
    // False when the user cancelled a disk prompt.
    bool Answer = true;
};

// Reads are at most this large; a record never costs more memory than a read and a piece of
// inflated output.
constexpr std::size_t ExtractReadSize = 65536;
// Record headers longer than this are not kept: such a record is refused like a bad name.
constexpr std::size_t RecordHeaderLimit = 65536;

// Extracts source (a setup file, or the ".001" part of a spanned set) into destDir. agentName,
// when its file name is not empty, asks for an update agent file there; diskPrompt is the text
// of the disk prompt with "<DISK_NUM>" for the part number; forcePrompt asks for every further
// part. EZLibError leaves it when a record's zlib stream is damaged.
TExtractResult ExtractPackageWith(TExtractHost& host, const std::string& source, const std::string& destDir,
                                  const std::string& agentName, const std::string& diskPrompt, bool forcePrompt);

// Failed file writes of the process, of which only the first is shown.
int ExtractWriteFailures();
// Lets a test start the count anew.
void ResetExtractWriteFailures();
