#pragma once
// One running program per user and graphical session. The first start listens on a local
// socket named after the executable, the user and the session's display; a later start in
// the same session connects to it, hands over the files named on its command line and
// ends. A start on another display (a second login, a virtual X server) runs on its own,
// so its files never go to a window the user cannot see. The first instance reports the
// files with `filesReceived` (an empty list still means "come to the front"), always from
// the event loop after it is done with the client's socket: the receiver may open files
// and show message boxes.
//
// Message on the socket, all integers little-endian 32-bit:
//   "OSTV" magic, count, then per file: byte length, UTF-8 bytes.
// The first instance answers a complete message with one byte 0x06. Anything else a
// client sends (wrong magic, counts or lengths beyond the limits) closes its connection.

#include <QHash>
#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace app {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // Limits on one hand-over message.
    static constexpr int MaxFiles = 4096;
    static constexpr int MaxMessageBytes = 1 << 20;

    // Uses defaultServerName().
    explicit SingleInstance(QObject *parent = nullptr);
    SingleInstance(QString serverName, QObject *parent);
    ~SingleInstance() override;

    // What tells one graphical session from another.
    struct Session {
        QString executable;     // file name of the executable
        QString user;
        QString platform;       // the GUI platform in use ("xcb", "wayland", "offscreen", ...)
        QString display;        // $DISPLAY
        QString waylandDisplay; // $WAYLAND_DISPLAY
        QString runtimeDir;     // $XDG_RUNTIME_DIR when it is an existing folder
    };
    static Session currentSession();
    // The server name for a session: "<executable>-<user>-<session>", where the session is
    // the Wayland display under Wayland, the X display under X and otherwise the platform
    // with whatever display is set. With a runtime folder (private to the user) the socket
    // lives there; otherwise in the system's temporary folder.
    static QString serverNameFor(const Session &session);
    // serverNameFor(currentSession()).
    static QString defaultServerName();

    // Returns true when this process is the first instance (it now listens), false when
    // a running instance took the files (made absolute) and this process should end.
    // If neither works (no socket can be created), returns true so the program still
    // starts, and isListening() is false.
    bool start(const QStringList &files, int timeoutMs = 3000);

    bool isListening() const;
    const QString &serverName() const { return m_name; }

    // The message a second start sends; exposed for the tests of the first instance's
    // reader.
    static QByteArray encode(const QStringList &files);
    // Parses a complete message. Returns 1 when `bytes` holds one, 0 when more bytes are
    // needed, -1 when the bytes can never become a valid message.
    static int decode(const QByteArray &bytes, QStringList &files);

signals:
    void filesReceived(const QStringList &files);

private:
    bool handOver(const QStringList &files, int timeoutMs);
    bool listen();
    void onNewConnection();
    void onReadyRead(QLocalSocket *socket);

    QString m_name;
    QLocalServer *m_server = nullptr;
    QHash<QLocalSocket *, QByteArray> m_buffers;
};

} // namespace app
