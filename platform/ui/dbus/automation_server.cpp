#include "platform/ui/dbus/automation_server.h"

#include <cstdlib>
#include <memory>
#include <string>

#include <sys/stat.h>

#include "platform/ui/dbus/automation_bus.h"

namespace platform {

namespace {
std::unique_ptr<CAutomationBus>& ServingBus()
{
    static std::unique_ptr<CAutomationBus> bus;
    return bus;
}
}  // namespace

bool SessionBusAnnounced()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return true;
    // A desktop's user bus may be known only by its socket.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
        return false;
    struct stat info {};
    return ::stat((std::string(runtime) + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

BOOL StartAutomationServing(const char* progId, IDispatch* root, CString& problem)
{
    if (ServingBus())
        return TRUE;
    QString why;
    ServingBus() = CAutomationBus::OnSessionBus(progId, root, why);
    if (!ServingBus()) {
        problem = why.isEmpty() ? "No D-Bus session bus to serve automation on." : why.toUtf8().constData();
        return FALSE;
    }
    return TRUE;
}

void StopAutomationServing()
{
    ServingBus().reset();
}

CAutomationBus* AutomationServingBus()
{
    return ServingBus().get();
}

}  // namespace platform
