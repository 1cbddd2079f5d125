#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "document/brick_command.h"
#include "document/change_background_command.h"
#include "document/clipboard_command.h"
#include "document/color_command.h"
#include "document/duplicate_command.h"
#include "document/erase_brick_command.h"
#include "document/erase_group_command.h"
#include "document/group_command.h"
#include "document/hold_guard.h"
#include "document/nudge_command.h"
#include "document/paint_brick_command.h"
#include "document/paste_command.h"
#include "document/rotate_command.h"
#include "document/ungroup_command.h"
#include "platform/core/exceptions.h"
#include "tests/document/command_fixture.h"

namespace {

using cmdtest::CommandTest;

std::string MenuText(CBrickCommand& command, BOOL undone)
{
    CString text;
    command.GetMenuText(text, undone);
    return text.str();
}

TEST(BrickCommandBase, MenuTextNamesTheCommandOnlyWhenItHasALabel)
{
    struct Case {
        WORD label;
        BOOL undone;
        const char* text;
    };
    const Case cases[] = {
        {0, FALSE, "&Undo "},
        {0, TRUE, "&Redo "},
        {1, FALSE, "&Undo Cut Dizado\tCtrl+Z"},
        {5, TRUE, "&Redo Move Dizado\tCtrl+Z"},
        {12, FALSE, "&Undo Change Background\tCtrl+Z"},
    };
    for (const Case& c : cases) {
        CBrickCommand command(c.label);
        EXPECT_EQ(MenuText(command, c.undone), c.text) << c.label;
    }
}

TEST(BrickCommandBase, TheBaseOnlyFlipsItsUndoneFlag)
{
    CBrickCommand command(0);
    EXPECT_FALSE(command.IsUndone());
    EXPECT_TRUE(command.ModifiesDocument());
    EXPECT_EQ(command.GetPerformed(), 0u);
    command.Toggle();
    EXPECT_TRUE(command.IsUndone());
    command.Undo();
    EXPECT_FALSE(command.IsUndone());
    command.SetLabel(7);
    EXPECT_EQ(MenuText(command, FALSE), "&Undo Color Dizado\tCtrl+Z");
}

class CommandFamilyTest : public CommandTest {};

// Each command reads in the Edit menu under its own name.
TEST_F(CommandFamilyTest, EveryCommandCarriesItsOwnMenuText)
{
    CBrick* loose = Make(root, "loose", 0, 0, 0, cmdtest::kPlate, 0, TRUE);
    CBrickGroup* group = Group(root);
    Make(group, "inside", 4, 0);

    struct Case {
        const char* text;
        std::function<CBrickCommand*()> make;
    };
    const Case cases[] = {
        {"Cut Dizado", [&] { return new CClipboardCommand(root, CClipboardCommand::codeCut); }},
        {"Copy Dizado", [&] { return new CClipboardCommand(root, CClipboardCommand::codeCopy); }},
        {"Clear Dizado", [&] { return new CClipboardCommand(root, CClipboardCommand::codeClear); }},
        {"Paste Dizado", [&] { return new CPasteDizadoCommand(root); }},
        {"Clear Dizado", [&] { return new CEraseBrickCommand(root, loose); }},
        {"Clear Dizado", [&] { return new CEraseGroupCommand(root, group); }},
        {"Move Dizado", [&] { return new CNudgeDizadoCommand(root, CPoint3D(1, 0, 0)); }},
        {"Color Dizado", [&] { return new CPaintBrickCommand(loose, 2); }},
        {"Color Dizado", [&] { return new CColorDizadoCommand(root, 2); }},
        {"Rotate Dizado", [&] { return new CRotateDizadoCommand(root, 1); }},
        {"Duplicate Dizado", [&] { return new CDuplicateDizadoCommand(root, CPoint3D(2, -2, 0)); }},
        {"Group Dizado", [&] { return new CGroupDizadoCommand(root); }},
        {"Ungroup Dizado", [&] { return new CUngroupDizadoCommand(root); }},
        {"Change Background", [&] { return new CChangeBackgroundCommand(doc.get()); }},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CBrickCommand> command(c.make());
        EXPECT_EQ(MenuText(*command, FALSE), std::string("&Undo ") + c.text + "\tCtrl+Z");
        EXPECT_EQ(MenuText(*command, TRUE), std::string("&Redo ") + c.text + "\tCtrl+Z");
    }
}

// A pane that fails while it reacts must not leave the panes held or single
// brick invalidation off: both would freeze every later drawing.
class FailingPane : public CNotifier {
public:
    explicit FailingPane(UINT code) : m_code(code) {}
    void OnNotify(UINT, UINT code, LPARAM) override
    {
        if (code == m_code && armed) {
            armed = false;
            throw CMemoryException();
        }
    }
    bool armed = true;

private:
    UINT m_code;
};

TEST_F(CommandFamilyTest, HoldsAndInvalidationAreRestoredWhenAPaneThrows)
{
    struct Case {
        const char* name;
        UINT failOn;
        std::function<CBrickCommand*()> make;
        bool failInUndo;
    };
    const Case cases[] = {
        {"group", NOTIFY_BRICK_JOINED, [&] { return new CGroupDizadoCommand(root); }, false},
        {"group undo", NOTIFY_BRICK_JOINED, [&] { return new CGroupDizadoCommand(root); }, true},
        {"ungroup", NOTIFY_BRICK_JOINED, [&] { return new CUngroupDizadoCommand(root); }, false},
        {"ungroup undo", NOTIFY_BRICK_JOINED, [&] { return new CUngroupDizadoCommand(root); }, true},
        {"nudge", NOTIFY_POSITION_CHANGED, [&] { return new CNudgeDizadoCommand(root, CPoint3D(0, 1, 0)); }, false},
        {"rotate", NOTIFY_ORIENTATION_CHANGED, [&] { return new CRotateDizadoCommand(root, 0); }, false},
        {"clear undo", NOTIFY_BRICK_JOINED,
         [&] { return new CClipboardCommand(root, CClipboardCommand::codeClear); }, true},
        {"erase group", NOTIFY_BRICK_BROADCAST, [&] { return new CEraseGroupCommand(root, root->GetSubGroupAt(0)); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc->SetLastAction(nullptr);
        doc->DeleteContents();
        CBrickGroup* group = Group(root);
        Make(group, "a", 0, 0, 0, cmdtest::kPlate, 0, TRUE);
        Make(group, "b", 2, 0, 0, cmdtest::kPlate, 0, TRUE);
        Make(root, "c", 4, 0, 0, cmdtest::kPlate, 0, TRUE);

        FailingPane failing(c.failOn);
        failing.armed = !c.failInUndo;
        root->AddListener(&failing);
        std::unique_ptr<CBrickCommand> command(c.make());
        try {
            command->Do();
            failing.armed = true;
            command->Toggle();
            ADD_FAILURE() << "the pane's failure was swallowed";
        } catch (const CMemoryException&) {
        }
        root->RemoveListener(&failing);
        EXPECT_EQ(pane.rebuildHolds, 0);
        EXPECT_EQ(pane.extentHolds, 0);
        CBrick* probe = Make(group, "probe", 9, 9);
        EXPECT_TRUE(probe->GetListFlag());
        command.reset();
        ExpectFreshBounds(root);
    }
}

TEST(BrickInvalidationPause, SwitchesOffForItsScopeOnly)
{
    CBrickGroup root;
    CBrickGroup* group = new CBrickGroup;
    group->SetParent(&root);
    CBrick* brick = new CBrick(group);
    {
        CBrickInvalidationPause pause;
        EXPECT_FALSE(brick->GetListFlag());
    }
    EXPECT_TRUE(brick->GetListFlag());
}

}  // namespace
