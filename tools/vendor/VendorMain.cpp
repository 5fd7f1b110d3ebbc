// ostravel-vendor: the shop's side of ordering prints.
//
//   keygen KEYFILE                         a new private key; prints the public key
//   public KEYFILE                         prints the public key of a private key
//   curve --json                           the curve's group order, cofactor and base point
//   sign CATALOGUE.json OUT.bin --key KEYFILE
//                                          a signed catalogue from its readable description
//   open PACKAGE.owz --key KEYFILE [--out DIR]
//                                          an order as JSON, attachments written to DIR
//
// Public keys are printed as 64 hex digits: the 32 bytes that a catalogue carries at
// offset 610 and that the program's build setting OSTRAVEL_ORDER_VERIFY_KEY takes.

#include "order/Catalogue.h"
#include "order/Curve.h"
#include "order/Package.h"
#include "order/Signature.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

using namespace order;

namespace {

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int fail(const QString &message)
{
    err() << "ostravel-vendor: " << message << Qt::endl;
    return 1;
}

void out(const QByteArray &text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
}

int usage()
{
    err() << "Usage: ostravel-vendor keygen KEYFILE\n"
             "       ostravel-vendor public KEYFILE\n"
             "       ostravel-vendor curve --json\n"
             "       ostravel-vendor sign CATALOGUE.json OUT.bin --key KEYFILE\n"
             "       ostravel-vendor open PACKAGE.owz --key KEYFILE [--out DIR]"
          << Qt::endl;
    return 2;
}

// The value after `--name`, removed from the list together with the option.
QString takeOption(QStringList &args, const QString &name)
{
    const qsizetype i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size())
        return {};
    const QString v = args.at(i + 1);
    args.remove(i, 2);
    return v;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

int keygen(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    if (QFile::exists(args[0]))
        return fail(QStringLiteral("%1 exists; a key is never overwritten").arg(args[0]));
    const BigNum d = generatePrivateKey();
    QString error;
    if (!writePrivateKeyFile(args[0], d, &error))
        return fail(error);
    out(bytesToHex(publicKeyBytes(publicKeyOf(d))) + '\n');
    return 0;
}

int publicKey(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    BigNum d;
    QString error;
    if (!readPrivateKeyFile(args[0], &d, &error))
        return fail(error);
    out(bytesToHex(publicKeyBytes(publicKeyOf(d))) + '\n');
    return 0;
}

int curveInfo(const QStringList &args)
{
    if (args != QStringList{QStringLiteral("--json")})
        return usage();
    QJsonObject o;
    o[QStringLiteral("field")] = QStringLiteral("GF(2^13)[t]/(t^17+t^3+1), GF(2^13) = GF(2)[x]/(x^13+x^4+x^3+x+1)");
    o[QStringLiteral("curve")] = QStringLiteral("y^2 + xy = x^3 + 773");
    o[QStringLiteral("n")] = QString::fromLatin1(curve::order().toHex());
    o[QStringLiteral("cofactor")] = curve::kCofactor;
    o[QStringLiteral("g")] = QString::fromLatin1(curve::pack(curve::basePoint()).toHex());
    out(QJsonDocument(o).toJson(QJsonDocument::Indented));
    return 0;
}

// Reads an unsigned 32-bit amount; false for anything else.
bool amount(const QJsonValue &v, uint32_t *outValue)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (d < 0 || d > 4294967295.0 || d != double(qint64(d)))
        return false;
    *outValue = uint32_t(qint64(d));
    return true;
}

bool parseProduct(const QJsonObject &o, Product *p, QString *error)
{
    p->name = o.value(QStringLiteral("name")).toString();
    p->descriptionRtf = o.value(QStringLiteral("description_rtf")).toString().toLatin1();
    if (p->name.isEmpty()) {
        *error = QStringLiteral("a product needs a name");
        return false;
    }
    if (!amount(o.value(QStringLiteral("minimum")), &p->minimum)) {
        *error = QStringLiteral("%1: \"minimum\" must be a whole number").arg(p->name);
        return false;
    }
    const QJsonArray tiers = o.value(QStringLiteral("tiers")).toArray();
    if (tiers.size() > cat::kMaxTiers) {
        *error = QStringLiteral("%1: at most 8 tiers").arg(p->name);
        return false;
    }
    for (const QJsonValue &tv : tiers) {
        const QJsonObject t = tv.toObject();
        Tier tier;
        if (!amount(t.value(QStringLiteral("from")), &tier.from) || !amount(t.value(QStringLiteral("to")), &tier.to)
            || !amount(t.value(QStringLiteral("price")), &tier.price) || tier.price == 0) {
            *error = QStringLiteral("%1: a tier needs whole \"from\", \"to\" and a price above 0").arg(p->name);
            return false;
        }
        p->tiers << tier;
    }
    const QJsonArray options = o.value(QStringLiteral("options")).toArray();
    if (options.size() > cat::kMaxOptions) {
        *error = QStringLiteral("%1: at most 8 options").arg(p->name);
        return false;
    }
    for (const QJsonValue &ov : options) {
        const QJsonObject op = ov.toObject();
        ProductOption option;
        option.name = op.value(QStringLiteral("name")).toString();
        option.flat = op.value(QStringLiteral("flat")).toBool();
        if (option.name.isEmpty() || !amount(op.value(QStringLiteral("price")), &option.price)) {
            *error = QStringLiteral("%1: an option needs a name and a whole price").arg(p->name);
            return false;
        }
        p->options << option;
    }
    const QJsonObject ship = o.value(QStringLiteral("shipping")).toObject();
    if (!amount(ship.value(QStringLiteral("standard")), &p->standardShipping)
        || !amount(ship.value(QStringLiteral("express")), &p->expressShipping)
        || !amount(ship.value(QStringLiteral("international")), &p->internationalShipping)) {
        *error = QStringLiteral("%1: \"shipping\" needs whole standard, express and international prices").arg(p->name);
        return false;
    }
    return true;
}

