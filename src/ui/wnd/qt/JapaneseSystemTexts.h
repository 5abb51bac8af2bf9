#pragma once

#include <QTranslator>

// Qt's own texts (file dialogs, the overwrite question, context menus) in Japanese, as the
// system's dialogs read beside the program's Japanese texts on Windows. While this lives.
class JapaneseSystemTexts {
public:
    JapaneseSystemTexts();
    ~JapaneseSystemTexts();
    JapaneseSystemTexts(const JapaneseSystemTexts&) = delete;
    JapaneseSystemTexts& operator=(const JapaneseSystemTexts&) = delete;

private:
    QTranslator m_translator;
};
