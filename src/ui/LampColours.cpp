#include "ui/SignalServerDlg.h"

// Lamps and the state text take their colours from the server flag and the input states at
// each paint, so a repaint after any change shows the new state.
HBRUSH CSignalServerDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, unsigned nCtlColor) {
    HBRUSH result = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor != CTLCOLOR_STATIC) return result;
    const bool running = m_bServerRunning.load() != FALSE;
    for (int i = 0; i < kDiChannels; ++i) {
        if (pWnd != m_diChannels[i].pLamp) continue;
        if (!running) {
            result = &m_brushStopped;
            pDC->SetBkColor(0x7F7F7F);
        } else if (m_bDiState[i].load() != FALSE) {
            result = &m_brushOn;
            pDC->SetBkColor(0x0000FF);
        } else {
            result = &m_brushOff;
            pDC->SetBkColor(0xFF0000);
        }
    }
    if (pWnd->GetWidget() == m_staticState.GetWidget()) {
        pDC->SetBkColor(running ? 0x0000FF : 0x7F7F7F);
        pDC->SetTextColor(0xFFFFFF);
        return running ? &m_brushOn : &m_brushStopped;
    }
    return result;
}
