#include "platform/Net.h"

#include <QFile>
#include <QSaveFile>
#include <QUrl>

#include <curl/curl.h>
#include <algorithm>
#include <memory>
#include <mutex>

namespace plat {

namespace {

void globalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyFree {
    void operator()(CURL *c) const { curl_easy_cleanup(c); }
};
using Easy = std::unique_ptr<CURL, EasyFree>;

struct Transfer {
    const std::atomic<bool> *abort = nullptr;
    std::function<void(qint64, qint64)> progress;
    QIODevice *body = nullptr;     // download target or upload source
    QIODevice *header = nullptr;
    qint64 maxBytes = -1;
    qint64 received = 0;
    bool tooLarge = false;
    bool writeFailed = false;
};

size_t writeBody(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<Transfer *>(user);
    const qint64 n = qint64(size * count);
    t->received += n;
    if (t->maxBytes >= 0 && t->received > t->maxBytes) {
        t->tooLarge = true;
        return 0;
    }
    if (t->body->write(data, n) != n) {
        t->writeFailed = true;
        return 0;
    }
    return size_t(n);
}

size_t writeHeader(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<Transfer *>(user);
    if (t->header)
        t->header->write(data, qint64(size * count));
    return size * count;
}

size_t readBody(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<Transfer *>(user);
    const qint64 n = t->body->read(data, qint64(size * count));
    if (n < 0)
        return CURL_READFUNC_ABORT;
    return size_t(n);
}

int progressCallback(void *user, curl_off_t, curl_off_t, curl_off_t ultotal, curl_off_t ulnow)
{
    auto *t = static_cast<Transfer *>(user);
    if (t->progress)
        t->progress(qint64(ulnow), qint64(ultotal));
    return t->abort && t->abort->load() ? 1 : 0;
}

// Settings every transfer shares: time-outs (connection, and a stall of the transfer
// counted as less than one byte per second for the whole period), the proxy, abort.
void commonOptions(CURL *c, Transfer *t, const Proxy &proxy, int timeoutMs, char *errorBuffer)
{
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, std::max(1L, long(timeoutMs / 1000)));
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, progressCallback);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, t);
    if (proxy.host.trimmed().isEmpty()) {
        curl_easy_setopt(c, CURLOPT_PROXY, "");
    } else {
        const QByteArray host = proxy.host.trimmed().toUtf8();
        curl_easy_setopt(c, CURLOPT_PROXY, host.constData()); // libcurl copies the string
        if (proxy.port > 0 && proxy.port < 65536)
            curl_easy_setopt(c, CURLOPT_PROXYPORT, long(proxy.port));
    }
}

NetResult finish(CURL *c, CURLcode rc, const Transfer &t, const char *errorBuffer)
{
    NetResult r;
    long code = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
    r.status = code;
    r.aborted = rc == CURLE_ABORTED_BY_CALLBACK;
    r.ok = rc == CURLE_OK;
    if (!r.ok) {
        if (t.tooLarge)
            r.error = QStringLiteral("the response is larger than expected");
        else if (t.writeFailed)
            r.error = QStringLiteral("the response could not be stored");
        else
            r.error = QString::fromUtf8(*errorBuffer ? errorBuffer : curl_easy_strerror(rc));
    }
    return r;
}

} // namespace

bool splitHostPort(const QString &text, int defaultPort, QString *host, int *port)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.contains(QLatin1Char('/')) || t.contains(QLatin1Char('@')) || t.contains(QLatin1Char(' ')))
        return false;
    QString h = t;
    QString p;
    bool hasPort = false;
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        h = t.left(close + 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return false;
            p = rest.mid(1);
            hasPort = true;
        }
    } else if (t.count(QLatin1Char(':')) == 1) {
        h = t.section(QLatin1Char(':'), 0, 0);
        p = t.section(QLatin1Char(':'), 1);
        hasPort = true;
    } else if (t.contains(QLatin1Char(':'))) {
        return false;
    }
    int value = defaultPort;
    if (hasPort) {
        bool ok = false;
        value = p.toInt(&ok);
        if (!ok || value < 1 || value > 65535)
            return false;
    }
    if (h.isEmpty())
        return false;
    *host = h;
    *port = value;
    return true;
}

