// `ostravel order verify|pack|submit`: the order wizard's work without a window.
//
//   order verify CATALOGUE.bin
//   order pack DESIGN --catalogue CATALOGUE.bin --customer CUSTOMER.ini
//              --line PRODUCT:QUANTITY:OPTION:SHIPMENT [--line ...] [--attach PRODUCT:FILE]...
//              --out PACKAGE.owz
//   order submit DESIGN --customer CUSTOMER.ini --line ... [--attach ...]
//              [--base URL] [--proxy HOST[:PORT]]
//
// PRODUCT is 1-3 in catalogue order, OPTION the 0-based index in that product's option
// list, SHIPMENT 0 standard, 1 express, 2 international. Product 1's attachment is the
// design; --attach names the others. CUSTOMER.ini holds the owiz.ini keys under
// [Customer] (and Notes=), and [Card] with Type (0-3: Visa, MasterCard, AMEX, Discover),
// Number and Expiry, or PhoneCheck=1.
#include "cli/Commands.h"

#include "document/DesignDocument.h"
#include "order/Catalogue.h"
#include "order/OrderDesign.h"
#include "order/OrderDraft.h"
#include "order/OrderService.h"
#include "order/OrderSettings.h"
#include "order/Package.h"
#include "order/Signature.h"
#include "platform/Net.h"
#include "platform/ProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstdio>

