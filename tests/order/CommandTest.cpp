// `ostravel order verify|pack|submit` and `ostravel-vendor`, run as programs, with the
// demo shop server on loopback ports for submissions.

#include "OrderTestSupport.h"

#include "TestSupport.h"
#include "order/OrderService.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int exitCode = -1;
    QByteArray out, err;
};

Result run(const QString &program, const QStringList &args, const QString &home = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!home.isEmpty())
        env.insert(QStringLiteral("OSTRAVEL_HOME"), home);
    p.setProcessEnvironment(env);
    p.start(program, args);
    Result r;
    if (!p.waitForFinished(180000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

Result ostravel(const QStringList &args, const QString &home = QString())
{
    return run(QStringLiteral(OSTRAVEL_EXECUTABLE), args, home);
}

Result vendor(const QStringList &args)
{
    return run(QStringLiteral(OSTRAVEL_VENDOR_EXECUTABLE), args);
}

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

const QByteArray kCustomer = "[Customer]\n"
                             "Name=Ada Lovelace\nAddr1=12 Analytical Row\nCity=London\nState=LN\nZip=12345\n"
                             "Country=UK\nEmail=ada@example.org\nShipName=Charles Babbage\nShipCity=London\n"
                             "Notes=Ring twice\n"
                             "[Card]\nType=0\nNumber=4111111111111111\nExpiry=12/29\n";

bool builtWithDemoKey()
{
    return order::builtInVerificationKey() == ordertest::publicBytes(ordertest::demoSigningKey());
}

QString design()
{
    return testsupport::fixture(QStringLiteral("files/sample.bcp"));
}

QStringList packagesIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.owz")}, QDir::Files);
}

} // namespace

class OrderCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!builtWithDemoKey())
            GTEST_SKIP() << "built with a shop's own verification key";
        customer = dir.filePath(QStringLiteral("customer.ini"));
        writeAll(customer, kCustomer);
        picture = dir.filePath(QStringLiteral("logo.png"));
        writeAll(picture, QByteArray("picture bytes ").repeated(100));
    }
    QString catalogueFile(const order::Catalogue &c, const QString &name = QStringLiteral("owiz.bin"))
    {
        const QString p = dir.filePath(name);
        writeAll(p, ordertest::signedCatalogue(c));
        return p;
    }
    QJsonObject open(const QString &package, const QString &outDir)
    {
        const Result r = vendor({QStringLiteral("open"), package, QStringLiteral("--key"),
                              ordertest::sourcePath(QStringLiteral("tools/vendor/demo-order.key")),
                              QStringLiteral("--out"), outDir});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out).object();
    }

    QTemporaryDir dir;
    QString customer, picture;
};

