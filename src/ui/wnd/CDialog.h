#pragma once

#include "ui/wnd/CWnd.h"
#include "ui/wnd/DialogTemplate.h"
#include "ui/wnd/Gdi.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class CDialog;
class CIcon;
class DialogWindow;

// Binds controls to fields (DDX_Control) and moves values in or out (DDX_Text).
struct CDataExchange {
    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

// A dialog built from a template. Handlers are bound by control id; the dialog asks its
// OnCtlColor for the colours of every bound static control at each paint.
class CDialog : public CWnd {
public:
    CDialog(const DialogTemplate& dialogTemplate, CWnd* pParent);
    ~CDialog() override;

    // Runs the dialog until it ends: kIdOk or kIdCancel.
    int DoModal();
    // Shows the dialog without waiting for it to end, in front; DestroyWindow ends it. Called
    // again while the dialog exists, it only brings it to the front.
    bool Create();
    void DestroyWindow();
    void EndDialog(int nResult);

    void SetIcon(const CIcon* hIcon);
    void DragAcceptFiles(bool bAccept);
    bool UpdateData(bool bSaveAndValidate);

    // The control with an id, for the data exchange and for tests.
    WndHandle* GetControl(int nID) const;
    // The colours of a bound static control about to paint.
    const CBrush* QueryCtlColor(CDC* pDC, CWnd* pWnd);

    // Escape and the close box, as the window system's dialog reports them.
    void HandleCancel() { OnCancel(); }
    // A bound control asks OnCtlColor for its colours when it is a static one.
    void BindColours(CWnd& rControl);

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual const CBrush* OnCtlColor(CDC* pDC, CWnd* pWnd, unsigned nCtlColor);
    virtual void OnOK();
    virtual void OnCancel();
    // Before the dialog's windows go away.
    virtual void OnDestroy() {}
    // Where a dialog binds its handlers, before OnInitDialog.
    virtual void BindMessageMap() {}
    bool HasEnded() const { return m_nEndResult.has_value(); }

    void OnClicked(int nID, std::function<void()> handler);
    void OnChange(int nID, std::function<void()> handler);
    // Every change of a check box's state: a click, a key or SetCheck.
    void OnToggled(int nID, std::function<void()> handler);
    // An entry of the template's context menu chosen, there or in the system menu.
    void OnCommand(int nID, std::function<void()> handler);
    // Offers the template's context menu at a point of the screen; runs the entry chosen.
    virtual void OnContextMenu(int x, int y);

private:
    void BuildWindow();
    int RunUntilEnded();
    void RunCommand(int nID);

    const DialogTemplate& m_template;
    CWnd* m_pParent;
    std::unique_ptr<DialogWindow> m_window;
    std::optional<int> m_nEndResult;  // set when it ends, also before it has run
    std::map<int, std::function<void()>> m_commands;
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
