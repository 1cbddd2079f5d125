// Every command id of the document's message map, sent as a menu item or a
// key sends it: whether it runs, what it does to the model and the document's
// choices, what the Undo item says afterwards, and the check mark it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "document/brick_command.h"
#include "platform/core/cmd_ui.h"
#include "platform/core/message_map.h"
#include "tests/document/document_fixture.h"

using namespace doctest;

namespace {

// Reads the document class's own table.
class MapReader : public CDizadoDoc {
public:
    using CDizadoDoc::GetThisMessageMap;
};

// What a row starts from. The model of kSelection: two selected bricks and an
// unselected one in the root, and a group whose only brick is selected; of
// kGroupOnly: the same with only the group's brick selected.
enum class Scene { kSelection, kNothingSelected, kGroupOnly, kEmpty, kClipboardFilled, kNudged, kModified };

enum class Outcome {
    kRuns,       // enabled, and the document's handler runs
    kDisabled,   // the update handler disables it: nothing runs
    kNoHandler,  // enabled, but the document leaves it to another target
};

constexpr const char* kHeld = nullptr;  // the command held before stays held
constexpr const char* kForgotten = "(disabled)";
constexpr const char* kUnchanged = nullptr;
constexpr const char* kAnyChange = "(changed)";
const char* const kStandard = "0,0,0* 4,0,0* 8,0,0 (12,0,0*)";

bool ClipboardHoldsBricks()
{
    if (!OpenClipboard(nullptr))
        return false;
    const bool held = GetClipboardData(CDizadoDoc::GetClipboardFormat()) != nullptr;
    CloseClipboard();
    return held;
}

class CommandTableTest : public DocumentTest {
protected:
    // Bricks by position, '*' when selected; each sub-group in parentheses.
    static std::string Shape(const CBrickGroup* group)
    {
        std::vector<std::string> bricks;
        for (int i = 0; i < group->GetBrickCount(); ++i) {
            const CBrick* brick = group->GetBrickAt(i);
            const CPoint3D& at = *brick->GetPositionPtr();
            bricks.push_back(std::to_string(at.X()) + "," + std::to_string(at.Y()) + "," + std::to_string(at.Z()) +
                             (brick->IsSelectedFlag() ? "*" : ""));
        }
        std::sort(bricks.begin(), bricks.end());
        std::vector<std::string> groups;
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            groups.push_back("(" + Shape(group->GetSubGroupAt(i)) + ")");
        std::sort(groups.begin(), groups.end());
        bricks.insert(bricks.end(), groups.begin(), groups.end());
        std::string text;
        for (const auto& part : bricks)
            text += (text.empty() ? "" : " ") + part;
        return text;
    }
    std::string Model() { return Shape(Root()); }

    BOOL Route(UINT id)
    {
        CCmdTarget* route[] = {doc.get()};
        return RouteCommand(route, 1, id);
    }
    CCmdUI Update(UINT id)
    {
        CCmdTarget* route[] = {doc.get()};
        CCmdUI ui(id);
        RouteCommandUI(route, 1, ui);
        return ui;
    }
    std::string UndoItem()
    {
        const CCmdUI ui = Update(IDM_EDIT_UNDO);
        return ui.m_bEnabled ? ui.m_strText.str() : kForgotten;
    }

