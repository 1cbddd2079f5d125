// Bricks and brick lists driven by name: the brick's members with their
// codes, the position and bounds snapshots, the list accessors, and clients
// whose brick or group has left the model.
#include "tests/model/model_fixture.h"

#include "foundation/notification_codes.h"
#include "model/brick_automation.h"

namespace {

class BrickAutomationTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        root->SetModelRoot(TRUE);
    }

    static HRESULT Call(IDispatch* d, const char* name, std::initializer_list<COleVariant> args = {},
                        COleVariant* result = nullptr, WORD flags = DISPATCH_METHOD)
    {
        return d->Invoke(name, flags, args, result);
    }
    static LONG Get(IDispatch* d, const char* name)
    {
        COleVariant r;
        EXPECT_EQ(S_OK, d->Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, &r)) << name;
        return r.lVal;
    }
};

TEST_F(BrickAutomationTest, MembersReachTheBrickWithTheirCodes)
{
    CBrick* brick = MakeAt(root.get(), 1, 2, 3, testkit::kThreePoses, 2);
    IDispatch* d = brick->GetIDispatch(FALSE);
    struct Case {
        const char* setter;
        COleVariant value;
        const char* getter;
        LONG expected;
        UINT before;
    };
    const Case cases[] = {
        {"SetOrientation", COleVariant(SHORT{5}), "GetOrientation", 0, NOTIFY_ORIENTATION_CHANGING},
        {"SetOrientation", COleVariant(SHORT{-1}), "GetOrientation", 3, NOTIFY_ORIENTATION_CHANGING},
        {"SetType", COleVariant(testkit::kSquare), "GetType", testkit::kSquare, NOTIFY_CLASS_CHANGING},
        {"SetColor", COleVariant(SHORT{7}), "GetColor", 7, NOTIFY_COLOR_CHANGING},
        {"SetType", COleVariant(testkit::kThreePoses), "GetType", testkit::kThreePoses, NOTIFY_CLASS_CHANGING},
        {"SetPose", COleVariant(SHORT{2}), "GetPose", 2, NOTIFY_POSE_CHANGING},
        {"SetPose", COleVariant(SHORT{3}), "GetPose", 0, NOTIFY_POSE_CHANGING},
        {"Select", COleVariant::Bool(TRUE), "IsSelected", TRUE, NOTIFY_SELECTED_CHANGING},
        {"Visible", COleVariant::Bool(FALSE), "IsVisible", FALSE, NOTIFY_VISIBLE_CHANGING},
        {"Selectable", COleVariant::Bool(FALSE), "IsSelectable", FALSE, NOTIFY_SELECTABLE_CHANGING},
        {"Moveable", COleVariant::Bool(FALSE), "IsMoveable", FALSE, NOTIFY_MOVEABLE_CHANGING},
        {"Colorable", COleVariant::Bool(FALSE), "IsColorable", FALSE, NOTIFY_COLORABLE_CHANGING},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setter);
        pane.events.clear();
        EXPECT_EQ(S_OK, Call(d, c.setter, {c.value}));
        EXPECT_EQ(c.expected, Get(d, c.getter));
        ASSERT_EQ(2u, pane.events.size());
        EXPECT_EQ(c.before, pane.events[0].code);
        EXPECT_EQ(c.before + 1, pane.events[1].code);
    }
    // Selecting again changes nothing and says nothing.
    pane.events.clear();
    EXPECT_EQ(S_OK, Call(d, "Select", {COleVariant::Bool(TRUE)}));
    EXPECT_TRUE(pane.events.empty());
}

TEST_F(BrickAutomationTest, ValuesOutOfRangeAreRefusedAndChangeNothing)
{
    CBrick* brick = MakeAt(root.get(), 0, 0, 0, testkit::kBuiltIn, 3);
    IDispatch* d = brick->GetIDispatch(FALSE);
    pane.events.clear();
    EXPECT_EQ(DISP_E_EXCEPTION, Call(d, "SetColor", {COleVariant(SHORT{12})}));
    EXPECT_EQ(DISP_E_EXCEPTION, Call(d, "SetColor", {COleVariant(SHORT{-1})}));
    EXPECT_EQ(DISP_E_EXCEPTION, Call(d, "SetType", {COleVariant(testkit::kUnknown)}));
    EXPECT_EQ(DISP_E_OVERFLOW, Call(d, "SetPose", {COleVariant(LONG{70000})}));
    EXPECT_TRUE(pane.events.empty());
    EXPECT_EQ(3, brick->GetColorIndex());
    EXPECT_EQ(testkit::kBuiltIn, brick->GetClassId());
}

