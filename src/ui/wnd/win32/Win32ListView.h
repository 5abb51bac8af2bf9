#pragma once

#include "ui/wnd/ListView.h"

#include <cstdint>

struct HWND__;
struct tagNMHDR;

// The list of a template's ListView control over the system's list-view in report mode with
// owner data: the control asks for the cells in view, as it paints them.
class Win32ListView : public ListView {
public:
    Win32ListView(HWND__* list, HWND__* dialog);
    ~Win32ListView() override;

    // The list's notification to its dialog; what the dialog answers.
    std::intptr_t OnNotify(const tagNMHDR& header);

    void SetSortMark(int column, bool ascending) override;
    std::vector<int> SelectedRows() const override;
    void SelectAll() override;

protected:
    WndHandle* Handle() const override;
    void ShowColumns(const std::function<void()>& change) override;
    void ShowRows(std::optional<RowRange> changedOnly,
                  const std::function<void()>& change) override;
    void ShowColumnTitle(int column) override;
    void SelectRows(const std::vector<int>& rows) override;

private:
    std::intptr_t OnCustomDraw(void* draw);
    void FillTextRequest(void* info) const;
    void PaintLamp(void* draw, int row, int column) const;
    void OnKey(unsigned short key);

    HWND__* m_list;
    HWND__* m_dialog;
};
