#pragma once
// owiz.ini, the order wizard's settings in the program folder: the proxy, the customer's
// billing and shipping details, and (for a shop's own server) the base address of the
// catalogue. A sectioned text file; keys and section names ignore letter case, a missing
// key reads as empty (a port as 0), and lines the program does not know are kept.

#include "order/Customer.h"

#include <QString>
#include <QStringList>

namespace order {

class IniFile {
public:
    bool load(const QString &path);
    // Writes atomically; false when the file could not be written.
    bool save(const QString &path) const;

    // The value cut to `maxLength` characters; blanks around it and one pair of
    // enclosing quotes are dropped.
    QString value(const QString &section, const QString &key, int maxLength = 4096) const;
    // The leading decimal digits of the value (with a sign), 0 when there are none.
    int intValue(const QString &section, const QString &key) const;
    // Sets or adds a key; line breaks in the value become blanks.
    void setValue(const QString &section, const QString &key, const QString &value);

    const QStringList &lines() const { return m_lines; }

private:
    int findSection(const QString &section) const;
    int findKey(int sectionLine, const QString &key, int *insertAt) const;

    QStringList m_lines;
};

struct OrderSettings {
    QString proxyServer;
    int proxyPort = 0;
    Customer customer;       // details only: card data and notes are never stored
    QString baseAddress;     // [Vendor] BaseAddress, empty for the built-in address
};

// The path of owiz.ini in the program folder (the user's data folder).
QString orderSettingsPath();
OrderSettings loadOrderSettings(const QString &path);
// Writes the proxy and customer keys (card data and notes left out), keeping the rest.
bool saveOrderSettings(const QString &path, const OrderSettings &settings);

} // namespace order
