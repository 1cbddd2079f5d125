#include "platform/ui/dbus/automation_server.h"

#include <memory>

#include "platform/ui/dbus/automation_bus.h"

namespace platform {

namespace {
std::unique_ptr<CAutomationBus>& ServingBus()
{
    static std::unique_ptr<CAutomationBus> bus;
    return bus;
}
}  // namespace

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
