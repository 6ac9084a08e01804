#include "app/pricerule.h"

#include "app/numbers.h"

std::optional<double> priceByRule(const QString &op, double price, double wert)
{
    if (op == QLatin1String("*"))
        return roundTenth(price * wert);
    if (op == QLatin1String("+"))
        return roundTenth(price + wert);
    return std::nullopt;
}
