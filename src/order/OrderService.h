#pragma once
// The order wizard's traffic with the shop: the catalogue and message downloads from the
// shop's web address and the upload of a package to its order server. Each step blocks;
// the wizard runs them on a worker thread, the command line directly.

#include "order/Catalogue.h"
#include "platform/Net.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>

namespace order {

// The build's settings (demo values unless the build names a shop): the address below
// which the catalogue and the message lie, and the key that verifies catalogues.
QString builtInBaseAddress();
QByteArray builtInVerificationKey();
// The base address from owiz.ini when it names one, else the built-in one.
QString baseAddressFor(const QString &settingsAddress);

constexpr int kHttpTimeoutMs = 30000;
constexpr int kFtpTimeoutMs = 60000;
// The anonymous FTP password: an e-mail-shaped text of 17 characters.
QString ftpPassword();

// File names in the program folder.
QString catalogueFileName();    // "owiz.bin"
QString messageFileName();      // "owiz.rtf"
QString headerFileName();       // "NetHdr.msg"

// Downloads "owiz-bc.bin" into `folder`/owiz.bin (the response header into NetHdr.msg).
plat::NetResult downloadCatalogue(const QString &baseAddress, const plat::Proxy &proxy, const QString &folder,
                                  const std::atomic<bool> *abort);
// Downloads "owiz-bc.rtf" into `folder`/owiz.rtf; a failure keeps the last one.
plat::NetResult downloadMessage(const QString &baseAddress, const plat::Proxy &proxy, const QString &folder,
                                const std::atomic<bool> *abort);
// Reads and verifies `folder`/owiz.bin with the built-in key (or `key` when given), then
// deletes the file.
CatalogueResult takeDownloadedCatalogue(const QString &folder, const QByteArray &key = {});

// Uploads the package to the catalogue's order server and directory.
plat::NetResult uploadPackage(const Catalogue &catalogue, const QString &packagePath, const plat::Proxy &proxy,
                              const std::atomic<bool> *abort,
                              const std::function<void(qint64, qint64)> &progress = {});

} // namespace order
