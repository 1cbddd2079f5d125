// Automation objects on the D-Bus session bus. The program's top object is
// exported at "/<programmatic id>" under the well-known name
// "dizado.<programmatic id>"; every object a client receives as a result is
// exported below it, and the result is its path ("/" for none). Methods and
// properties keep their names and types: I2 n, I4 i, BOOL b, BSTR s,
// DISPATCH o. Every object answers Introspect, the Properties interface and
// "Release", which gives back one reference the client received; a client
// that leaves the bus gives back all of its own.
//
// An object that lives on its own (a document, a brick list, a brick) keeps
// its path while it lives, whoever holds it, so that a script of one-shot
// calls can pass paths from one call to the next; its path goes when it is
// destroyed. An object that only clients keep (a position, a bounds) goes
// with their last reference.
//
// Calls are checked like file input: a wrong signature, an unknown path or
// member, or an object that is gone give D-Bus errors, never a crash.
//
// Calls are served one at a time, in the order they came: one that arrives
// while another runs (a message box of that call runs a loop of its own)
// waits until the running one has answered. A call whose object would show a
// message while no window of the program is on the screen answers at once
// with dizado.Error.Message and the message as its text.
#pragma once

#include <deque>
#include <map>
#include <memory>

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>

#include "platform/core/cmd_target.h"

class QDBusMessage;
class QDBusServiceWatcher;

class CAutomationBus : public QDBusVirtualObject {
public:
    // The interface of every object's own members.
    static constexpr const char* kInterface = "dizado.Automation";
    // Objects that only clients keep, exported at once for all of them;
    // beyond it a call that would hand out one more answers
    // dizado.Error.TooManyObjects, so that no client can make the program
    // hold objects without bound.
    static constexpr size_t kMaxExported = 1 << 18;
    void SetMaxExported(size_t count) { m_nMaxExported = count; }

    static QString BusName(const char* progId);
    static QString RootPath(const char* progId);

    // The bus of a program started for automation: the session bus, with the
    // top object exported and the name taken. Null with `problem` saying why
    // (no session bus, or the name is another program's).
    static std::unique_ptr<CAutomationBus> OnSessionBus(const char* progId, IDispatch* root, QString& problem);

    explicit CAutomationBus(const QDBusConnection& connection);
    // Gives back every reference it holds and leaves the bus.
    ~CAutomationBus() override;

    // Exports `root` (a reference of the bus's own) at the root path and takes
    // the well-known name. FALSE, with nothing taken, when there is no bus, the
    // name is another program's, or the path is in use.
    bool Start(const char* progId, IDispatch* root);
    void Stop();

    // Objects exported below the top object.
    int GetExportedCount() const { return static_cast<int>(m_objects.size()); }
    // References `client` (a unique bus name) holds on all objects.
    int GetReferencesOf(const QString& client) const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    struct Exported {
        IDispatch* dispatch = nullptr;  // one reference of the bus
        std::map<QString, int> holders;  // client, references handed to it
        bool clientOwned = false;        // nothing but the bus keeps the object
    };

    static void OnDisconnected(IDispatch* dispatch);
    void Serve(const QDBusMessage& message);
    // Stops publishing the object and drops the bus's reference.
    void Unexport(std::map<QString, Exported>::iterator it);
    // After a client's last reference: objects that live on their own stay.
    void Settle(std::map<QString, Exported>::iterator it);

    // The object at a path: the top object or an exported one; null when none.
    IDispatch* Find(const QString& path) const;
    // Hands `dispatch` (whose reference the call takes) to `client`: its
    // path, "/" for null, or empty when the bound refuses one more object.
    QString HandOut(IDispatch* dispatch, const QString& client);
    bool Release(const QString& path, const QString& client);
    void ReleaseClient(const QString& client);

    void Call(const QDBusMessage& message, IDispatch* dispatch);
    void Properties(const QDBusMessage& message, IDispatch* dispatch);
    void ReplyResult(const QDBusMessage& message, HRESULT hr, const EXCEPINFO& error, COleVariant& result);

    QDBusConnection m_connection;
    QString m_strName;
    QString m_strRoot;
    IDispatch* m_pRoot = nullptr;
    std::map<QString, Exported> m_objects;  // path
    std::map<IDispatch*, QString> m_paths;
    quint64 m_nNextId = 1;
    size_t m_nMaxExported = kMaxExported;
    size_t m_nClientOwned = 0;
    DispatchDisconnectHook m_previousHook = nullptr;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    // Calls that came while one was being served, and clients that left
    // meanwhile (their objects may be in use by the running call).
    std::deque<QDBusMessage> m_waiting;
    std::vector<QString> m_left;
    bool m_bServing = false;
};
