#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QUuid>
#include <gtest/gtest.h>

#include <QFile>

#include <atomic>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <thread>

using app::SingleInstance;

namespace {

QString uniqueName() { return "ostravel-test-" + QUuid::createUuid().toString(QUuid::Id128); }

// Runs `work` on another thread while this thread keeps the event loop turning, so a
// listening instance here can answer a client there.
template <typename F>
void runBeside(F work)
{
    std::atomic<bool> done{false};
    std::thread t([&] { work(); done = true; });
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    t.join();
    QCoreApplication::processEvents();
}

} // namespace

TEST(SingleInstance, SecondStartHandsItsFilesToTheFirst)
{
    const QString name = uniqueName();
    SingleInstance first(name, nullptr);
    ASSERT_TRUE(first.start({}));
    ASSERT_TRUE(first.isListening());
    QList<QStringList> received;
    QObject::connect(&first, &SingleInstance::filesReceived, [&](const QStringList &f) { received << f; });

    bool secondIsFirst = true;
    runBeside([&] {
        SingleInstance second(name, nullptr);
        secondIsFirst = second.start({"relative/card.bcp", "/abs/Ünï cödé.bcp"});
    });
    EXPECT_FALSE(secondIsFirst);
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0], (QStringList{QDir::current().absoluteFilePath("relative/card.bcp"),
                                        QString::fromUtf8("/abs/Ünï cödé.bcp")}));

    // A start without files still reaches the first instance (to bring it forward).
    runBeside([&] {
        SingleInstance third(name, nullptr);
        secondIsFirst = third.start({});
    });
    EXPECT_FALSE(secondIsFirst);
    ASSERT_EQ(received.size(), 2);
    EXPECT_TRUE(received[1].isEmpty());
}

TEST(SingleInstance, StaleSocketIsTakenOver)
{
    const QString name = uniqueName();
    // A socket file that nobody listens on, as a crashed instance leaves it.
    const QByteArray path = QFile::encodeName(QDir::tempPath() + "/" + name);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(size_t(path.size()), sizeof(addr.sun_path));
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));

    SingleInstance first(name, nullptr);
    EXPECT_TRUE(first.start({}, 300));
    EXPECT_TRUE(first.isListening());
    bool handedOver = false;
    runBeside([&] { handedOver = !SingleInstance(name, nullptr).start({}); });
    EXPECT_TRUE(handedOver);
}

TEST(SingleInstance, MessageReaderRefusesHostileBytes)
{
    QStringList files;
    const QByteArray good = SingleInstance::encode({"a", QString::fromUtf8("ß/€")});
    EXPECT_EQ(SingleInstance::decode(good, files), 1);
    EXPECT_EQ(files, (QStringList{"a", QString::fromUtf8("ß/€")}));
    // Every cut-off prefix asks for more bytes, never gives a wrong list.
    for (qsizetype n = 0; n < good.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(SingleInstance::decode(good.left(n), files), 0);
    }
    const struct { const char *what; QByteArray bytes; } bad[] = {
        {"wrong magic", QByteArray("XXXX\0\0\0\0", 8)},
        {"too many files", QByteArray("OSTV\xff\xff\xff\x7f", 8)},
        {"huge length", QByteArray("OSTV\x01\0\0\0\xff\xff\xff\xff", 12)},
        {"trailing bytes", good + "x"},
        {"too big", QByteArray("OSTV") + QByteArray(SingleInstance::MaxMessageBytes, 'a')},
    };
    for (const auto &b : bad) {
        SCOPED_TRACE(b.what);
        EXPECT_EQ(SingleInstance::decode(b.bytes, files), -1);
    }
}

