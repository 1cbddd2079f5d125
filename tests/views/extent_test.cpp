// The extent update keeps the union of the bricks' rectangles and the count
// of selected bricks as bricks and groups change; both must always agree
// with a walk of the whole tree.
#include "views_fixture.h"

#include <functional>

namespace viewstest {
namespace {

class ExtentPane : public RecordingPane {
public:
    void SetExtent(const RECT& rect) override { extents.push_back(rect); }
    std::vector<RECT> extents;
};

class KeptExtent : public PaneTest, public ::testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        ASSERT_TRUE(extentPane.AttachDocument(&doc));
    }

    void Collect(CBrickGroup* group)
    {
        groups.push_back(group);
        for (int i = 0; i < group->GetSize(); ++i)
            if (CBrick* brick = group->GetBrickAt(i))
                bricks.push_back(brick);
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            if (CBrickGroup* sub = group->GetSubGroupAt(i))
                Collect(sub);
    }

    void ExpectAgreement(const char* step)
    {
        RECT walked;
        extentPane.GetDizadoRect(&walked);
        const RECT kept = extentPane.GetKeptDizadoRect();
        EXPECT_TRUE(kept.left == walked.left && kept.top == walked.top && kept.right == walked.right &&
                    kept.bottom == walked.bottom)
            << step << ": kept " << kept.left << "," << kept.top << "," << kept.right << "," << kept.bottom
            << " walked " << walked.left << "," << walked.top << "," << walked.right << "," << walked.bottom;
        EXPECT_EQ(Root()->GetCachedSelectedDeep(), Root()->CountSelectedDizadoDeep()) << step;
        bricks.clear();
        groups.clear();
        Collect(Root());
        for (const CBrickGroup* group : groups) {
            int own = 0;
            for (int i = 0; i < group->GetSize(); ++i)
                own += group->GetBrickAt(i) && group->GetBrickAt(i)->IsSelectedFlag();
            EXPECT_EQ(group->CountSelectedDizado(), own) << step;
            EXPECT_EQ(group->HasSelection() != FALSE, group->CountSelectedDizadoDeep() > 0) << step;
        }
    }

    ExtentPane extentPane;
    std::vector<CBrick*> bricks;
    std::vector<CBrickGroup*> groups;
};

TEST_P(KeptExtent, AgreesWithTheWalkThroughEveryKindOfChange)
{
    std::mt19937 random(GetParam());
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const SHORT classes[] = {2009, 2007, 2018, 2020, 1030};
    std::vector<CBrickGroup*> detached;
    using Step = std::pair<const char*, std::function<void()>>;
    const Step steps[] = {
        {"make", [&] { Add(pick(40) - 8, pick(40) - 8, pick(12), classes[pick(5)], pick(12), 0, groups[pick(static_cast<int>(groups.size()))]); }},
        {"make selected", [&] { Add(pick(30), pick(30), pick(8))->SetSelected(TRUE); }},
        {"move", [&] { if (!bricks.empty()) bricks[pick(static_cast<int>(bricks.size()))]->ChangePosition(CPoint3D(pick(50) - 10, pick(50) - 10, pick(20))); }},
        {"delete", [&] { if (!bricks.empty()) bricks[pick(static_cast<int>(bricks.size()))]->Delete(TRUE); }},
        {"turn", [&] { if (!bricks.empty()) bricks[pick(static_cast<int>(bricks.size()))]->ChangeOrientation(static_cast<SHORT>(pick(4))); }},
        {"class", [&] { if (!bricks.empty()) bricks[pick(static_cast<int>(bricks.size()))]->ChangeType(classes[pick(5)]); }},
        {"select", [&] { if (!bricks.empty()) bricks[pick(static_cast<int>(bricks.size()))]->SetSelected(pick(2)); }},
        {"regroup brick", [&] { if (!bricks.empty()) bricks[pick(static_cast<int>(bricks.size()))]->SetOwner(groups[pick(static_cast<int>(groups.size()))]); }},
        {"new group", [&] { (new CBrickGroup)->SetParent(groups[pick(static_cast<int>(groups.size()))]); }},
        {"detach group", [&] { if (groups.size() > 1) { CBrickGroup* g = groups[1 + pick(static_cast<int>(groups.size()) - 1)]; g->SetParent(nullptr); detached.push_back(g); } }},
        {"attach group", [&] { if (!detached.empty()) { detached.back()->SetParent(groups[pick(static_cast<int>(groups.size()))]); detached.pop_back(); } }},
        {"delete group", [&] { if (groups.size() > 1) delete groups[1 + pick(static_cast<int>(groups.size()) - 1)]; }},
        {"origin", [&] { extentPane.SetOrigin(100 + pick(300), 200 + pick(200), FALSE); }},
        {"select all", [&] { Root()->SelectAll(pick(2)); }},
    };
    for (int i = 0; i < 600; ++i) {
        bricks.clear();
        groups.clear();
        Collect(Root());
        const Step& step = steps[i < 40 ? 0 : pick(static_cast<int>(std::size(steps)))];
        step.second();
        ExpectAgreement(step.first);
        if (HasFailure())
            break;
    }
    for (CBrickGroup* g : detached)
        delete g;
}

INSTANTIATE_TEST_SUITE_P(Seeds, KeptExtent, ::testing::Values(1u, 2u, 3u, 4u));

TEST_F(KeptExtent, ExtentHookGetsTheWalksAreaAfterAnEmptyAndAReopenedModel)
{
    ExpectAgreement("empty");
    Add(3, 3, 0);
    ExpectAgreement("one brick");
    doc.DeleteContents();
    ExpectAgreement("deleted");
    Add(-5, 9, 2, 2020);
    ExpectAgreement("after deletion");
    ASSERT_FALSE(extentPane.extents.empty());
}

}  // namespace
}  // namespace viewstest
