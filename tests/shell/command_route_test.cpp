// The program's own menu and keys, loaded from its resources as the kid frame
// loads them, each sent through the frame as a child sends it: every item and
// every key reaches the handler it is meant for, with the command id other
// programs and older files know. The in-place frame's toolbar and the items
// it routes reach theirs too. The handlers are only watched, not run.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "document/brick_command.h"
#include "document/dizado_doc.h"
#include "document/document_services.h"
#include "model/brick.h"
#include "model/brick_class_library.h"
#include "model/brick_group.h"
#include "model/kit_list.h"
#include "platform/core/cmd_target.h"
#include "platform/core/hooks.h"
#include "platform/ui/app.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/menu.h"
#include "platform/ui/synthetic_input.h"
#include "shell/in_place_frame.h"
#include "shell/kid_frame.h"
#include "shell/kid_frame_host.h"
#include "tests/shell/app_fixture.h"
#include "tests/shell/kit_shell.h"
#include "views/iso_brick_pane.h"

namespace shelltest {
namespace {

constexpr const char* kNone = nullptr;  // no handler anywhere on the route

struct MenuRow {
    const char* popup;
    const char* text;
    UINT id;
    const char* handler;
    const char* inPlace = kNone;  // the handler through the in-place frame, when it routes the command
};

// The kid frame's menu.
const MenuRow kMenu[] = {
    {"&File", "&New\tCtrl+N", 57600, "CDizadoApp::OnFileNew"},
    {"&File", "&Open...\tCtrl+O", 57601, "CDizadoApp::OnFileOpen"},
    {"&File", "&Save\tCtrl+S", 57603, "CDizadoDoc::OnFileSave"},
    {"&File", "Save &As...", 57604, "CDocument::OnFileSaveAs"},
    {"&File", "Preferences ...", 32780, "CDizadoApp::OnSettings"},
    {"&File", "P&rint Setup...", 57606, "CDizadoApp::OnFilePrintSetup"},
    {"&File", "Recent File", 57616, "CWinApp::OnOpenRecentFile"},
    {"&File", "E&xit", 57665, "CWinApp::OnAppExit"},
    {"&Edit", "&Undo\tCtrl+Z", 57643, "CDizadoDoc::OnEditUndo"},
    {"&Edit", "Cu&t\tCtrl+X", 57635, "CDizadoDoc::OnEditCut", "CDizadoDoc::OnEditCut"},
    {"&Edit", "&Copy\tCtrl+C", 57634, "CDizadoDoc::OnEditCopy", "CDizadoDoc::OnEditCopy"},
    {"&Edit", "&Paste\tCtrl+V", 57637, "CDizadoDoc::OnEditPaste", "CDizadoDoc::OnEditPaste"},
    {"&Edit", "C&lear\tDel", 57632, "CDizadoDoc::OnEditClear"},
    {"&Edit", "Select &All\tCtrl+A", 32771, "CDizadoDoc::OnEditSelectAll"},
    {"&Edit", "Select &None\tCtrl+K", 32772, "CDizadoDoc::OnEditSelectNone"},
    {"&Edit", "&Duplicate\tCtrl+D", 32773, "CDizadoDoc::OnEditDuplicate"},
    {"&Options", "Show Base&plate", 32777, "CDizadoDoc::OnShowBaseplate"},
    {"&Help", "&Index", 57666, "CFrameWnd::OnHelpIndex", "CInPlaceFrame::OnHelpIndex"},
    {"&Help", "&Using Help", 57668, "CFrameWnd::OnHelpUsing", "CInPlaceFrame::OnHelpUsing"},
    {"&Help", "&About Dizado...", 57664, "CDizadoApp::OnAppAbout", "CDizadoApp::OnAppAbout"},
};

struct KeyRow {
    const char* key;  // modifiers, then the key
    UINT id;
    const char* handler;
    const char* inPlace = kNone;
};

// The kid frame's keys.
const KeyRow kKeys[] = {
    {"A", 600, "CDizadoDoc::OnTool"},
    {"Ctrl+A", 32771, "CDizadoDoc::OnEditSelectAll"},
    {"B", 602, "CDizadoDoc::OnTool"},
    {"Ctrl+C", 57634, "CDizadoDoc::OnEditCopy", "CDizadoDoc::OnEditCopy"},
    {"Ctrl+D", 32773, "CDizadoDoc::OnEditDuplicate"},
    {"E", 603, "CDizadoDoc::OnTool"},
    {"Ctrl+G", 32774, "CDizadoDoc::OnGroup"},
    {"Ctrl+K", 32772, "CDizadoDoc::OnEditSelectNone"},
    {"Ctrl+N", 57600, "CDizadoApp::OnFileNew"},
    {"Ctrl+M", 32781, "CKidFrame::OnToggleMenuBar"},
    {"Ctrl+O", 57601, "CDizadoApp::OnFileOpen"},
    {"P", 601, "CDizadoDoc::OnTool"},
    {"Ctrl+P", 57607, "CIsoBrickPane::OnFilePrint"},
    {"Ctrl+S", 57603, "CDizadoDoc::OnFileSave"},
    {"Ctrl+U", 32775, "CDizadoDoc::OnUngroup"},
    {"Ctrl+V", 57637, "CDizadoDoc::OnEditPaste", "CDizadoDoc::OnEditPaste"},
    {"Alt+Backspace", 57643, "CDizadoDoc::OnEditUndo"},
    {"Delete", 57632, "CDizadoDoc::OnEditClear"},
    {"Shift+Delete", 57635, "CDizadoDoc::OnEditCut", "CDizadoDoc::OnEditCut"},
    {"Down", 610, "CDizadoDoc::OnDirection"},
    {"Shift+Down", 609, "CDizadoDoc::OnDirection"},
    {"Escape", 32772, "CDizadoDoc::OnEditSelectNone"},
    {"F1", 57670, "CFrameWnd::OnHelp", "CInPlaceFrame::OnHelp"},
    {"Shift+F1", 57669, "CFrameWnd::OnContextHelp", "CInPlaceFrame::OnContextHelp"},
    // There is never a second pane to go to.
    {"F6", 57680, kNone},
    {"Shift+F6", 57681, kNone},
    {"Ctrl+Insert", 57634, "CDizadoDoc::OnEditCopy", "CDizadoDoc::OnEditCopy"},
    {"Shift+Insert", 57637, "CDizadoDoc::OnEditPaste", "CDizadoDoc::OnEditPaste"},
    {"Left", 608, "CDizadoDoc::OnDirection"},
    {"Shift+Left", 611, "CDizadoDoc::OnDirection"},
    {"Right", 606, "CDizadoDoc::OnDirection"},
    {"Shift+Right", 607, "CDizadoDoc::OnDirection"},
    {"Tab", 500, "CDizadoDoc::OnToggleTool"},
    {"Up", 604, "CDizadoDoc::OnDirection"},
    {"Shift+Up", 605, "CDizadoDoc::OnDirection"},
    {"Ctrl+X", 57635, "CDizadoDoc::OnEditCut", "CDizadoDoc::OnEditCut"},
    {"Ctrl+Z", 57643, "CDizadoDoc::OnEditUndo"},
};

const std::map<int, std::string> kKeyNames = {{0x08, "Backspace"}, {0x09, "Tab"},   {0x1B, "Escape"}, {0x25, "Left"},
                                              {0x26, "Up"},        {0x27, "Right"}, {0x28, "Down"},   {0x2D, "Insert"},
                                              {0x2E, "Delete"},    {0x70, "F1"},    {0x75, "F6"}};

// An entry as the table above writes it.
std::string KeyText(const platform::AcceleratorEntry& entry)
{
    std::string text;
    if (entry.flags & FCONTROL)
        text += "Ctrl+";
    if (entry.flags & FSHIFT)
        text += "Shift+";
    if (entry.flags & FALT)
        text += "Alt+";
    const auto named = kKeyNames.find(entry.key);
    if (named != kKeyNames.end())
        return text + named->second;
    if ((entry.key >= 'A' && entry.key <= 'Z') || (entry.key >= '0' && entry.key <= '9'))
        return text + static_cast<char>(entry.key);
    return text + "key " + std::to_string(entry.key);
}

// The handlers a command reached, by table and member; none of them runs.
class Watch {
public:
    Watch()
    {
        m_previous = platform::SetCommandDispatchHook(
            [this](CCmdTarget*, const AFX_MSGMAP* map, const AFX_MSGMAP_ENTRY* entry) {
                const std::string member = entry->pszHandler ? entry->pszHandler : "?";
                reached.push_back(member.find("::") != std::string::npos
                                      ? member
                                      : std::string(map->pszClassName ? map->pszClassName : "?") + "::" + member);
                return false;
            });
    }
    ~Watch() { platform::SetCommandDispatchHook(m_previous); }
    std::vector<std::string> Take() { return std::exchange(reached, {}); }
    std::vector<std::string> reached;

private:
    platform::CommandDispatchHook m_previous;
};

std::vector<std::string> Expected(const char* handler)
{
    return handler ? std::vector<std::string>{handler} : std::vector<std::string>{};
}

// The container an embedded model is edited in, kept by the test.
class ContainerFrame : public CFrameWnd {
protected:
    void PostNcDestroy() override {}
};

class CommandRoute : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        classes.ScanKits();
        classes.LoadPalette();
        SetBrickServices(&classes);
        SetKidFrameHost(&shell);
        SetDocumentShell(&shell);
        platform::EnsureToolkit();
        previousFrames = platform::SetDocumentFrames(platform::WindowDocumentFrames());
        previousKeys = platform::SetKeyStateHook([this](int key) -> SHORT { return held.count(key) ? -32768 : 0; });
        // A recent file, so that its item is there to choose.
        App().LoadStdProfileSettings(4);
        App().AddToRecentFileList((home.root / "tower.brk").string().c_str());
    }
    void TearDown() override
    {
        if (inPlace)
            inPlace->DestroyWindow();
        containerDoc.DestroyWindow();
        containerFrame.DestroyWindow();
        docTemplate.CloseAllDocuments(FALSE);
        platform::ProcessPendingEvents();
        platform::SetKeyStateHook(previousKeys);
        platform::SetDocumentFrames(previousFrames);
        SetDocumentShell(nullptr);
        SetKidFrameHost(nullptr);
        SetBrickServices(nullptr);
        AppTest::TearDown();
    }

