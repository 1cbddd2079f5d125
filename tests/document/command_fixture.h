// The fixture of the command tests: a document whose root group has a
// recording listener standing in for a pane, a small kit of bricks that turn
// visibly, the sounds played, message boxes caught, and a private clipboard.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "document/brick_command.h"
#include "document/dizado_doc.h"
#include "foundation/notification_codes.h"
#include "foundation/sound_player.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/clipboard.h"
#include "platform/core/hooks.h"
#include "platform/core/sound.h"
#include "tests/model/model_test_kit.h"

namespace cmdtest {

namespace tk = testkit;

constexpr SHORT kPlate = tk::kBuiltIn;  // (0,0,0)-(1,1,1)
constexpr SHORT kBlock = 3000;          // 3 by 2 by 1, turned 2 by 3
constexpr SHORT kLong = 3001;           // 16 by 8 by 3, turned 8 by 16
constexpr SHORT kNoYellow = 3002;       // 1 by 1 by 1; colour 3 is refused
constexpr LONG kYellow = 3;

inline tk::Bytes BuildCommandKit()
{
    tk::ResImage res;
    tk::PictureSpec picture;
    picture.topDown = tk::BuiltInPixels();
    res.Add("BRICKIMAGE", 102, tk::Picture(picture));
    res.Add("REGION", 103, tk::RegionBytes(tk::BuiltInMask()));
    auto same = [](WORD id) { return std::array<WORD, 4>{id, id, id, id}; };
    auto turning = [&](SHORT classId, WORD first, int x, int y, int z) {
        res.Add("BRICKORIENTATION", first, tk::OrientationRecord(CBox3D(0, 0, 0, x, y, z), 102, 103));
        res.Add("BRICKORIENTATION", first + 1, tk::OrientationRecord(CBox3D(0, 0, 0, y, x, z), 102, 103));
        const std::array<WORD, 4> ids{first, static_cast<WORD>(first + 1), first, static_cast<WORD>(first + 1)};
        res.Add("BRICKCLASS", classId, tk::ClassRecord(0xFFFF, {ids}));
    };
    res.Add("BRICKCLASS", kPlate, tk::ClassRecord(0xFFFF, {same(100)}));
    res.Add("BRICKORIENTATION", 100, tk::OrientationRecord(CBox3D(0, 0, 0, 1, 1, 1), 102, 103));
    turning(kBlock, 110, 3, 2, 1);
    turning(kLong, 120, 16, 8, 3);
    res.Add("BRICKCLASS", kNoYellow, tk::ClassRecord(0xFFFF & ~(1u << kYellow), {same(100)}));
    return res.Build();
}

// Bricks and groups: alive in the process, or in a tree.
struct Population {
    long bricks = 0;
    long groups = 0;

    friend bool operator==(const Population&, const Population&) = default;
    friend Population operator-(const Population& a, const Population& b)
    {
        return {a.bricks - b.bricks, a.groups - b.groups};
    }
    friend std::ostream& operator<<(std::ostream& out, const Population& p)
    {
        return out << p.bricks << " bricks, " << p.groups << " groups";
    }
};

inline Population Alive()
{
    return {CBrick::LiveCount(), CBrickGroup::LiveCount()};
}

// The group itself counts.
inline Population InTree(const CBrickGroup* group)
{
    Population p{group->GetBrickCount(), 1};
    for (int i = 0; i < group->GetSubGroupCount(); ++i) {
        const Population below = InTree(group->GetSubGroupAt(i));
        p.bricks += below.bricks;
        p.groups += below.groups;
    }
    return p;
}

// Stands in for the audio device; tells the program's sounds apart by their bytes.
class SoundLog : public ISoundOutput {
public:
    void Play(WaveBytes wave) override { played.push_back(wave ? *wave : std::vector<unsigned char>()); }
    void Stop() override {}

