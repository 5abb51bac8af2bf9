#pragma once

#include "ui/wnd/Gdi.h"

#include <QLabel>

#include <functional>

// A static control that asks its dialog for its colours each time it paints.
class ColourLabel : public QLabel {
public:
    using ColourSource = std::function<HBRUSH(CDC&)>;

    explicit ColourLabel(QWidget* parent) : QLabel(parent) {}
    void SetColourSource(ColourSource source) { m_source = std::move(source); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColourSource m_source;
};

QColor ToQColor(COLORREF colour);