TEST_F(BrickAutomationTest, PositionAndBoundsAreSnapshots)
{
    CBrick* brick = MakeAt(root.get(), 4, 5, 6, testkit::kSquare);
    IDispatch* d = brick->GetIDispatch(FALSE);
    EXPECT_EQ(2, Get(d, "Length"));
    EXPECT_EQ(2, Get(d, "Width"));
    EXPECT_EQ(1, Get(d, "Height"));

    COleVariant position;
    ASSERT_EQ(S_OK, Call(d, "Position", {}, &position, DISPATCH_PROPERTYGET));
    ASSERT_EQ(VT_DISPATCH, position.vt);
    EXPECT_EQ(5, Get(position.pdispVal, "y"));
    ASSERT_EQ(S_OK, Call(position.pdispVal, "x", {COleVariant(SHORT{-9})}, nullptr, DISPATCH_PROPERTYPUT));
    EXPECT_EQ(4, brick->GetPositionPtr()->X());

    // Put back, it moves the brick.
    pane.events.clear();
    ASSERT_EQ(S_OK, Call(d, "Position", {position}, nullptr, DISPATCH_PROPERTYPUT));
    EXPECT_EQ(CPoint3D(-9, 5, 6), *brick->GetPositionPtr());
    EXPECT_EQ(1, pane.Count(NOTIFY_POSITION_CHANGING));
    EXPECT_EQ(1, pane.Count(NOTIFY_POSITION_CHANGED));

    COleVariant bounds;
    ASSERT_EQ(S_OK, Call(d, "Bounds", {}, &bounds, DISPATCH_PROPERTYGET));
    const LONG expected[] = {-9, 5, 6, -7, 7, 7};
    const char* names[] = {"minx", "miny", "minz", "maxx", "maxy", "maxz"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(expected[i], Get(bounds.pdispVal, names[i])) << names[i];

    // Bounds cannot be put; anything but a position object is ignored.
    pane.events.clear();
    EXPECT_EQ(S_OK, Call(d, "Bounds", {bounds}, nullptr, DISPATCH_PROPERTYPUT));
    EXPECT_EQ(std::vector<std::string>{"Read Only: Bounds"}, messages);
    EXPECT_EQ(S_OK, Call(d, "Position", {bounds}, nullptr, DISPATCH_PROPERTYPUT));
    EXPECT_EQ(S_OK, Call(d, "Bounds", {position}, nullptr, DISPATCH_PROPERTYPUT));
    EXPECT_EQ(S_OK, Call(d, "Position", {COleVariant(static_cast<IDispatch*>(nullptr))}, nullptr,
                         DISPATCH_PROPERTYPUT));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(d, "Position", {COleVariant(SHORT{1})}, nullptr, DISPATCH_PROPERTYPUT));
    EXPECT_TRUE(pane.events.empty());
    EXPECT_EQ(1u, messages.size());
}

TEST_F(BrickAutomationTest, SnapshotsGoWithTheirLastReleaseBricksDoNot)
{
    CBrick* brick = MakeAt(root.get(), 0, 0, 0);
    IDispatch* d = brick->GetIDispatch(FALSE);
    COleVariant position;
    ASSERT_EQ(S_OK, Call(d, "Position", {}, &position, DISPATCH_PROPERTYGET));
    CCmdTarget* snapshot = CCmdTarget::FromIDispatch(position.pdispVal);
    ASSERT_NE(nullptr, snapshot);
    EXPECT_EQ(1u, snapshot->GetRefCount());
    IDispatch* kept = position.DetachDispatch();
    kept->Release();  // the snapshot is freed here; the sanitizers check it

    COleVariant listed;
    ASSERT_EQ(S_OK, Call(root->GetIDispatch(FALSE), "GetBrick", {COleVariant(LONG{0})}, &listed));
    EXPECT_EQ(d, listed.pdispVal);
    EXPECT_EQ(2u, brick->GetRefCount());
    listed.Clear();
    EXPECT_EQ(1u, brick->GetRefCount());
    EXPECT_EQ(1, CBrick::LiveCount());
}

