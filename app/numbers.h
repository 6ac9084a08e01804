#pragma once

#include <QString>
#include <QVariant>

// A number typed or stored as text: German form first ("1,5"), then C form ("1.5"), else 0.
double readNumber(const QString &text, bool *ok = nullptr);
// A number read from a column: stored text is read as typed text, anything else as a number.
double storedNumber(const QVariant &value);

// Rounds to one decimal place, halves away from zero upwards (2.25 -> 2.3, -2.25 -> -2.2).
double roundTenth(double value);

// An amount with two decimals ("12.50"), as pages and documents show money. A difference that
// is zero in cents but not in doubles (0.1 + 0.7 - 0.8) shows "0.00", never "-0.00".
QString moneyText(double value);
// An amount as the pages show it: moneyText and " €" ("12.50 €").
QString euroText(double value);

// Rounds to the given number of decimals with halves up, for amounts shown with two decimals.
double roundHalfUp(double value, int decimals);
