#include "order/OrderDraft.h"

#include "order/Pricing.h"

namespace order {

int quantityOf(const ProductEntry &e)
{
    return e.quantityText.trimmed().toInt();
}

bool isOrdered(const ProductEntry &e)
{
    const QString t = e.quantityText.trimmed();
    return !t.isEmpty() && t != QLatin1String("0");
}

int checkProducts(const OrderDraft &d, int *orderedCount)
{
    int ordered = 0;
    bool ok = true;
    for (int i = 0; i < d.offeredCount() && i < d.entries.size(); ++i) {
        const ProductEntry &e = d.entries[i];
        if (!isOrdered(e))
            continue;
        ++ordered;
        bool number = false;
        const int q = e.quantityText.trimmed().toInt(&number);
        if (!number || q < 0 || uint32_t(q) < d.catalogue.products[i].minimum || e.file.isEmpty())
            ok = false;
    }
    if (orderedCount)
        *orderedCount = ordered;
    return ok && ordered > 0 ? 0 : MsgNoProducts;
}

QVector<int> checkBilling(const OrderDraft &d)
{
    QVector<int> messages;
    if (!billingComplete(d.customer))
        messages << MsgBillingMissing;
    if (!cardComplete(d.customer, d.payByPhone))
        messages << MsgCardInvalid;
    return messages;
}

QVector<OrderLine> orderLines(const OrderDraft &d)
{
    QVector<OrderLine> lines;
    for (int i = 0; i < d.offeredCount() && i < d.entries.size(); ++i) {
        const ProductEntry &e = d.entries[i];
        lines << priceLine(d.catalogue.products[i], LineChoice{quantityOf(e), e.option, e.shipment}, e.file);
    }
    return lines;
}

QStringList summaryLines(const OrderDraft &d)
{
    QStringList s;
    s << QStringLiteral("Products") << QStringLiteral("--------");
    for (int i = 0; i < d.offeredCount() && i < d.entries.size(); ++i) {
        const ProductEntry &e = d.entries[i];
        const int q = quantityOf(e);
        if (q == 0)
            continue;
        const Product &p = d.catalogue.products[i];
        const LineChoice choice{q, e.option, e.shipment};
        s << QStringLiteral("Name:      %1").arg(p.name);
        s << QStringLiteral("Option:    ") + (e.option >= 0 && e.option < p.options.size() ? p.options[e.option].name : QString());
        s << QStringLiteral("Qty:       %1").arg(q);
        s << (e.shipment == ShipExpress         ? QStringLiteral("Ship:      Express")
              : e.shipment == ShipInternational ? QStringLiteral("Ship:      International")
                                                : QStringLiteral("Ship:      Standard"));
        const double total = dollars(lineTotal(p, choice));
        // The total holds no shipping when the international price varies.
        if (e.shipment == ShipInternational && internationalVaries(p))
            s << QString::asprintf("Total:     $%.02f plus shipping (you will be contacted)", total);
        else
            s << QString::asprintf("Total:     $%.02f", total);
        s << QStringLiteral("File:      %1").arg(e.file);
        s << QString();
    }
    const Customer &c = d.customer;
    s << QStringLiteral("Billing Information") << QStringLiteral("-------------------");
    s << QStringLiteral("Name:      %1").arg(c.name);
    s << QStringLiteral("Address:   %1").arg(c.addr1);
    s << QStringLiteral("           %1").arg(c.addr2);
    s << QStringLiteral("           %1 %2 %3 %4").arg(c.city, c.state, c.zip, c.country);
    s << QStringLiteral("Day Phone: %1").arg(c.dayPhone);
    s << QStringLiteral("Eve Phone: %1").arg(c.evePhone);
    s << QStringLiteral("FAX:       %1").arg(c.fax);
    s << QStringLiteral("Email:     %1").arg(c.email);
    s << QString();
    if (d.payByPhone) {
        s << QStringLiteral("MOP:       CONTACT CUSTOMER WITH PAYMENT OPTIONS.");
    } else {
        s << QStringLiteral("MOP:       %1").arg(cardTypeNames().value(c.cardType));
        s << QStringLiteral("Number:    %1").arg(c.cardNumber);
        s << QStringLiteral("Exp.:      %1").arg(c.expiry);
    }
    s << QString();
    s << QStringLiteral("Shipping Information") << QStringLiteral("--------------------");
    s << QStringLiteral("Name:      %1").arg(c.shipName);
    s << QStringLiteral("Address:   %1").arg(c.shipAddr1);
    s << QStringLiteral("           %1").arg(c.shipAddr2);
    s << QStringLiteral("           %1 %2 %3 %4").arg(c.shipCity, c.shipState, c.shipZip, c.shipCountry);
    s << QString();
    s << c.notes;
    return s;
}

} // namespace order
