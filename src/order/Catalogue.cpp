#include "order/Catalogue.h"

#include "order/Curve.h"
#include "order/Signature.h"
#include "platform/Ansi.h"
#include "platform/ByteIO.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace order {

namespace {

// Offsets within a product record.
enum ProductField {
    PName = 0,
    PDescription = 32,
    PMinimum = 2080,
    PTierPrice = 2084,
    PTierFrom = 2116,
    PTierTo = 2148,
    POptionNames = 2180,
    POptionPrice = 2436,
    POptionFlat = 2468,
    PStandard = 2500,
    PExpress = 2504,
    PInternational = 2508,
};

QString textAt(const plat::LeReader &r, qsizetype off, qsizetype size)
{
    plat::LeReader field(r.data() + off, size);
    return plat::fromAnsi(field.fixedString(size));
}

Product readProduct(const char *rec)
{
    const plat::LeReader r(rec, cat::kProductSize);
    Product p;
    {
        plat::LeReader f(rec + PName, cat::kProductNameSize);
        p.nameBytes = f.fixedString(cat::kProductNameSize);
        p.name = plat::fromAnsi(p.nameBytes);
    }
    {
        plat::LeReader f(rec + PDescription, cat::kDescriptionSize);
        p.descriptionRtf = f.fixedString(cat::kDescriptionSize);
    }
    p.minimum = r.u32At(PMinimum);
    for (int i = 0; i < cat::kMaxTiers; ++i) {
        const uint32_t price = r.u32At(PTierPrice + 4 * i);
        if (price == 0)
            break;
        p.tiers.append(Tier{price, r.u32At(PTierFrom + 4 * i), r.u32At(PTierTo + 4 * i)});
    }
    for (int i = 0; i < cat::kMaxOptions; ++i) {
        const QString name = textAt(r, POptionNames + cat::kOptionNameSize * i, cat::kOptionNameSize);
        if (name.isEmpty())
            break;
        p.options.append(ProductOption{name, r.u32At(POptionPrice + 4 * i), r.u32At(POptionFlat + 4 * i) != 0});
    }
    p.standardShipping = r.u32At(PStandard);
    p.expressShipping = r.u32At(PExpress);
    p.internationalShipping = r.u32At(PInternational);
    return p;
}

QByteArray productBytes(const Product &p)
{
    QByteArray out(cat::kProductSize, '\0');
    plat::LeWriter w(&out);
    auto text = [&out](int off, const QByteArray &bytes, int size) {
        const int n = int(std::min<qsizetype>(bytes.size(), size - 1));
        std::memcpy(out.data() + off, bytes.constData(), size_t(n));
    };
    text(PName, p.nameBytes.isEmpty() ? plat::toAnsi(p.name) : p.nameBytes, cat::kProductNameSize);
    text(PDescription, p.descriptionRtf, cat::kDescriptionSize);
    w.putU32At(PMinimum, p.minimum);
    for (int i = 0; i < std::min<int>(int(p.tiers.size()), cat::kMaxTiers); ++i) {
        w.putU32At(PTierPrice + 4 * i, p.tiers[i].price);
        w.putU32At(PTierFrom + 4 * i, p.tiers[i].from);
        w.putU32At(PTierTo + 4 * i, p.tiers[i].to);
    }
    for (int i = 0; i < std::min<int>(int(p.options.size()), cat::kMaxOptions); ++i) {
        text(POptionNames + cat::kOptionNameSize * i, plat::toAnsi(p.options[i].name), cat::kOptionNameSize);
        w.putU32At(POptionPrice + 4 * i, p.options[i].price);
        w.putU32At(POptionFlat + 4 * i, p.options[i].flat ? 1 : 0);
    }
    w.putU32At(PStandard, p.standardShipping);
    w.putU32At(PExpress, p.expressShipping);
    w.putU32At(PInternational, p.internationalShipping);
    return out;
}

} // namespace

CatalogueResult readCatalogue(const QByteArray &bytes, const QByteArray &verificationKey)
{
    CatalogueResult result;
    if (bytes.size() < cat::kHeaderSize)
        return result; // not a catalogue; no message
    result.status = CatalogueStatus::Unreadable;
    const plat::LeReader r(bytes);
    const int32_t n = r.i32At(606);
    // The file is exactly 706 + 2512 n bytes; a negative count or any other size is
    // damage (or a forgery) and nothing of it is trusted.
    if (n < 0 || cat::fileSize(n) != bytes.size())
        return result;

    const qsizetype signedSize = cat::kProductsOffset + qsizetype(cat::kProductSize) * n;
    Signature sig;
    sig.s = BigNum::fromLe(bytes.constData() + signedSize, 32);
    sig.r = BigNum::fromLe(bytes.constData() + signedSize + 32, 32);
    Point key;
    if (verificationKey.size() != curve::kKeyBytes || !curve::unpackBytes(verificationKey, &key)
        || !verifySignature(bytes.left(signedSize), sig, key))
        return result;

    Catalogue &c = result.catalogue;
    c.version = r.i32At(0);
    c.contactName = textAt(r, 4, cat::kContactNameSize);
    c.contactEmail = textAt(r, 54, cat::kEmailSize);
    c.phone1 = textAt(r, 182, cat::kPhoneSize);
    c.phone2 = textAt(r, 202, cat::kPhoneSize);
    c.updateUrl = textAt(r, 222, cat::kUrlSize);
    c.uploadHost = textAt(r, 350, cat::kUrlSize);
    c.uploadDir = textAt(r, 478, cat::kUrlSize);
    c.productCount = n;
    c.orderKey = bytes.mid(cat::kKeyOffset, curve::kKeyBytes);
    if (c.version > cat::kVersion) {
        result.status = CatalogueStatus::UpdateNeeded;
        return result;
    }
    for (int32_t i = 0; i < n; ++i)
        c.products.append(readProduct(bytes.constData() + cat::kProductsOffset + qsizetype(cat::kProductSize) * i));
    result.status = CatalogueStatus::Ok;
    return result;
}

CatalogueResult readCatalogueFile(const QString &path, const QByteArray &verificationKey)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    if (f.size() > cat::kMaxFileSize) {
        CatalogueResult r; // far larger than any catalogue: damaged, and not read at all
        r.status = CatalogueStatus::Unreadable;
        return r;
    }
    return readCatalogue(f.readAll(), verificationKey);
}

QByteArray catalogueBody(const Catalogue &c)
{
    QByteArray out;
    plat::LeWriter w(&out);
    w.i32(c.version);
    w.fixedString(plat::toAnsi(c.contactName), cat::kContactNameSize);
    w.fixedString(plat::toAnsi(c.contactEmail), cat::kEmailSize);
    w.fixedString(plat::toAnsi(c.phone1), cat::kPhoneSize);
    w.fixedString(plat::toAnsi(c.phone2), cat::kPhoneSize);
    w.fixedString(plat::toAnsi(c.updateUrl), cat::kUrlSize);
    w.fixedString(plat::toAnsi(c.uploadHost), cat::kUrlSize);
    w.fixedString(plat::toAnsi(c.uploadDir), cat::kUrlSize);
    w.i32(int32_t(c.products.size()));
    QByteArray key = c.orderKey.left(curve::kKeyBytes);
    key.resize(curve::kKeyBytes, '\0');
    w.bytes(key);
    for (const Product &p : c.products)
        w.bytes(productBytes(p));
    return out;
}

QByteArray signCatalogue(const QByteArray &body, const BigNum &privateKey)
{
    const Signature sig = signMessage(body, privateKey);
    return body + sig.s.toLe(32) + sig.r.toLe(32);
}

} // namespace order
