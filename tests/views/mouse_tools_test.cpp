// The mouse tools as a user drives them: mouse input goes through the layer's
// toolkit path into a pane in a window (headless), drags run the layer's drag
// loop, and what the commands did is read back from the model and the undo.
#include "views_fixture.h"

#include <chrono>
#include <functional>
#include <thread>

#include "document/add_brick_command.h"
#include "document/brick_command.h"
#include "document/move_command.h"
#include "foundation/sound_player.h"
#include "platform/core/exceptions.h"
#include "platform/core/hooks.h"
#include "platform/ui/app.h"
#include "platform/ui/cursor.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/drag_loop.h"
#include "platform/ui/frame_wnd.h"
#include "platform/ui/synthetic_input.h"
#include "tests/support/message_box_recorder.h"
#include "views/pane_mouse_site.h"

namespace viewstest {
namespace {

void Spin(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        platform::ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < end);
}

// A pane whose drag feedback can be made to fail, to see a drag end cleanly.
class FaultyPane : public CIsoBrickPane {
    DECLARE_DYNCREATE(FaultyPane)
public:
    static inline int failAfterMoves = -1;
    void MoveBlinker(int dx, int dy) override
    {
        if (failAfterMoves >= 0 && failAfterMoves-- == 0)
            AfxThrowMemoryException();
        CIsoBrickPane::MoveBlinker(dx, dy);
    }
};
IMPLEMENT_DYNCREATE(FaultyPane, CIsoBrickPane)

class MouseTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.ScanKits();
        library.LoadPalette();
        SetBrickServices(&library);
        SetSoundSwitch(FALSE);
        platform::EnsureToolkit();
        previousFrames = platform::SetDocumentFrames(platform::WindowDocumentFrames());
        previousKeys = platform::SetKeyStateHook([this](int key) -> SHORT {
            if (onKey)
                onKey(key);
            return (key == 0x20 && space) || (key == 0x10 && shift) ? static_cast<SHORT>(0x8000) : 0;
        });
        previousBeep = platform::SetBeepHook([this](UINT) { ++beeps; });
        doc = dynamic_cast<CDizadoDoc*>(docTemplate.OpenDocumentFile(nullptr, TRUE));
        ASSERT_NE(doc, nullptr);
        POSITION position = doc->GetFirstViewPosition();
        pane = dynamic_cast<CIsoBrickPane*>(doc->GetNextView(position));
        ASSERT_NE(pane, nullptr);
        pane->GetParentFrame()->MoveWindow(0, 0, 480, 360);
        Spin(20);
    }
    void TearDown() override
    {
        FaultyPane::failAfterMoves = -1;
        docTemplate.CloseAllDocuments(FALSE);
        platform::ProcessPendingEvents();
        platform::SetDocumentFrames(previousFrames);
        platform::SetKeyStateHook(previousKeys);
        platform::SetBeepHook(previousBeep);
        SetSoundSwitch(TRUE);
        SetBrickServices(nullptr);
    }

    CBrickGroup* Root() { return doc->GetBrickList(); }
    CBrick* Add(int x, int y, int z, SHORT classId = 2009, LONG colour = 1)
    {
        return CBrick::Make(Root(), CPoint3D(x, y, z), classId, colour, 0, 0);
    }
    // A client point over the middle of grid cell (x, y) on the plane of height z.
    POINT Over(int x, int y, int z)
    {
        POINT p;
        pane->ProjectXYZ(&p, x, y, z);
        p.y -= 5;
        CPoint3D back;
        pane->ScreenToGrid(&back, p.x, p.y, z, 2);
        EXPECT_EQ(back, CPoint3D(x, y, z));
        return p;
    }

    // Until the press has been handled and made a command, or a while.
    void Settle(const CBrickCommand* before)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (doc->GetLastAction() == before && std::chrono::steady_clock::now() < end)
            Spin(5);
        Spin(10);
    }
    void Click(POINT p, UINT keys = 0)
    {
        const CBrickCommand* before = doc->GetLastAction();
        platform::PostMouseInput(pane, WM_LBUTTONDOWN, p, MK_LBUTTON | keys);
        platform::PostMouseInput(pane, WM_LBUTTONUP, p, keys);
        Settle(before);
    }
    // Press, a few moves on the way, release: one drag.
    void Drag(POINT from, POINT to, UINT keys = 0, int steps = 4)
    {
        const CBrickCommand* before = doc->GetLastAction();
        platform::PostMouseInput(pane, WM_LBUTTONDOWN, from, MK_LBUTTON | keys);
        for (int i = 1; i <= steps; ++i) {
            const POINT p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
            platform::PostMouseInput(pane, WM_MOUSEMOVE, p, MK_LBUTTON | keys);
        }
        platform::PostMouseInput(pane, WM_LBUTTONUP, to, keys);
        Settle(before);
    }
    void Undo()
    {
        ASSERT_NE(doc->GetLastAction(), nullptr);
        doc->GetLastAction()->Toggle();
    }
    WORD LastLabel() { return doc->GetLastAction() ? doc->GetLastAction()->GetLabel() : 0xFFFF; }

    CBrickClassLibrary library{CString(DIZADO_PROGRAM_FOLDER)};
    CWinThread app;
    CSingleDocTemplate docTemplate{0, RUNTIME_CLASS(CDizadoDoc), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(FaultyPane)};
    platform::IDocumentFrames* previousFrames = nullptr;
    platform::KeyStateHook previousKeys;
    platform::BeepHook previousBeep;
    std::function<void(int)> onKey;
    bool space = false;
    bool shift = false;
    int beeps = 0;
    CDizadoDoc* doc = nullptr;
    CIsoBrickPane* pane = nullptr;
};

