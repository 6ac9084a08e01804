#pragma once

#include <QString>
#include <optional>

// The sale price a price rule gives for a purchase price: "*" multiplies, "+" adds, and the
// result is rounded to a tenth. Any other operator text gives nothing.
std::optional<double> priceByRule(const QString &op, double price, double wert);
