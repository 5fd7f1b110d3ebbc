// The catalogue reader, prices and schedule texts, page validation and the summary.

#include "OrderTestSupport.h"

#include "order/Catalogue.h"
#include "order/OrderDraft.h"
#include "order/Pricing.h"
#include "platform/ByteIO.h"

#include <gtest/gtest.h>

using namespace order;

namespace {

QByteArray demoVerificationKey()
{
    return ordertest::publicBytes(ordertest::demoSigningKey());
}

CatalogueResult read(const QByteArray &bytes)
{
    return readCatalogue(bytes, demoVerificationKey());
}

} // namespace

TEST(Catalogue, SignedCatalogueReadsBackFieldByField)
{
    Catalogue c = ordertest::sampleCatalogue(1, QStringLiteral("orders.shop.example:2121"));
    c.contactName = QStringLiteral("Caf\u00e9 Prints"); // Windows-1252 text
    c.products[0].options.append({QStringLiteral("Extra"), 7, true});
    const QByteArray bytes = ordertest::signedCatalogue(c);
    ASSERT_EQ(bytes.size(), 706 + 2512);

    const CatalogueResult r = read(bytes);
    ASSERT_EQ(r.status, CatalogueStatus::Ok);
    const Catalogue &back = r.catalogue;
    EXPECT_EQ(back.version, 110);
    EXPECT_EQ(back.contactName, c.contactName);
    EXPECT_EQ(back.contactEmail, c.contactEmail);
    EXPECT_EQ(back.phone1, c.phone1);
    EXPECT_EQ(back.phone2, c.phone2);
    EXPECT_EQ(back.updateUrl, c.updateUrl);
    EXPECT_EQ(back.uploadHost, QStringLiteral("orders.shop.example:2121"));
    EXPECT_EQ(back.uploadDir, QStringLiteral("orders"));
    EXPECT_EQ(back.orderKey, c.orderKey);
    ASSERT_EQ(back.products.size(), 1);
    const Product &p = back.products[0];
    EXPECT_EQ(p.name, QStringLiteral("Product 1"));
    EXPECT_EQ(p.descriptionRtf, c.products[0].descriptionRtf);
    EXPECT_EQ(p.minimum, 100u);
    ASSERT_EQ(p.tiers.size(), 3);
    EXPECT_EQ(p.tiers[1].price, 40000u);
    EXPECT_EQ(p.tiers[1].from, 100u);
    EXPECT_EQ(p.tiers[1].to, 499u);
    ASSERT_EQ(p.options.size(), 4);
    EXPECT_EQ(p.options[3].name, QStringLiteral("Extra"));
    EXPECT_TRUE(p.options[3].flat);
    EXPECT_FALSE(p.options[1].flat);
    EXPECT_EQ(p.expressShipping, 1500000u);
    EXPECT_EQ(p.internationalShipping, 0u);

    // The byte layout at the documented offsets.
    const plat::LeReader raw(bytes);
    EXPECT_EQ(raw.i32At(606), 1);
    EXPECT_EQ(bytes.mid(610, 32), c.orderKey);
    EXPECT_EQ(raw.u32At(642 + 2084 + 4), 40000u);
    EXPECT_EQ(raw.u32At(642 + 2148 + 4), 499u);
    EXPECT_EQ(raw.u32At(642 + 2436 + 12), 7u);
    EXPECT_EQ(raw.u32At(642 + 2504), 1500000u);
}

TEST(Catalogue, ProductCountsAndOfferedProducts)
{
    for (const int n : {0, 1, 3, 5}) {
        SCOPED_TRACE(n);
        const CatalogueResult r = read(ordertest::signedCatalogue(ordertest::sampleCatalogue(n)));
        ASSERT_EQ(r.status, CatalogueStatus::Ok);
        EXPECT_EQ(r.catalogue.products.size(), n);
        OrderDraft d;
        d.catalogue = r.catalogue;
        EXPECT_EQ(d.offeredCount(), std::min(n, 3));
    }
}