TEST_F(MouseTools, NewBrickOnTheGroundAndOnABrickTopWithUndoAndRedo)
{
    doc->OnTool(602);
    doc->SetCurrentBrickType(2007);
    doc->SetCurrentColorIndex(4);
    doc->SetCurrentOrientationIndex(1);
    Click(Over(3, 4, 0));
    ASSERT_EQ(Root()->GetBrickCount(), 1);
    CBrick* ground = Root()->GetBrick(0);
    EXPECT_EQ(*ground->GetPositionPtr(), CPoint3D(3, 4, 0));
    EXPECT_EQ(ground->GetClassId(), 2007);
    EXPECT_EQ(ground->GetColorIndex(), 4);
    EXPECT_EQ(ground->GetOrientation(), 1);
    EXPECT_TRUE(ground->IsSelectedFlag());
    EXPECT_EQ(LastLabel(), CBrickCommand::labelAdd);

    // On its top: the new brick sits at the top of the brick clicked and is
    // now the only one selected.
    const CBox3D box = ground->GetWorldBox();
    Click(Over(box.Min().X(), box.Min().Y(), box.Max().Z()));
    ASSERT_EQ(Root()->GetBrickCount(), 2);
    CBrick* top = Root()->GetBrick(1);
    EXPECT_EQ(*top->GetPositionPtr(), CPoint3D(box.Min().X(), box.Min().Y(), box.Max().Z()));
    EXPECT_FALSE(ground->IsSelectedFlag());
    EXPECT_TRUE(top->IsSelectedFlag());
    EXPECT_EQ(beeps, 0);

    Undo();
    EXPECT_EQ(Root()->GetBrickCount(), 1);
    Undo();
    ASSERT_EQ(Root()->GetBrickCount(), 2);
    EXPECT_EQ(Root()->GetBrick(1), top);
}

TEST_F(MouseTools, NewBrickClickOnABrickSideBeepsAndPlacesNothing)
{
    doc->OnTool(602);
    CBrick* brick = Add(4, 4, 0);
    Spin(10);
    const CBox3D box = brick->GetWorldBox();
    // Low on the front corner: the brick is hit, but its top plane lies far
    // behind the pointer.
    POINT p;
    pane->ProjectXYZ(&p, box.Min().X(), box.Min().Y(), 0);
    p.y -= 4;
    CBrick* hit = nullptr;
    ASSERT_TRUE(pane->HitTest(p, &hit));
    ASSERT_EQ(hit, brick);
    Click(p);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Root()->GetBrickCount(), 1);
    EXPECT_EQ(LastLabel(), CBrickCommand::labelAdd);
    Undo();
    EXPECT_EQ(Root()->GetBrickCount(), 1);
    EXPECT_EQ(*brick->GetPositionPtr(), CPoint3D(4, 4, 0));
}

