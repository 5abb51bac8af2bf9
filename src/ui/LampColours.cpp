#include "ui/SignalServerDlg.h"

namespace {

constexpr COLORREF kStateTextColour = 0xFFFFFF;

}  // namespace

// Lamps and the state text take their colours from the server flag and the input states at
// each paint, so a repaint after any change shows the new state.
HBRUSH CSignalServerDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, unsigned nCtlColor) {
    HBRUSH brush = nCtlColor == CTLCOLOR_STATIC ? StatusBrush(pWnd) : nullptr;
    if (brush == nullptr) return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetBkColor(brush->GetColor());
    if (pWnd == &m_staticState) pDC->SetTextColor(kStateTextColour);
    return brush;
}

HBRUSH CSignalServerDlg::StatusBrush(const CWnd* pWnd) const {
    const bool running = m_bServerRunning.load() != FALSE;
    if (pWnd == &m_staticState) return running ? &m_brushOn : &m_brushStopped;
    for (int i = 0; i < kDiChannels; ++i) {
        if (pWnd != m_diChannels[i].pLamp) continue;
        if (!running) return &m_brushStopped;
        return m_bDiState[i].load() != FALSE ? &m_brushOn : &m_brushOff;
    }
    return nullptr;
}
