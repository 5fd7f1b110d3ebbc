#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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

TEST(SingleInstance, DefaultNameIsTheExecutableAndTheUser)
{
    const QString name = SingleInstance::defaultServerName();
    EXPECT_TRUE(name.startsWith("test_app-")) << name.toStdString();
    EXPECT_GT(name.size(), QString("test_app-").size());
    EXPECT_FALSE(name.contains('/'));
}