TEST(Catalogue, DamagedOrForgedFilesAreRefused)
{
    const QByteArray good = ordertest::signedCatalogue(ordertest::sampleCatalogue(2));
    auto flipped = [&good](qsizetype at) {
        QByteArray b = good;
        b[at] = char(b[at] ^ 0x01);
        return b;
    };
    QByteArray otherCount = good;
    plat::putU32(otherCount.data() + 606, 1);
    QByteArray hugeCount = good;
    plat::putU32(hugeCount.data() + 606, 0x7FFFFFFF);
    QByteArray negativeCount = good;
    plat::putU32(negativeCount.data() + 606, 0xFFFFFFFF);
    QByteArray lastBytes = good;
    for (qsizetype i = good.size() - 64; i < good.size(); ++i)
        lastBytes[i] = char(0x5A);

    const struct {
        const char *name;
        QByteArray bytes;
        CatalogueStatus status;
    } cases[] = {
        {"intact", good, CatalogueStatus::Ok},
        {"last 64 bytes altered", lastBytes, CatalogueStatus::Unreadable},
        {"bit in s", flipped(good.size() - 64), CatalogueStatus::Unreadable},
        {"bit in r", flipped(good.size() - 1), CatalogueStatus::Unreadable},
        {"bit in the header", flipped(10), CatalogueStatus::Unreadable},
        {"bit in a product", flipped(642 + 2512 + 2500), CatalogueStatus::Unreadable},
        {"one byte short", good.left(good.size() - 1), CatalogueStatus::Unreadable},
        {"one byte more", good + '\0', CatalogueStatus::Unreadable},
        {"other product count", otherCount, CatalogueStatus::Unreadable},
        {"huge product count", hugeCount, CatalogueStatus::Unreadable},
        {"negative product count", negativeCount, CatalogueStatus::Unreadable},
        {"header only", good.left(610), CatalogueStatus::Unreadable},
        {"shorter than the header", good.left(609), CatalogueStatus::NotACatalogue},
        {"empty", QByteArray(), CatalogueStatus::NotACatalogue},
    };
    for (const auto &c : cases)
        EXPECT_EQ(read(c.bytes).status, c.status) << c.name;

    // Signed with another key.
    const QByteArray forged = signCatalogue(catalogueBody(ordertest::sampleCatalogue(2)), ordertest::demoOrderKey());
    EXPECT_EQ(read(forged).status, CatalogueStatus::Unreadable);
}

TEST(Catalogue, NewerVersionAsksForAnUpdate)
{
    Catalogue c = ordertest::sampleCatalogue(1);
    c.version = 111;
    const CatalogueResult r111 = read(ordertest::signedCatalogue(c));
    EXPECT_EQ(r111.status, CatalogueStatus::UpdateNeeded);
    EXPECT_EQ(r111.catalogue.updateUrl, c.updateUrl);
    c.version = 110;
    EXPECT_EQ(read(ordertest::signedCatalogue(c)).status, CatalogueStatus::Ok);
}

TEST(Catalogue, UnterminatedTextsStayWithinTheirFields)
{
    Catalogue c = ordertest::sampleCatalogue(1);
    QByteArray body = catalogueBody(c);
    // A contact name that fills its 50 bytes without a zero, and a product name of 32.
    std::memset(body.data() + 4, 'N', 50);
    std::memset(body.data() + 642, 'P', 32);
    const CatalogueResult r = read(signCatalogue(body, ordertest::demoSigningKey()));
    ASSERT_EQ(r.status, CatalogueStatus::Ok);
    EXPECT_EQ(r.catalogue.contactName, QString(50, QLatin1Char('N')));
    EXPECT_EQ(r.catalogue.products[0].name, QString(32, QLatin1Char('P')));
}

