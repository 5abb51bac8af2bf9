#include "platform/TerminalText.h"

#include "platform/TerminalEncoder.h"

TerminalText::TerminalText(std::FILE* out) : m_encoder(std::make_unique<TerminalEncoder>(out)) {}

TerminalText::~TerminalText() {
    if (m_lineOpen) Write("\r\n");
    Flush();
}

void TerminalText::Write(std::string_view cp932) {
    std::lock_guard lock(m_mutex);
    if (cp932.empty()) return;
    m_lineOpen = !cp932.ends_with('\n');
    m_encoder->Append(cp932, m_gathered);
}

void TerminalText::Flush() {
    std::lock_guard lock(m_mutex);
    if (m_gathered.empty()) return;
    m_encoder->Put(m_gathered);
    m_gathered.clear();
}
