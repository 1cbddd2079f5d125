// A client that sends many calls at once, without waiting for the answers,
// as a busy script does: "TestFunc" with the texts 1 .. count to the running
// program's application object. Each answer is printed as it comes, one line
// "<text> ok" or "<text> error <name>: <message>", until all have come or
// `seconds` have passed. Once the program has read every call (a ping sent
// after them on the same connection is answered), "delivered" goes to
// standard error. Usage: bus_client <count> <seconds>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bus_client <count> <seconds>\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const int seconds = std::atoi(argv[2]);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "no session bus\n");
        return 2;
    }
    int answered = 0;
    for (int i = 1; i <= count; ++i) {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("dizado.DodezAR"), QStringLiteral("/DodezAR"),
                                                           QStringLiteral("dizado.Automation"),
                                                           QStringLiteral("TestFunc"));
        call << QString::number(i);
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, seconds * 1000 + 5000), &app);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &app, [&, i](QDBusPendingCallWatcher* done) {
            const QDBusPendingReply<> reply = *done;
            if (reply.isError())
                std::printf("%d error %s: %s\n", i, qPrintable(reply.error().name()),
                            qPrintable(reply.error().message()));
            else
                std::printf("%d ok\n", i);
            std::fflush(stdout);
            done->deleteLater();
            if (++answered == count)
                app.quit();
        });
    }
    // Messages of one connection arrive in the order sent: the ping's answer
    // comes after the program has read every call before it.
    QDBusMessage ping = QDBusMessage::createMethodCall(QStringLiteral("dizado.DodezAR"), QStringLiteral("/"),
                                                       QStringLiteral("org.freedesktop.DBus.Peer"),
                                                       QStringLiteral("Ping"));
    auto* pinged = new QDBusPendingCallWatcher(bus.asyncCall(ping, seconds * 1000 + 5000), &app);
    QObject::connect(pinged, &QDBusPendingCallWatcher::finished, &app, [](QDBusPendingCallWatcher* done) {
        const QDBusPendingReply<> reply = *done;
        std::fprintf(stderr, reply.isError() ? "not delivered: %s\n" : "delivered\n",
                     qPrintable(reply.error().message()));
        done->deleteLater();
    });
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    return answered == count ? 0 : 1;
}