    // A model in which every edit the menu and keys offer is enabled: bricks
    // selected at the top and in a group, bricks on the clipboard, an edit
    // to undo.
    void FillModel()
    {
        CBrickGroup* root = doc->GetBrickList();
        CBrick::Make(root, CPoint3D(0, 0, 0), IDC_BUILTIN_CLASS, 0, 0, 0)->SetSelected(TRUE);
        CBrick::Make(root, CPoint3D(4, 0, 0), IDC_BUILTIN_CLASS, 0, 0, 0)->SetSelected(TRUE);
        auto* group = new CBrickGroup;
        group->SetParent(root);
        CBrick::Make(group, CPoint3D(8, 0, 0), IDC_BUILTIN_CLASS, 0, 0, 0)->SetSelected(TRUE);
        ASSERT_TRUE(doc->CopyToClipboard());
        doc->SetLastAction(new CBrickCommand(CBrickCommand::labelAdd));
    }

    void OpenInKidFrame()
    {
        doc = dynamic_cast<CDizadoDoc*>(docTemplate.OpenDocumentFile(nullptr, TRUE));
        ASSERT_NE(doc, nullptr);
        frame = dynamic_cast<CKidFrame*>(AfxGetThread()->m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        frame->MoveWindow(0, 0, 640, 480);
        platform::ProcessPendingEvents();
        FillModel();
    }

    void OpenInPlace()
    {
        doc = dynamic_cast<CDizadoDoc*>(docTemplate.OpenDocumentFile(nullptr, FALSE));
        ASSERT_NE(doc, nullptr);
        docTemplate.SetServerInfo(IDR_SRVR_EMBEDDED, IDR_SRVR_INPLACE, RUNTIME_CLASS(CInPlaceFrame));
        ASSERT_TRUE(containerFrame.Create(nullptr, "Container", WS_OVERLAPPEDWINDOW, RECT{0, 0, 640, 480}));
        ASSERT_TRUE(containerDoc.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{40, 60, 440, 360},
                                        &containerFrame, 1));
        containerFrame.ShowWindow(SW_SHOW);
        platform::ProcessPendingEvents();
        inPlace = dynamic_cast<CInPlaceFrame*>(
            platform::ActivateInPlace(docTemplate, *doc, containerDoc, containerFrame));
        ASSERT_NE(inPlace, nullptr);
        platform::ProcessPendingEvents();
        FillModel();
    }

