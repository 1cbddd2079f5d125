// Shows the kid frame as the program will, for the screenshot of the kid
// frame: the shared palette and the kits beside the program, a new model in
// the isometric pane, the frame maximised. Runs until the window closes.
//   kid_frame_show [MODEL]
// For the tests that click the frame, built the same way and laid out for a
// client area of WIDTH by HEIGHT with the menu bar shown (MENU 1) or not:
//   kid_frame_show where WIDTH HEIGHT MENU NAME   the named control's centre in
//       its window and that window's size: "X Y WINDOW-WIDTH WINDOW-HEIGHT";
//       item:NAME is the command's item in its popup of the menu bar (the
//       popup is the window), bar:NAME the bar's title over that popup
//   kid_frame_show rect WIDTH HEIGHT MENU NAME    the control's rectangle in the
//       frame's client area: "LEFT TOP WIDTH HEIGHT"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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
#include "tests/screen/control_names.h"
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

// The rectangle of `text` (see the top) in the frame's client area; for a
// popup's item, in the popup, whose size goes to `window`.
bool FindRect(CKidFrame& frame, const char* text, RECT& rect, SIZE& window)
{
    RECT client;
    frame.GetClientRect(&client);
    window = SIZE{client.right, client.bottom};
    const bool title = std::strncmp(text, "bar:", 4) == 0, item = std::strncmp(text, "item:", 5) == 0;
    const std::optional<screen::NamedControl> named = screen::FindControl(text + (title ? 4 : item ? 5 : 0));
    if (!named)
        return false;
    if (title || item)
        return named->index == 0 && (title ? platform::MenuBarTitleRect(&frame, named->id, &rect)
                                           : platform::MenuBarItemRect(&frame, named->id, &rect, &window));
    CWnd* control = nullptr;
    if (named->id == IDM_BRICK_LIST) {
        // A row of the list.
        CListBox& list = frame.GetBrickListBox();
        if (named->index >= list.GetCount() || list.GetItemRect(named->index, &rect) == LB_ERR)
            return false;
        list.ClientToScreen(&rect);
        frame.ScreenToClient(&rect);
        return true;
    }
    if (named->id == AFX_IDW_PANE_FIRST && named->index == 0)
        control = frame.GetActiveView();
    else if (named->id == IDM_COLOR_FIRST || named->index == 0)
        control = frame.GetButton(named->id + static_cast<UINT>(named->index));
    if (!control || !control->GetSafeHwnd())
        return false;
    control->GetWindowRect(&rect);
    frame.ScreenToClient(&rect);
    return true;
}

int Where(CKidFrame& frame, int width, int height, bool menu, const char* name, bool centre)
{
    if (frame.IsMenuBarShown() != (menu ? TRUE : FALSE))
        frame.OnToggleMenuBar();
    frame.MoveWindow(0, 0, width, height);
    RECT client;
    frame.GetClientRect(&client);
    // The frame's border, if the layer gives it one, lies outside the client area.
    frame.MoveWindow(0, 0, 2 * width - client.right, 2 * height - client.bottom);
    platform::ProcessPendingEvents();
    RECT rect;
    SIZE window;
    if (!FindRect(frame, name, rect, window)) {
        std::fprintf(stderr, "kid_frame_show: no control %s\n", name);
        return 1;
    }
    if (centre)
        std::printf("%ld %ld %ld %ld\n", static_cast<long>((rect.left + rect.right) / 2),
                    static_cast<long>((rect.top + rect.bottom) / 2), static_cast<long>(window.cx),
                    static_cast<long>(window.cy));
    else
        std::printf("%ld %ld %ld %ld\n", static_cast<long>(rect.left), static_cast<long>(rect.top),
                    static_cast<long>(rect.right - rect.left), static_cast<long>(rect.bottom - rect.top));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool query = argc == 6 && (std::strcmp(argv[1], "where") == 0 || std::strcmp(argv[1], "rect") == 0);
    const int width = query ? std::atoi(argv[2]) : 0, height = query ? std::atoi(argv[3]) : 0;
    if (query && (width < CKidFrame::kMinClientWidth || height < CKidFrame::kMinClientHeight || width > 10000 ||
                  height > 10000)) {
        std::fprintf(stderr, "kid_frame_show: a client area of %s by %s is no screen\n", argv[2], argv[3]);
        return 2;
    }
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
    if (!docTemplate->OpenDocumentFile(argc > 1 && !query ? argv[1] : nullptr)) {
        std::fprintf(stderr, "kid_frame_show: no document\n");
        return 1;
    }
    int code = 0;
    if (query) {
        auto* frame = dynamic_cast<CKidFrame*>(app.GetMainWnd());
        code = frame ? Where(*frame, width, height, std::strcmp(argv[4], "1") == 0, argv[5], argv[1][0] == 'w') : 1;
        if (frame)
            frame->DestroyWindow();
    } else {
        if (CWnd* frame = app.GetMainWnd())
            frame->ShowWindow(SW_SHOWMAXIMIZED);
        code = app.Run();
    }
    delete docTemplate;
    SetDocumentShell(nullptr);
    SetKidFrameHost(nullptr);
    CPaneWindow::SetApplicationNotifier(nullptr);
    SetBrickServices(nullptr);
    return code;
}