TEST_F(MouseTools, UnknownCurrentClassPlacesTheBuiltInBrickTheCursorShows)
{
    doc->OnTool(602);
    doc->SetCurrentBrickType(4321);
    EXPECT_EQ(pane->GetCursorBrick()->GetClassId(), IDC_BUILTIN_CLASS);
    Click(Over(2, 2, 0));
    ASSERT_EQ(Root()->GetBrickCount(), 1);
    EXPECT_EQ(Root()->GetBrick(0)->GetClassId(), IDC_BUILTIN_CLASS);
}

TEST_F(MouseTools, NewBrickDraggedBeforeTheReleaseStaysAtItsHeight)
{
    doc->OnTool(602);
    CBrick* base = Add(2, 2, 0);
    Spin(10);
    const CBox3D box = base->GetWorldBox();
    const int top = box.Max().Z();
    // Pressed on the top, dragged three cells along x before the release.
    Drag(Over(2, 2, top), Over(5, 2, top));
    ASSERT_EQ(Root()->GetBrickCount(), 2);
    CBrick* made = Root()->GetBrick(1);
    // The drag's offset is measured on the ground plane: no z part.
    EXPECT_EQ(*made->GetPositionPtr(), CPoint3D(5, 2, top));
    Undo();
    EXPECT_EQ(Root()->GetBrickCount(), 1);
    EXPECT_EQ(*made->GetPositionPtr(), CPoint3D(2, 2, top));
    Undo();
    EXPECT_EQ(Root()->GetBrickCount(), 2);
    EXPECT_EQ(*made->GetPositionPtr(), CPoint3D(5, 2, top));
}

TEST_F(MouseTools, MoveDragsTheSelectionAndUndoRedoAlternate)
{
    doc->OnTool(600);
    CBrick* a = Add(2, 2, 0);
    CBrick* b = Add(8, 2, 0);
    CBrick* fixed = Add(2, 8, 0);
    for (CBrick* brick : {a, b, fixed})
        brick->SetSelected(TRUE);
    fixed->SetMoveable(FALSE);
    Spin(10);
    const int top = a->GetWorldBox().Max().Z();
    // Pressed on a selected brick: the selection stays and moves as one.
    Drag(Over(2, 2, top), Over(5, 1, top));
    const CPoint3D offset = *a->GetPositionPtr() - CPoint3D(2, 2, 0);
    EXPECT_NE(offset, CPoint3D());
    EXPECT_EQ(offset.Z(), 0);
    EXPECT_EQ(*b->GetPositionPtr(), CPoint3D(8, 2, 0) + offset);
    EXPECT_EQ(*fixed->GetPositionPtr(), CPoint3D(2, 8, 0)) << "not moveable";
    EXPECT_EQ(LastLabel(), CBrickCommand::labelMove);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    Undo();
    EXPECT_EQ(*a->GetPositionPtr(), CPoint3D(2, 2, 0));
    EXPECT_EQ(*b->GetPositionPtr(), CPoint3D(8, 2, 0));
    Undo();
    EXPECT_EQ(*a->GetPositionPtr(), CPoint3D(2, 2, 0) + offset);

    // A press and release in place: only the selection changes, and the
    // undo changes nothing.
    Click(Over(8 + offset.X(), 2 + offset.Y(), top));
    EXPECT_EQ(*b->GetPositionPtr(), CPoint3D(8, 2, 0) + offset);
    Undo();
    EXPECT_EQ(*b->GetPositionPtr(), CPoint3D(8, 2, 0) + offset);
}

