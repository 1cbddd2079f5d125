// The document's objects on a private session bus, driven as another program
// would: paths for objects, typed arguments, introspection, releases, and
// calls that must fail cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include "document/dizado_doc.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/hooks.h"
#include "platform/ui/dbus/automation_bus.h"
#include "tests/support/skip.h"

namespace {

const QString kBusName = CAutomationBus::BusName("DodezAR");
const QString kRoot = CAutomationBus::RootPath("DodezAR");

class AutomationBusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "dbus_tests";
            static char* argv[] = {name, nullptr};
            s_app = new QCoreApplication(argc, argv);
        }
    }

    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            DIZADO_SKIP("no dbus-daemon on the PATH (scripts/setup-debian.sh installs it)");
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        ASSERT_TRUE(m_daemon.waitForStarted(5000));
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
        }
        address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        ASSERT_FALSE(address.isEmpty());
        server = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("server")));
        client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("client")));
        ASSERT_TRUE(server->isConnected());
        ASSERT_TRUE(client->isConnected());
        m_oldBox = platform::SetMessageBoxHook([](const std::string&, const std::string&, UINT) { return IDOK; });
        doc = std::make_unique<CDizadoDoc>();
        bus = std::make_unique<CAutomationBus>(*server);
        ASSERT_TRUE(bus->Start("DodezAR", doc->GetIDispatch(FALSE)));
    }

    void TearDown() override
    {
        bus.reset();
        doc.reset();
        platform::SetMessageBoxHook(m_oldBox);
        client.reset();
        server.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("server"));
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }

    QDBusMessage Call(const QString& path, const QString& member, const QVariantList& args = {},
                      const QString& interface = QLatin1String(CAutomationBus::kInterface), QDBusConnection* from = nullptr)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kBusName, path, interface, member);
        call.setArguments(args);
        return (from ? from : client.get())->call(call, QDBus::BlockWithGui, 5000);
    }
    QVariant One(const QDBusMessage& reply)
    {
        EXPECT_EQ(QDBusMessage::ReplyMessage, reply.type()) << reply.errorMessage().toStdString();
        return reply.arguments().value(0);
    }
    QString Path(const QDBusMessage& reply) { return One(reply).value<QDBusObjectPath>().path(); }
    QVariant Property(const QString& path, const QString& name)
    {
        return One(Call(path, QStringLiteral("Get"), {QString(), name}, QStringLiteral("org.freedesktop.DBus.Properties")))
            .value<QDBusVariant>()
            .variant();
    }
    static QVariantList Brick(short cls, short x, short y, short z, short orientation, short colour, bool selected)
    {
        return {QVariant::fromValue(cls), QVariant::fromValue(x), QVariant::fromValue(y), QVariant::fromValue(z),
                QVariant::fromValue(orientation), QVariant::fromValue(colour), selected};
    }

    std::unique_ptr<QDBusConnection> server;
    std::unique_ptr<QDBusConnection> client;
    std::unique_ptr<CDizadoDoc> doc;
    std::unique_ptr<CAutomationBus> bus;
    QString address;

private:
    static inline QCoreApplication* s_app = nullptr;
    QProcess m_daemon;
    platform::MessageBoxHook m_oldBox;
};

