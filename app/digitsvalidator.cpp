#include "app/digitsvalidator.h"

DigitsValidator::DigitsValidator(qint64 top, QObject *parent)
    : QValidator(parent)
    , m_top(top)
{ }

void DigitsValidator::setTop(qint64 top)
{
    if (top == m_top)
        return;
    m_top = top;
    emit changed();
}

QValidator::State DigitsValidator::validate(QString &input, int &) const
{
    if (input.isEmpty())
        return Intermediate;
    for (const QChar c : input) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return Invalid;
    }
    bool ok = false;
    const qint64 value = input.toLongLong(&ok);
    return ok && value <= m_top ? Acceptable : Invalid;
}
