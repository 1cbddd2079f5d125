// The program with File Open, the background browser and About running the
// browser's and About's steps, as the application's handlers will call them;
// for the end-to-end run under Xvfb with a real pointer.
#include "platform/ui/win_app.h"
#include "shell/browser_commands.h"
#include "shell/dizado_app.h"

namespace {

class CBrowserApp : public CDizadoApp {
public:
    BOOL ChooseBackground(void* owner, BackgroundChoice& choice) override
    {
        return RunBackgroundBrowser(owner, choice);
    }

protected:
    void OnOpen() { RunFileOpenBrowser(*this); }
    void OnAbout() { RunAboutBox(); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBrowserApp, CDizadoApp)
    ON_COMMAND(ID_FILE_OPEN, OnOpen)
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
END_MESSAGE_MAP()

CBrowserApp theApp;

}  // namespace

int main(int argc, char** argv)
{
    return platform::RunApplication(argc, argv);
}