TEST(SingleInstance, GarbageFromAClientIsDroppedAndTheServerKeepsWorking)
{
    const QString name = uniqueName();
    SingleInstance first(name, nullptr);
    ASSERT_TRUE(first.start({}));
    int received = 0;
    QObject::connect(&first, &SingleInstance::filesReceived, [&](const QStringList &) { ++received; });

    bool closed = false;
    runBeside([&] {
        QLocalSocket s;
        s.connectToServer(name);
        if (!s.waitForConnected(2000))
            return;
        s.write("GARBAGE!");
        s.waitForBytesWritten(2000);
        closed = !s.waitForReadyRead(2000) && s.state() != QLocalSocket::ConnectedState;
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(received, 0);

    bool handedOver = false;
    runBeside([&] { handedOver = !SingleInstance(name, nullptr).start({"/x.bcp"}); });
    EXPECT_TRUE(handedOver);
    EXPECT_EQ(received, 1);
}

// The receiver of handed-over files opens them, and an unopenable file shows a message box
// whose event loop runs while the client hangs up. The guard must be done with the client's
// socket before the receiver runs.
TEST(SingleInstance, ReceiverMayRunAnEventLoopWhileTheClientHangsUp)
{
    const QString name = uniqueName();
    SingleInstance first(name, nullptr);
    ASSERT_TRUE(first.start({}));
    QList<QStringList> received;
    QObject::connect(&first, &SingleInstance::filesReceived, [&](const QStringList &f) {
        received << f;
        // What a message box does: a nested loop, long enough for the client to leave.
        QEventLoop box;
        QTimer::singleShot(300, &box, &QEventLoop::quit);
        box.exec();
    });

    for (int round = 0; round < 2; ++round) {
        bool handedOver = false;
        runBeside([&] { handedOver = !SingleInstance(name, nullptr).start({"/unopenable.bcp"}); });
        EXPECT_TRUE(handedOver) << round;
        // The receiver hears of the files from the event loop, after the hand-over.
        QElapsedTimer t;
        t.start();
        while (received.size() <= round && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_EQ(received.size(), round + 1);
        EXPECT_EQ(received.last(), QStringList{"/unopenable.bcp"});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Starts on other displays, other Wayland displays or by other users never meet; two starts
// of one session always do.
TEST(SingleInstance, ServerNameKeysUserAndGraphicalSession)
{
    using S = SingleInstance::Session;
    const S x0{"ostravel", "ann", "xcb", ":0", "", ""};
    const QString base = SingleInstance::serverNameFor(x0);
    EXPECT_EQ(SingleInstance::serverNameFor(x0), base);
    EXPECT_TRUE(base.startsWith("ostravel-ann-")) << base.toStdString();
    EXPECT_FALSE(base.contains('/')) << "without a runtime folder the name stays a plain name";

    const struct {
        const char *what;
        S session;
    } others[] = {
        {"virtual X server", {"ostravel", "ann", "xcb", ":99", "", ""}},
        {"forwarded display", {"ostravel", "ann", "xcb", "localhost:10.0", "", ""}},
        {"another user", {"ostravel", "bob", "xcb", ":0", "", ""}},
        {"Wayland session", {"ostravel", "ann", "wayland", ":0", "wayland-0", ""}},
        {"headless", {"ostravel", "ann", "offscreen", ":0", "", ""}},
    };
    QStringList names{base};
    for (const auto &o : others) {
        SCOPED_TRACE(o.what);
        const QString n = SingleInstance::serverNameFor(o.session);
        EXPECT_FALSE(names.contains(n)) << n.toStdString();
        names << n;
    }
    // Under Wayland the Wayland display counts, not the X display of its X server.
    EXPECT_NE(SingleInstance::serverNameFor({"ostravel", "ann", "wayland", ":0", "wayland-0", ""}),
              SingleInstance::serverNameFor({"ostravel", "ann", "wayland", ":0", "wayland-1", ""}));
    EXPECT_EQ(SingleInstance::serverNameFor({"ostravel", "ann", "wayland", ":0", "wayland-0", ""}),
              SingleInstance::serverNameFor({"ostravel", "ann", "wayland", ":1", "wayland-0", ""}));

    // In the user's runtime folder the socket is a file there; hostile or huge values
    // still give one short, safe file name.
    const QString inRuntime = SingleInstance::serverNameFor({"ostravel", "ann", "xcb", ":0", "", "/run/user/1000"});
    EXPECT_TRUE(inRuntime.startsWith("/run/user/1000/ostravel-ann-")) << inRuntime.toStdString();
    const QString huge = SingleInstance::serverNameFor(
        {"ostravel", QString(300, 'u'), "xcb", "../../" + QString(300, ':'), "", "/run/user/1000"});
    EXPECT_LT(huge.size(), 100);
    EXPECT_EQ(huge.count('/'), 4) << huge.toStdString();
    EXPECT_NE(huge, SingleInstance::serverNameFor(
                        {"ostravel", QString(300, 'u'), "xcb", "../../" + QString(299, ':'), "", "/run/user/1000"}));
}

TEST(SingleInstance, DefaultNameFollowsThisProcess)
{
    const QString name = SingleInstance::defaultServerName();
    EXPECT_EQ(name, SingleInstance::serverNameFor(SingleInstance::currentSession()));
    EXPECT_TRUE(QFileInfo(name).fileName().startsWith("test_app-")) << name.toStdString();
}
