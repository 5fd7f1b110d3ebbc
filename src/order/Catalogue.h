#pragma once
// The shop's product catalogue ("owiz-bc.bin"): a 610-byte header, the 32-byte order key,
// n product records of 2512 bytes and a signature over everything before it.
// Little-endian; texts are Windows-1252, zero-terminated within their field.

#include "order/BigNum.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

namespace order {

namespace cat {
constexpr int32_t kVersion = 110;         // newer catalogues need a newer program
constexpr int kHeaderSize = 610;          // read first; a shorter file is not a catalogue
constexpr int kKeyOffset = 610;
constexpr int kProductsOffset = 642;
constexpr int kProductSize = 2512;
constexpr int kSignatureSize = 64;        // s then r, 32 bytes each
constexpr int kMaxShown = 3;              // products offered by the wizard
constexpr int kMaxTiers = 8;
constexpr int kMaxOptions = 8;
// Field sizes of the header and the product record.
constexpr int kContactNameSize = 50, kEmailSize = 128, kPhoneSize = 20, kUrlSize = 128;
constexpr int kProductNameSize = 32, kDescriptionSize = 2048, kOptionNameSize = 32;
// A catalogue is small; anything beyond this is refused before it is read.
constexpr qint64 kMaxFileSize = 8 * 1024 * 1024;

constexpr qint64 fileSize(qint64 n) { return 706 + qint64(kProductSize) * n; }
} // namespace cat

// Prices are in 1/100000 dollar.
struct Tier {
    uint32_t price = 0;
    uint32_t from = 0;
    uint32_t to = 0;
};

struct ProductOption {
    QString name;
    uint32_t price = 0;
    bool flat = false; // an amount per order, otherwise per unit
};

struct Product {
    QString name;
    QByteArray nameBytes;       // as stored, for the order line
    QByteArray descriptionRtf;
    uint32_t minimum = 0;
    QVector<Tier> tiers;        // up to the first zero price
    QVector<ProductOption> options; // up to the first empty name
    uint32_t standardShipping = 0;
    uint32_t expressShipping = 0;
    uint32_t internationalShipping = 0; // 0: varies, the customer is contacted
};

struct Catalogue {
    int32_t version = cat::kVersion;
    QString contactName, contactEmail, phone1, phone2;
    QString updateUrl, uploadHost, uploadDir;
    QByteArray orderKey;        // 32 bytes: the packed public point for order packages
    int32_t productCount = 0;   // as stored
    QVector<Product> products;  // every record of the file
};

enum class CatalogueStatus {
    Ok,
    NotACatalogue,  // missing or shorter than the header: refused without a message
    Unreadable,     // wrong size or not authentic: message 8005
    UpdateNeeded,   // authentic, but a newer format: the update notice
};

struct CatalogueResult {
    CatalogueStatus status = CatalogueStatus::NotACatalogue;
    Catalogue catalogue;        // filled for Ok and UpdateNeeded
};

// Reads and verifies catalogue bytes against the 32-byte verification key.
CatalogueResult readCatalogue(const QByteArray &bytes, const QByteArray &verificationKey);
// Reads a catalogue file (refusing files larger than kMaxFileSize).
CatalogueResult readCatalogueFile(const QString &path, const QByteArray &verificationKey);

// The shop's side: the signed part of a catalogue (header, key, products), and the whole
// file with the signature appended.
QByteArray catalogueBody(const Catalogue &c);
QByteArray signCatalogue(const QByteArray &body, const BigNum &privateKey);

} // namespace order
