#pragma once

#include <QString>
#include <QVariant>

// A number typed or stored as text: German form first ("1,5"), then C form ("1.5"), else 0.
double readNumber(const QString &text, bool *ok = nullptr);
// A number read from a column: stored text is read as typed text, anything else as a number.
double storedNumber(const QVariant &value);

// Rounds to one decimal place, halves away from zero upwards (2.25 -> 2.3, -2.25 -> -2.2).
double roundTenth(double value);

// An amount as the pages show it: two decimals and " €" ("12.50 €").
QString euroText(double value);

// Rounds to the given number of decimals with halves up, for amounts shown with two decimals.
double roundHalfUp(double value, int decimals);