TEST_F(MouseTools, SpaceMovesUpAndShiftTogglesTheSelection)
{
    doc->OnTool(600);
    CBrick* a = Add(2, 2, 0);
    CBrick* b = Add(8, 2, 0);
    Spin(10);
    const int top = a->GetWorldBox().Max().Z();

    // Click selects only the brick clicked; Shift+click adds and removes.
    Click(Over(2, 2, top));
    EXPECT_TRUE(a->IsSelectedFlag());
    Click(Over(8, 2, top), MK_SHIFT);
    EXPECT_TRUE(a->IsSelectedFlag());
    EXPECT_TRUE(b->IsSelectedFlag());
    Click(Over(8, 2, top), MK_SHIFT);
    EXPECT_FALSE(b->IsSelectedFlag());

    // With Space the drag goes up the vertical plane of constant y.
    space = true;
    POINT from = Over(2, 2, top);
    Drag(from, POINT{from.x, from.y - 40});
    space = false;
    EXPECT_GT(a->GetPositionPtr()->Z(), 0);
    EXPECT_EQ(a->GetPositionPtr()->Y(), 2);
    EXPECT_EQ(*b->GetPositionPtr(), CPoint3D(8, 2, 0));
}

TEST_F(MouseTools, ShiftClickOnAGroupTogglesTheWholeOuterGroup)
{
    doc->OnTool(600);
    CBrickGroup* outer = new CBrickGroup;
    outer->SetParent(Root());
    CBrickGroup* inner = new CBrickGroup;
    inner->SetParent(outer);
    CBrick* a = CBrick::Make(outer, CPoint3D(2, 2, 0), 2009, 1, 0, 0);
    CBrick* b = CBrick::Make(inner, CPoint3D(8, 2, 0), 2009, 1, 0, 0);
    Spin(10);
    const int top = a->GetWorldBox().Max().Z();
    Click(Over(2, 2, top), MK_SHIFT);
    EXPECT_TRUE(a->IsSelectedFlag());
    EXPECT_TRUE(b->IsSelectedFlag());
    Click(Over(8, 2, top), MK_SHIFT);
    EXPECT_FALSE(a->IsSelectedFlag());
    EXPECT_FALSE(b->IsSelectedFlag());
}