TEST(Pricing, TierScheduleAndTheDocumentedTotal)
{
    const Product p = ordertest::sampleProduct(QStringLiteral("Cards"));
    EXPECT_EQ(scheduleHeader(), QStringLiteral("From\tTo\tPrice Each"));
    EXPECT_EQ(scheduleLines(p), (QStringList{QStringLiteral("1\t99\t$0.500"), QStringLiteral("100\t499\t$0.400"),
                                             QStringLiteral("500 or more\t$0.300")}));
    // 250 x $0.40 + $5.00 standard shipping + 250 x $0.01 per-unit option = $107.50.
    EXPECT_EQ(lineTotal(p, LineChoice{250, 1, ShipStandard}), 10750000);

    const struct {
        int quantity, option, shipment;
        int64_t total;
    } cases[] = {
        {99, 0, ShipStandard, 99 * 50000 + 500000},
        {100, 0, ShipExpress, 100 * 40000 + 1500000},
        {500, 2, ShipInternational, 500 * 30000 + 500000}, // flat option once, shipping varies (0)
        {0, 1, ShipStandard, 500000},                    // no tier: only shipping
    };
    for (const auto &c : cases)
        EXPECT_EQ(lineTotal(p, LineChoice{c.quantity, c.option, c.shipment}), c.total) << c.quantity;

    // A tier list that stops before the quantity prices nothing for the units.
    Product gap = p;
    gap.tiers = {{50000, 10, 20}};
    EXPECT_EQ(tierPrice(gap, 5), 0u);
    EXPECT_EQ(tierPrice(gap, 21), 0u);
    EXPECT_EQ(scheduleLines(gap), QStringList{QStringLiteral("10 or more\t$0.500")});

    // Whole units throughout: $0.29 each is 29000 units, where dollars in floating
    // point cut back to units would give 28999.
    Product odd = p;
    odd.tiers = {{29000, 1, 10}};
    odd.standardShipping = 0;
    EXPECT_EQ(lineTotal(odd, LineChoice{1, 0, ShipStandard}), 29000);
}

TEST(Pricing, ShipmentTexts)
{
    Product p = ordertest::sampleProduct(QStringLiteral("Cards"));
    EXPECT_EQ(shipmentTexts(p), (QStringList{QStringLiteral("USA Standard ($5.00)"), QStringLiteral("USA Express  ($15.00)"),
                                             QStringLiteral("International (Varies)")}));
    EXPECT_TRUE(internationalVaries(p));
    p.internationalShipping = 2500000;
    EXPECT_EQ(shipmentTexts(p).at(2), QStringLiteral("International ($25.00)"));
    EXPECT_FALSE(internationalVaries(p));
    EXPECT_EQ(minimumText(p), QStringLiteral("Minimum of 1 required."));
}

namespace {

OrderDraft draftWith(const QVector<ProductEntry> &entries)
{
    OrderDraft d;
    d.catalogue = ordertest::sampleCatalogue(3); // product 1 needs 100, the others 1
    d.entries = entries;
    return d;
}

Customer goodCustomer()
{
    Customer c;
    c.name = QStringLiteral("Ada Lovelace");
    c.addr1 = QStringLiteral("12 Analytical Row");
    c.city = QStringLiteral("London");
    c.state = QStringLiteral("LN");
    c.zip = QStringLiteral("12345");
    c.country = QStringLiteral("UK");
    c.email = QStringLiteral("ada@example.org");
    c.cardType = 1;
    c.cardNumber = QStringLiteral("5500000000000004");
    c.expiry = QStringLiteral("12/29");
    return c;
}

} // namespace

TEST(Validation, ProductsPage)
{
    const QString f = QStringLiteral("/tmp/design.bcp");
    const struct {
        const char *name;
        QVector<ProductEntry> entries;
        int message;
        int ordered;
    } cases[] = {
        {"nothing ordered", {{QString(), 0, 0, f}, {}, {}}, MsgNoProducts, 0},
        {"all zero", {{QStringLiteral("0"), 0, 0, f}, {QStringLiteral("0"), 0, 0, {}}, {}}, MsgNoProducts, 0},
        {"below the minimum", {{QStringLiteral("99"), 0, 0, f}, {}, {}}, MsgNoProducts, 1},
        {"at the minimum", {{QStringLiteral("100"), 0, 0, f}, {}, {}}, 0, 1},
        {"second without a file", {{QStringLiteral("100"), 0, 0, f}, {QStringLiteral("5"), 0, 0, {}}, {}}, MsgNoProducts, 2},
        {"second and third", {{QString(), 0, 0, f}, {QStringLiteral("5"), 0, 0, f}, {QStringLiteral("1"), 0, 0, f}}, 0, 2},
    };
    for (const auto &c : cases) {
        int ordered = -1;
        EXPECT_EQ(checkProducts(draftWith(c.entries), &ordered), c.message) << c.name;
        EXPECT_EQ(ordered, c.ordered) << c.name;
    }
}

