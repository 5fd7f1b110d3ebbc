#pragma once
// What the order wizard collects, without the widgets: the catalogue, the customer's
// choice on each product page, the customer and the way of payment. Validation of the
// pages, the order lines and the summary are worked out from it.

#include "order/Catalogue.h"
#include "order/Customer.h"
#include "order/Package.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace order {

struct ProductEntry {
    QString quantityText;   // as typed; empty or "0" means not ordered
    int option = 0;
    int shipment = ShipStandard;
    QString file;           // the attachment (the design for the first product)
};

struct OrderDraft {
    Catalogue catalogue;
    QVector<ProductEntry> entries;  // one per offered product
    Customer customer;
    bool payByPhone = false;

    // The products the wizard offers: the first three of the catalogue.
    int offeredCount() const { return int(std::min<qsizetype>(catalogue.products.size(), cat::kMaxShown)); }
};

int quantityOf(const ProductEntry &e);
bool isOrdered(const ProductEntry &e);

// 0 when at least one product is ordered and each ordered one has its minimum and a file,
// otherwise 8001. `orderedCount` receives the number of ordered products.
int checkProducts(const OrderDraft &d, int *orderedCount);
// The messages of the billing page, in the order they are shown (8002, then 8003).
QVector<int> checkBilling(const OrderDraft &d);

// One priced line per offered product (quantity 0 lines are left out of the package).
QVector<OrderLine> orderLines(const OrderDraft &d);
// The lines of the summary on the last page.
QStringList summaryLines(const OrderDraft &d);

} // namespace order