    // The key pressed with its modifiers held, as the frame sees it before
    // the pane: whether the frame took it as one of its keys.
    BOOL PressKey(const platform::AcceleratorEntry& entry)
    {
        held.clear();
        if (entry.flags & FCONTROL)
            held.insert(VK_CONTROL);
        if (entry.flags & FSHIFT)
            held.insert(VK_SHIFT);
        if (entry.flags & FALT)
            held.insert(VK_MENU);
        MSG msg;
        msg.hwnd = frame->GetActiveView()->GetSafeHwnd();
        msg.message = (entry.flags & FALT) ? WM_SYSKEYDOWN : WM_KEYDOWN;
        msg.wParam = entry.key;
        const BOOL taken = frame->PreTranslateMessage(&msg);
        held.clear();
        return taken;
    }

    CBrickClassLibrary classes{CString(DIZADO_PROGRAM_FOLDER)};
    shelltest::KitShell shell{classes};
    CSingleDocTemplate docTemplate{IDR_MAINFRAME, RUNTIME_CLASS(CDizadoDoc), RUNTIME_CLASS(CKidFrame),
                                   RUNTIME_CLASS(CIsoBrickPane)};
    platform::IDocumentFrames* previousFrames = nullptr;
    platform::KeyStateHook previousKeys;
    std::set<int> held;
    CDizadoDoc* doc = nullptr;
    CKidFrame* frame = nullptr;
    ContainerFrame containerFrame;
    CWnd containerDoc;
    CInPlaceFrame* inPlace = nullptr;
};

