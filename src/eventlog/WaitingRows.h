#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CStdioFile;

// The log's lines that could not go into its file, kept in a file of the home folder that
// nobody else holds, in the order they came, until the log's file takes them. The file is
// appended to as the log is: one open, append and close a row. What a run leaves there waits
// for the next.
class WaitingRows {
public:
    // Counts the rows a run before left at the path.
    explicit WaitingRows(std::string path);

    const std::string& Path() const { return m_path; }
    size_t Count() const { return m_count; }

    // The lines of one report, its row last and a header before it where one is due.
    // headerIfEmpty is what heads the log should it be empty when they go into it. False when
    // the file cannot take them: they are lost.
    bool Append(std::string_view lines, const std::string& headerIfEmpty);
    // Into the log opened for appending, oldest first, after headerIfEmpty of the first when
    // the log is empty and they do not begin with a header. False when the file could not be
    // read; the log is left alone then.
    bool WriteInto(CStdioFile& log) const;
    // Once the log has taken them.
    void Clear();

private:
    const std::string m_path;
    size_t m_count = 0;
};
