#include "ui/wnd/qt/ColourLabel.h"

#include "ui/wnd/Gdi.h"

#include <QPainter>

namespace {

QColor ToQColor(ColourRef colour) {
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

}  // namespace

void ColourLabel::paintEvent(QPaintEvent* event) {
    ControlColours colours = m_source ? m_source() : ControlColours{};
    if (!colours.background && !colours.textColour && !colours.textBackground) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (colours.background) painter.fillRect(rect(), ToQColor(*colours.background));
    drawFrame(&painter);
    if (text().isEmpty()) return;
    QRect textRect = painter.boundingRect(contentsRect(), static_cast<int>(alignment()), text());
    if (colours.textBackground) painter.fillRect(textRect, ToQColor(*colours.textBackground));
    painter.setPen(colours.textColour ? ToQColor(*colours.textColour)
                                      : palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), static_cast<int>(alignment()), text());
}
