#include "order/OrderService.h"

#include "order/Signature.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef OSTRAVEL_ORDER_BASE_ADDRESS
#error "the build names the shop's base address (OSTRAVEL_ORDER_BASE_ADDRESS)"
#endif
#ifndef OSTRAVEL_ORDER_VERIFY_KEY
#error "the build names the catalogue verification key (OSTRAVEL_ORDER_VERIFY_KEY)"
#endif

namespace order {

QString builtInBaseAddress()
{
    return QStringLiteral(OSTRAVEL_ORDER_BASE_ADDRESS);
}

QByteArray builtInVerificationKey()
{
    static const QByteArray key = hexToKeyBytes(QByteArrayLiteral(OSTRAVEL_ORDER_VERIFY_KEY));
    return key;
}

QString baseAddressFor(const QString &settingsAddress)
{
    const QString s = settingsAddress.trimmed();
    return s.isEmpty() ? builtInBaseAddress() : s;
}

QString ftpPassword()
{
    return QStringLiteral("order@example.com");
}

QString catalogueFileName()
{
    return QStringLiteral("owiz.bin");
}

QString messageFileName()
{
    return QStringLiteral("owiz.rtf");
}

QString headerFileName()
{
    return QStringLiteral("NetHdr.msg");
}

namespace {

QString below(const QString &base, const QString &page)
{
    return base.endsWith(QLatin1Char('/')) ? base + page : base + QLatin1Char('/') + page;
}

} // namespace

plat::NetResult downloadCatalogue(const QString &baseAddress, const plat::Proxy &proxy, const QString &folder,
                                  const std::atomic<bool> *abort)
{
    const QDir dir(folder);
    return plat::httpGetToFile(below(baseAddress, QStringLiteral("owiz-bc.bin")), dir.filePath(catalogueFileName()),
                               dir.filePath(headerFileName()), proxy, kHttpTimeoutMs, cat::kMaxFileSize, abort);
}

plat::NetResult downloadMessage(const QString &baseAddress, const plat::Proxy &proxy, const QString &folder,
                                const std::atomic<bool> *abort)
{
    const QDir dir(folder);
    return plat::httpGetToFile(below(baseAddress, QStringLiteral("owiz-bc.rtf")), dir.filePath(messageFileName()),
                               dir.filePath(headerFileName()), proxy, kHttpTimeoutMs, 4 * 1024 * 1024, abort);
}

CatalogueResult takeDownloadedCatalogue(const QString &folder, const QByteArray &key)
{
    const QString path = QDir(folder).filePath(catalogueFileName());
    CatalogueResult r = readCatalogueFile(path, key.isEmpty() ? builtInVerificationKey() : key);
    QFile::remove(path);
    return r;
}

plat::NetResult uploadPackage(const Catalogue &catalogue, const QString &packagePath, const plat::Proxy &proxy,
                              const std::atomic<bool> *abort, const std::function<void(qint64, qint64)> &progress)
{
    plat::FtpUpload u;
    u.host = catalogue.uploadHost;
    u.directory = catalogue.uploadDir;
    u.localPath = packagePath;
    u.remoteName = QFileInfo(packagePath).fileName();
    u.user = QStringLiteral("anonymous");
    u.password = ftpPassword();
    u.proxy = proxy;
    u.timeoutMs = kFtpTimeoutMs;
    return plat::ftpUpload(u, abort, progress);
}

} // namespace order