    std::vector<std::vector<unsigned char>> played;
};

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const tk::Bytes kit = BuildCommandKit();
        m_module = platform::OpenResourceModuleFromMemory(kit);
        ASSERT_NE(m_module, nullptr);
        m_services = std::make_unique<tk::TestBrickServices>(m_module);
        SetBrickServices(m_services.get());
        m_oldHook = platform::SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
            messages.push_back(text);
            return IDOK;
        });
        m_oldClipboard = platform::SetClipboard(&clipboard);
        m_oldSound = platform::SetSoundOutput(&m_sounds);
        SetSoundSwitch(TRUE);
        for (const char* name : {"eras", "clik", "buck", "nudg", "rota", "newb"}) {
            PlaySoundEffect(name);
            ASSERT_FALSE(m_sounds.played.empty()) << name;
            m_soundNames.emplace_back(m_sounds.played.back(), name);
        }
        m_sounds.played.clear();

        m_aliveAtStart = Alive();
        doc = std::make_unique<CDizadoDoc>();
        root = doc->GetBrickList();
        root->AddListener(&pane);
    }

    void TearDown() override
    {
        doc.reset();
        EXPECT_EQ(Alive(), m_aliveAtStart) << "outlived the document";
        platform::SetSoundOutput(m_oldSound);
        platform::SetClipboard(m_oldClipboard);
        platform::SetMessageBoxHook(m_oldHook);
        SetBrickServices(nullptr);
        m_services.reset();
        FreeLibrary(m_module);
        CBrick::SetBrickInvalidation(TRUE);
    }

    // Bricks get readable names in the model's descriptions.
    CBrick* Make(CBrickGroup* group, const char* name, int x, int y, int z = 0, SHORT classId = kPlate,
                 LONG colour = 0, BOOL selected = FALSE)
    {
        CBrick* brick = CBrick::Make(group, CPoint3D(x, y, z), classId, colour, 0, 0);
        brick->SetSelected(selected);
        m_names[brick] = name;
        return brick;
    }
    CBrickGroup* Group(CBrickGroup* parent)
    {
        auto* group = new CBrickGroup;
        group->SetParent(parent);
        return group;
    }

    // The model as a pane would draw and select it: per group, its bricks
    // (name, position, orientation, colour, selected, visible) and its
    // sub-groups, each sorted so that only content counts, not list order.
    std::string Shape(const CBrickGroup* group = nullptr)
    {
        if (!group)
            group = root;
        std::vector<std::string> parts;
        for (int i = 0; i < group->GetBrickCount(); ++i)
            parts.push_back(Describe(group->GetBrickAt(i)));
        std::sort(parts.begin(), parts.end());
        std::vector<std::string> groups;
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            groups.push_back("(" + Shape(group->GetSubGroupAt(i)) + ")");
        std::sort(groups.begin(), groups.end());
        parts.insert(parts.end(), groups.begin(), groups.end());
        std::string text;
        for (const auto& part : parts)
            text += (text.empty() ? "" : " ") + part;
        return text;
    }

    std::string Describe(const CBrick* brick)
    {
        if (!brick)
            return "null";
        auto found = m_names.find(brick);
        if (found == m_names.end())
            found = m_names.emplace(brick, "new" + std::to_string(m_names.size())).first;
        const CPoint3D& at = *brick->GetPositionPtr();
        return found->second + "@" + std::to_string(at.X()) + "," + std::to_string(at.Y()) + "," +
               std::to_string(at.Z()) + "/o" + std::to_string(brick->GetOrientation()) + "/c" +
               std::to_string(brick->GetColorIndex()) + (brick->IsSelectedFlag() ? "/sel" : "") +
               (brick->GetVisibleFlag() ? "" : "/hidden");
    }

    // Every group's cached bounds equal a fresh union of its bricks' boxes.
    static void ExpectFreshBounds(const CBrickGroup* group)
    {
        EXPECT_EQ(group->GetCachedBounds(), group->GetBounds());
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            ExpectFreshBounds(group->GetSubGroupAt(i));
    }

    void EditUndo()
    {
        ASSERT_NE(doc->GetLastAction(), nullptr);
        doc->OnEditUndo();
    }

    // Performs the command as its builders do, then undoes and redoes it
    // twice, comparing the model each time with its state before and after
    // the first performance. Each step leaves the pane holds closed.
    void ExpectRoundTrip(CBrickCommand* command)
    {
        const std::string before = Shape();
        command->Do();
        doc->SetLastAction(command);
        const std::string after = Shape();
        ExpectSettled();
        for (int cycle = 0; cycle < 2; ++cycle) {
            EditUndo();
            EXPECT_TRUE(command->IsUndone());
            EXPECT_EQ(Shape(), before) << "undo " << cycle;
            ExpectSettled();
            EditUndo();
            EXPECT_FALSE(command->IsUndone());
            EXPECT_EQ(Shape(), after) << "redo " << cycle;
            ExpectSettled();
        }
    }

    // Performs the command and hands it to the document, undone or not, then
    // replaces it: what it had taken out of the model must be freed with it,
    // and nothing else. Answers what was out.
    Population ReplaceAndCount(CBrickCommand* command, bool undone)
    {
        const Population alive = Alive();
        const Population tree = InTree(root);
        command->Do();
        doc->SetLastAction(command);
        if (undone)
            EditUndo();
        const Population out = tree - InTree(root);
        doc->SetLastAction(nullptr);
        EXPECT_EQ(InTree(root), tree - out) << "replacing changed the model";
        EXPECT_EQ(Alive(), alive - out) << (undone ? "undone" : "done");
        return out;
    }

    void ExpectSettled()
    {
        EXPECT_EQ(pane.rebuildHolds, 0);
        EXPECT_EQ(pane.extentHolds, 0);
        ExpectFreshBounds(root);
    }

    // Whether the pane heard the step open both holds first and close them last.
    bool Bracketed() const
    {
        const auto& e = pane.events;
        if (e.size() < 4)
            return false;
        const size_t n = e.size();
        return e[0].code == NOTIFY_HOLD_REBUILD && !e[0].hold && e[1].code == NOTIFY_HOLD_EXTENT && !e[1].hold &&
               e[n - 2].code == NOTIFY_HOLD_EXTENT && e[n - 2].hold && e[n - 1].code == NOTIFY_HOLD_REBUILD &&
               e[n - 1].hold;
    }

    // The bricks a pane invalidated at their new place since the last Clear.
    std::set<const CBrick*> Painted() const
    {
        std::set<const CBrick*> bricks;
        for (const auto& event : pane.events)
            if (event.code == NOTIFY_BRICK_CREATED || event.code == NOTIFY_POSITION_CHANGED ||
                event.code == NOTIFY_BRICK_BROADCAST || event.code == NOTIFY_ORIENTATION_CHANGED)
                bricks.insert(reinterpret_cast<const CBrick*>(event.data));
        return bricks;
    }

    std::vector<std::string> Sounds()
    {
        std::vector<std::string> names;
        for (const auto& wave : m_sounds.played) {
            std::string name = "?";
            for (const auto& [bytes, known] : m_soundNames)
                if (bytes == wave)
                    name = known;
            names.push_back(name);
        }
        m_sounds.played.clear();
        return names;
    }

    std::unique_ptr<CDizadoDoc> doc;
    CBrickGroup* root = nullptr;
    tk::Recorder pane;
    platform::MemoryClipboard clipboard;
    std::vector<std::string> messages;

private:
    HMODULE m_module = nullptr;
    std::unique_ptr<tk::TestBrickServices> m_services;
    platform::MessageBoxHook m_oldHook;
    platform::IClipboard* m_oldClipboard = nullptr;
    ISoundOutput* m_oldSound = nullptr;
    SoundLog m_sounds;
    std::vector<std::pair<std::vector<unsigned char>, std::string>> m_soundNames;
    std::map<const CBrick*, std::string> m_names;
    Population m_aliveAtStart;
};

}  // namespace cmdtest
