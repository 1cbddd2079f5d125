#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "document/brick_command.h"
#include "document/group_command.h"
#include "platform/core/cmd_ui.h"
#include "tests/document/document_fixture.h"
#include "tests/support/scoped_hook.h"
#include "tests/support/small_stack.h"

using namespace doctest;

// Each press of Group takes a new brick and the group made before, so the
// model nests one level deeper. At the depth limit Group beeps and leaves the
// model and the undo alone, so that the model saves, opens again whole and
// goes away again, all within a small stack.
TEST_F(DocumentTest, GroupStopsAtTheDepthLimitSoThatTheModelReopens)
{
    int beeps = 0;
    ScopedHook countBeeps(platform::SetBeepHook, [&](UINT) { ++beeps; });
    CCmdTarget* route[] = {doc.get()};
    CBrickGroup* root = Root();
    MakeAt(root, 0, 0, 0)->SetSelected(TRUE);
    auto press = [&](int n) {
        MakeAt(root, n % 40, n / 40, 0)->SetSelected(TRUE);
        return RouteCommand(route, 1, IDM_GROUP);
    };
    for (int n = 1; n <= CBrickGroup::kMaxDepth; ++n)
        ASSERT_TRUE(press(n)) << n;
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(root->GetLevelsBelow(), CBrickGroup::kMaxDepth);

    CBrickCommand* last = doc->GetLastAction();
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(press(CBrickGroup::kMaxDepth + 1));
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(root->GetLevelsBelow(), CBrickGroup::kMaxDepth);
    EXPECT_EQ(root->GetSubGroupCount(), 1);
    EXPECT_EQ(root->GetBrickCount(), 1);
    EXPECT_EQ(doc->GetLastAction(), last);
    EXPECT_FALSE(last->IsUndone());
    // The command refuses by itself too, as its redo would.
    CGroupDizadoCommand direct(root);
    direct.Do();
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(direct.GetPerformed(), 0u);
    EXPECT_EQ(direct.GetNewGroup(), nullptr);
    EXPECT_EQ(root->GetSubGroupCount(), 1);

    const int bricks = CBrickGroup::kMaxDepth + 2;
    ASSERT_EQ(root->CountSelectedDizadoDeep(), bricks);
    const std::string path = PathOf("deep.brk");
    auto reopened = std::make_unique<CDizadoDoc>();
    BOOL saved = FALSE;
    BOOL opened = FALSE;
    RunOnStack(kSmallStack, [&] {
        saved = doc->OnSaveDocument(path.c_str());
        opened = reopened->OnOpenDocument(path.c_str());
    });
    ASSERT_TRUE(saved);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(reopened->GetBrickList()->GetLevelsBelow(), CBrickGroup::kMaxDepth);
    EXPECT_EQ(reopened->GetBrickList()->CountSelectedDizadoDeep(), bricks);

    RunOnStack(kSmallStack, [&] {
        reopened.reset();
        doc.reset();
    });
}
