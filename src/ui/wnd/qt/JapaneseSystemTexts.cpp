#include "ui/wnd/qt/JapaneseSystemTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

JapaneseSystemTexts::JapaneseSystemTexts() {
    // Without the translation (qt6-translations-l10n) those texts stay English; nothing else
    // depends on them.
    if (m_translator.load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&m_translator);
    }
}

JapaneseSystemTexts::~JapaneseSystemTexts() {
    QCoreApplication::removeTranslator(&m_translator);
}