NetResult httpGetToFile(const QString &url, const QString &bodyPath, const QString &headerPath, const Proxy &proxy,
                        int timeoutMs, qint64 maxBytes, const std::atomic<bool> *abort)
{
    globalInit();
    NetResult fail;
    const QUrl u(url);
    if (!u.isValid() || (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https"))) {
        fail.error = QStringLiteral("not an http or https address: %1").arg(url);
        return fail;
    }
    Easy c(curl_easy_init());
    if (!c) {
        fail.error = QStringLiteral("libcurl could not start");
        return fail;
    }
    QSaveFile body(bodyPath);
    if (!body.open(QIODevice::WriteOnly)) {
        fail.error = QStringLiteral("cannot write %1").arg(bodyPath);
        return fail;
    }
    QFile header(headerPath);
    Transfer t;
    t.abort = abort;
    t.body = &body;
    t.maxBytes = maxBytes;
    if (!headerPath.isEmpty() && header.open(QIODevice::WriteOnly | QIODevice::Truncate))
        t.header = &header;

    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray encoded = u.toEncoded();
    curl_easy_setopt(c.get(), CURLOPT_URL, encoded.constData());
    curl_easy_setopt(c.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c.get(), CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(c.get(), CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c.get(), CURLOPT_HEADERFUNCTION, writeHeader);
    curl_easy_setopt(c.get(), CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(c.get(), CURLOPT_USERAGENT, "Ostravel");
    commonOptions(c.get(), &t, proxy, timeoutMs, errorBuffer);
    const CURLcode rc = curl_easy_perform(c.get());
    NetResult r = finish(c.get(), rc, t, errorBuffer);
    if (r.ok && !body.commit()) {
        r.ok = false;
        r.error = QStringLiteral("cannot write %1").arg(bodyPath);
    }
    if (!r.ok)
        body.cancelWriting();
    return r;
}

NetResult ftpUpload(const FtpUpload &upload, const std::atomic<bool> *abort,
                    const std::function<void(qint64, qint64)> &progress)
{
    globalInit();
    NetResult fail;
    QString host;
    int port = 0;
    if (!splitHostPort(upload.host, upload.defaultPort, &host, &port)) {
        fail.error = QStringLiteral("not a host name: %1").arg(upload.host);
        return fail;
    }
    // ftp://host:port/dir/name: libcurl changes into each folder of the path in turn, and a
    // first component "%2F" starts from the root.
    QByteArray path;
    if (upload.directory.startsWith(QLatin1Char('/')))
        path += "/%2F";
    for (const QString &part : upload.directory.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        path += '/' + QUrl::toPercentEncoding(part);
    path += '/' + QUrl::toPercentEncoding(upload.remoteName);
    const QByteArray url = "ftp://" + host.toUtf8() + ':' + QByteArray::number(port) + path;

    QFile source(upload.localPath);
    if (!source.open(QIODevice::ReadOnly)) {
        fail.error = QStringLiteral("cannot read %1").arg(upload.localPath);
        return fail;
    }
    Easy c(curl_easy_init());
    if (!c) {
        fail.error = QStringLiteral("libcurl could not start");
        return fail;
    }
    Transfer t;
    t.abort = abort;
    t.progress = progress;
    t.body = &source;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray user = upload.user.toUtf8(), password = upload.password.toUtf8();
    curl_easy_setopt(c.get(), CURLOPT_URL, url.constData());
    curl_easy_setopt(c.get(), CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(c.get(), CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(c.get(), CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(c.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c.get(), CURLOPT_TRANSFERTEXT, 0L); // TYPE I
    curl_easy_setopt(c.get(), CURLOPT_READFUNCTION, readBody);
    curl_easy_setopt(c.get(), CURLOPT_READDATA, &t);
    curl_easy_setopt(c.get(), CURLOPT_INFILESIZE_LARGE, curl_off_t(source.size()));
    curl_easy_setopt(c.get(), CURLOPT_SERVER_RESPONSE_TIMEOUT, std::max(1L, long(upload.timeoutMs / 1000)));
    commonOptions(c.get(), &t, upload.proxy, upload.timeoutMs, errorBuffer);
    if (!upload.proxy.host.trimmed().isEmpty())
        curl_easy_setopt(c.get(), CURLOPT_HTTPPROXYTUNNEL, 1L); // FTP through an HTTP proxy
    const CURLcode rc = curl_easy_perform(c.get());
    // The connection is closed (QUIT) when the handle is cleaned up.
    return finish(c.get(), rc, t, errorBuffer);
}

} // namespace plat
