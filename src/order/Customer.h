#pragma once
// The customer of an order: billing and shipping details, notes and payment. Stored in
// the order package as a 977-byte record (Windows-1252 texts, each zero-terminated within
// its field); the details without payment and notes are remembered in owiz.ini.

#include <QByteArray>
#include <QString>
#include <QVector>

namespace order {

struct Customer {
    QString name, shipName, addr1, shipAddr1, addr2, shipAddr2, city, shipCity;
    QString state, shipState, zip, shipZip, country, shipCountry;
    QString dayPhone, evePhone, fax, email, notes;
    int cardType = -1;  // 0 Visa, 1 MasterCard, 2 AMEX, 3 Discover, -1 none
    QString cardNumber, expiry;
};

// One text field: where it lies in the record, its size, its owiz.ini key (empty for
// fields that are never stored) and the name of its edit in the wizard.
struct CustomerField {
    QString Customer::*member;
    int offset;
    int size;
    const char *iniKey;
    const char *editName;
};
const QVector<CustomerField> &customerFields();

constexpr int kCustomerRecordSize = 977;
constexpr int kCardTypeOffset = 936;
// The card type names, in the order of the wizard's radio group.
const QStringList &cardTypeNames();

// Longest text each field holds (its size less the terminating zero).
inline int maxLength(const CustomerField &f) { return f.size - 1; }

QByteArray customerRecord(const Customer &c);
Customer customerFromRecord(const QByteArray &record);

// The billing details the shop needs (message 8002 when missing).
bool billingComplete(const Customer &c);
// Card details, unless the customer pays by phone, cheque or money order (message 8003).
bool cardComplete(const Customer &c, bool payByPhone);

} // namespace order
