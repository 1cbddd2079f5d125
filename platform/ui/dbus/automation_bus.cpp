#include "platform/ui/dbus/automation_bus.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QVariantMap>

#include "platform/core/cmd_target.h"
#include "platform/core/hooks.h"

namespace {

const QString kIntrospectable = QStringLiteral("org.freedesktop.DBus.Introspectable");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString kUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
const QString kUnknownProperty = QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty");
const QString kUnknownObject = QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");
const QString kUnknownInterface = QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface");
const QString kNoReference = QStringLiteral("dizado.Error.NotHeld");
const QString kDisconnected = QStringLiteral("dizado.Error.Disconnected");
const QString kRefused = QStringLiteral("dizado.Error.Refused");
const QString kTooMany = QStringLiteral("dizado.Error.TooManyObjects");
const QString kMessage = QStringLiteral("dizado.Error.Message");

// For the length of one call: what its message boxes would have said when no
// one could see them.
class CallerMessages {
public:
    CallerMessages()
        : m_previous(platform::SetCallerMessageHook(
              [this](const std::string& text) { m_texts.push_back(QString::fromUtf8(text.c_str())); }))
    {
    }
    ~CallerMessages() { platform::SetCallerMessageHook(std::move(m_previous)); }
    CallerMessages(const CallerMessages&) = delete;
    CallerMessages& operator=(const CallerMessages&) = delete;

    bool Any() const { return !m_texts.isEmpty(); }
    QString Text() const { return m_texts.join(QLatin1Char('\n')); }

private:
    platform::CallerMessageHook m_previous;
    QStringList m_texts;
};

QString TooManyText()
{
    return QStringLiteral("Clients hold too many objects; release some first.");
}

QString FromText(const CString& text)
{
    return QString::fromUtf8(static_cast<const char*>(text), text.GetLength());
}

QChar TypeCode(VARTYPE vt)
{
    switch (vt) {
    case VT_I2:
        return QLatin1Char('n');
    case VT_I4:
        return QLatin1Char('i');
    case VT_BOOL:
        return QLatin1Char('b');
    case VT_BSTR:
        return QLatin1Char('s');
    case VT_DISPATCH:
        return QLatin1Char('o');
    default:
        return QChar();
    }
}

QString Signature(const AFX_DISPMAP_ENTRY& entry)
{
    QString signature;
    for (int i = 0; i < entry.nParams; ++i)
        signature += TypeCode(entry.params[i]);
    return signature;
}

bool HasType(const QVariant& value, VARTYPE vt)
{
    const int id = value.metaType().id();
    switch (vt) {
    case VT_I2:
        return id == QMetaType::Short;
    case VT_I4:
        return id == QMetaType::Int;
    case VT_BOOL:
        return id == QMetaType::Bool;
    case VT_BSTR:
        return id == QMetaType::QString;
    case VT_DISPATCH:
        return id == qMetaTypeId<QDBusObjectPath>();
    default:
        return false;
    }
}

const AFX_DISPMAP_ENTRY* Member(IDispatch* dispatch, const QString& name, DISPID& id)
{
    CCmdTarget* target = CCmdTarget::FromIDispatch(dispatch);
    if (!target)
        return nullptr;
    id = target->GetDispatchId(name.toUtf8().constData());
    return id == DISPID_UNKNOWN ? nullptr : target->GetDispatchEntry(id);
}

QString ErrorName(HRESULT hr)
{
    switch (hr) {
    case RPC_E_DISCONNECTED:
        return kDisconnected;
    case DISP_E_EXCEPTION:
        return kRefused;
    case DISP_E_TYPEMISMATCH:
    case DISP_E_OVERFLOW:
    case DISP_E_BADPARAMCOUNT:
    case E_INVALIDARG:
        return kInvalidArgs;
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
        return kUnknownMethod;
    case E_OUTOFMEMORY:
        return QStringLiteral("org.freedesktop.DBus.Error.NoMemory");
    default:
        return QStringLiteral("org.freedesktop.DBus.Error.Failed");
    }
}

QString ErrorText(HRESULT hr, const EXCEPINFO& error)
{
    if (!error.description.IsEmpty())
        return FromText(error.description);
    switch (hr) {
    case RPC_E_DISCONNECTED:
        return QStringLiteral("The object is no longer part of a model.");
    case DISP_E_OVERFLOW:
        return QStringLiteral("Argument %1 is out of range.").arg(error.argument);
    case DISP_E_TYPEMISMATCH:
        return QStringLiteral("Argument %1 has the wrong type.").arg(error.argument);
    default:
        return QStringLiteral("The call failed (0x%1).").arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0'));
    }
}

// The bus that publishes objects; one for the program.
CAutomationBus* g_pActiveBus = nullptr;

}  // namespace

