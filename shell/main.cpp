// The program's entry. Until the kid frame and the sign-in exist, it starts
// what there is: it finds its resources, loads the shared palette and the
// kits beside the program, and shows the document named on the command line
// (or a new one) in the isometric pane, in a plain frame, maximised.
#include <cstdio>

#include "document/dizado_doc.h"
#include "foundation/notification_codes.h"
#include "foundation/notifier.h"
#include "foundation/sound_player.h"
#include "model/brick_class_library.h"
#include "platform/core/resources.h"
#include "platform/ui/app.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/frame_wnd.h"
#include "views/iso_brick_pane.h"

namespace {

// The folder of the program file, without its trailing separator.
CString ProgramFolder()
{
    char path[260];
    if (!GetModuleFileNameA(nullptr, path, sizeof path))
        return CString(".");
    const CString full(path);
    return full.Left(full.ReverseFind('/'));
}

// The application's side of the panes: every idle pass is told to them
// (code 13), which drives the blinking selection outline; it asks for more
// passes, which the layer spaces about 15 ms apart.
class CShellApp : public CWinThread, public CNotifier {
public:
    CShellApp() { SetNotifyId(NOTIFY_ID_APP); }
    BOOL OnIdle(LONG) override
    {
        NotifyListeners(NOTIFY_IDLE, 0);
        return TRUE;
    }
};

}  // namespace

// Hosts the pane until the kid frame does: shown maximised, and the pane's
// origin placed as the kid frame places it, at (w / 2, h / 8 * 7).
class CShellFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CShellFrame)
public:
    void ActivateFrame(int) override { ShowWindow(SW_SHOWMAXIMIZED); }

protected:
    void OnSize(UINT type, int cx, int cy)
    {
        CFrameWnd::OnSize(type, cx, cy);
        if (auto* pane = dynamic_cast<CBrickPane*>(GetActiveView())) {
            RECT client;
            pane->GetClientRect(&client);
            pane->SetOrigin(client.right / 2, client.bottom / 8 * 7, TRUE);
        }
    }

    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CShellFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CShellFrame, CFrameWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

int main(int argc, char** argv)
{
    platform::StartToolkit(argc, argv);
    CBrickClassLibrary classes{ProgramFolder()};
    const BOOL palette = classes.LoadPalette();
    classes.ScanKits();
    SetBrickServices(&classes);
    if (!palette)
        std::fprintf(stderr, "dizado: the shared palette is missing\n");

    CShellApp app;
    CPaneWindow::SetApplicationNotifier(&app);
    platform::SetDocumentFrames(platform::WindowDocumentFrames());
    auto* docTemplate = new CSingleDocTemplate(0, RUNTIME_CLASS(CDizadoDoc), RUNTIME_CLASS(CShellFrame),
                                               RUNTIME_CLASS(CIsoBrickPane));
    const char* path = argc > 1 ? argv[1] : nullptr;
    CDocument* document = docTemplate->OpenDocumentFile(path);
    if (!document && path)
        document = docTemplate->OpenDocumentFile(nullptr);
    if (!document) {
        std::fprintf(stderr, "dizado: no document could be shown\n");
        delete docTemplate;
        return 1;
    }
    if (CWnd* frame = app.GetMainWnd())
        frame->SetWindowText(path ? path : "dizado");
    PlaySoundEffect("SIGNIN");
    const int code = app.Run();
    delete docTemplate;
    CPaneWindow::SetApplicationNotifier(nullptr);
    SetBrickServices(nullptr);
    return code;
}
