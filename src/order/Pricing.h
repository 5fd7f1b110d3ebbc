#pragma once
// Prices of the order wizard: the schedule and shipment texts of a product page and the
// total of one order line. Amounts are in 1/100000 dollar.

#include "order/Catalogue.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace order {

enum Shipment { ShipStandard = 0, ShipExpress = 1, ShipInternational = 2 };

// What the customer chose on one product page.
struct LineChoice {
    int quantity = 0;
    int option = 0;     // index in the product's option list
    int shipment = ShipStandard;
};

// The price per unit of the first listed tier whose range holds the quantity, else 0.
uint32_t tierPrice(const Product &p, int quantity);
uint32_t shippingPrice(const Product &p, int shipment);
// quantity x tier price + shipping + option (once when flat, else per unit), exact.
int64_t lineTotal(const Product &p, const LineChoice &choice);

// Dollars as the wizard shows them.
double dollars(int64_t units);

// "Minimum of %d required."
QString minimumText(const Product &p);
// "From\tTo\tPrice Each", then one line per tier.
QString scheduleHeader();
QStringList scheduleLines(const Product &p);
// The three shipment choices; international shows "(Varies)" when its price is 0.
QStringList shipmentTexts(const Product &p);
bool internationalVaries(const Product &p);

} // namespace order