int sign(QStringList args)
{
    const QString keyFile = takeOption(args, QStringLiteral("--key"));
    if (args.size() != 2 || keyFile.isEmpty())
        return usage();
    BigNum d;
    QString error;
    if (!readPrivateKeyFile(keyFile, &d, &error))
        return fail(error);
    QFile f(args[0]);
    if (!f.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(args[0]));
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &pe);
    if (!doc.isObject())
        return fail(QStringLiteral("%1: %2").arg(args[0], pe.errorString()));
    const QJsonObject o = doc.object();

    Catalogue c;
    c.version = o.value(QStringLiteral("version")).toInt(cat::kVersion);
    const QJsonObject contact = o.value(QStringLiteral("contact")).toObject();
    c.contactName = contact.value(QStringLiteral("name")).toString();
    c.contactEmail = contact.value(QStringLiteral("email")).toString();
    c.phone1 = contact.value(QStringLiteral("phone1")).toString();
    c.phone2 = contact.value(QStringLiteral("phone2")).toString();
    c.updateUrl = o.value(QStringLiteral("update_url")).toString();
    c.uploadHost = o.value(QStringLiteral("upload_host")).toString();
    c.uploadDir = o.value(QStringLiteral("upload_dir")).toString();
    c.orderKey = hexToKeyBytes(o.value(QStringLiteral("order_key")).toString().toLatin1());
    Point q;
    if (c.orderKey.isEmpty() || !curve::unpackBytes(c.orderKey, &q) || !curve::isValidPublicKey(q))
        return fail(QStringLiteral("\"order_key\" must be a public key of 64 hex digits (see keygen)"));
    for (const QJsonValue &pv : o.value(QStringLiteral("products")).toArray()) {
        Product p;
        if (!parseProduct(pv.toObject(), &p, &error))
            return fail(error);
        c.products << p;
    }
    if (!writeFile(args[1], signCatalogue(catalogueBody(c), d)))
        return fail(QStringLiteral("cannot write %1").arg(args[1]));
    return 0;
}

// An attachment's file name: its line number and its type, letters and digits only.
QString attachmentName(int index, const QString &type)
{
    QString safe;
    for (QChar ch : type)
        if (ch.unicode() < 128 && ch.isLetterOrNumber())
            safe += ch;
    return QStringLiteral("line%1.%2").arg(index + 1).arg(safe.isEmpty() ? QStringLiteral("bin") : safe);
}

int openOrder(QStringList args)
{
    const QString keyFile = takeOption(args, QStringLiteral("--key"));
    const QString outDir = takeOption(args, QStringLiteral("--out"));
    if (args.size() != 1 || keyFile.isEmpty())
        return usage();
    BigNum d;
    QString error;
    if (!readPrivateKeyFile(keyFile, &d, &error))
        return fail(error);
    QFile f(args[0]);
    if (!f.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(args[0]));
    OpenedPackage pkg;
    if (!openPackage(f.readAll(), d, &pkg, &error))
        return fail(QStringLiteral("%1: %2").arg(args[0], error));

    QJsonObject customer;
    // The owiz.ini key names; the fields that are never stored get names of their own.
    for (const CustomerField &field : customerFields()) {
        QString key = QString::fromLatin1(field.iniKey);
        if (field.member == &Customer::notes)
            key = QStringLiteral("Notes");
        else if (field.member == &Customer::cardNumber)
            key = QStringLiteral("CardNumber");
        else if (field.member == &Customer::expiry)
            key = QStringLiteral("Expiry");
        customer[key] = pkg.customer.*field.member;
    }
    customer[QStringLiteral("CardType")] = pkg.customer.cardType < 0 ? QStringLiteral("")
                                                                     : cardTypeNames().value(pkg.customer.cardType);
    QJsonArray lines;
    for (int i = 0; i < pkg.lines.size(); ++i) {
        const OpenedLine &l = pkg.lines[i];
        QJsonObject lo;
        lo[QStringLiteral("product")] = QString::fromLatin1(l.productName);
        lo[QStringLiteral("quantity")] = l.quantity;
        lo[QStringLiteral("shipment")] = l.shipment;
        lo[QStringLiteral("option")] = l.optionName;
        lo[QStringLiteral("total")] = double(l.total);
        lo[QStringLiteral("type")] = l.type;
        lo[QStringLiteral("size")] = double(l.data.size());
        if (!outDir.isEmpty()) {
            QDir().mkpath(outDir);
            const QString path = QDir(outDir).filePath(attachmentName(i, l.type));
            if (!writeFile(path, l.data))
                return fail(QStringLiteral("cannot write %1").arg(path));
            lo[QStringLiteral("file")] = path;
        }
        lines.append(lo);
    }
    QJsonObject o;
    o[QStringLiteral("ordered")] = pkg.orderedCount;
    o[QStringLiteral("customer")] = customer;
    o[QStringLiteral("lines")] = lines;
    out(QJsonDocument(o).toJson(QJsonDocument::Indented));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString cmd = args.value(0);
    if (!args.isEmpty())
        args.removeFirst();
    if (cmd == QLatin1String("keygen"))
        return keygen(args);
    if (cmd == QLatin1String("public"))
        return publicKey(args);
    if (cmd == QLatin1String("curve"))
        return curveInfo(args);
    if (cmd == QLatin1String("sign"))
        return sign(args);
    if (cmd == QLatin1String("open"))
        return openOrder(args);
    return usage();
}
