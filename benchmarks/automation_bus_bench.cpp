// "MakeBrick" 10,000 times over the session bus: a client connection calls
// the document exported by the automation bus, through a private bus daemon.
// The client runs on a thread of its own and waits for each reply, as a
// separate program would, while the program's thread serves the calls. The
// in-process calls of automation_bench.cpp are the reference. Goal: 10,000
// in 2 s or less.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QStandardPaths>

#include "document/dizado_doc.h"
#include "model/brick.h"
#include "platform/ui/app.h"
#include "platform/ui/dbus/automation_bus.h"

namespace {

constexpr int kBricks = 10000;

// state.range(0): 0 waits for each reply before the next call; 1 sends all
// the calls and then waits for the replies, as a client that does not need
// each result at once may.
void BM_MakeBrickOverTheBus(benchmark::State& state)
{
    const bool pipelined = state.range(0) != 0;
    // The program's own toolkit object: a plain core application here would
    // leave the benchmarks that make windows after this one without one.
    platform::EnsureToolkit();
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
        state.SkipWithError("no dbus-daemon");
        return;
    }
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    while (daemon.waitForStarted(5000) && !daemon.canReadLine() && daemon.waitForReadyRead(5000)) {
    }
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    {
        QDBusConnection server = QDBusConnection::connectToBus(address, QStringLiteral("bench-server"));
        QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("bench-client"));
        const QString busName = CAutomationBus::BusName("DodezAR");
        const QString path = CAutomationBus::RootPath("DodezAR");
        for (auto _ : state) {
            state.PauseTiming();
            auto doc = std::make_unique<CDizadoDoc>();
            auto bus = std::make_unique<CAutomationBus>(server);
            if (!bus->Start("DodezAR", doc->GetIDispatch(FALSE))) {
                state.SkipWithError("the bus refused the name");
                break;
            }
            state.ResumeTiming();
            bool failed = false;
            QThread* caller = QThread::create([&] {
                std::vector<QDBusPendingCall> pending;
                for (int i = 0; i < kBricks && !failed; ++i) {
                    QDBusMessage call = QDBusMessage::createMethodCall(
                        busName, path, QLatin1String(CAutomationBus::kInterface), QStringLiteral("MakeBrick"));
                    call << QVariant::fromValue(short{1030}) << QVariant::fromValue(static_cast<short>(i % 100))
                         << QVariant::fromValue(static_cast<short>(i / 100)) << QVariant::fromValue(short{0})
                         << QVariant::fromValue(static_cast<short>(i % 4))
                         << QVariant::fromValue(static_cast<short>(i % 12)) << false;
                    if (pipelined)
                        pending.push_back(client.asyncCall(call, 30000));
                    else
                        failed = client.call(call, QDBus::Block, 5000).type() != QDBusMessage::ReplyMessage;
                }
                for (QDBusPendingCall& reply : pending) {
                    reply.waitForFinished();
                    failed = failed || reply.isError();
                }
            });
            QEventLoop loop;
            QObject::connect(caller, &QThread::finished, &loop, &QEventLoop::quit);
            caller->start();
            loop.exec();
            delete caller;
            if (failed) {
                state.SkipWithError("a call failed");
                break;
            }
            state.PauseTiming();
            bus.reset();
            doc.reset();
            state.ResumeTiming();
        }
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("bench-client"));
    QDBusConnection::disconnectFromBus(QStringLiteral("bench-server"));
    daemon.kill();
    daemon.waitForFinished(5000);
    state.SetItemsProcessed(state.iterations() * kBricks);
}

}  // namespace

BENCHMARK(BM_MakeBrickOverTheBus)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