TEST_F(AutomationBusTest, ABuildingClientGetsPathsAndPlainValues)
{
    const QString brick = Path(Call(kRoot, QStringLiteral("MakeBrick"), Brick(1030, 2, 3, 0, 1, 5, true)));
    ASSERT_TRUE(brick.startsWith(kRoot + QStringLiteral("/o")));
    ASSERT_EQ(1, doc->GetBrickList()->GetSize());
    EXPECT_EQ(5, One(Call(brick, QStringLiteral("GetColor"))).value<short>());
    EXPECT_EQ(QMetaType::Short, One(Call(brick, QStringLiteral("GetColor"))).metaType().id());
    EXPECT_TRUE(One(Call(brick, QStringLiteral("IsSelected"))).toBool());

    const QString list = Path(Call(kRoot, QStringLiteral("GetList")));
    EXPECT_EQ(1, One(Call(list, QStringLiteral("GetBrickCount"))).toInt());
    // The same object is the same path; each hand-out is one reference more.
    EXPECT_EQ(brick, Path(Call(list, QStringLiteral("GetBrick"), {0})));
    EXPECT_EQ(QStringLiteral("/"), Path(Call(list, QStringLiteral("GetBrick"), {7})));
    EXPECT_EQ(3, bus->GetReferencesOf(client->baseService()));

    // Properties: the position object, changed and put back.
    const QString position = Property(brick, QStringLiteral("Position")).value<QDBusObjectPath>().path();
    EXPECT_EQ(3, Property(position, QStringLiteral("y")).value<short>());
    One(Call(position, QStringLiteral("Set"), {QString(), QStringLiteral("x"), QVariant::fromValue(QDBusVariant(QVariant::fromValue(short{-4})))},
             QStringLiteral("org.freedesktop.DBus.Properties")));
    One(Call(brick, QStringLiteral("Set"),
             {QString(), QStringLiteral("Position"), QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusObjectPath(position))))},
             QStringLiteral("org.freedesktop.DBus.Properties")));
    EXPECT_EQ(CPoint3D(-4, 3, 0), *doc->GetBrickList()->GetBrickAt(0)->GetPositionPtr());

    // Releasing: the position goes with its only reference.
    const int exported = bus->GetExportedCount();
    One(Call(position, QStringLiteral("Release")));
    EXPECT_EQ(exported - 1, bus->GetExportedCount());
    EXPECT_EQ(QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"), Call(position, QStringLiteral("GetType")).errorName());
    EXPECT_EQ(QStringLiteral("dizado.Error.NotHeld"), Call(kRoot, QStringLiteral("Release")).errorName());

    One(Call(kRoot, QStringLiteral("SetBackgroundColor"), {0x7F00FF00}));
    EXPECT_EQ(0x00FF00, One(Call(kRoot, QStringLiteral("GetBackgroundColor"))).toInt());
}

