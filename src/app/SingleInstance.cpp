#include "app/SingleInstance.h"

#include "platform/ByteIO.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace app {

namespace {
constexpr char Magic[4] = {'O', 'S', 'T', 'V'};
constexpr char Ack = 0x06;
} // namespace

SingleInstance::SingleInstance(QObject *parent) : SingleInstance(defaultServerName(), parent) {}

SingleInstance::SingleInstance(QString serverName, QObject *parent)
    : QObject(parent), m_name(std::move(serverName))
{
}

SingleInstance::~SingleInstance() = default;

namespace {
// Keeps a name part to characters that are safe in a socket file name.
QString safePart(QString part)
{
    for (QChar &c : part)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_') && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    return part;
}

// A socket path must fit the 108 bytes of a Unix socket address: a long part becomes a
// hash of what it said.
QString namePart(const QString &part, int maxLength)
{
    const QString safe = safePart(part);
    if (safe.size() <= maxLength)
        return safe;
    return QString::fromLatin1(QCryptographicHash::hash(part.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}
} // namespace

SingleInstance::Session SingleInstance::currentSession()
{
    Session s;
    s.executable = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    s.user = qEnvironmentVariable("USER");
    if (s.user.isEmpty())
        s.user = qEnvironmentVariable("LOGNAME");
    if (s.user.isEmpty())
        s.user = QString::number(::getuid());
    s.platform = QGuiApplication::platformName();
    s.display = qEnvironmentVariable("DISPLAY");
    s.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isAbsolute() && QFileInfo(runtime).isDir())
        s.runtimeDir = runtime;
    return s;
}

QString SingleInstance::serverNameFor(const Session &session)
{
    QString key;
    if (session.platform.startsWith(QLatin1String("wayland")))
        key = QStringLiteral("wl") + session.waylandDisplay;
    else if (session.platform == QLatin1String("xcb"))
        key = QStringLiteral("x") + session.display;
    else
        key = session.platform + session.display + session.waylandDisplay;
    const QString exe = session.executable.isEmpty() ? QStringLiteral("ostravel") : session.executable;
    const QString name = namePart(exe, 32) + QLatin1Char('-') + namePart(session.user, 32) + QLatin1Char('-')
                         + namePart(key, 24);
    // The user's runtime folder is private to the user: nobody else can take the name
    // there. Too long a folder falls back to the temporary folder.
    if (!session.runtimeDir.isEmpty()) {
        const QString path = QDir::cleanPath(session.runtimeDir) + QLatin1Char('/') + name;
        if (QFile::encodeName(path).size() < 100)
            return path;
    }
    return name;
}

QString SingleInstance::defaultServerName() { return serverNameFor(currentSession()); }

QByteArray SingleInstance::encode(const QStringList &files)
{
    plat::LeWriter w;
    w.bytes(QByteArray(Magic, 4));
    w.u32(uint32_t(files.size()));
    for (const QString &f : files) {
        const QByteArray utf8 = f.toUtf8();
        w.u32(uint32_t(utf8.size()));
        w.bytes(utf8);
    }
    return w.buffer();
}

int SingleInstance::decode(const QByteArray &bytes, QStringList &files)
{
    files.clear();
    if (bytes.size() > MaxMessageBytes)
        return -1;
    const qsizetype magicLen = std::min<qsizetype>(bytes.size(), 4);
    if (bytes.left(magicLen) != QByteArray(Magic, magicLen))
        return -1;
    plat::LeReader r(bytes);
    r.skip(4);
    const uint32_t count = r.u32();
    if (r.failed())
        return 0;
    if (count > uint32_t(MaxFiles))
        return -1;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t len = r.u32();
        if (r.failed())
            return 0;
        if (len > uint32_t(MaxMessageBytes))
            return -1;
        const QByteArray utf8 = r.bytes(qsizetype(len));
        if (r.failed())
            return 0;
        files.append(QString::fromUtf8(utf8));
    }
    if (!r.atEnd())
        return -1;   // trailing bytes: not a message of ours
    return 1;
}

bool SingleInstance::start(const QStringList &files, int timeoutMs)
{
    QStringList absolute;
    for (const QString &f : files)
        absolute.append(QFileInfo(f).absoluteFilePath());
    if (handOver(absolute, timeoutMs))
        return false;
    if (listen())
        return true;
    // The socket is taken but nobody answered: left over from a crashed instance, or an
    // instance that started at the same moment. Ask once more, then take it over.
    if (handOver(absolute, timeoutMs))
        return false;
    QLocalServer::removeServer(m_name);
    listen();
    return true;
}

bool SingleInstance::handOver(const QStringList &files, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    const QByteArray message = encode(files);
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    char answer = 0;
    const bool ok = socket.read(&answer, 1) == 1 && answer == Ack;
    socket.disconnectFromServer();
    return ok;
}

bool SingleInstance::listen()
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    }
    return m_server->listen(m_name);
}

bool SingleInstance::isListening() const { return m_server && m_server->isListening(); }

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, {});
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void SingleInstance::onReadyRead(QLocalSocket *socket)
{
    auto it = m_buffers.find(socket);
    if (it == m_buffers.end())
        return;
    it->append(socket->read(MaxMessageBytes + 1 - it->size()));
    QStringList files;
    const int state = decode(*it, files);
    if (state == 0 && it->size() <= MaxMessageBytes)
        return;
    m_buffers.erase(it);
    if (state == 1) {
        socket->write(&Ack, 1);
        socket->flush();
    }
    // The client is finished with before anyone hears of its files: whoever opens them may
    // show a message box, and the socket may be gone when its event loop returns.
    socket->disconnectFromServer();
    if (state == 1)
        QMetaObject::invokeMethod(this, [this, files] { emit filesReceived(files); }, Qt::QueuedConnection);
}

} // namespace app