namespace cli {

namespace {

const char kOrderUsage[] =
    "Usage: ostravel order verify CATALOGUE.bin\n"
    "       ostravel order pack DESIGN --catalogue CATALOGUE.bin --customer CUSTOMER.ini\n"
    "                  --line PRODUCT:QUANTITY:OPTION:SHIPMENT [--line ...] [--attach PRODUCT:FILE]...\n"
    "                  --out PACKAGE.owz\n"
    "       ostravel order submit DESIGN --customer CUSTOMER.ini --line ... [--attach PRODUCT:FILE]...\n"
    "                  [--base URL] [--proxy HOST[:PORT]]";

int usage()
{
    QTextStream(stderr) << kOrderUsage << '\n';
    return 2;
}

int fail(const QString &message)
{
    QTextStream(stderr) << message << '\n';
    return 1;
}

void printOut(const QByteArray &text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
}

QString updateNotice(const QString &url)
{
    return QStringLiteral("IMPORTANT NOTICE\n"
                          "The order wizard detected that a new version is needed. Please visit the following URL "
                          "for a FREE update:\n%1\n"
                          "Be sure to exit this version before installing the new version.")
        .arg(url);
}

// The message of a refused catalogue, or empty for an accepted one.
QString catalogueProblem(const QString &what, const order::CatalogueResult &r)
{
    switch (r.status) {
    case order::CatalogueStatus::Ok:
        return {};
    case order::CatalogueStatus::NotACatalogue:
        return QStringLiteral("%1: not an order catalogue.").arg(what);
    case order::CatalogueStatus::Unreadable:
        return order::orderMessageText(order::MsgCatalogueUnreadable);
    case order::CatalogueStatus::UpdateNeeded:
        return updateNotice(r.catalogue.updateUrl);
    }
    return {};
}

QJsonObject catalogueJson(const order::Catalogue &c)
{
    QJsonObject o;
    o[QStringLiteral("version")] = c.version;
    o[QStringLiteral("contact")] = QJsonObject{{QStringLiteral("name"), c.contactName},
                                               {QStringLiteral("email"), c.contactEmail},
                                               {QStringLiteral("phone1"), c.phone1},
                                               {QStringLiteral("phone2"), c.phone2}};
    o[QStringLiteral("update_url")] = c.updateUrl;
    o[QStringLiteral("upload_host")] = c.uploadHost;
    o[QStringLiteral("upload_dir")] = c.uploadDir;
    o[QStringLiteral("order_key")] = QString::fromLatin1(order::bytesToHex(c.orderKey));
    QJsonArray products;
    for (const order::Product &p : c.products) {
        QJsonArray tiers, options;
        for (const order::Tier &t : p.tiers)
            tiers.append(QJsonObject{{QStringLiteral("from"), double(t.from)},
                                     {QStringLiteral("to"), double(t.to)},
                                     {QStringLiteral("price"), double(t.price)}});
        for (const order::ProductOption &op : p.options)
            options.append(QJsonObject{{QStringLiteral("name"), op.name},
                                       {QStringLiteral("price"), double(op.price)},
                                       {QStringLiteral("flat"), op.flat}});
        products.append(QJsonObject{
            {QStringLiteral("name"), p.name},
            {QStringLiteral("description_rtf"), QString::fromLatin1(p.descriptionRtf)},
            {QStringLiteral("minimum"), double(p.minimum)},
            {QStringLiteral("tiers"), tiers},
            {QStringLiteral("options"), options},
            {QStringLiteral("shipping"), QJsonObject{{QStringLiteral("standard"), double(p.standardShipping)},
                                                     {QStringLiteral("express"), double(p.expressShipping)},
                                                     {QStringLiteral("international"), double(p.internationalShipping)}}}});
    }
    o[QStringLiteral("products")] = products;
    return o;
}

int verify(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    const order::CatalogueResult r = order::readCatalogueFile(args[0], order::builtInVerificationKey());
    const QString problem = catalogueProblem(args[0], r);
    if (!problem.isEmpty())
        return fail(problem);
    printOut(QJsonDocument(catalogueJson(r.catalogue)).toJson(QJsonDocument::Indented));
    return 0;
}

// The options of pack and submit.
struct OrderArgs {
    QString design, catalogue, customer, out, base, proxy;
    QStringList lines, attachments;
};

bool parseArgs(const QStringList &args, OrderArgs *o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&](QString *out) {
            if (i + 1 >= args.size())
                return false;
            *out = args.at(++i);
            return true;
        };
        QString v;
        if (a == QLatin1String("--catalogue")) {
            if (!value(&o->catalogue))
                return false;
        } else if (a == QLatin1String("--customer")) {
            if (!value(&o->customer))
                return false;
        } else if (a == QLatin1String("--out")) {
            if (!value(&o->out))
                return false;
        } else if (a == QLatin1String("--base")) {
            if (!value(&o->base))
                return false;
        } else if (a == QLatin1String("--proxy")) {
            if (!value(&o->proxy))
                return false;
        } else if (a == QLatin1String("--line")) {
            if (!value(&v))
                return false;
            o->lines << v;
        } else if (a == QLatin1String("--attach")) {
            if (!value(&v))
                return false;
            o->attachments << v;
        } else if (a.startsWith(QLatin1Char('-')) || !o->design.isEmpty()) {
            return false;
        } else {
            o->design = a;
        }
    }
    return !o->design.isEmpty() && !o->customer.isEmpty() && !o->lines.isEmpty();
}

bool loadCustomer(const QString &path, order::Customer *c, bool *payByPhone, QString *error)
{
    order::IniFile ini;
    if (!ini.load(path)) {
        *error = QStringLiteral("Cannot read the customer file %1.").arg(path);
        return false;
    }
    for (const order::CustomerField &f : order::customerFields())
        if (*f.iniKey)
            c->*f.member = ini.value(QStringLiteral("Customer"), QLatin1String(f.iniKey), order::maxLength(f));
    c->notes = ini.value(QStringLiteral("Customer"), QStringLiteral("Notes"), 255);
    *payByPhone = ini.intValue(QStringLiteral("Card"), QStringLiteral("PhoneCheck")) != 0;
    if (!*payByPhone) {
        const QString type = ini.value(QStringLiteral("Card"), QStringLiteral("Type"));
        c->cardType = type.isEmpty() ? -1 : ini.intValue(QStringLiteral("Card"), QStringLiteral("Type"));
        if (c->cardType < 0 || c->cardType > 3)
            c->cardType = -1;
        c->cardNumber = ini.value(QStringLiteral("Card"), QStringLiteral("Number"), 29);
        c->expiry = ini.value(QStringLiteral("Card"), QStringLiteral("Expiry"), 9);
    }
    return true;
}