TEST_F(MouseTools, MarqueeSelectsWhatItEnclosesEitherWayAndShiftToggles)
{
    doc->OnTool(600);
    CBrick* a = Add(2, 2, 0);
    CBrick* b = Add(6, 2, 0);
    CBrick* far = Add(16, 14, 0);
    Spin(10);
    RECT around{10000, 10000, -10000, -10000};
    for (CBrick* brick : {a, b}) {
        RECT r;
        pane->ProjectBox(&r, brick->GetWorldBox());
        UnionRect(&around, &around, &r);
    }
    InflateRect(&around, 4, 4);
    struct Case {
        POINT from, to;
    };
    for (const Case& c : {Case{{around.left, around.top}, {around.right, around.bottom}},
                          Case{{around.right, around.bottom}, {around.left, around.top}}}) {
        far->SetSelected(TRUE);
        a->SetSelected(FALSE);
        b->SetSelected(FALSE);
        Drag(c.from, c.to);
        EXPECT_TRUE(a->IsSelectedFlag());
        EXPECT_TRUE(b->IsSelectedFlag());
        EXPECT_FALSE(far->IsSelectedFlag());
        EXPECT_EQ(LastLabel(), CBrickCommand::labelNone);
    }
    // With Shift the band toggles what it encloses and keeps the rest.
    far->SetSelected(TRUE);
    Drag(POINT{around.left, around.top}, POINT{around.right, around.bottom}, MK_SHIFT);
    EXPECT_FALSE(a->IsSelectedFlag());
    EXPECT_FALSE(b->IsSelectedFlag());
    EXPECT_TRUE(far->IsSelectedFlag());
    // A click on empty ground deselects everything; its undo changes nothing.
    Click(POINT{5, 5});
    EXPECT_FALSE(far->IsSelectedFlag());
    Undo();
    EXPECT_FALSE(far->IsSelectedFlag());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(MouseTools, PaintAndEraseActOnClickAndUndo)
{
    CBrick* loose = Add(2, 2, 0, 2009, 1);
    CBrickGroup* group = new CBrickGroup;
    group->SetParent(Root());
    CBrickGroup* inner = new CBrickGroup;
    inner->SetParent(group);
    CBrick* grouped = CBrick::Make(inner, CPoint3D(8, 2, 0), 2009, 1, 0, 0);
    CBrick::Make(group, CPoint3D(12, 2, 0), 2009, 1, 0, 0);
    Spin(10);
    const int top = loose->GetWorldBox().Max().Z();

    doc->OnTool(601);
    doc->SetCurrentColorIndex(5);
    Click(Over(2, 2, top));
    EXPECT_EQ(loose->GetColorIndex(), 5);
    Undo();
    EXPECT_EQ(loose->GetColorIndex(), 1);
    // Nothing under the pointer: the undo record stays as it was.
    CBrickCommand* held = doc->GetLastAction();
    Click(POINT{5, 5});
    EXPECT_EQ(doc->GetLastAction(), held);

    doc->OnTool(603);
    Click(Over(8, 2, top));  // a brick deep in a group: the outermost group goes
    EXPECT_EQ(Root()->GetSubGroupCount(), 0);
    EXPECT_EQ(Root()->GetBrickCount(), 1);
    Undo();
    EXPECT_EQ(Root()->GetSubGroupCount(), 1);
    EXPECT_EQ(grouped->GetOuterGroup(), group);
    Click(Over(2, 2, top));  // a brick of the root alone
    EXPECT_EQ(Root()->GetBrickCount(), 0);
    EXPECT_EQ(Root()->GetSubGroupCount(), 1);
}

TEST_F(MouseTools, PickUpTakesClassColourAndOrientationWithAnyTool)
{
    CBrick* model = CBrick::Make(Root(), CPoint3D(3, 3, 0), 2007, 6, 0, 3);
    Spin(10);
    doc->OnTool(603);
    CBrickCommand* held = doc->GetLastAction();
    const BOOL modified = doc->IsModified();
    Click(Over(3, 3, model->GetWorldBox().Max().Z()), MK_SHIFT | MK_CONTROL);
    EXPECT_EQ(doc->GetCurrentBrickType(), 2007);
    EXPECT_EQ(doc->GetCurrentColorIndex(), 6);
    EXPECT_EQ(doc->GetCurrentOrientationIndex(), 3);
    EXPECT_EQ(Root()->GetBrickCount(), 1) << "the erase tool did not act";
    EXPECT_EQ(doc->GetLastAction(), held);
    EXPECT_EQ(doc->IsModified(), modified);
    // The cursor brick already shows the brick the next click places.
    EXPECT_EQ(pane->GetCursorBrick()->GetClassId(), 2007);
    EXPECT_EQ(pane->GetCursorBrick()->GetOrientation(), 3);
}

TEST_F(MouseTools, HoverOutlineSitsOnGroundOrTopAndHidesOverASide)
{
    doc->OnTool(602);
    CBrick* brick = Add(6, 6, 0);
    Spin(10);
    const CBox3D box = brick->GetWorldBox();
    const auto move = [this](POINT p) {
        platform::SendMouseInput(pane, platform::MouseAction::Move, platform::MouseButton::None, p, 0, 0);
        Spin(5);
    };
    move(Over(1, 1, 0));
    EXPECT_EQ(CWnd::GetCapture(), pane);
    EXPECT_TRUE(pane->IsOutlineActive());
    EXPECT_TRUE(pane->IsOutlineDrawn());
    EXPECT_FALSE(pane->GetCursorOutline().IsEmpty());
    const RECT ground = pane->GetCursorOutline().GetBounds();

    // Within the same cell the outline is not redrawn.
    const platform::Surface shown = *pane->GetBackingSurface();
    POINT same = Over(1, 1, 0);
    same.x += 1;
    move(same);
    EXPECT_EQ(0, std::memcmp(shown.Bits(), pane->GetBackingSurface()->Bits(), shown.Width() * shown.Height() * 4));

    // On the brick's top: the same outline, moved to the top's grid point.
    move(Over(6, 6, box.Max().Z()));
    const RECT onTop = pane->GetCursorOutline().GetBounds();
    POINT a;
    POINT b;
    pane->ProjectXYZ(&a, 6, 6, box.Max().Z());
    pane->ProjectXYZ(&b, 1, 1, 0);
    EXPECT_EQ(onTop.left - ground.left, a.x - b.x);
    EXPECT_EQ(onTop.top - ground.top, a.y - b.y);

    POINT side;
    pane->ProjectXYZ(&side, box.Min().X(), box.Min().Y(), 0);
    side.y -= 4;
    move(side);
    EXPECT_TRUE(pane->GetCursorOutline().IsEmpty());

    // Leaving the pane lets the capture go and takes the outline away; moving
    // back in brings both back.
    POINT outside{-20, -20};
    pane->ClientToScreen(&outside);
    platform::SetTestCursorPos(outside);
    platform::SendMouseInput(pane, platform::MouseAction::Leave, platform::MouseButton::None, POINT{0, 0}, 0, 0);
    Spin(5);
    platform::ClearTestCursorPos();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_FALSE(pane->IsOutlineActive());
    EXPECT_FALSE(pane->IsOutlineDrawn());
    move(Over(1, 1, 0));
    EXPECT_EQ(CWnd::GetCapture(), pane);
    EXPECT_TRUE(pane->IsOutlineDrawn());
    // Another tool: the next motion lets it go.
    doc->OnTool(600);
    move(Over(2, 1, 0));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_FALSE(pane->IsOutlineDrawn());
}

// The drag's feedback is inverted and comes off completely: after the drop
// the screen shows the model as painted, nothing left inverted.
TEST_F(MouseTools, DragFeedbackLeavesNoStrayPixels)
{
    doc->OnTool(600);
    Add(2, 2, 0);
    Spin(20);
    const platform::Surface before = *pane->GetBackingSurface();
    // Around and back to where it started: the marquee, erased at each step.
    platform::PostMouseInput(pane, WM_LBUTTONDOWN, POINT{40, 40}, MK_LBUTTON);
    for (POINT p : {POINT{120, 90}, POINT{60, 140}, POINT{10, 10}, POINT{40, 40}})
        platform::PostMouseInput(pane, WM_MOUSEMOVE, p, MK_LBUTTON);
    platform::PostMouseInput(pane, WM_LBUTTONUP, POINT{40, 40}, 0);
    Spin(30);
    const platform::Surface& after = *pane->GetBackingSurface();
    EXPECT_EQ(0, std::memcmp(before.Bits(), after.Bits(), before.Width() * before.Height() * 4));
}

TEST_F(MouseTools, LostCaptureEndsTheDragAsOneUndoableMove)
{
    doc->OnTool(600);
    CBrick* a = Add(2, 2, 0);
    Spin(10);
    const int top = a->GetWorldBox().Max().Z();
    // Another window takes the capture in the middle of the drag.
    CWnd* frame = pane->GetParentFrame();
    int asked = 0;
    onKey = [&](int key) {
        if (key == 0x20 && ++asked == 2)
            frame->SetCapture();
    };
    platform::PostMouseInput(pane, WM_LBUTTONDOWN, Over(2, 2, top), MK_LBUTTON);
    platform::PostMouseInput(pane, WM_MOUSEMOVE, Over(4, 2, top), MK_LBUTTON);
    platform::PostMouseInput(pane, WM_MOUSEMOVE, Over(6, 2, top), MK_LBUTTON);
    platform::PostMouseInput(pane, WM_MOUSEMOVE, Over(8, 2, top), MK_LBUTTON);
    Spin(150);
    onKey = nullptr;
    ReleaseCapture();
    // Dropped where the pointer was last seen by the drag.
    EXPECT_EQ(*a->GetPositionPtr(), CPoint3D(6, 2, 0));
    EXPECT_EQ(LastLabel(), CBrickCommand::labelMove);
    Undo();
    EXPECT_EQ(*a->GetPositionPtr(), CPoint3D(2, 2, 0));
    // The release that came later changes nothing more.
    platform::PostMouseInput(pane, WM_LBUTTONUP, Over(8, 2, top), 0);
    Spin(20);
    EXPECT_EQ(*a->GetPositionPtr(), CPoint3D(2, 2, 0));
}

TEST_F(MouseTools, FailureInsideADragReleasesTheCaptureAndKeepsTheEdit)
{
    doc->OnTool(600);
    CBrick* a = Add(2, 2, 0);
    Spin(10);
    const int top = a->GetWorldBox().Max().Z();
    MessageBoxRecorder boxes;
    FaultyPane::failAfterMoves = 1;
    Drag(Over(2, 2, top), Over(8, 2, top));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(boxes.texts.size(), 1u);
    // The drag ended where it got to; what moved is one undo.
    const CPoint3D moved = *a->GetPositionPtr();
    EXPECT_EQ(LastLabel(), CBrickCommand::labelMove);
    Undo();
    EXPECT_EQ(*a->GetPositionPtr(), CPoint3D(2, 2, 0));
    Undo();
    EXPECT_EQ(*a->GetPositionPtr(), moved);
}

// Driven step by step on a pane without a window: the drop is what counts.
TEST_F(PaneTest, DropThatWouldLeaveTheGridIsRefused)
{
    int beeps = 0;
    platform::BeepHook previous = platform::SetBeepHook([&beeps](UINT) { ++beeps; });
    SetSoundSwitch(FALSE);
    CBrick* near = Add(2, 2, 0);
    CBrick* edge = Add(32760, 2, 0);
    near->SetSelected(TRUE);
    edge->SetSelected(TRUE);
    CPaneMouseSite site(&pane);
    platform::Surface surface(kWidth, kHeight);
    CDC dc(&surface);
    const auto drag = [&](int dx) {
        auto* command = new CMoveDizadoCommand(&site, 0, 2, 1);
        POINT from;
        pane.ProjectXYZ(&from, 2, 2, 0);
        from.y -= 5;
        POINT to;
        pane.ProjectXYZ(&to, 2 + dx, 2, 0);
        to.y -= 5;
        command->Track(&site, 0, from);  // no window: ends at the press
        command->BeginDrag(&dc, from.x, from.y);
        command->EndDrag(to.x, to.y, from.x, from.y, from.x, from.y);
        doc.SetLastAction(command);
    };
    drag(7);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(*near->GetPositionPtr(), CPoint3D(2, 2, 0));
    EXPECT_EQ(*edge->GetPositionPtr(), CPoint3D(32760, 2, 0));
    doc.GetLastAction()->Toggle();
    EXPECT_EQ(*edge->GetPositionPtr(), CPoint3D(32760, 2, 0));
    // Towards the grid's inside the same selection moves.
    drag(-1);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(*edge->GetPositionPtr(), CPoint3D(32759, 2, 0));
    EXPECT_EQ(*near->GetPositionPtr(), CPoint3D(1, 2, 0));
    platform::SetBeepHook(previous);
    SetSoundSwitch(TRUE);
}

// The footprint of a large scattered selection is the union of every brick's
// footprint, however large its block grows.
TEST_F(PaneTest, LargeSelectionFootprintIsWhole)
{
    std::vector<CBrick*> bricks;
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j)
            bricks.push_back(Add(i * 3 - 60, j * 3 - 60, (i + j) % 3));
    {
        CPaneHold hold(Root());
        Root()->SelectAll(TRUE);
    }
    CRegion footprint;
    pane.BuildListRegion(&footprint);
    EXPECT_GT(footprint.GetBlockSize(), CRegion::kMaxBlockBytes);
    for (CBrick* brick : {bricks.front(), bricks[801], bricks.back()}) {
        CBox3D ground = brick->GetWorldBox();
        ground.Min().Z() = 0;
        ground.Max().Z() = 0;
        RECT r;
        pane.ProjectBox(&r, ground);
        EXPECT_TRUE(footprint.PtInRegion(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    }
}

}  // namespace
}  // namespace viewstest
