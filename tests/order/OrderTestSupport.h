#pragma once
// Shared by the order suites: the demo keys, small signed catalogues, and the demo shop
// server (tools/vendor/shop_server.py) started on free loopback ports.

#include "order/Catalogue.h"
#include "order/Signature.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ordertest {

inline QString sourcePath(const QString &relative)
{
    return QDir(QStringLiteral(OSTRAVEL_SOURCE_DIR)).filePath(relative);
}

inline order::BigNum demoKey(const char *name)
{
    order::BigNum d;
    QString error;
    EXPECT_TRUE(order::readPrivateKeyFile(sourcePath(QStringLiteral("tools/vendor/%1").arg(QLatin1String(name))), &d, &error))
        << error.toStdString();
    return d;
}
inline order::BigNum demoSigningKey() { return demoKey("demo-signing.key"); }
inline order::BigNum demoOrderKey() { return demoKey("demo-order.key"); }
inline QByteArray publicBytes(const order::BigNum &d)
{
    return order::publicKeyBytes(order::publicKeyOf(d));
}

// A product: tiers 1-99 at $0.50, 100-499 at $0.40, 500 or more at $0.30; options per
// unit ($0.00, $0.01) and flat ($5.00); shipping $5.00, $15.00, international varies.
inline order::Product sampleProduct(const QString &name, uint32_t minimum = 1)
{
    order::Product p;
    p.name = name;
    p.descriptionRtf = "{\\rtf1\\ansi " + name.toLatin1() + " on card stock.\\par}";
    p.minimum = minimum;
    p.tiers = {{50000, 1, 99}, {40000, 100, 499}, {30000, 500, 99999}};
    p.options = {{QStringLiteral("Plain"), 0, false}, {QStringLiteral("Glossy"), 1000, false},
                 {QStringLiteral("Rounded corners"), 500000, true}};
    p.standardShipping = 500000;
    p.expressShipping = 1500000;
    p.internationalShipping = 0;
    return p;
}

inline order::Catalogue sampleCatalogue(int products, const QString &uploadHost = QStringLiteral("127.0.0.1:21"))
{
    order::Catalogue c;
    c.contactName = QStringLiteral("Test Shop");
    c.contactEmail = QStringLiteral("orders@shop.example");
    c.phone1 = QStringLiteral("555-0100");
    c.phone2 = QStringLiteral("555-0199");
    c.updateUrl = QStringLiteral("http://shop.example/update");
    c.uploadHost = uploadHost;
    c.uploadDir = QStringLiteral("orders");
    c.orderKey = publicBytes(demoOrderKey());
    for (int i = 0; i < products; ++i)
        c.products << sampleProduct(QStringLiteral("Product %1").arg(i + 1), i == 0 ? 100 : 1);
    return c;
}

inline QByteArray signedCatalogue(const order::Catalogue &c)
{
    return order::signCatalogue(order::catalogueBody(c), demoSigningKey());
}

// The demo shop server on free loopback ports, stopped when the object dies.
class ShopServer {
public:
    struct Options {
        bool http = true;
        bool ftp = true;
        int ftpPort = 0;       // 0: a free port
        int throttle = 0;      // FTP upload bytes per second
        double httpDelay = 0;  // seconds before each web answer
    };
    explicit ShopServer(const Options &o) { start(o); }
    ShopServer() : ShopServer(Options{}) {}
    ~ShopServer() { stop(); }

    bool ok() const { return m_ready; }
    QString root() const { return m_dir.path(); }
    QString www() const { return m_dir.filePath(QStringLiteral("www")); }
    QString ftpRoot() const { return m_dir.filePath(QStringLiteral("ftp")); }
    int httpPort() const { return m_http; }
    int ftpPort() const { return m_ftp; }
    QString baseAddress() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_http); }
    QString uploadHost() const { return QStringLiteral("127.0.0.1:%1").arg(m_ftp); }

    // Signs `c` (upload host set to this server) and serves it with a message.
    void publish(order::Catalogue c, const QByteArray &rtf = "{\\rtf1\\ansi Welcome to the test shop.\\par}")
    {
        if (m_ftp)
            c.uploadHost = uploadHost();
        QDir(ftpRoot()).mkpath(c.uploadDir);
        writeWww(QStringLiteral("owiz-bc.bin"), signedCatalogue(c));
        writeWww(QStringLiteral("owiz-bc.rtf"), rtf);
    }
    void writeWww(const QString &name, const QByteArray &bytes)
    {
        QFile f(QDir(www()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Files uploaded into `dir`.
    QStringList uploads(const QString &dir = QStringLiteral("orders")) const
    {
        QDir d(QDir(ftpRoot()).filePath(dir));
        QStringList out;
        for (const QString &n : d.entryList(QDir::Files, QDir::Name))
            out << d.filePath(n);
        return out;
    }

    void stop()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.terminate();
            if (!m_proc.waitForFinished(5000)) {
                m_proc.kill();
                m_proc.waitForFinished(2000);
            }
        }
    }

private:
    void start(const Options &o)
    {
        QStringList args{sourcePath(QStringLiteral("tools/vendor/shop_server.py")), QStringLiteral("--root"), m_dir.path(),
                         QStringLiteral("--http-port"), QString::number(o.http ? 0 : -1),
                         QStringLiteral("--ftp-port"), QString::number(o.ftp ? o.ftpPort : -1)};
        if (o.throttle > 0)
            args << QStringLiteral("--throttle") << QString::number(o.throttle);
        if (o.httpDelay > 0)
            args << QStringLiteral("--http-delay") << QString::number(o.httpDelay);
        m_proc.setProcessChannelMode(QProcess::SeparateChannels);
        m_proc.start(QStringLiteral("/usr/bin/python3"), args);
        if (!m_proc.waitForStarted(10000))
            return;
        QByteArray out;
        while (!out.contains("ready\n")) {
            if (!m_proc.waitForReadyRead(20000))
                return;
            out += m_proc.readAllStandardOutput();
        }
        for (const QByteArray &line : out.split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() == 3 && f[0] == "http")
                m_http = f[2].toInt();
            if (f.size() == 3 && f[0] == "ftp")
                m_ftp = f[2].toInt();
        }
        m_ready = true;
    }

    QTemporaryDir m_dir;
    QProcess m_proc;
    int m_http = 0;
    int m_ftp = 0;
    bool m_ready = false;
};

// A loopback port with nothing listening (bound once, then released).
inline int freePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

} // namespace ordertest