QString CAutomationBus::BusName(const char* progId)
{
    return QStringLiteral("dizado.") + QString::fromUtf8(progId);
}

QString CAutomationBus::RootPath(const char* progId)
{
    return QStringLiteral("/") + QString::fromUtf8(progId);
}

std::unique_ptr<CAutomationBus> CAutomationBus::OnSessionBus(const char* progId, IDispatch* root, QString& problem)
{
    const QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected()) {
        const QString reason = session.lastError().message();
        problem = QStringLiteral("No D-Bus session bus to serve automation on") +
                  (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason) + QLatin1Char('.');
        return nullptr;
    }
    auto bus = std::make_unique<CAutomationBus>(session);
    if (!bus->Start(progId, root)) {
        problem = QStringLiteral("The name %1 on the session bus belongs to another program.").arg(BusName(progId));
        return nullptr;
    }
    problem.clear();
    return bus;
}

CAutomationBus::CAutomationBus(const QDBusConnection& connection) : m_connection(connection) {}

CAutomationBus::~CAutomationBus()
{
    Stop();
}

bool CAutomationBus::Start(const char* progId, IDispatch* root)
{
    Stop();
    if (!root || !m_connection.isConnected())
        return false;
    const QString path = RootPath(progId);
    const QString name = BusName(progId);
    if (!m_connection.registerVirtualObject(path, this, QDBusConnection::SubPath))
        return false;
    if (!m_connection.registerService(name)) {
        m_connection.unregisterObject(path, QDBusConnection::UnregisterTree);
        return false;
    }
    m_strRoot = path;
    m_strName = name;
    m_pRoot = root;
    m_pRoot->AddRef();
    g_pActiveBus = this;
    m_previousHook = SetDispatchDisconnectHook(&CAutomationBus::OnDisconnected);
    m_watcher = std::make_unique<QDBusServiceWatcher>(QString(), m_connection,
                                                      QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(m_watcher.get(), &QDBusServiceWatcher::serviceUnregistered, this,
                     [this](const QString& client) { ReleaseClient(client); });
    return true;
}

void CAutomationBus::Stop()
{
    if (!m_strRoot.isEmpty()) {
        m_connection.unregisterObject(m_strRoot, QDBusConnection::UnregisterTree);
        m_connection.unregisterService(m_strName);
    }
    if (g_pActiveBus == this) {
        SetDispatchDisconnectHook(m_previousHook);
        g_pActiveBus = nullptr;
    }
    m_nClientOwned = 0;
    m_waiting.clear();
    m_left.clear();
    m_watcher.reset();
    std::map<QString, Exported> objects;
    objects.swap(m_objects);
    m_paths.clear();
    for (auto& [path, object] : objects)
        object.dispatch->Release();
    if (m_pRoot)
        m_pRoot->Release();
    m_pRoot = nullptr;
    m_strRoot.clear();
    m_strName.clear();
}

int CAutomationBus::GetReferencesOf(const QString& client) const
{
    int count = 0;
    for (const auto& [path, object] : m_objects) {
        const auto it = object.holders.find(client);
        if (it != object.holders.end())
            count += it->second;
    }
    return count;
}

IDispatch* CAutomationBus::Find(const QString& path) const
{
    if (path == m_strRoot)
        return m_pRoot;
    const auto it = m_objects.find(path);
    return it == m_objects.end() ? nullptr : it->second.dispatch;
}

QString CAutomationBus::HandOut(IDispatch* dispatch, const QString& client)
{
    if (!dispatch)
        return QStringLiteral("/");
    if (dispatch == m_pRoot) {
        dispatch->Release();
        return m_strRoot;
    }
    const auto known = m_paths.find(dispatch);
    if (known != m_paths.end()) {
        dispatch->Release();  // the bus holds one already
        ++m_objects[known->second].holders[client];
        return known->second;
    }
    const CCmdTarget* target = CCmdTarget::FromIDispatch(dispatch);
    const bool clientOwned = !target || target->GetRefCount() <= 1;
    if (clientOwned && m_nClientOwned >= m_nMaxExported) {
        dispatch->Release();
        return QString();
    }
    const QString path = m_strRoot + QStringLiteral("/o") + QString::number(m_nNextId++);
    Exported& object = m_objects[path];
    object.dispatch = dispatch;
    object.holders[client] = 1;
    object.clientOwned = clientOwned;
    m_nClientOwned += clientOwned ? 1 : 0;
    m_paths[dispatch] = path;
    if (m_watcher && !m_watcher->watchedServices().contains(client)) {
        m_watcher->addWatchedService(client);
        // A client that left before the watch began is not reported by it.
        QDBusConnectionInterface* daemon = m_connection.interface();
        if (daemon && !daemon->isServiceRegistered(client).value())
            QMetaObject::invokeMethod(this, [this, client] { ReleaseClient(client); }, Qt::QueuedConnection);
    }
    return path;
}

bool CAutomationBus::Release(const QString& path, const QString& client)
{
    const auto it = m_objects.find(path);
    if (it == m_objects.end())
        return false;
    const auto holder = it->second.holders.find(client);
    if (holder == it->second.holders.end())
        return false;
    if (--holder->second == 0)
        it->second.holders.erase(holder);
    Settle(it);
    return true;
}

void CAutomationBus::Settle(std::map<QString, Exported>::iterator it)
{
    if (!it->second.holders.empty())
        return;
    const CCmdTarget* target = CCmdTarget::FromIDispatch(it->second.dispatch);
    if (target && target->GetRefCount() > 1)
        return;  // it lives on its own; its path stays until it goes
    Unexport(it);
}

void CAutomationBus::Unexport(std::map<QString, Exported>::iterator it)
{
    IDispatch* dispatch = it->second.dispatch;
    m_nClientOwned -= it->second.clientOwned ? 1 : 0;
    m_paths.erase(dispatch);
    m_objects.erase(it);
    dispatch->Release();  // may free the object
}

void CAutomationBus::OnDisconnected(IDispatch* dispatch)
{
    CAutomationBus* bus = g_pActiveBus;
    if (!bus)
        return;
    if (bus->m_previousHook)
        bus->m_previousHook(dispatch);
    const auto known = bus->m_paths.find(dispatch);
    if (known != bus->m_paths.end())
        bus->Unexport(bus->m_objects.find(known->second));
}

void CAutomationBus::ReleaseClient(const QString& client)
{
    if (m_bServing) {
        m_left.push_back(client);
        return;
    }
    if (m_watcher)
        m_watcher->removeWatchedService(client);
    std::vector<QString> settle;
    for (auto& [path, object] : m_objects) {
        if (object.holders.erase(client) && object.holders.empty())
            settle.push_back(path);
    }
    // One at a time: freeing one object may take others with it.
    for (const QString& path : settle) {
        const auto it = m_objects.find(path);
        if (it != m_objects.end())
            Settle(it);
    }
}

QString CAutomationBus::introspect(const QString& path) const
{
    QString xml;
    IDispatch* dispatch = Find(path);
    CCmdTarget* target = CCmdTarget::FromIDispatch(dispatch);
    if (dispatch) {
        xml += QStringLiteral("  <interface name=\"%1\">\n").arg(QLatin1String(kInterface));
        if (target) {
            for (const auto& member : target->GetDispatchMembers()) {
                const AFX_DISPMAP_ENTRY& entry = *member.entry;
                const QString name = QString::fromUtf8(entry.lpszName);
                if (entry.kind == AfxDispKind::property) {
                    xml += QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"%3\"/>\n")
                               .arg(name, QString(TypeCode(entry.vt)),
                                    entry.pfnSet ? QStringLiteral("readwrite") : QStringLiteral("read"));
                    continue;
                }
                xml += QStringLiteral("    <method name=\"%1\">\n").arg(name);
                for (int i = 0; i < entry.nParams; ++i)
                    xml += QStringLiteral("      <arg name=\"arg%1\" type=\"%2\" direction=\"in\"/>\n")
                               .arg(i)
                               .arg(TypeCode(entry.params[i]));
                if (entry.vt != VT_EMPTY)
                    xml += QStringLiteral("      <arg name=\"result\" type=\"%1\" direction=\"out\"/>\n")
                               .arg(TypeCode(entry.vt));
                xml += QStringLiteral("    </method>\n");
            }
        }
        xml += QStringLiteral("    <method name=\"Release\"/>\n  </interface>\n");
        xml += QStringLiteral(
            "  <interface name=\"org.freedesktop.DBus.Introspectable\">\n"
            "    <method name=\"Introspect\"><arg name=\"xml_data\" type=\"s\" direction=\"out\"/></method>\n"
            "  </interface>\n"
            "  <interface name=\"org.freedesktop.DBus.Properties\">\n"
            "    <method name=\"Get\"><arg name=\"interface_name\" type=\"s\" direction=\"in\"/>"
            "<arg name=\"property_name\" type=\"s\" direction=\"in\"/><arg name=\"value\" type=\"v\" "
            "direction=\"out\"/></method>\n"
            "    <method name=\"Set\"><arg name=\"interface_name\" type=\"s\" direction=\"in\"/>"
            "<arg name=\"property_name\" type=\"s\" direction=\"in\"/><arg name=\"value\" type=\"v\" "
            "direction=\"in\"/></method>\n"
            "    <method name=\"GetAll\"><arg name=\"interface_name\" type=\"s\" direction=\"in\"/>"
            "<arg name=\"values\" type=\"a{sv}\" direction=\"out\"/></method>\n"
            "  </interface>\n");
    }
    if (path == m_strRoot) {
        for (const auto& [child, object] : m_objects)
            xml += QStringLiteral("  <node name=\"%1\"/>\n").arg(child.mid(m_strRoot.size() + 1));
    }
    return xml;
}

