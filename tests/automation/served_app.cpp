// The program as another program starts it for automation: the application
// object with the automation server started at the end of its start-up.
#include <cstdio>

#include "platform/ui/win_app.h"
#include "shell/automation/shell_automation.h"
#include "shell/dizado_app.h"

namespace {

class CServedApp : public CDizadoApp {
public:
    BOOL InitInstance() override
    {
        if (!CDizadoApp::InitInstance())
            return FALSE;
        if (!RunEmbedded() && !RunAutomated())
            return TRUE;
        CString problem;
        if (!StartAutomationServer(problem)) {
            std::fprintf(stderr, "%s\n", static_cast<const char*>(problem));
            m_bNoServer = TRUE;
            return FALSE;
        }
        return TRUE;
    }
    int ExitInstance() override
    {
        StopAutomationServer();
        const int code = CDizadoApp::ExitInstance();
        return m_bNoServer ? 1 : code;
    }

private:
    BOOL m_bNoServer = FALSE;
};

CServedApp theApp;

}  // namespace

int main(int argc, char** argv)
{
    return platform::RunApplication(argc, argv);
}
