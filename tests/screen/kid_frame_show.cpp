// Shows the kid frame as the program will, for the screenshot of the kid
// frame: the shared palette and the kits beside the program, a new model in
// the isometric pane, the frame maximised. Runs until the window closes.
#include <cstdio>

#include "document/dizado_doc.h"
#include "document/document_services.h"
#include "foundation/notification_codes.h"
#include "foundation/notifier.h"
#include "model/brick_class_library.h"
#include "model/kit_list.h"
#include "platform/ui/app.h"
#include "platform/ui/doc_template.h"
#include "shell/kid_frame.h"
#include "shell/kid_frame_host.h"
#include "views/iso_brick_pane.h"

namespace {

class Host : public IKidFrameHost, public CHeadlessDocumentShell {
public:
    explicit Host(CBrickClassLibrary& classes) : m_classes(classes) {}
    CPalette* GetPalette() override { return m_classes.GetPalette(); }
    void FillBrickList(CListBox* list) override
    {
        if (CKitList* kits = m_classes.GetKitList())
            kits->FillListBox(list);
    }
    BOOL GetPrintOn() override { return m_printOn; }
    CKitList* GetKitList() override { return m_classes.GetKitList(); }

    BOOL HasKidFrame() override { return Frame() != nullptr; }
    void CheckButtonRange(UINT first, UINT last, UINT id) override
    {
        if (CKidFrame* frame = Frame())
            frame->CheckButtonRange(first, last, id);
    }
    int OnBrickListSelect() override { return Frame() ? Frame()->OnBrickListSelect() : -1; }

    BOOL m_printOn = TRUE;

private:
    static CKidFrame* Frame()
    {
        CWinThread* thread = AfxGetThread();
        return thread ? dynamic_cast<CKidFrame*>(thread->m_pMainWnd) : nullptr;
    }
    CBrickClassLibrary& m_classes;
};

class App : public CWinThread, public CNotifier {
public:
    App() { SetNotifyId(NOTIFY_ID_APP); }
    BOOL OnIdle(LONG) override
    {
        NotifyListeners(NOTIFY_IDLE, 0);
        return TRUE;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    platform::StartToolkit(argc, argv);
    CBrickClassLibrary classes{DIZADO_PROGRAM_FOLDER};
    classes.LoadPalette();
    classes.ScanKits();
    SetBrickServices(&classes);
    Host host(classes);
    SetKidFrameHost(&host);
    SetDocumentShell(&host);

    App app;
    CPaneWindow::SetApplicationNotifier(&app);
    platform::SetDocumentFrames(platform::WindowDocumentFrames());
    auto* docTemplate = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CDizadoDoc),
                                               RUNTIME_CLASS(CKidFrame), RUNTIME_CLASS(CIsoBrickPane));
    if (!docTemplate->OpenDocumentFile(argc > 1 ? argv[1] : nullptr)) {
        std::fprintf(stderr, "kid_frame_show: no document\n");
        return 1;
    }
    if (CWnd* frame = app.GetMainWnd())
        frame->ShowWindow(SW_SHOWMAXIMIZED);
    const int code = app.Run();
    delete docTemplate;
    SetDocumentShell(nullptr);
    SetKidFrameHost(nullptr);
    CPaneWindow::SetApplicationNotifier(nullptr);
    SetBrickServices(nullptr);
    return code;
}
