#include "ui/wnd/qt/Cp932Validator.h"

#include "platform/Cp932.h"
#include "ui/wnd/qt/QtText.h"

#include <QLineEdit>

#include <algorithm>
#include <optional>
#include <string>

Cp932Validator::Cp932Validator(QLineEdit* edit, bool digitsOnly)
    : QValidator(edit), m_digitsOnly(digitsOnly) {
    // By the time a change is judged the edit already holds it: remember the text before.
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_textBefore = text; });
}

Cp932Validator* Cp932Validator::For(QLineEdit* edit) {
    auto* validator = dynamic_cast<Cp932Validator*>(const_cast<QValidator*>(edit->validator()));
    if (validator == nullptr) {
        validator = new Cp932Validator(edit, false);
        edit->setValidator(validator);
    }
    return validator;
}

namespace {

qsizetype CountNonDigits(const QString& text) {
    return std::count_if(text.begin(), text.end(), [](QChar c) { return c < u'0' || c > u'9'; });
}

size_t Cp932Size(const QString& text) {
    return Cp932Text(text).value_or(std::string()).size();
}

}  // namespace

// Only what typing adds is judged: a text the program set (letters in the number edit, a name
// beyond the limit) can still be shortened.
QValidator::State Cp932Validator::validate(QString& input, int& pos) const {
    for (QChar& c : input) c = QChar(cp932::TypedEquivalent(c.unicode()));
    if (m_digitsOnly && CountNonDigits(input) > CountNonDigits(m_textBefore)) return Invalid;
    std::optional<std::string> bytes = Cp932Text(input);
    if (!bytes) return Invalid;
    if (bytes->size() <= m_maxBytes || bytes->size() < Cp932Size(m_textBefore)) return Acceptable;
    return TakeWhatFits(input, pos) ? Acceptable : Invalid;
}

// A paste or an input method's text may be longer than what is left: as the window system's
// edit does, the part that fits is taken, up to the end of its last whole character.
bool Cp932Validator::TakeWhatFits(QString& input, int& pos) const {
    const QString& before = m_textBefore;
    qsizetype kept = 0;
    while (kept < input.size() && kept < before.size() && input[kept] == before[kept]) ++kept;
    qsizetype after = 0;
    while (after < input.size() - kept && after < before.size() - kept &&
           input[input.size() - 1 - after] == before[before.size() - 1 - after]) {
        ++after;
    }
    size_t used = Cp932Size(input.left(kept) + input.right(after));
    qsizetype end = kept;
    for (; end < input.size() - after; ++end) {
        size_t size = Cp932Size(input.at(end));
        if (used + size > m_maxBytes) break;
        used += size;
    }
    QString fitted = input.left(end) + input.right(after);
    if (fitted == before) return false;
    input = fitted;
    pos = static_cast<int>(end);
    return true;
}
