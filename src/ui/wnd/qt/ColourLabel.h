#pragma once

#include "ui/wnd/DialogWindow.h"

#include <QLabel>

#include <functional>

// A static control that asks its dialog for its colours each time it paints.
class ColourLabel : public QLabel {
public:
    explicit ColourLabel(QWidget* parent) : QLabel(parent) {}
    void SetColourSource(std::function<ControlColours()> source) { m_source = std::move(source); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<ControlColours()> m_source;
};
