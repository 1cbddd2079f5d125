// A client of the real program on the session bus, as another program drives
// it: waits for the program's name, then times one kind of call and prints
// the seconds it took.
// Usage: bus_client ping|make|pipelined COUNT
//   ping       COUNT round trips of org.freedesktop.DBus.Peer.Ping to the
//              program: the floor any call over the bus pays.
//   make       COUNT "MakeBrick" calls on a new document, each waiting for
//              its reply.
//   pipelined  COUNT "MakeBrick" calls sent without waiting, then every reply.
//   show       COUNT bricks made, the last one selected, the document's window
//              shown; prints "shown" and keeps the document for HOLD seconds
//              (a third argument) without a call.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const QString kName = QStringLiteral("dizado.DodezAR");
const QString kInterface = QStringLiteral("dizado.Automation");

QDBusMessage MakeBrick(const QString& document, int i)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kName, document, kInterface, QStringLiteral("MakeBrick"));
    // The document's current class (a kit's), rows of 100 on the ground and
    // layers above them.
    call << QVariant::fromValue(short{-1}) << QVariant::fromValue(static_cast<short>(i % 100))
         << QVariant::fromValue(static_cast<short>(i / 100 % 100)) << QVariant::fromValue(static_cast<short>(i / 10000))
         << QVariant::fromValue(static_cast<short>(i % 4)) << QVariant::fromValue(static_cast<short>(i % 12))
         << false;
    return call;
}

int Fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "bus_client: %s: %s\n", what, qPrintable(detail));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return Fail("usage", QStringLiteral("bus_client ping|make|pipelined COUNT | show COUNT HOLD"));
    const QString mode = QString::fromUtf8(argv[1]);
    const int count = std::atoi(argv[2]);
    const int hold = argc > 3 ? std::atoi(argv[3]) : 0;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Fail("no session bus", bus.lastError().message());
    for (int i = 0; i < 1000 && !bus.interface()->isServiceRegistered(kName).value(); ++i)
        QThread::msleep(10);
    if (!bus.interface()->isServiceRegistered(kName).value())
        return Fail("the program did not take its name", kName);

    QString document;
    if (mode != QLatin1String("ping")) {
        const QDBusMessage reply = bus.call(
            QDBusMessage::createMethodCall(kName, QStringLiteral("/DodezAR"), kInterface, QStringLiteral("NewDoc")));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return Fail("NewDoc", reply.errorMessage());
        document = reply.arguments().first().value<QDBusObjectPath>().path();
    }

    int failed = 0;
    QString firstError;
    QElapsedTimer clock;
    clock.start();
    if (mode == QLatin1String("ping")) {
        for (int i = 0; i < count; ++i) {
            const QDBusMessage reply = bus.call(QDBusMessage::createMethodCall(
                kName, QStringLiteral("/"), QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
            if (reply.type() != QDBusMessage::ReplyMessage && failed++ == 0)
                firstError = reply.errorMessage();
        }
    } else if (mode == QLatin1String("make")) {
        for (int i = 0; i < count; ++i) {
            const QDBusMessage reply = bus.call(MakeBrick(document, i), QDBus::Block, 30000);
            if (reply.type() != QDBusMessage::ReplyMessage && failed++ == 0)
                firstError = reply.errorMessage();
        }
    } else if (mode == QLatin1String("pipelined") || mode == QLatin1String("show")) {
        std::vector<QDBusPendingCall> pending;
        pending.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            QDBusMessage call = MakeBrick(document, i);
            if (mode == QLatin1String("show") && i == count - 1) {
                QList<QVariant> arguments = call.arguments();
                arguments.last() = true;
                call.setArguments(arguments);
            }
            pending.push_back(bus.asyncCall(call, 600000));
        }
        for (QDBusPendingCall& reply : pending) {
            reply.waitForFinished();
            if (reply.isError() && failed++ == 0)
                firstError = reply.error().message();
        }
    } else {
        return Fail("unknown mode", mode);
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (failed)
        return Fail("calls failed", QString::number(failed) + QStringLiteral(", first: ") + firstError);
    if (mode == QLatin1String("show")) {
        const QDBusMessage reply = bus.call(
            QDBusMessage::createMethodCall(kName, document, kInterface, QStringLiteral("ShowWindow")));
        if (reply.type() != QDBusMessage::ReplyMessage)
            return Fail("ShowWindow", reply.errorMessage());
        std::printf("shown\n");
        std::fflush(stdout);
        QThread::sleep(static_cast<unsigned long>(hold));
        return 0;
    }
    std::printf("%.3f\n", seconds);
    return 0;
}
