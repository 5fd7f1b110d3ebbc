#pragma once
// HTTP downloads and FTP uploads through libcurl. Every call blocks, so callers with a
// window run it on a worker thread; an abort flag set from any thread stops a running
// transfer within a moment (libcurl's progress callback checks it).

#include <QString>
#include <atomic>
#include <functional>

namespace plat {

struct Proxy {
    QString host;   // empty: a direct connection (proxy variables of the environment ignored)
    int port = 0;   // 0: libcurl's default for the proxy
};

struct NetResult {
    bool ok = false;
    bool aborted = false;
    long status = 0;        // HTTP status or last FTP reply code
    QString error;          // libcurl's message when it failed
};

// "host", "host:port", "[v6]" or "[v6]:port"; false for an empty host, a bad port or an
// address with a scheme or path.
bool splitHostPort(const QString &text, int defaultPort, QString *host, int *port);

// GET `url` (http or https; certificates are checked). The body goes to `bodyPath`, which
// is replaced only when the whole body arrived; the response header goes to `headerPath`
// when that is not empty. An error status (400 and above) is a failure. `timeoutMs`
// bounds the connection and every pause in the transfer; a body above `maxBytes` fails.
NetResult httpGetToFile(const QString &url, const QString &bodyPath, const QString &headerPath, const Proxy &proxy,
                        int timeoutMs, qint64 maxBytes, const std::atomic<bool> *abort);

struct FtpUpload {
    QString host;           // may carry ":port"
    int defaultPort = 21;
    QString directory;      // changed into before the upload ("a/b" relative, "/a/b" absolute)
    QString localPath;
    QString remoteName;
    QString user;
    QString password;
    Proxy proxy;
    int timeoutMs = 60000;
};

// Uploads in binary mode (TYPE I) after changing to the directory. `progress` (optional)
// hears the bytes sent so far, from the transferring thread.
NetResult ftpUpload(const FtpUpload &upload, const std::atomic<bool> *abort,
                    const std::function<void(qint64 sent, qint64 total)> &progress = {});

} // namespace plat
