#include "app/numbers.h"

#include <QLocale>
#include <cmath>

double readNumber(const QString &text, bool *ok)
{
    bool parsed = false;
    double value = QLocale().toDouble(text, &parsed);
    if (!parsed)
        value = QLocale::c().toDouble(text, &parsed);
    if (ok)
        *ok = parsed;
    return parsed ? value : 0.0;
}

double storedNumber(const QVariant &value)
{
    return value.userType() == QMetaType::QString ? readNumber(value.toString()) : value.toDouble();
}

double roundHalfUp(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    // The small nudge keeps 2.25 (stored as 2.2499999...) rounding up as typed.
    return std::floor(value * scale + 0.5 + 1e-9) / scale;
}

double roundTenth(double value)
{
    return roundHalfUp(value, 1);
}

QString moneyText(double value)
{
    const QString text = QString::number(value, 'f', 2);
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}

QString euroText(double value)
{
    return moneyText(value) + QStringLiteral(" €");
}
