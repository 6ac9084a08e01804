#include "app/textclean.h"

QString cleanedText(const QString &text)
{
    QString result = text.simplified();
    result.replace(QLatin1Char('\''), QLatin1Char(' '));
    return result;
}