    // A fresh document in the scene, holding a command of its own.
    CBrickCommand* SetScene(Scene scene)
    {
        doc = std::make_unique<CDizadoDoc>();
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
        if (scene != Scene::kEmpty) {
            const bool loose = scene != Scene::kNothingSelected && scene != Scene::kGroupOnly;
            MakeAt(Root(), 0, 0, 0)->SetSelected(loose);
            MakeAt(Root(), 4, 0, 0)->SetSelected(loose);
            MakeAt(Root(), 8, 0, 0);
            MakeAt(SubGroup(Root()), 12, 0, 0)->SetSelected(scene != Scene::kNothingSelected);
        }
        if (scene == Scene::kClipboardFilled) {
            EXPECT_TRUE(doc->CopyToClipboard());
        }
        if (scene == Scene::kNudged) {
            EXPECT_TRUE(Route(606));
            return doc->GetLastAction();
        }
        auto* held = new CBrickCommand(CBrickCommand::labelAdd);
        doc->SetLastAction(held);
        doc->SetModifiedFlag(scene == Scene::kModified);
        return held;
    }
};

struct Row {
    UINT first, last;
    Scene scene;
    Outcome outcome;
    const char* undo;   // the Undo item's text afterwards, or kHeld
    const char* model;  // the model afterwards, kUnchanged or kAnyChange
    int check = -1;     // the item's check mark afterwards, when not -1
    std::function<void(CDizadoDoc&, UINT)> more = nullptr;
};

std::string UndoText(const char* name)
{
    return std::string("&Undo ") + name + " Dizado\tCtrl+Z";
}

TEST_F(CommandTableTest, EveryCommandIdDoesWhatItsItemSays)
{
    using S = Scene;
    using O = Outcome;
    const std::string move = UndoText("Move"), rotate = UndoText("Rotate"), copy = UndoText("Copy"),
                      cut = UndoText("Cut"), clear = UndoText("Clear"), paste = UndoText("Paste"),
                      duplicate = UndoText("Duplicate"), group = UndoText("Group"), ungroup = UndoText("Ungroup");
    const Row rows[] = {
        {IDM_TOGGLE_TOOL, IDM_TOGGLE_TOOL, S::kSelection, O::kRuns, kHeld, kUnchanged, -1,
         [](CDizadoDoc& d, UINT) { EXPECT_EQ(d.GetCurrentTool(), SHORT(IDM_TOOL_SELECT)); }},
        {IDM_TOOL_SELECT, IDM_TOOL_ERASE, S::kSelection, O::kRuns, kHeld, kUnchanged, 1,
         [](CDizadoDoc& d, UINT id) { EXPECT_EQ(d.GetCurrentTool(), SHORT(id)); }},

        {604, 604, S::kSelection, O::kRuns, move.c_str(), "0,1,0* 4,1,0* 8,0,0 (12,1,0*)"},
        {605, 605, S::kSelection, O::kRuns, move.c_str(), "0,0,1* 4,0,1* 8,0,0 (12,0,1*)"},
        {606, 606, S::kSelection, O::kRuns, move.c_str(), "1,0,0* 5,0,0* 8,0,0 (13,0,0*)"},
        {607, 607, S::kSelection, O::kRuns, rotate.c_str(), kAnyChange},
        {608, 608, S::kSelection, O::kRuns, move.c_str(), "-1,0,0* 3,0,0* 8,0,0 (11,0,0*)"},
        {609, 609, S::kSelection, O::kRuns, move.c_str(), "0,0,-1* 4,0,-1* 8,0,0 (12,0,-1*)"},
        {610, 610, S::kSelection, O::kRuns, move.c_str(), "0,-1,0* 4,-1,0* 8,0,0 (12,-1,0*)"},
        {611, 611, S::kSelection, O::kRuns, rotate.c_str(), kAnyChange},
        {IDM_MOVE_BACK_LEFT, IDM_TURN_RIGHT, S::kNothingSelected, O::kRuns, kHeld, kUnchanged, -1,
         [](CDizadoDoc& d, UINT) { EXPECT_EQ(d.GetCurrentOrientationIndex(), 1); }},

        {IDM_COLOR_FIRST, IDM_COLOR_LAST, S::kSelection, O::kRuns, kHeld, kUnchanged, 1,
         [](CDizadoDoc& d, UINT id) {
             EXPECT_EQ(d.GetCurrentColorIndex(), LONG(id - IDM_COLOR_FIRST));
             EXPECT_EQ(d.GetCurrentTool(), SHORT(IDM_TOOL_NEW_BRICK));
         }},
        // A list box notification, not a command.
        {IDM_BRICK_LIST, IDM_BRICK_LIST, S::kSelection, O::kNoHandler, kHeld, kUnchanged},

        {IDM_EDIT_COPY, IDM_EDIT_COPY, S::kSelection, O::kRuns, copy.c_str(), kUnchanged, -1,
         [](CDizadoDoc&, UINT) { EXPECT_TRUE(ClipboardHoldsBricks()); }},
        {IDM_EDIT_COPY, IDM_EDIT_COPY, S::kNothingSelected, O::kDisabled, kHeld, kUnchanged},
        {IDM_EDIT_CUT, IDM_EDIT_CUT, S::kSelection, O::kRuns, cut.c_str(), "8,0,0", -1,
         [](CDizadoDoc&, UINT) { EXPECT_TRUE(ClipboardHoldsBricks()); }},
        {IDM_EDIT_CUT, IDM_EDIT_CUT, S::kGroupOnly, O::kRuns, cut.c_str(), "0,0,0 4,0,0 8,0,0"},
        {IDM_EDIT_CUT, IDM_EDIT_CUT, S::kNothingSelected, O::kDisabled, kHeld, kUnchanged},
        {IDM_EDIT_CLEAR, IDM_EDIT_CLEAR, S::kSelection, O::kRuns, clear.c_str(), "8,0,0", -1,
         [](CDizadoDoc&, UINT) { EXPECT_FALSE(ClipboardHoldsBricks()); }},
        {IDM_EDIT_CLEAR, IDM_EDIT_CLEAR, S::kNothingSelected, O::kDisabled, kHeld, kUnchanged},
        {IDM_EDIT_PASTE, IDM_EDIT_PASTE, S::kClipboardFilled, O::kRuns, paste.c_str(),
         "0,0,0 0,0,0* 4,0,0 4,0,0* 8,0,0 (12,0,0) (12,0,0*)"},
        {IDM_EDIT_PASTE, IDM_EDIT_PASTE, S::kSelection, O::kDisabled, kHeld, kUnchanged},
        {IDM_DUPLICATE, IDM_DUPLICATE, S::kSelection, O::kRuns, duplicate.c_str(),
         "0,0,0 2,-2,0* 4,0,0 6,-2,0* 8,0,0 (12,0,0) (14,-2,0*)"},
        {IDM_DUPLICATE, IDM_DUPLICATE, S::kNothingSelected, O::kDisabled, kHeld, kUnchanged},
        {IDM_GROUP, IDM_GROUP, S::kSelection, O::kRuns, group.c_str(), "8,0,0 (0,0,0* 4,0,0* (12,0,0*))"},
        {IDM_GROUP, IDM_GROUP, S::kGroupOnly, O::kDisabled, kHeld, kUnchanged},
        {IDM_GROUP, IDM_GROUP, S::kNothingSelected, O::kDisabled, kHeld, kUnchanged},
        {IDM_UNGROUP, IDM_UNGROUP, S::kSelection, O::kRuns, ungroup.c_str(), "0,0,0* 12,0,0* 4,0,0* 8,0,0"},
        {IDM_UNGROUP, IDM_UNGROUP, S::kGroupOnly, O::kRuns, ungroup.c_str(), "0,0,0 12,0,0* 4,0,0 8,0,0"},
        {IDM_UNGROUP, IDM_UNGROUP, S::kNothingSelected, O::kDisabled, kHeld, kUnchanged},

        {IDM_EDIT_UNDO, IDM_EDIT_UNDO, S::kNudged, O::kRuns, "&Redo Move Dizado\tCtrl+Z", kStandard},
        {IDM_EDIT_UNDO, IDM_EDIT_UNDO, S::kEmpty, O::kRuns, "&Redo Add Dizado\tCtrl+Z", kUnchanged},
        {IDM_SELECT_ALL, IDM_SELECT_ALL, S::kSelection, O::kRuns, kForgotten,
         "0,0,0* 4,0,0* 8,0,0* (12,0,0*)"},
        {IDM_SELECT_ALL, IDM_SELECT_ALL, S::kEmpty, O::kDisabled, kHeld, kUnchanged},
        {IDM_SELECT_NONE, IDM_SELECT_NONE, S::kSelection, O::kRuns, kForgotten,
         "0,0,0 4,0,0 8,0,0 (12,0,0)"},
        {IDM_SELECT_NONE, IDM_SELECT_NONE, S::kNothingSelected, O::kDisabled, kHeld, kUnchanged},

        {IDM_SHOW_BASEPLATE, IDM_SHOW_BASEPLATE, S::kSelection, O::kRuns, kHeld, kUnchanged, 0,
         [](CDizadoDoc& d, UINT) { EXPECT_FALSE(d.IsModified()); }},
        {IDM_SHOW_MULTIVIEW, IDM_SHOW_MULTIVIEW, S::kSelection, O::kRuns, kHeld, kUnchanged, 1,
         [](CDizadoDoc& d, UINT) { EXPECT_FALSE(d.IsModified()); }},
        // No window: the dialog is cancelled.
        {IDM_BACKGROUND, IDM_BACKGROUND, S::kSelection, O::kRuns, kHeld, kUnchanged},
        {IDM_PRINT_PARTS, IDM_PRINT_PREVIEW_PLANS, S::kSelection, O::kRuns, kHeld, kUnchanged},
        {IDM_FILE_SAVE, IDM_FILE_SAVE, S::kModified, O::kRuns, kHeld, kUnchanged, -1,
         [](CDizadoDoc& d, UINT) {
             EXPECT_FALSE(d.IsModified());
             EXPECT_FALSE(d.GetPathName().IsEmpty());
         }},
        // The pane prints.
        {IDM_FILE_PRINT, IDM_FILE_PRINT, S::kSelection, O::kNoHandler, kHeld, kUnchanged},
    };

    std::set<UINT> covered;
    for (const Row& row : rows) {
        for (UINT id = row.first; id <= row.last; ++id) {
            SCOPED_TRACE("command " + std::to_string(id) + ", scene " + std::to_string(int(row.scene)));
            covered.insert(id);
            CBrickCommand* held = SetScene(row.scene);
            const std::string before = Model();
            messages.clear();

            EXPECT_EQ(Update(id).m_bEnabled, row.outcome != Outcome::kDisabled);
            EXPECT_EQ(Route(id), row.outcome == Outcome::kRuns);

            const std::string after = Model();
            if (row.model == kUnchanged) {
                EXPECT_EQ(after, before);
            } else if (row.model == kAnyChange) {
                EXPECT_NE(after, before);
            } else {
                EXPECT_EQ(after, row.model);
            }
            if (row.undo == kHeld) {
                EXPECT_EQ(doc->GetLastAction(), held);
            } else {
                EXPECT_EQ(UndoItem(), row.undo);
            }
            if (row.check != -1) {
                EXPECT_EQ(Update(id).m_nCheck, row.check);
            }
            if (row.more)
                row.more(*doc, id);
            EXPECT_TRUE(messages.empty()) << messages.front();

            // A command that became the held one takes the model back and
            // forth through the Undo item.
            if (row.undo != kHeld && row.undo != kForgotten && id != IDM_EDIT_UNDO) {
                ASSERT_TRUE(Route(IDM_EDIT_UNDO));
                EXPECT_EQ(Model(), before);
                ASSERT_TRUE(Route(IDM_EDIT_UNDO));
                EXPECT_EQ(Model(), after);
            }
        }
    }

    // A command added to the map without a row here fails.
    for (const AFX_MSGMAP_ENTRY* entry = MapReader::GetThisMessageMap()->lpEntries; entry->pfn; ++entry)
        for (UINT id = entry->nID; id <= entry->nLastID; ++id)
            EXPECT_TRUE(covered.count(id)) << "no row for command " << id;
}

}  // namespace
