// HTTP and FTP transfers against the demo shop server on loopback ports.

#include "OrderTestSupport.h"

#include "platform/Net.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <thread>

namespace {

QByteArray readAll(const QString &p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &p, const QByteArray &b)
{
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
}

} // namespace

TEST(Net, HostAndPort)
{
    const struct {
        const char *text;
        bool ok;
        const char *host;
        int port;
    } cases[] = {
        {"orders.example", true, "orders.example", 21},
        {"orders.example:2121", true, "orders.example", 2121},
        {" 127.0.0.1:8721 ", true, "127.0.0.1", 8721},
        {"[::1]", true, "[::1]", 21},
        {"[::1]:990", true, "[::1]", 990},
        {"", false, "", 0},
        {"host:", false, "", 0},
        {"host:0", false, "", 0},
        {"host:65536", false, "", 0},
        {"host:2x", false, "", 0},
        {":21", false, "", 0},
        {"ftp://host", false, "", 0},
        {"host/dir", false, "", 0},
        {"user@host", false, "", 0},
        {"::1", false, "", 0},
    };
    for (const auto &c : cases) {
        QString host;
        int port = 0;
        EXPECT_EQ(plat::splitHostPort(QString::fromLatin1(c.text), 21, &host, &port), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(host, QLatin1String(c.host)) << c.text;
            EXPECT_EQ(port, c.port) << c.text;
        }
    }
}

TEST(Net, HttpDownloadKeepsTheOldFileWhenTheRequestFails)
{
    ordertest::ShopServer shop;
    ASSERT_TRUE(shop.ok());
    QTemporaryDir dir;
    const QString body = dir.filePath(QStringLiteral("owiz.rtf")), header = dir.filePath(QStringLiteral("NetHdr.msg"));
    shop.writeWww(QStringLiteral("page.rtf"), "{\\rtf1 fresh}");

    plat::NetResult r = plat::httpGetToFile(shop.baseAddress() + QStringLiteral("page.rtf"), body, header, {}, 5000,
                                            1 << 20, nullptr);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(readAll(body), QByteArray("{\\rtf1 fresh}"));
    EXPECT_TRUE(readAll(header).startsWith("HTTP/1."));

    // 404: a failure, and the last good file stays.
    r = plat::httpGetToFile(shop.baseAddress() + QStringLiteral("missing.rtf"), body, header, {}, 5000, 1 << 20, nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 404);
    EXPECT_EQ(readAll(body), QByteArray("{\\rtf1 fresh}"));

    // A body above the limit fails too.
    shop.writeWww(QStringLiteral("big.bin"), QByteArray(5000, 'x'));
    r = plat::httpGetToFile(shop.baseAddress() + QStringLiteral("big.bin"), body, header, {}, 5000, 4000, nullptr);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(readAll(body), QByteArray("{\\rtf1 fresh}"));

    // Only http and https.
    r = plat::httpGetToFile(QStringLiteral("file:///etc/passwd"), body, header, {}, 5000, 1 << 20, nullptr);
    EXPECT_FALSE(r.ok);

    // Nobody listening.
    r = plat::httpGetToFile(QStringLiteral("http://127.0.0.1:%1/x").arg(ordertest::freePort()), body, header, {}, 5000,
                            1 << 20, nullptr);
    EXPECT_FALSE(r.ok);

    // A set abort flag stops the transfer.
    std::atomic<bool> abort{true};
    r = plat::httpGetToFile(shop.baseAddress() + QStringLiteral("page.rtf"), body, header, {}, 5000, 1 << 20, &abort);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.aborted);
}

TEST(Net, FtpUploadToTheDirectoryAndAbort)
{
    ordertest::ShopServer::Options o;
    o.http = false;
    o.throttle = 32 * 1024;
    ordertest::ShopServer shop(o);
    ASSERT_TRUE(shop.ok());
    QDir(shop.ftpRoot()).mkpath(QStringLiteral("in/box"));
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("small.owz"));
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i)); // every byte value: binary mode keeps them all
    writeAll(small, bytes.repeated(4));

    plat::FtpUpload u;
    u.host = shop.uploadHost();
    u.directory = QStringLiteral("in/box");
    u.localPath = small;
    u.remoteName = QStringLiteral("AL05090703.owz");
    u.user = QStringLiteral("anonymous");
    u.password = QStringLiteral("order@example.com");
    u.timeoutMs = 10000;
    plat::NetResult r = plat::ftpUpload(u, nullptr);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(readAll(shop.ftpRoot() + QStringLiteral("/in/box/AL05090703.owz")), bytes.repeated(4));

    // A directory the server does not have.
    u.directory = QStringLiteral("nowhere");
    EXPECT_FALSE(plat::ftpUpload(u, nullptr).ok);

    // Abort while a slow upload runs (32 KiB/s for 2 MiB would take a minute).
    const QString big = dir.filePath(QStringLiteral("big.owz"));
    writeAll(big, QByteArray(2 * 1024 * 1024, 'b'));
    u.directory = QStringLiteral("in/box");
    u.localPath = big;
    u.remoteName = QStringLiteral("big.owz");
    std::atomic<bool> abort{false};
    std::atomic<qint64> sent{0};
    std::thread stopper([&] {
        // Once bytes flow (or after a while regardless), abort.
        for (int i = 0; i < 1000 && sent.load() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        abort = true;
    });
    r = plat::ftpUpload(u, &abort, [&](qint64 now, qint64) { sent = now; });
    stopper.join();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.aborted);
    EXPECT_GT(sent.load(), 0);
    EXPECT_LT(QFileInfo(shop.ftpRoot() + QStringLiteral("/in/box/big.owz")).size(), 2 * 1024 * 1024);
}