// Fills the draft's product entries from --line and --attach; product 1 carries the
// design file.
bool fillEntries(const OrderArgs &a, const QString &designFile, order::OrderDraft *d, QString *error)
{
    const int offered = d->offeredCount();
    d->entries = QVector<order::ProductEntry>(offered);
    if (offered > 0)
        d->entries[0].file = designFile;
    QVector<bool> seen(offered, false);
    for (const QString &line : a.lines) {
        const QStringList parts = line.split(QLatin1Char(':'));
        bool ok[4] = {false, false, false, false};
        const int product = parts.value(0).toInt(&ok[0]);
        const int quantity = parts.value(1).toInt(&ok[1]);
        const int option = parts.value(2).toInt(&ok[2]);
        const int shipment = parts.value(3).toInt(&ok[3]);
        if (parts.size() != 4 || !ok[0] || !ok[1] || !ok[2] || !ok[3] || quantity < 0 || quantity > 99999) {
            *error = QStringLiteral("--line %1: give PRODUCT:QUANTITY:OPTION:SHIPMENT as whole numbers.").arg(line);
            return false;
        }
        if (product < 1 || product > offered) {
            *error = QStringLiteral("--line %1: the catalogue offers products 1 to %2.").arg(line).arg(offered);
            return false;
        }
        const order::Product &p = d->catalogue.products[product - 1];
        if (option < 0 || option >= std::max<int>(1, int(p.options.size())) || shipment < 0 || shipment > 2) {
            *error = QStringLiteral("--line %1: %2 has options 0 to %3 and shipments 0 to 2.")
                         .arg(line, p.name)
                         .arg(std::max<int>(0, int(p.options.size()) - 1));
            return false;
        }
        if (seen[product - 1]) {
            *error = QStringLiteral("--line %1: product %2 is ordered twice.").arg(line).arg(product);
            return false;
        }
        seen[product - 1] = true;
        order::ProductEntry &e = d->entries[product - 1];
        e.quantityText = QString::number(quantity);
        e.option = option;
        e.shipment = shipment;
    }
    for (const QString &att : a.attachments) {
        const qsizetype colon = att.indexOf(QLatin1Char(':'));
        bool ok = false;
        const int product = att.left(colon).toInt(&ok);
        if (colon < 0 || !ok || product < 2 || product > offered) {
            *error = QStringLiteral("--attach %1: give PRODUCT:FILE for a product from 2 to %2.").arg(att).arg(offered);
            return false;
        }
        d->entries[product - 1].file = att.mid(colon + 1);
    }
    return true;
}

// Validates the draft like the wizard's pages; prints the messages.
bool validate(const order::OrderDraft &d, int *orderedCount)
{
    bool ok = true;
    if (const int m = order::checkProducts(d, orderedCount); m != 0) {
        fail(order::orderMessageText(m));
        ok = false;
    }
    for (int m : order::checkBilling(d)) {
        fail(order::orderMessageText(m));
        ok = false;
    }
    return ok;
}

// The package at `path`; prints the messages of products left out. True when it holds
// at least one product.
bool pack(const order::OrderDraft &d, int orderedCount, const QString &path)
{
    const order::PackageResult r = order::writePackage(path, d.customer, d.catalogue.orderKey, orderedCount,
                                                       order::orderLines(d), order::systemRandom15());
    for (int m : r.messages)
        fail(order::orderMessageText(m));
    if (r.error) {
        fail(order::orderMessageText(r.error));
        return false;
    }
    if (r.sent == 0) {
        fail(QStringLiteral("No product could be packaged: nothing is sent."));
        return false;
    }
    return true;
}

// Opens the design and saves it for the order.
std::unique_ptr<QTemporaryFile> designForOrder(const QString &path, QString *error)
{
    document::DesignDocument doc;
    const int rc = doc.openFile(path);
    if (rc != 1) {
        *error = QStringLiteral("%1: %2").arg(path, document::DesignDocument::messageFor(rc));
        return nullptr;
    }
    auto file = order::saveDesignForOrder(doc);
    if (!file)
        *error = document::DesignDocument::messageFor(1003);
    return file;
}

