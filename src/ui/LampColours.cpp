#include "ui/SignalServerDlg.h"

namespace {

constexpr ColourRef kStateTextColour = 0xFFFFFF;

}  // namespace

// Lamps and the state text take their colours from the server flag and the input states at
// each paint, so a repaint after any change shows the new state.
const CBrush* CSignalServerDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, unsigned nCtlColor) {
    const CBrush* brush = nCtlColor == kCtlColorStatic ? StatusBrush(pWnd) : nullptr;
    if (brush == nullptr) return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetBkColor(brush->GetColor());
    if (pWnd == &m_staticState) pDC->SetTextColor(kStateTextColour);
    return brush;
}

const CBrush* CSignalServerDlg::StatusBrush(const CWnd* pWnd) const {
    const bool running = m_server.IsRunning();
    if (pWnd == &m_staticState) return running ? &m_brushOn : &m_brushStopped;
    for (int i = 0; i < kDiChannels; ++i) {
        if (pWnd != m_diChannels[i].pLamp) continue;
        if (!running) return &m_brushStopped;
        return m_bDiState[i] ? &m_brushOn : &m_brushOff;
    }
    return nullptr;
}