TEST_F(BrickAutomationTest, TheListHandsOutBricksAndSubGroups)
{
    CBrickGroup* second = Nest(root.get(), 1);
    CBrickGroup* first = Nest(root.get(), 1);
    MakeAt(root.get(), 0, 0, 0);
    CBrick* inFirst = MakeAt(first, 1, 0, 0);
    IDispatch* list = root->GetIDispatch(FALSE);
    EXPECT_EQ(2, Get(list, "GetListCount"));
    EXPECT_EQ(1, Get(list, "GetBrickCount"));

    COleVariant r;
    ASSERT_EQ(S_OK, Call(list, "GetList", {COleVariant(LONG{0})}, &r));
    EXPECT_EQ(first->GetIDispatch(FALSE), r.pdispVal);
    ASSERT_EQ(S_OK, Call(r.pdispVal, "GetBrick", {COleVariant(LONG{0})}, &r));
    EXPECT_EQ(inFirst->GetIDispatch(FALSE), r.pdispVal);
    ASSERT_EQ(S_OK, Call(list, "GetList", {COleVariant(LONG{1})}, &r));
    EXPECT_EQ(second->GetIDispatch(FALSE), r.pdispVal);

    for (LONG index : {-1, 2, 0x7FFFFFFF}) {
        ASSERT_EQ(S_OK, Call(list, "GetList", {COleVariant(index)}, &r));
        EXPECT_EQ(VT_DISPATCH, r.vt);
        EXPECT_EQ(nullptr, r.pdispVal);
        ASSERT_EQ(S_OK, Call(list, "GetBrick", {COleVariant(index == 2 ? 1 : index)}, &r));
        EXPECT_EQ(nullptr, r.pdispVal);
    }
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(list, "GetBrick"));
}

TEST_F(BrickAutomationTest, ObjectsOutOfTheModelAnswerEveryCallWithAnError)
{
    CBrickGroup* group = Nest(root.get(), 1);
    CBrick* erased = MakeAt(root.get(), 0, 0, 0);
    CBrick* deleted = MakeAt(root.get(), 1, 0, 0);
    CBrick* inGroup = MakeAt(group, 2, 0, 0);
    IDispatch* clients[] = {erased->GetIDispatch(TRUE), deleted->GetIDispatch(TRUE), inGroup->GetIDispatch(TRUE),
                            group->GetIDispatch(TRUE)};

    // Erased (kept for an undo), deleted, and taken out with its group.
    erased->Detach();
    deleted->Delete(TRUE);
    group->SetParent(nullptr);
    pane.events.clear();
    for (IDispatch* d : {clients[0], clients[1], clients[2]}) {
        EXPECT_EQ(RPC_E_DISCONNECTED, Call(d, "SetColor", {COleVariant(SHORT{4})}));
        COleVariant r(LONG{1});
        EXPECT_EQ(RPC_E_DISCONNECTED, Call(d, "GetColor", {}, &r));
        EXPECT_EQ(VT_EMPTY, r.vt);
    }
    EXPECT_EQ(RPC_E_DISCONNECTED, Call(clients[3], "GetBrickCount"));
    EXPECT_EQ(0, erased->GetColorIndex());
    EXPECT_EQ(0, inGroup->GetColorIndex());

    // Back in the model (an undo), they answer again.
    erased->SetOwner(root.get());
    group->SetParent(root.get());
    EXPECT_EQ(S_OK, Call(clients[0], "SetColor", {COleVariant(SHORT{4})}));
    EXPECT_EQ(S_OK, Call(clients[2], "SetColor", {COleVariant(SHORT{5})}));
    EXPECT_EQ(1, Get(clients[3], "GetBrickCount"));

    // A new document: everything below the root is deleted.
    root->DeleteContents();
    for (IDispatch* d : clients) {
        EXPECT_EQ(RPC_E_DISCONNECTED, Call(d, "GetType"));
        d->Release();
    }
}

}  // namespace
