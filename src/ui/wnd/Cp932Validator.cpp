#include "ui/wnd/Cp932Validator.h"

#include <QLineEdit>
#include <algorithm>
#include <optional>
#include <string>

#include "ui/wnd/QtText.h"

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

}  // namespace

// Only what typing adds is judged: a text the program set (letters in the number edit, a name
// beyond the limit) can still be shortened.
QValidator::State Cp932Validator::validate(QString& input, int&) const {
    if (m_digitsOnly && CountNonDigits(input) > CountNonDigits(m_textBefore)) return Invalid;
    std::optional<std::string> bytes = Cp932Text(input);
    if (!bytes) return Invalid;
    if (bytes->size() > m_maxBytes) {
        std::optional<std::string> before = Cp932Text(m_textBefore);
        if (!before || bytes->size() >= before->size()) return Invalid;
    }
    return Acceptable;
}