bool CAutomationBus::handleMessage(const QDBusMessage& message, const QDBusConnection&)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    m_waiting.push_back(message);
    // Inside a loop that a call opened: served when that call has answered,
    // never nested within it (thousands of nested boxes end the stack).
    if (m_bServing)
        return true;
    m_bServing = true;
    while (!m_waiting.empty()) {
        const QDBusMessage next = m_waiting.front();
        m_waiting.pop_front();
        Serve(next);
    }
    m_bServing = false;
    std::vector<QString> left;
    left.swap(m_left);
    for (const QString& client : left)
        ReleaseClient(client);
    return true;
}

void CAutomationBus::Serve(const QDBusMessage& message)
{
    IDispatch* dispatch = Find(message.path());
    const QString interface = message.interface();
    if (interface == kIntrospectable && message.member() == QLatin1String("Introspect")) {
        const QString body = introspect(message.path());
        m_connection.send(message.createReply(
            QStringLiteral("<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
                           "\"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n<node>\n") +
            body + QStringLiteral("</node>\n")));
        return;
    }
    if (!dispatch) {
        m_connection.send(message.createErrorReply(kUnknownObject, QStringLiteral("No object at ") + message.path()));
        return;
    }
    if (interface == kProperties)
        Properties(message, dispatch);
    else if (interface.isEmpty() || interface == QLatin1String(kInterface))
        Call(message, dispatch);
    else
        m_connection.send(message.createErrorReply(kUnknownInterface, interface));
}