TEST_F(CommandRoute, EveryMenuItemReachesItsHandlerThroughTheKidFrame)
{
    OpenInKidFrame();
    // Scrolled down, so that paging up is offered too.
    frame->GetBrickListBox().SetTopIndex(1);
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    ASSERT_NE(frame->GetMenu(), nullptr);

    const CBrickCommand* held = doc->GetLastAction();
    const int bricks = doc->GetBrickList()->GetBrickCount();
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MAINFRAME));
    std::set<std::string> found;
    Watch watch;
    for (const CMenu::Item& popup : menu.Items()) {
        ASSERT_TRUE(popup.popup) << popup.text;
        for (const CMenu::Item& item : popup.popup->Items()) {
            if (item.state & MF_SEPARATOR)
                continue;
            const std::string where = std::string(popup.text.c_str()) + " / " + item.text.c_str();
            SCOPED_TRACE(where);
            const MenuRow* row = nullptr;
            for (const MenuRow& r : kMenu)
                if (popup.text == r.popup && item.text == r.text)
                    row = &r;
            if (!row) {
                ADD_FAILURE() << "an item with no row: " << where;
                continue;
            }
            found.insert(where);
            EXPECT_EQ(item.id, row->id);
            ASSERT_TRUE(platform::ChooseMenuItem(frame, item.id));
            EXPECT_EQ(watch.Take(), Expected(row->handler));
        }
    }
    for (const MenuRow& row : kMenu)
        EXPECT_TRUE(found.count(std::string(row.popup) + " / " + row.text)) << "not in the menu: " << row.text;
    // Watched, not run.
    EXPECT_EQ(doc->GetLastAction(), held);
    EXPECT_EQ(doc->GetBrickList()->GetBrickCount(), bricks);
    EXPECT_TRUE(frame->IsMenuBarShown());
}

TEST_F(CommandRoute, EveryKeyReachesItsHandlerThroughTheKidFrame)
{
    OpenInKidFrame();
    HACCEL keys = LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
    ASSERT_NE(keys, nullptr);
    std::set<std::string> found;
    Watch watch;
    for (const platform::AcceleratorEntry& entry : keys->entries) {
        const std::string key = KeyText(entry);
        SCOPED_TRACE(key);
        EXPECT_TRUE(entry.flags & FVIRTKEY);
        const KeyRow* row = nullptr;
        for (const KeyRow& r : kKeys)
            if (key == r.key)
                row = &r;
        if (!row) {
            ADD_FAILURE() << "a key with no row: " << key << " (command " << entry.command << ")";
            continue;
        }
        EXPECT_TRUE(found.insert(key).second) << "the key twice";
        EXPECT_EQ(entry.command, row->id);
        EXPECT_TRUE(PressKey(entry));
        EXPECT_EQ(watch.Take(), Expected(row->handler));
    }
    for (const KeyRow& row : kKeys)
        EXPECT_TRUE(found.count(row.key)) << "not among the keys: " << row.key;
}

TEST_F(CommandRoute, TheInPlaceToolbarAndTheItemsItRoutesReachTheirHandlers)
{
    OpenInPlace();
    Watch watch;
    std::map<UINT, const char*> routed;
    for (const MenuRow& row : kMenu)
        if (row.inPlace)
            routed[row.id] = row.inPlace;
    for (const KeyRow& row : kKeys)
        if (row.inPlace)
            routed[row.id] = row.inPlace;
    for (const auto& [id, handler] : routed) {
        SCOPED_TRACE("command " + std::to_string(id));
        inPlace->SendMessage(WM_COMMAND, id, 0);
        EXPECT_EQ(watch.Take(), Expected(handler));
    }

    // Each button of the toolbar, clicked, is one of those.
    CToolBar& bar = inPlace->GetToolBar();
    int left = 0;
    int buttons = 0;
    for (int index = 0; index < bar.GetCount(); ++index) {
        const UINT id = bar.GetItemID(index);
        if (id == ID_SEPARATOR) {
            left += CToolBar::kSeparatorWidth;
            continue;
        }
        SCOPED_TRACE("button " + std::to_string(id));
        ++buttons;
        const POINT point{left + 5, 5};
        platform::SendMouseInput(&bar, platform::MouseAction::Press, platform::MouseButton::Left, point, MK_LBUTTON, 0);
        platform::SendMouseInput(&bar, platform::MouseAction::Release, platform::MouseButton::Left, point, 0, 0);
        platform::ProcessPendingEvents();
        const auto expected = routed.find(id);
        ASSERT_NE(expected, routed.end()) << "a button the frame does not route";
        EXPECT_EQ(watch.Take(), Expected(expected->second));
        left += CToolBar::kButtonWidth;
    }
    EXPECT_GT(buttons, 0);
}

}  // namespace
}  // namespace shelltest
