#include "platform/CStdioFile.h"

#include "platform/PathText.h"

#include <optional>

// What every system does alike; the calls that open, write and commit are each system's own.

CStdioFile::~CStdioFile() {
    Discard();
}

bool CStdioFile::Open(std::string_view path, unsigned flags) {
    Discard();
    m_readFailed = false;
    if (!IsFullPath(path) || path.find('\0') != std::string_view::npos) return false;
    std::optional<std::string> systemPath = SystemPath(path);
    if (!systemPath) return false;
    if ((flags & modeWrite) == 0) return OpenForReading(*systemPath);
    if (flags & modeNoTruncate) return OpenForAppending(*systemPath, flags);
    return OpenForReplacing(*systemPath);
}

bool CStdioFile::Remove(std::string_view path) {
    if (!IsFullPath(path)) return false;
    std::optional<std::string> systemPath = SystemPath(path);
    return systemPath && RemoveSystemFile(*systemPath);
}

bool CStdioFile::ReadString(std::string& line) {
    if (m_reader == nullptr) return false;
    line.clear();
    int c;
    while ((c = ::getc(m_reader)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF) {
        if (::ferror(m_reader)) {
            m_readFailed = true;
            return false;
        }
        if (line.empty()) return false;
    }
    // Text mode turns CR LF into LF; a lone CR stays.
    if (c == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void CStdioFile::WriteString(std::string_view text) {
    for (char c : text) {
        if (c == '\n') m_pending.push_back('\r');
        m_pending.push_back(c);
    }
}

bool CStdioFile::Close() {
    bool ok = true;
    if (m_fd >= 0) ok = m_replacing ? CommitReplace() : CommitAppend();
    Discard();
    return ok;
}