void CAutomationBus::Call(const QDBusMessage& message, IDispatch* dispatch)
{
    const QString member = message.member();
    if (member == QLatin1String("Release")) {
        if (!message.signature().isEmpty())
            m_connection.send(message.createErrorReply(kInvalidArgs, QStringLiteral("Release takes no arguments.")));
        else if (!Release(message.path(), message.service()))
            m_connection.send(message.createErrorReply(kNoReference, QStringLiteral("No reference of yours to release.")));
        else
            m_connection.send(message.createReply());
        return;
    }
    if (!CCmdTarget::FromIDispatch(dispatch)) {
        m_connection.send(message.createErrorReply(kDisconnected, QStringLiteral("The object is gone.")));
        return;
    }
    DISPID id = DISPID_UNKNOWN;
    const AFX_DISPMAP_ENTRY* entry = Member(dispatch, member, id);
    if (!entry || entry->kind != AfxDispKind::method) {
        m_connection.send(message.createErrorReply(
            kUnknownMethod, entry ? member + QStringLiteral(" is a property: use org.freedesktop.DBus.Properties.")
                                  : QStringLiteral("No method ") + member));
        return;
    }
    const QString expected = Signature(*entry);
    if (message.signature() != expected) {
        m_connection.send(message.createErrorReply(
            kInvalidArgs, QStringLiteral("%1 takes (%2), not (%3).").arg(member, expected, message.signature())));
        return;
    }
    const QVariantList in = message.arguments();
    std::vector<COleVariant> args;
    args.reserve(static_cast<size_t>(in.size()));
    for (int i = 0; i < in.size(); ++i) {
        const QVariant& value = in[i];
        switch (entry->params[i]) {
        case VT_I2:
            args.emplace_back(static_cast<SHORT>(value.value<short>()));
            break;
        case VT_I4:
            args.emplace_back(static_cast<LONG>(value.toInt()));
            break;
        case VT_BOOL:
            args.push_back(COleVariant::Bool(value.toBool() ? TRUE : FALSE));
            break;
        case VT_BSTR:
            args.emplace_back(value.toString().toUtf8().constData());
            break;
        default: {
            const QString path = value.value<QDBusObjectPath>().path();
            IDispatch* object = path == QLatin1String("/") ? nullptr : Find(path);
            if (path != QLatin1String("/") && !object) {
                m_connection.send(message.createErrorReply(kUnknownObject, QStringLiteral("No object at ") + path));
                return;
            }
            args.emplace_back(object);
            break;
        }
        }
    }
    COleVariant result;
    EXCEPINFO error;
    CallerMessages messages;
    const HRESULT hr = dispatch->Invoke(id, DISPATCH_METHOD, args.data(), static_cast<int>(args.size()), &result, &error);
    if (messages.Any()) {
        m_connection.send(message.createErrorReply(kMessage, messages.Text()));
        return;
    }
    ReplyResult(message, hr, error, result);
}

