#pragma once

#include <QString>
#include <QValidator>

#include <cstddef>
#include <limits>

class QLineEdit;

// What the user may type into an edit: only characters CP932 can hold, at most a number of
// CP932 bytes, and for a number edit only digits. Text the program sets is not checked.
class Cp932Validator : public QValidator {
public:
    Cp932Validator(QLineEdit* edit, bool digitsOnly);

    // The edit's validator, made on first use.
    static Cp932Validator* For(QLineEdit* edit);

    void SetMaxBytes(size_t maxBytes) { m_maxBytes = maxBytes; }
    State validate(QString& input, int& pos) const override;

private:
    bool TakeWhatFits(QString& input, int& pos) const;

    QString m_textBefore;  // what the edit held before the change being judged
    bool m_digitsOnly;
    size_t m_maxBytes = std::numeric_limits<size_t>::max();
};
