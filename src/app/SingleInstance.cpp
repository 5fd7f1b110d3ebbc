#include "app/SingleInstance.h"

#include "platform/ByteIO.h"

#include <QCoreApplication>
#include <QFileInfo>
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

QString SingleInstance::defaultServerName()
{
    QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (exe.isEmpty())
        exe = QStringLiteral("ostravel");
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    if (user.isEmpty())
        user = QString::number(::getuid());
    // The name becomes a socket file name: keep it to safe characters.
    QString name = exe + QLatin1Char('-') + user;
    for (QChar &c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_') && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    return name;
}

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
        emit filesReceived(files);
    }
    socket->disconnectFromServer();
}

} // namespace app
