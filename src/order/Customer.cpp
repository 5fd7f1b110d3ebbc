#include "order/Customer.h"

#include "platform/Ansi.h"
#include "platform/ByteIO.h"

#include <QStringList>
#include <cstring>

namespace order {

const QVector<CustomerField> &customerFields()
{
    static const QVector<CustomerField> fields = {
        {&Customer::name, 0, 50, "Name", "NameEdit"},
        {&Customer::shipName, 50, 50, "ShipName", "ShipNameEdit"},
        {&Customer::addr1, 100, 50, "Addr1", "Addr1Edit"},
        {&Customer::shipAddr1, 150, 50, "ShipAddr1", "ShipAddr1Edit"},
        {&Customer::addr2, 200, 50, "Addr2", "Addr2Edit"},
        {&Customer::shipAddr2, 250, 50, "ShipAddr2", "ShipAddr2Edit"},
        {&Customer::city, 300, 40, "City", "CityEdit"},
        {&Customer::shipCity, 340, 40, "ShipCity", "ShipCityEdit"},
        {&Customer::state, 380, 20, "State", "StateEdit"},
        {&Customer::shipState, 400, 20, "ShipState", "ShipStateEdit"},
        {&Customer::zip, 420, 20, "Zip", "ZipEdit"},
        {&Customer::shipZip, 440, 20, "ShipZip", "ShipZipEdit"},
        {&Customer::country, 460, 30, "Country", "CountryEdit"},
        {&Customer::shipCountry, 490, 30, "ShipCountry", "ShipCountryEdit"},
        {&Customer::dayPhone, 520, 20, "DayPhone", "DayPhoneEdit"},
        {&Customer::evePhone, 540, 20, "EvePhone", "EvePhoneEdit"},
        {&Customer::fax, 560, 20, "Fax", "FaxEdit"},
        {&Customer::email, 580, 100, "Email", "EmailEdit"},
        {&Customer::notes, 680, 256, "", "ShipNotesMemo"},
        {&Customer::cardNumber, 937, 30, "", "CCNoEdit"},
        {&Customer::expiry, 967, 10, "", "CCExpDateEdit"},
    };
    return fields;
}

const QStringList &cardTypeNames()
{
    static const QStringList names = {QStringLiteral("Visa"), QStringLiteral("MasterCard"), QStringLiteral("AMEX"),
                                      QStringLiteral("Discover")};
    return names;
}

QByteArray customerRecord(const Customer &c)
{
    QByteArray out(kCustomerRecordSize, '\0');
    for (const CustomerField &f : customerFields()) {
        const QByteArray text = plat::toAnsi(c.*f.member);
        std::memcpy(out.data() + f.offset, text.constData(), size_t(std::min<qsizetype>(text.size(), f.size - 1)));
    }
    out[kCardTypeOffset] = char(int8_t(c.cardType >= 0 && c.cardType < 4 ? c.cardType : -1));
    return out;
}

Customer customerFromRecord(const QByteArray &record)
{
    Customer c;
    if (record.size() < kCustomerRecordSize)
        return c;
    for (const CustomerField &f : customerFields()) {
        plat::LeReader r(record.constData() + f.offset, f.size);
        c.*f.member = plat::fromAnsi(r.fixedString(f.size));
    }
    const int8_t type = int8_t(record.at(kCardTypeOffset));
    c.cardType = type >= 0 && type < 4 ? type : -1;
    return c;
}

namespace {

// Characters of a field as the record holds it (cut to the field).
int stored(const QString &text, int size)
{
    return int(std::min<qsizetype>(plat::toAnsi(text).size(), size - 1));
}

} // namespace

bool billingComplete(const Customer &c)
{
    return stored(c.name, 50) >= 3 && stored(c.addr1, 50) >= 5 && stored(c.city, 40) >= 2
           && stored(c.state, 20) >= 2 && stored(c.zip, 20) >= 5 && stored(c.email, 100) >= 7
           && stored(c.country, 30) >= 2;
}

bool cardComplete(const Customer &c, bool payByPhone)
{
    if (payByPhone)
        return true;
    return c.cardType >= 0 && c.cardType < 4 && stored(c.cardNumber, 30) > 9 && stored(c.expiry, 10) > 2;
}

} // namespace order