TEST(Validation, BillingPage)
{
    auto with = [](auto change, bool phone = false) {
        OrderDraft d;
        d.customer = goodCustomer();
        d.payByPhone = phone;
        change(d.customer);
        return checkBilling(d);
    };
    using V = QVector<int>;
    EXPECT_EQ(with([](Customer &) {}), V{});
    EXPECT_EQ(with([](Customer &c) { c.name = QStringLiteral("Al"); }), V{MsgBillingMissing});
    EXPECT_EQ(with([](Customer &c) { c.name = QStringLiteral("Al"); c.cardType = -1; }),
              (V{MsgBillingMissing, MsgCardInvalid}));
    EXPECT_EQ(with([](Customer &c) { c.zip = QStringLiteral("1234"); }), V{MsgBillingMissing});
    EXPECT_EQ(with([](Customer &c) { c.email = QStringLiteral("a@b.cd"); }), V{MsgBillingMissing});
    EXPECT_EQ(with([](Customer &c) { c.cardNumber = QStringLiteral("123456789"); }), V{MsgCardInvalid});
    EXPECT_EQ(with([](Customer &c) { c.expiry = QStringLiteral("12"); }), V{MsgCardInvalid});
    // Paying by phone needs no card.
    EXPECT_EQ(with([](Customer &c) { c.cardType = -1; c.cardNumber.clear(); c.expiry.clear(); }, true), V{});
}

TEST(Summary, LinesOfTheFinishPage)
{
    OrderDraft d = draftWith({{QStringLiteral("250"), 1, ShipStandard, QStringLiteral("/tmp/owz1.bcp")},
                              {QString(), 0, 0, {}},
                              {QStringLiteral("3"), 2, ShipInternational, QStringLiteral("/home/a/logo.png")}});
    d.customer = goodCustomer();
    d.customer.addr2 = QStringLiteral("Flat 2");
    d.customer.shipName = QStringLiteral("Charles Babbage");
    d.customer.notes = QStringLiteral("Ring twice");
    const QStringList s = summaryLines(d);
    const QStringList expectedStart = {
        QStringLiteral("Products"), QStringLiteral("--------"),
        QStringLiteral("Name:      Product 1"), QStringLiteral("Option:    Glossy"), QStringLiteral("Qty:       250"),
        QStringLiteral("Ship:      Standard"), QStringLiteral("Total:     $107.50"),
        QStringLiteral("File:      /tmp/owz1.bcp"), QString(),
        QStringLiteral("Name:      Product 3"), QStringLiteral("Option:    Rounded corners"),
        QStringLiteral("Qty:       3"), QStringLiteral("Ship:      International"),
        QStringLiteral("Total:     $6.50 plus shipping (you will be contacted)"),
        QStringLiteral("File:      /home/a/logo.png"), QString(),
        QStringLiteral("Billing Information"), QStringLiteral("-------------------"),
        QStringLiteral("Name:      Ada Lovelace"), QStringLiteral("Address:   12 Analytical Row"),
        QStringLiteral("           Flat 2"), QStringLiteral("           London LN 12345 UK"),
    };
    ASSERT_GE(s.size(), expectedStart.size());
    EXPECT_EQ(s.mid(0, expectedStart.size()), expectedStart);
    EXPECT_TRUE(s.contains(QStringLiteral("MOP:       MasterCard")));
    EXPECT_TRUE(s.contains(QStringLiteral("Number:    5500000000000004")));
    EXPECT_TRUE(s.contains(QStringLiteral("Name:      Charles Babbage")));
    EXPECT_EQ(s.last(), QStringLiteral("Ring twice"));

    d.payByPhone = true;
    const QStringList phone = summaryLines(d);
    EXPECT_TRUE(phone.contains(QStringLiteral("MOP:       CONTACT CUSTOMER WITH PAYMENT OPTIONS.")));
    EXPECT_FALSE(phone.join(QLatin1Char('\n')).contains(QStringLiteral("Number:")));
}