void CAutomationBus::ReplyResult(const QDBusMessage& message, HRESULT hr, const EXCEPINFO& error, COleVariant& result)
{
    if (FAILED(hr)) {
        m_connection.send(message.createErrorReply(ErrorName(hr), ErrorText(hr, error)));
        return;
    }
    switch (result.vt) {
    case VT_EMPTY:
        m_connection.send(message.createReply());
        break;
    case VT_I2:
        m_connection.send(message.createReply(QVariant::fromValue(static_cast<short>(result.lVal))));
        break;
    case VT_I4:
        m_connection.send(message.createReply(QVariant::fromValue(static_cast<int>(result.lVal))));
        break;
    case VT_BOOL:
        m_connection.send(message.createReply(QVariant::fromValue(result.lVal != 0)));
        break;
    case VT_BSTR:
        m_connection.send(message.createReply(QVariant::fromValue(FromText(result.strVal))));
        break;
    default: {
        const QString path = HandOut(result.DetachDispatch(), message.service());
        if (path.isEmpty())
            m_connection.send(message.createErrorReply(kTooMany, TooManyText()));
        else
            m_connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(path))));
        break;
    }
    }
}

void CAutomationBus::Properties(const QDBusMessage& message, IDispatch* dispatch)
{
    const QString member = message.member();
    const QVariantList in = message.arguments();
    const bool get = member == QLatin1String("Get") && message.signature() == QLatin1String("ss");
    const bool set = member == QLatin1String("Set") && message.signature() == QLatin1String("ssv");
    const bool all = member == QLatin1String("GetAll") && message.signature() == QLatin1String("s");
    if (!get && !set && !all) {
        m_connection.send(message.createErrorReply(kInvalidArgs, QStringLiteral("Get (ss), Set (ssv) or GetAll (s).")));
        return;
    }
    const QString interface = in[0].toString();
    if (!interface.isEmpty() && interface != QLatin1String(kInterface)) {
        m_connection.send(message.createErrorReply(kUnknownInterface, interface));
        return;
    }
    CCmdTarget* target = CCmdTarget::FromIDispatch(dispatch);
    if (!target) {
        m_connection.send(message.createErrorReply(kDisconnected, QStringLiteral("The object is gone.")));
        return;
    }
    if (all) {
        // Plain values only: reading an object-valued property would hand
        // out a new object the client never asked for.
        QVariantMap values;
        for (const auto& member : target->GetDispatchMembers()) {
            if (member.entry->kind != AfxDispKind::property || member.entry->vt == VT_DISPATCH)
                continue;
            COleVariant value;
            if (FAILED(dispatch->Invoke(member.id, DISPATCH_PROPERTYGET, nullptr, 0, &value)))
                continue;
            QVariant converted;
            if (value.vt == VT_I2)
                converted = QVariant::fromValue(static_cast<short>(value.lVal));
            else if (value.vt == VT_I4)
                converted = QVariant::fromValue(static_cast<int>(value.lVal));
            else if (value.vt == VT_BOOL)
                converted = QVariant::fromValue(value.lVal != 0);
            else
                converted = QVariant::fromValue(FromText(value.strVal));
            values.insert(QString::fromUtf8(member.entry->lpszName), converted);
        }
        m_connection.send(message.createReply(QVariant::fromValue(values)));
        return;
    }
    const QString name = in[1].toString();
    DISPID id = DISPID_UNKNOWN;
    const AFX_DISPMAP_ENTRY* entry = Member(dispatch, name, id);
    if (!entry || entry->kind != AfxDispKind::property) {
        m_connection.send(message.createErrorReply(kUnknownProperty, QStringLiteral("No property ") + name));
        return;
    }
    COleVariant result;
    EXCEPINFO error;
    CallerMessages messages;
    if (get) {
        const HRESULT hr = dispatch->Invoke(id, DISPATCH_PROPERTYGET, nullptr, 0, &result, &error);
        if (messages.Any()) {
            m_connection.send(message.createErrorReply(kMessage, messages.Text()));
            return;
        }
        if (FAILED(hr)) {
            m_connection.send(message.createErrorReply(ErrorName(hr), ErrorText(hr, error)));
            return;
        }
        QVariant value;
        switch (result.vt) {
        case VT_I2:
            value = QVariant::fromValue(static_cast<short>(result.lVal));
            break;
        case VT_I4:
            value = QVariant::fromValue(static_cast<int>(result.lVal));
            break;
        case VT_BOOL:
            value = QVariant::fromValue(result.lVal != 0);
            break;
        case VT_BSTR:
            value = QVariant::fromValue(FromText(result.strVal));
            break;
        default: {
            const QString path = HandOut(result.DetachDispatch(), message.service());
            if (path.isEmpty()) {
                m_connection.send(message.createErrorReply(kTooMany, TooManyText()));
                return;
            }
            value = QVariant::fromValue(QDBusObjectPath(path));
            break;
        }
        }
        m_connection.send(message.createReply(QVariant::fromValue(QDBusVariant(value))));
        return;
    }
    const QVariant value = in[2].value<QDBusVariant>().variant();
    if (!HasType(value, entry->vt)) {
        m_connection.send(message.createErrorReply(
            kInvalidArgs, QStringLiteral("%1 takes a value of type %2.").arg(name, QString(TypeCode(entry->vt)))));
        return;
    }
    COleVariant arg;
    switch (entry->vt) {
    case VT_I2:
        arg = COleVariant(static_cast<SHORT>(value.value<short>()));
        break;
    case VT_I4:
        arg = COleVariant(static_cast<LONG>(value.toInt()));
        break;
    case VT_BOOL:
        arg = COleVariant::Bool(value.toBool() ? TRUE : FALSE);
        break;
    case VT_BSTR:
        arg = COleVariant(value.toString().toUtf8().constData());
        break;
    default: {
        const QString path = value.value<QDBusObjectPath>().path();
        IDispatch* object = path == QLatin1String("/") ? nullptr : Find(path);
        if (path != QLatin1String("/") && !object) {
            m_connection.send(message.createErrorReply(kUnknownObject, QStringLiteral("No object at ") + path));
            return;
        }
        arg = COleVariant(object);
        break;
    }
    }
    const HRESULT hr = dispatch->Invoke(id, DISPATCH_PROPERTYPUT, &arg, 1, &result, &error);
    if (messages.Any()) {
        m_connection.send(message.createErrorReply(kMessage, messages.Text()));
        return;
    }
    ReplyResult(message, hr, error, result);
}
