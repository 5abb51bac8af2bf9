#include "ui/wnd/ColourLabel.h"

#include <QPainter>

QColor ToQColor(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

void ColourLabel::paintEvent(QPaintEvent* event) {
    CDC dc;
    HBRUSH brush = m_source ? m_source(dc) : nullptr;
    if (brush == nullptr && !dc.TextColor() && !dc.BkColor()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (brush != nullptr) painter.fillRect(rect(), ToQColor(brush->GetColor()));
    drawFrame(&painter);
    if (text().isEmpty()) return;
    QRect textRect = painter.boundingRect(contentsRect(), static_cast<int>(alignment()), text());
    if (dc.BkColor()) painter.fillRect(textRect, ToQColor(*dc.BkColor()));
    painter.setPen(dc.TextColor() ? ToQColor(*dc.TextColor())
                                  : palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), static_cast<int>(alignment()), text());
}