int packCommand(const QStringList &args)
{
    OrderArgs a;
    if (!parseArgs(args, &a) || a.catalogue.isEmpty() || a.out.isEmpty() || !a.base.isEmpty() || !a.proxy.isEmpty())
        return usage();
    order::OrderDraft d;
    const order::CatalogueResult cr = order::readCatalogueFile(a.catalogue, order::builtInVerificationKey());
    if (const QString problem = catalogueProblem(a.catalogue, cr); !problem.isEmpty())
        return fail(problem);
    d.catalogue = cr.catalogue;
    QString error;
    if (!loadCustomer(a.customer, &d.customer, &d.payByPhone, &error))
        return fail(error);
    auto design = designForOrder(a.design, &error);
    if (!design)
        return fail(error);
    if (!fillEntries(a, design->fileName(), &d, &error))
        return fail(error);
    int ordered = 0;
    if (!validate(d, &ordered))
        return 1;
    if (!pack(d, ordered, a.out))
        return 1;
    printOut(QFileInfo(a.out).absoluteFilePath().toUtf8() + '\n');
    return 0;
}

int submitCommand(const QStringList &args)
{
    OrderArgs a;
    if (!parseArgs(args, &a) || !a.catalogue.isEmpty() || !a.out.isEmpty())
        return usage();
    const order::OrderSettings settings = order::loadOrderSettings(order::orderSettingsPath());
    plat::Proxy proxy{settings.proxyServer, settings.proxyPort};
    if (!a.proxy.isEmpty() && !plat::splitHostPort(a.proxy, 0, &proxy.host, &proxy.port))
        return fail(QStringLiteral("--proxy %1: give HOST or HOST:PORT.").arg(a.proxy));
    const QString base = a.base.isEmpty() ? order::baseAddressFor(settings.baseAddress) : a.base;
    const QString folder = plat::ProgramFolder::current().writeFolder();
    QDir().mkpath(folder);

    order::OrderDraft d;
    QString error;
    if (!loadCustomer(a.customer, &d.customer, &d.payByPhone, &error))
        return fail(error);
    auto design = designForOrder(a.design, &error);
    if (!design)
        return fail(error);

    const plat::NetResult got = order::downloadCatalogue(base, proxy, folder, nullptr);
    if (!got.ok) {
        QFile::remove(QDir(folder).filePath(order::catalogueFileName()));
        return fail(order::orderMessageText(order::MsgUnreachable) + QStringLiteral("\n(") + got.error + QLatin1Char(')'));
    }
    const order::CatalogueResult cr = order::takeDownloadedCatalogue(folder);
    if (const QString problem = catalogueProblem(base, cr); !problem.isEmpty())
        return fail(problem);
    d.catalogue = cr.catalogue;
    if (!fillEntries(a, design->fileName(), &d, &error))
        return fail(error);
    int ordered = 0;
    if (!validate(d, &ordered))
        return 1;

    const QString path = QDir(folder).filePath(order::packageName(d.customer.name, QDateTime::currentDateTime()));
    if (!pack(d, ordered, path))
        return 1;
    const plat::NetResult sent = order::uploadPackage(d.catalogue, path, proxy, nullptr);
    QFile::remove(path);
    if (!sent.ok)
        return fail(order::orderMessageText(order::MsgUnreachable) + QStringLiteral("\n(") + sent.error + QLatin1Char(')'));
    QTextStream(stderr) << order::orderMessageText(order::MsgSubmitted) << '\n';
    printOut(QFileInfo(path).fileName().toUtf8() + '\n');
    return 0;
}

} // namespace

int runOrder(const QStringList &args)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("verify"))
        return verify(args.mid(1));
    if (sub == QLatin1String("pack"))
        return packCommand(args.mid(1));
    if (sub == QLatin1String("submit"))
        return submitCommand(args.mid(1));
    return usage();
}

} // namespace cli