TEST_F(AutomationBusTest, CallsAreCheckedLikeFileInput)
{
    const QString brick = Path(Call(kRoot, QStringLiteral("MakeBrick"), Brick(1030, 0, 0, 0, 0, 0, false)));
    const struct {
        QString path, member;
        QVariantList args;
        QString error;
    } cases[] = {
        {kRoot, QStringLiteral("MakeBrick"), {1030, 0, 0, 0, 0, 0, true}, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs")},
        {kRoot, QStringLiteral("MakeBrick"), {}, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs")},
        {kRoot, QStringLiteral("MakeBrick"), Brick(1030, 0, 0, 0, 0, 12, true), QStringLiteral("dizado.Error.Refused")},
        {kRoot, QStringLiteral("NoSuchThing"), {}, QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod")},
        {kRoot + QStringLiteral("/o999"), QStringLiteral("GetType"), {}, QStringLiteral("org.freedesktop.DBus.Error.UnknownObject")},
        {brick, QStringLiteral("Position"), {}, QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod")},
        {brick, QStringLiteral("Release"), {1}, QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs")},
    };
    for (const auto& c : cases) {
        const QDBusMessage reply = Call(c.path, c.member, c.args);
        EXPECT_EQ(QDBusMessage::ErrorMessage, reply.type()) << c.member.toStdString();
        EXPECT_EQ(c.error, reply.errorName()) << c.member.toStdString();
    }
    EXPECT_EQ(1, doc->GetBrickList()->GetSize());
    EXPECT_EQ(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
              Call(brick, QStringLiteral("Set"), {QString(), QStringLiteral("Position"), QVariant::fromValue(QDBusVariant(5))},
                   QStringLiteral("org.freedesktop.DBus.Properties"))
                  .errorName());

    // The brick goes with a new document, and its path with it.
    doc->OnNewDocument();
    EXPECT_EQ(QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"), Call(brick, QStringLiteral("GetType")).errorName());
    EXPECT_EQ(0, bus->GetExportedCount());

    // An erased brick is still there but out of the model: its calls are refused.
    const QString erased = Path(Call(kRoot, QStringLiteral("MakeBrick"), Brick(1030, 0, 0, 0, 0, 0, false)));
    std::unique_ptr<CBrick> kept(doc->GetBrickList()->GetBrickAt(0));  // as the erase command keeps it
    kept->Detach();
    EXPECT_EQ(QStringLiteral("dizado.Error.Disconnected"), Call(erased, QStringLiteral("GetType")).errorName());
    kept.reset();
    EXPECT_EQ(QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"), Call(erased, QStringLiteral("GetType")).errorName());
}

TEST_F(AutomationBusTest, IntrospectionNamesEveryMemberWithItsTypes)
{
    const QString xml = One(Call(kRoot, QStringLiteral("Introspect"), {}, QStringLiteral("org.freedesktop.DBus.Introspectable"))).toString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<method name=\"MakeBrick\">"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<arg name=\"arg6\" type=\"b\" direction=\"in\"/>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<method name=\"SetBackgroungImage\">")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<method name=\"Release\"/>")));

    const QString brick = Path(Call(kRoot, QStringLiteral("MakeBrick"), Brick(1030, 0, 0, 0, 0, 0, false)));
    const QString brickXml = One(Call(brick, QStringLiteral("Introspect"), {}, QStringLiteral("org.freedesktop.DBus.Introspectable"))).toString();
    EXPECT_TRUE(brickXml.contains(QStringLiteral("<property name=\"Position\" type=\"o\" access=\"readwrite\"/>")));
    EXPECT_TRUE(brickXml.contains(QStringLiteral("<method name=\"GetColor\">")));
    const QString rootXml = One(Call(kRoot, QStringLiteral("Introspect"), {}, QStringLiteral("org.freedesktop.DBus.Introspectable"))).toString();
    EXPECT_TRUE(rootXml.contains(QStringLiteral("<node name=\"") + brick.mid(kRoot.size() + 1) + QStringLiteral("\"/>")));
}

TEST_F(AutomationBusTest, AClientThatLeavesReleasesWhatItHeld)
{
    const QString iface = QLatin1String(CAutomationBus::kInterface);
    const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
    QString name;
    QString brick;
    {
        QDBusConnection leaving = QDBusConnection::connectToBus(address, QStringLiteral("leaving"));
        ASSERT_TRUE(leaving.isConnected());
        name = leaving.baseService();
        brick = Path(Call(kRoot, QStringLiteral("MakeBrick"), Brick(1030, 0, 0, 0, 0, 0, false), iface, &leaving));
        Path(Call(kRoot, QStringLiteral("GetList"), {}, iface, &leaving));
        Call(brick, QStringLiteral("Get"), {QString(), QStringLiteral("Position")}, properties, &leaving);
        EXPECT_EQ(3, bus->GetReferencesOf(name));
        EXPECT_EQ(3, bus->GetExportedCount());
        EXPECT_EQ(2u, doc->GetBrickList()->GetRefCount());
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("leaving"));
    QElapsedTimer waited;
    waited.start();
    while (bus->GetReferencesOf(name) > 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(0, bus->GetReferencesOf(name));
    // The position only it kept is gone; the brick and the list live on in
    // the model, and another client can go on with their paths.
    EXPECT_EQ(2, bus->GetExportedCount());
    EXPECT_EQ(0, One(Call(brick, QStringLiteral("GetColor"))).value<short>());
    doc.reset();
    EXPECT_EQ(0, bus->GetExportedCount());
}

TEST_F(AutomationBusTest, ObjectsHeldAtOnceAreBounded)
{
    bus->SetMaxExported(1);
    const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
    const QString brick = Path(Call(kRoot, QStringLiteral("MakeBrick"), Brick(1030, 0, 0, 0, 0, 0, false)));
    Path(Call(kRoot, QStringLiteral("GetList")));
    Property(brick, QStringLiteral("Position"));
    const QDBusMessage refused = Call(brick, QStringLiteral("Get"), {QString(), QStringLiteral("Bounds")}, properties);
    EXPECT_EQ(QStringLiteral("dizado.Error.TooManyObjects"), refused.errorName());
    EXPECT_EQ(3, bus->GetExportedCount());
    // Already exported objects can still be handed out again.
    EXPECT_EQ(brick, Path(Call(Path(Call(kRoot, QStringLiteral("GetList"))), QStringLiteral("GetBrick"), {0})));
}

// gdbus types its arguments from the introspection data, so this shows that
// another binding can read it and drive the program with it.
TEST_F(AutomationBusTest, GdbusDrivesTheDocument)
{
    if (QStandardPaths::findExecutable(QStringLiteral("gdbus")).isEmpty())
        DIZADO_SKIP("no gdbus on the PATH (scripts/setup-debian.sh installs it)");
    auto gdbus = [&](const QStringList& args) {
        QProcess process;
        process.start(QStringLiteral("gdbus"), QStringList{args[0], QStringLiteral("--address"), address,
                                                           QStringLiteral("--dest"), kBusName} + args.mid(1));
        // The program serves the call on this thread meanwhile.
        QElapsedTimer waited;
        waited.start();
        while (process.state() != QProcess::NotRunning && waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            process.waitForFinished(5);
        }
        EXPECT_EQ(0, process.exitCode()) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    };
    const QString introspection = gdbus({QStringLiteral("introspect"), QStringLiteral("--object-path"), kRoot});
    EXPECT_TRUE(introspection.contains(QStringLiteral("MakeBrick"))) << introspection.toStdString();
    const QString brick = gdbus({QStringLiteral("call"), QStringLiteral("--object-path"), kRoot, QStringLiteral("--method"),
                                 QStringLiteral("dizado.Automation.MakeBrick"), QStringLiteral("1030"), QStringLiteral("1"),
                                 QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("4"),
                                 QStringLiteral("true")});
    EXPECT_TRUE(brick.startsWith(QStringLiteral("(objectpath '") + kRoot + QStringLiteral("/o"))) << brick.toStdString();
    ASSERT_EQ(1, doc->GetBrickList()->GetSize());
    EXPECT_EQ(4, doc->GetBrickList()->GetBrickAt(0)->GetColorIndex());
    EXPECT_EQ(QStringLiteral("(int16 4,)"),
              gdbus({QStringLiteral("call"), QStringLiteral("--object-path"), brick.section(QLatin1Char('\''), 1, 1),
                     QStringLiteral("--method"), QStringLiteral("dizado.Automation.GetColor")}));
    // Each gdbus call was a client of its own that has left; the brick, which
    // lives in the model, kept its path from one call to the next.
    EXPECT_EQ(1, bus->GetExportedCount());
}

TEST_F(AutomationBusTest, TheNameBelongsToOneProgram)
{
    CAutomationBus second(*client);
    EXPECT_FALSE(second.Start("DodezAR", doc->GetIDispatch(FALSE)));
    EXPECT_EQ(2u, doc->GetRefCount());  // the first bus's reference only

    // On the session bus, here the private one, the name is taken as well.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    QString problem;
    EXPECT_EQ(nullptr, CAutomationBus::OnSessionBus("DodezAR", doc->GetIDispatch(FALSE), problem));
    EXPECT_TRUE(problem.contains(kBusName)) << problem.toStdString();
    auto other = CAutomationBus::OnSessionBus("DodezARTest", doc->GetIDispatch(FALSE), problem);
    EXPECT_NE(nullptr, other);
    EXPECT_TRUE(problem.isEmpty());
}

}  // namespace

namespace {

[[noreturn]] void StartWithoutABus()
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/dizado-test-bus");
    bool told = false;
    {
        int argc = 1;
        char name[] = "dbus_tests";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        CDizadoDoc document;
        QString problem;
        const bool refused = !CAutomationBus::OnSessionBus("DodezAR", document.GetIDispatch(FALSE), problem);
        std::fprintf(stderr, "%s\n", problem.toUtf8().constData());
        told = refused && problem.startsWith(QStringLiteral("No D-Bus session bus"));
    }
    std::exit(told ? 0 : 1);
}

// In a process of its own, so that no session connection made earlier is reused.
TEST(AutomationBusStartTest, WithoutASessionBusThereIsAClearMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(StartWithoutABus(), ::testing::ExitedWithCode(0), "No D-Bus session bus");
}

}  // namespace
