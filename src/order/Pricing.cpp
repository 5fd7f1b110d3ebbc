#include "order/Pricing.h"

#include <algorithm>

namespace order {

uint32_t tierPrice(const Product &p, int quantity)
{
    if (quantity < 0)
        return 0;
    const uint32_t q = uint32_t(quantity);
    for (const Tier &t : p.tiers)
        if (t.from <= q && q <= t.to)
            return t.price;
    return 0;
}

uint32_t shippingPrice(const Product &p, int shipment)
{
    switch (shipment) {
    case ShipStandard:
        return p.standardShipping;
    case ShipExpress:
        return p.expressShipping;
    case ShipInternational:
        return p.internationalShipping;
    default:
        return 0;
    }
}

int64_t lineTotal(const Product &p, const LineChoice &choice)
{
    // Whole units throughout: the amounts are integers of 1/100000 dollar, and a sum in
    // floating-point dollars cut back to units can lose one (0.29 x 100000 is 28999.99...).
    const int64_t q = std::max(choice.quantity, 0);
    int64_t total = q * int64_t(tierPrice(p, choice.quantity)) + int64_t(shippingPrice(p, choice.shipment));
    if (choice.option >= 0 && choice.option < p.options.size()) {
        const ProductOption &o = p.options[choice.option];
        total += o.flat ? int64_t(o.price) : q * int64_t(o.price);
    }
    return total;
}

double dollars(int64_t units)
{
    return double(units) / 100000.0;
}

QString minimumText(const Product &p)
{
    return QStringLiteral("Minimum of %1 required.").arg(p.minimum);
}

QString scheduleHeader()
{
    return QStringLiteral("From\tTo\tPrice Each");
}

QStringList scheduleLines(const Product &p)
{
    QStringList lines;
    for (int i = 0; i < p.tiers.size(); ++i) {
        const Tier &t = p.tiers[i];
        if (i + 1 < p.tiers.size())
            lines << QString::asprintf("%u\t%u\t$%.03f", t.from, t.to, dollars(t.price));
        else
            lines << QString::asprintf("%u or more\t$%.03f", t.from, dollars(t.price));
    }
    return lines;
}

bool internationalVaries(const Product &p)
{
    return p.internationalShipping == 0;
}

QStringList shipmentTexts(const Product &p)
{
    return {QString::asprintf("USA Standard ($%.02f)", dollars(p.standardShipping)),
            QString::asprintf("USA Express  ($%.02f)", dollars(p.expressShipping)),
            internationalVaries(p) ? QStringLiteral("International (Varies)")
                                   : QString::asprintf("International ($%.02f)", dollars(p.internationalShipping))};
}

} // namespace order