TEST_F(OrderCommand, VerifyPrintsTheCatalogueOrRefusesIt)
{
    const order::Catalogue c = ordertest::sampleCatalogue(2);
    Result r = ostravel({QStringLiteral("order"), QStringLiteral("verify"), catalogueFile(c)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(o.value(QStringLiteral("version")).toInt(), 110);
    EXPECT_EQ(o.value(QStringLiteral("contact")).toObject().value(QStringLiteral("email")).toString(), c.contactEmail);
    EXPECT_EQ(o.value(QStringLiteral("products")).toArray().size(), 2);
    EXPECT_EQ(o.value(QStringLiteral("products")).toArray().at(0).toObject().value(QStringLiteral("minimum")).toInt(), 100);

    // Not authentic: message 8005.
    QByteArray bytes = ordertest::signedCatalogue(c);
    bytes[bytes.size() - 10] = char(bytes[bytes.size() - 10] ^ 0x40);
    writeAll(dir.filePath(QStringLiteral("bad.bin")), bytes);
    r = ostravel({QStringLiteral("order"), QStringLiteral("verify"), dir.filePath(QStringLiteral("bad.bin"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("Error reading data file.\n\nPlease try again.")) << r.err.toStdString();

    // A newer version: the update notice with the catalogue's address.
    order::Catalogue newer = c;
    newer.version = 111;
    r = ostravel({QStringLiteral("order"), QStringLiteral("verify"), catalogueFile(newer, QStringLiteral("new.bin"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("IMPORTANT NOTICE")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(c.updateUrl.toUtf8()));

    // Not a catalogue at all.
    writeAll(dir.filePath(QStringLiteral("short.bin")), "tiny");
    r = ostravel({QStringLiteral("order"), QStringLiteral("verify"), dir.filePath(QStringLiteral("short.bin"))});
    EXPECT_EQ(r.exitCode, 1);
}

TEST_F(OrderCommand, PackWritesAPackageTheShopOpens)
{
    const QString cat = catalogueFile(ordertest::sampleCatalogue(3));
    const QString out = dir.filePath(QStringLiteral("order.owz"));
    Result r = ostravel({QStringLiteral("order"), QStringLiteral("pack"), design(), QStringLiteral("--catalogue"), cat,
                      QStringLiteral("--customer"), customer, QStringLiteral("--line"), QStringLiteral("1:250:1:0"),
                      QStringLiteral("--line"), QStringLiteral("3:5:2:2"), QStringLiteral("--attach"),
                      QStringLiteral("3:") + picture, QStringLiteral("--out"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = open(out, dir.filePath(QStringLiteral("opened")));
    EXPECT_EQ(o.value(QStringLiteral("ordered")).toInt(), 2);
    const QJsonObject cust = o.value(QStringLiteral("customer")).toObject();
    EXPECT_EQ(cust.value(QStringLiteral("Name")).toString(), QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(cust.value(QStringLiteral("Notes")).toString(), QStringLiteral("Ring twice"));
    EXPECT_EQ(cust.value(QStringLiteral("CardNumber")).toString(), QStringLiteral("4111111111111111"));
    EXPECT_EQ(cust.value(QStringLiteral("CardType")).toString(), QStringLiteral("Visa"));
    const QJsonArray lines = o.value(QStringLiteral("lines")).toArray();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].toObject().value(QStringLiteral("total")).toInt(), 10750000);
    EXPECT_EQ(lines[0].toObject().value(QStringLiteral("type")).toString(), QStringLiteral("bcp"));
    EXPECT_EQ(lines[1].toObject().value(QStringLiteral("product")).toString(), QStringLiteral("Product 3"));
    // The design goes as the native writer writes it; the fixture is the writer's output.
    EXPECT_EQ(readAll(lines[0].toObject().value(QStringLiteral("file")).toString()), readAll(design()));
    EXPECT_EQ(readAll(lines[1].toObject().value(QStringLiteral("file")).toString()), readAll(picture));
}

TEST_F(OrderCommand, PackValidatesLikeTheWizard)
{
    const QString cat = catalogueFile(ordertest::sampleCatalogue(2));
    const QString out = dir.filePath(QStringLiteral("order.owz"));
    auto pack = [&](const QStringList &extra, const QString &cust) {
        return ostravel(QStringList{QStringLiteral("order"), QStringLiteral("pack"), design(), QStringLiteral("--catalogue"),
                                    cat, QStringLiteral("--customer"), cust, QStringLiteral("--out"), out}
                        + extra);
    };
    // Below the minimum of 100.
    Result r = pack({QStringLiteral("--line"), QStringLiteral("1:99:0:0")}, customer);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("You must specify a quantity and choose a data file")) << r.err.toStdString();
    // Product 2 without its file.
    r = pack({QStringLiteral("--line"), QStringLiteral("2:5:0:0")}, customer);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("You must specify a quantity"));
    // A short name and no card: 8002 and 8003.
    const QString bad = dir.filePath(QStringLiteral("bad.ini"));
    writeAll(bad, "[Customer]\nName=Al\n");
    r = pack({QStringLiteral("--line"), QStringLiteral("1:100:0:0")}, bad);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("You must enter the required fields."));
    EXPECT_TRUE(r.err.contains("Invalid Credit Card information."));
    // A product the catalogue does not have, and a missing option.
    EXPECT_EQ(pack({QStringLiteral("--line"), QStringLiteral("3:5:0:0")}, customer).exitCode, 1);
    EXPECT_EQ(pack({QStringLiteral("--line"), QStringLiteral("1:100:9:0")}, customer).exitCode, 1);
    EXPECT_FALSE(QFile::exists(out));

    // A second product whose file is missing is left out with 8006; the package goes on.
    r = pack({QStringLiteral("--line"), QStringLiteral("1:100:0:0"), QStringLiteral("--line"), QStringLiteral("2:5:0:0"),
              QStringLiteral("--attach"), QStringLiteral("2:") + dir.filePath(QStringLiteral("gone.png"))},
             customer);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Error reading attachment file."));
    const QJsonObject o = open(out, dir.filePath(QStringLiteral("o2")));
    EXPECT_EQ(o.value(QStringLiteral("lines")).toArray().size(), 1);
    EXPECT_EQ(o.value(QStringLiteral("ordered")).toInt(), 2);
}

TEST_F(OrderCommand, SubmitFetchesSignsOffAndUploadsOverLoopback)
{
    ordertest::ShopServer shop;
    ASSERT_TRUE(shop.ok());
    shop.publish(ordertest::sampleCatalogue(2));
    QTemporaryDir home;
    const QStringList args{QStringLiteral("order"), QStringLiteral("submit"), design(), QStringLiteral("--customer"),
                           customer, QStringLiteral("--line"), QStringLiteral("1:120:0:1"), QStringLiteral("--base"),
                           shop.baseAddress()};
    const Result r = ostravel(args, home.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Your order has been successfully submitted."));
    const QStringList uploaded = shop.uploads();
    ASSERT_EQ(uploaded.size(), 1);
    EXPECT_TRUE(uploaded[0].endsWith(QString::fromUtf8(r.out.trimmed())));
    EXPECT_TRUE(r.out.startsWith("AL"));
    // Nothing with card data stays behind; the catalogue file is gone too.
    EXPECT_TRUE(packagesIn(home.path()).isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(home.path()).filePath(QStringLiteral("owiz.bin"))));
    EXPECT_TRUE(QFile::exists(QDir(home.path()).filePath(QStringLiteral("NetHdr.msg"))));

    const QJsonObject o = open(uploaded[0], dir.filePath(QStringLiteral("opened")));
    EXPECT_EQ(o.value(QStringLiteral("customer")).toObject().value(QStringLiteral("ShipName")).toString(),
              QStringLiteral("Charles Babbage"));
    const QJsonArray lines = o.value(QStringLiteral("lines")).toArray();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].toObject().value(QStringLiteral("shipment")).toInt(), 1);
    EXPECT_EQ(readAll(lines[0].toObject().value(QStringLiteral("file")).toString()), readAll(design()));
}

TEST_F(OrderCommand, SubmitWithTheOrderServerDownLeavesNothingAndWorksLater)
{
    ordertest::ShopServer::Options webOnly;
    webOnly.ftp = false;
    ordertest::ShopServer web(webOnly);
    ASSERT_TRUE(web.ok());
    const int ftpPort = ordertest::freePort();
    web.publish(ordertest::sampleCatalogue(1, QStringLiteral("127.0.0.1:%1").arg(ftpPort)));
    QTemporaryDir home;
    const QStringList args{QStringLiteral("order"), QStringLiteral("submit"), design(), QStringLiteral("--customer"),
                           customer, QStringLiteral("--line"), QStringLiteral("1:100:0:0"), QStringLiteral("--base"),
                           web.baseAddress()};
    Result r = ostravel(args, home.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Unable to contact the server.")) << r.err.toStdString();
    EXPECT_TRUE(packagesIn(home.path()).isEmpty());

    // The order server comes up on its port; the same command now goes through.
    ordertest::ShopServer::Options ftpOnly;
    ftpOnly.http = false;
    ftpOnly.ftpPort = ftpPort;
    ordertest::ShopServer orders(ftpOnly);
    ASSERT_TRUE(orders.ok());
    QDir(orders.ftpRoot()).mkpath(QStringLiteral("orders"));
    r = ostravel(args, home.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(orders.uploads().size(), 1);
    EXPECT_TRUE(packagesIn(home.path()).isEmpty());

    // The web server down: 8004 before anything is packed.
    r = ostravel({QStringLiteral("order"), QStringLiteral("submit"), design(), QStringLiteral("--customer"), customer,
                  QStringLiteral("--line"), QStringLiteral("1:100:0:0"), QStringLiteral("--base"),
                  QStringLiteral("http://127.0.0.1:%1/").arg(ordertest::freePort())},
                 home.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Unable to contact the server."));
}

TEST(VendorTool, KeysCurveAndSigningErrors)
{
    QTemporaryDir dir;
    const QString key = dir.filePath(QStringLiteral("shop.key"));
    Result r = vendor({QStringLiteral("keygen"), key});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray pub = r.out.trimmed();
    EXPECT_EQ(pub.size(), 64);
    EXPECT_EQ(vendor({QStringLiteral("public"), key}).out.trimmed(), pub);
    // A key is never overwritten.
    EXPECT_EQ(vendor({QStringLiteral("keygen"), key}).exitCode, 1);
    EXPECT_EQ(vendor({QStringLiteral("public"), key}).out.trimmed(), pub);
    EXPECT_EQ(QFileInfo(key).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());

    r = vendor({QStringLiteral("curve"), QStringLiteral("--json")});
    ASSERT_EQ(r.exitCode, 0);
    const QJsonObject c = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(c.value(QStringLiteral("n")).toString(), QStringLiteral("105197f7d734041465fdf5cd01052d5986e1703ce8f6834f51511"));
    EXPECT_EQ(c.value(QStringLiteral("cofactor")).toInt(), 8032);
    EXPECT_EQ(c.value(QStringLiteral("g")).toString().toLatin1(), order::curve::pack(order::curve::basePoint()).toHex());

    // The demo description signs; broken ones are refused with a message.
    const QString out = dir.filePath(QStringLiteral("owiz-bc.bin"));
    r = vendor({QStringLiteral("sign"), ordertest::sourcePath(QStringLiteral("tools/vendor/demo-catalogue.json")), out,
                QStringLiteral("--key"), key});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const order::CatalogueResult signedByShop = order::readCatalogueFile(out, QByteArray::fromHex(pub));
    EXPECT_EQ(signedByShop.status, order::CatalogueStatus::Ok);
    EXPECT_EQ(signedByShop.catalogue.products.size(), 3);
    const QString broken = dir.filePath(QStringLiteral("broken.json"));
    for (const QByteArray &json : {QByteArray("{not json"), QByteArray("{\"order_key\": \"00\"}"),
                                   QByteArray("{\"order_key\": \"" + pub + "\", \"products\": [{\"name\": \"x\", "
                                              "\"minimum\": -1}]}")}) {
        writeAll(broken, json);
        r = vendor({QStringLiteral("sign"), broken, dir.filePath(QStringLiteral("x.bin")), QStringLiteral("--key"), key});
        EXPECT_EQ(r.exitCode, 1) << json.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}
