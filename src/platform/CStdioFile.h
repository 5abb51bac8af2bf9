#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// A text-mode file over raw bytes: "\n" is written as CR LF, a line is read without its end.
// Paths are full CP932 paths, as every text the program holds; the conversion for the file
// system is here. Refused rather than guessed at: a path that is not valid CP932, and one that is
// not full on this system (IsFullPath): it would depend on the working folder, or name a file
// only Windows has.
//
// Writes are gathered and reach the file at Close(), in one piece: an appended block is in the
// file whole or not at all, and a replaced file keeps its old contents unless the new ones are
// complete. Only regular files and devices are opened: a pipe would stall the caller. A replace
// is what an editor's save is: an existing file that may not be written is refused, a replaced
// file keeps its mode and owner, and a link is written through to the file it names.
class CStdioFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        shareExclusive = 0x0010,  // with modeWrite: fails when another writer holds the file
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,  // with modeCreate: keep the contents and write at the end
    };

    CStdioFile() = default;
    ~CStdioFile();
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // False when the file cannot be opened as asked (or the path is not a valid file name).
    bool Open(std::string_view path, unsigned flags);

    // False at the end of the file and on a read error (ReadFailed tells them apart).
    bool ReadString(std::string& line);
    bool ReadFailed() const { return m_readFailed; }

    void WriteString(std::string_view text);
    // The length of the file as it was opened (before any gathered writes).
    uint64_t GetLength() const { return m_openedLength; }

    // Writes what was gathered and closes. False when any of it could not be written; the
    // file then holds what it held before this write.
    bool Close();

    // Deletes the file; false when it cannot (or was not there).
    static bool Remove(std::string_view path);

private:
    // The path as this system's calls take it; nullopt when it cannot name a file.
    static std::optional<std::string> SystemPath(std::string_view path);
    static bool RemoveSystemFile(const std::string& systemPath);
    bool OpenForReading(const std::string& path);
    bool OpenForAppending(const std::string& path, unsigned flags);
    bool OpenForReplacing(const std::string& path);
    bool CommitAppend();
    bool CommitReplace();
    void Discard();

    FILE* m_reader = nullptr;
    int m_fd = -1;             // a C runtime descriptor on Windows too
    bool m_replacing = false;  // the file ends as m_pending alone
    bool m_readFailed = false;
    uint64_t m_openedLength = 0;
    std::string m_pending;
    std::string m_targetPath;  // SystemPath of the file a replace ends in
    std::string m_tempPath;    // SystemPath of the new contents until Close
};
