// owiz.ini: the proxy and customer details round trip, card data and notes never stored,
// longest values read, and lines of other programs kept.

#include "order/OrderSettings.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace order;

namespace {

QByteArray readAll(const QString &p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(OrderSettings, RoundTripWithoutCardDataOrNotes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("owiz.ini"));
    OrderSettings s;
    s.proxyServer = QStringLiteral("proxy.example");
    s.proxyPort = 3128;
    for (const CustomerField &f : customerFields())
        s.customer.*f.member = QStringLiteral("v-%1").arg(QLatin1String(f.editName));
    s.customer.city = QStringLiteral("Springfield, IL"); // a comma stays a comma
    s.customer.cardType = 1;
    ASSERT_TRUE(saveOrderSettings(path, s));

    const QByteArray text = readAll(path);
    EXPECT_TRUE(text.contains("[Proxy]\nServer=proxy.example\nPort=3128\n"));
    EXPECT_TRUE(text.contains("[Customer]\nName=v-NameEdit\n"));
    EXPECT_FALSE(text.contains("CCNoEdit"));
    EXPECT_FALSE(text.contains("CCExpDateEdit"));
    EXPECT_FALSE(text.contains("ShipNotesMemo"));

    const OrderSettings back = loadOrderSettings(path);
    EXPECT_EQ(back.proxyServer, s.proxyServer);
    EXPECT_EQ(back.proxyPort, 3128);
    for (const CustomerField &f : customerFields()) {
        if (*f.iniKey)
            EXPECT_EQ(back.customer.*f.member, s.customer.*f.member) << f.iniKey;
        else
            EXPECT_TRUE((back.customer.*f.member).isEmpty()) << f.editName;
    }
    EXPECT_EQ(back.customer.cardType, -1);
}

TEST(OrderSettings, ReadingRules)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("owiz.ini"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; written by hand\r\n"
            "[other]\r\nkeep=me\r\n"
            "[PROXY]\r\nserver = \"quoted.example\" \r\nport=80x\r\n"
            "[customer]\r\nNAME=" + QByteArray(70, 'n') + "\r\nState=" + QByteArray(30, 's') + "\r\n"
            "Email=" + QByteArray(120, 'e') + "\r\n"
            "[Vendor]\r\nBaseAddress=http://127.0.0.1:9/\r\n");
    f.close();

    const OrderSettings s = loadOrderSettings(path);
    EXPECT_EQ(s.proxyServer, QStringLiteral("quoted.example"));
    EXPECT_EQ(s.proxyPort, 80);
    EXPECT_EQ(s.customer.name, QString(49, QLatin1Char('n')));
    EXPECT_EQ(s.customer.state, QString(19, QLatin1Char('s')));
    EXPECT_EQ(s.customer.email, QString(99, QLatin1Char('e')));
    EXPECT_TRUE(s.customer.addr1.isEmpty());
    EXPECT_EQ(s.baseAddress, QStringLiteral("http://127.0.0.1:9/"));

    // Saving changes only its own keys, in their sections.
    OrderSettings changed = s;
    changed.proxyPort = 0;
    changed.customer.addr1 = QStringLiteral("1 Main St");
    ASSERT_TRUE(saveOrderSettings(path, changed));
    const QByteArray text = readAll(path);
    EXPECT_TRUE(text.startsWith("; written by hand\n[other]\nkeep=me\n"));
    EXPECT_TRUE(text.contains("BaseAddress=http://127.0.0.1:9/"));
    EXPECT_EQ(text.count("[PROXY]"), 1);
    EXPECT_EQ(text.count("[Proxy]"), 0);
    EXPECT_EQ(loadOrderSettings(path).customer.addr1, QStringLiteral("1 Main St"));
    EXPECT_EQ(loadOrderSettings(path).proxyPort, 0);

    // A missing file reads as empty.
    const OrderSettings none = loadOrderSettings(dir.filePath(QStringLiteral("missing.ini")));
    EXPECT_TRUE(none.proxyServer.isEmpty());
    EXPECT_EQ(none.proxyPort, 0);
}
