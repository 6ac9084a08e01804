#pragma once

#include <QValidator>

// Whole numbers from 0 to a top, digits only: unlike QIntValidator it refuses a number above
// the top while it is typed, signs and group separators.
class DigitsValidator : public QValidator
{
    Q_OBJECT
public:
    explicit DigitsValidator(qint64 top, QObject *parent = nullptr);
    State validate(QString &input, int &pos) const override;
    qint64 top() const { return m_top; }
    // A page sets the top anew when it has read the highest number.
    void setTop(qint64 top);

private:
    qint64 m_top;
};
