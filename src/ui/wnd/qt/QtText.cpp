#include "ui/wnd/qt/QtText.h"

#include "platform/Cp932.h"

QString QtText(std::string_view cp932) {
    std::string utf8 = cp932::ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> Cp932Text(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    return cp932::FromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}
