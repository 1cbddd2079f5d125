#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/list_walker.h"
#include "foundation/my_ob_list.h"

namespace {

class TestGroup;

class TestItem : public CObject {
public:
    TestItem(char n, TestGroup* g) : name(n), group(g) {}
    char name;
    TestGroup* group;
};

// The smallest group a walker can walk: items and sub-groups in two lists,
// changed the way the brick group changes them, telling the iterators.
class TestGroup : public CObject, public CWalkableGroup {
public:
    explicit TestGroup(char n) : name(n) {}

    CIterableList* GetItemList() override { return &items; }
    CIterableList* GetSubGroupList() override { return &subGroups; }

    TestItem* AddItem(char n)
    {
        owned.push_back(std::make_unique<TestItem>(n, this));
        items.Add(owned.back().get());
        items.NotifyInsert(items.GetCount());
        return owned.back().get();
    }
    TestGroup* AddGroup(char n)
    {
        ownedGroups.push_back(std::make_unique<TestGroup>(n));
        subGroups.Add(ownedGroups.back().get());
        subGroups.NotifyInsert(subGroups.GetCount());
        return ownedGroups.back().get();
    }
    static void RemoveFrom(CMyObList& list, CObject* item)
    {
        for (int i = 0; i < list.GetSize(); ++i) {
            if (list.GetAt(i) == item) {
                list.RemoveAt(i);
                list.NotifyRemove(i + 1);
                return;
            }
        }
    }

    char name;
    CMyObList items;
    CMyObList subGroups;

private:
    std::vector<std::unique_ptr<TestItem>> owned;
    std::vector<std::unique_ptr<TestGroup>> ownedGroups;
};

// root [P Q], sub-groups G [R] (with H [S]) and K [T].
struct Tree {
    Tree()
    {
        root.AddItem('P');
        root.AddItem('Q');
        TestGroup* g = root.AddGroup('G');
        g->AddItem('R');
        g->AddGroup('H')->AddItem('S');
        root.AddGroup('K')->AddItem('T');
    }
    TestGroup root{'*'};
};

// Records the items and the groups it reaches; may stop on one item.
class RecordingWalker : public CListWalker {
public:
    using CListWalker::CListWalker;

    BOOL WalkGroup(CWalkableGroup* group) override
    {
        groups += group ? static_cast<TestGroup*>(group)->name : '0';
        return CListWalker::WalkGroup(group);
    }
    BOOL VisitBrick(CObject* item) override
    {
        const char n = item ? static_cast<TestItem*>(item)->name : '0';
        items += n;
        return n == stopAt;
    }

    std::string items;
    std::string groups;
    char stopAt = 0;
};

TEST(CListWalker, OrderFollowsTheFlags)
{
    struct Case {
        BOOL recurse, visit, backward;
        const char* items;
        const char* groups;
    };
    const Case cases[] = {
        {TRUE, TRUE, FALSE, "PQRST", "*GHK"},
        {TRUE, TRUE, TRUE, "QPTRS", "*KGH"},  // bricks still before sub-groups
        {FALSE, TRUE, FALSE, "PQ", "*"},
        {FALSE, TRUE, TRUE, "QP", "*"},
        {TRUE, FALSE, FALSE, "", "*GHK"},
        {FALSE, FALSE, FALSE, "", "*"},
    };
    for (const Case& c : cases) {
        Tree tree;
        RecordingWalker walker(&tree.root, c.recurse, c.visit, c.backward);
        EXPECT_FALSE(walker.Walk());
        EXPECT_EQ(walker.items, c.items) << c.recurse << c.visit << c.backward;
        EXPECT_EQ(walker.groups, c.groups) << c.recurse << c.visit << c.backward;
    }
}

TEST(CListWalker, TrueFromAnyLevelEndsTheWholeWalk)
{
    struct Case {
        char stopAt;
        const char* items;
        const char* groups;
    };
    const Case cases[] = {{'Q', "PQ", "*"}, {'R', "PQR", "*G"}, {'S', "PQRS", "*GH"}, {'T', "PQRST", "*GHK"}};
    for (const Case& c : cases) {
        Tree tree;
        RecordingWalker walker(&tree.root);
        walker.stopAt = c.stopAt;
        EXPECT_TRUE(walker.Walk()) << c.stopAt;
        EXPECT_EQ(walker.items, c.items) << c.stopAt;
        EXPECT_EQ(walker.groups, c.groups) << c.stopAt;
    }
}

TEST(CListWalker, NullItemsAreVisitedAndStrangeSubGroupsSkipped)
{
    TestGroup root('*');
    root.AddItem('P');
    root.items.Add(nullptr);
    root.subGroups.Add(nullptr);
    TestItem notAGroup('x', &root);
    root.subGroups.Add(&notAGroup);
    root.AddGroup('G')->AddItem('R');

    RecordingWalker walker(&root);
    EXPECT_FALSE(walker.Walk());
    EXPECT_EQ(walker.items, "P0R");
    EXPECT_EQ(walker.groups, "*G");

    RecordingWalker none(nullptr);
    EXPECT_FALSE(none.Walk());
}

// Takes every item it visits out of its group, as deleting a brick does.
class RemovingWalker : public RecordingWalker {
public:
    using RecordingWalker::RecordingWalker;
    BOOL VisitBrick(CObject* item) override
    {
        RecordingWalker::VisitBrick(item);
        auto* testItem = static_cast<TestItem*>(item);
        TestGroup::RemoveFrom(testItem->group->items, item);
        if (testItem->name == 'P')
            testItem->group->AddItem('X');  // appended behind: visited too
        return FALSE;
    }
};

TEST(CListWalker, VisitsMayRemoveAndAppendItems)
{
    for (BOOL backward : {FALSE, TRUE}) {
        Tree tree;
        RemovingWalker walker(&tree.root, TRUE, TRUE, backward);
        EXPECT_FALSE(walker.Walk());
        // Backward, P goes last: the append lands in the gap it leaves, which
        // counts as before it, so the walk still reaches it.
        EXPECT_EQ(walker.items, backward ? "QPXTRS" : "PQXRST");
        EXPECT_EQ(tree.root.items.GetCount(), 0);
    }
}

// Takes each sub-group out of its parent while walking it, as deleting a
// group's contents does.
class DetachingWalker : public RecordingWalker {
public:
    using RecordingWalker::RecordingWalker;
    BOOL WalkGroup(CWalkableGroup* group) override
    {
        BOOL stop = RecordingWalker::WalkGroup(group);
        if (!parents.empty())
            TestGroup::RemoveFrom(parents.back()->subGroups, static_cast<TestGroup*>(group));
        return stop;
    }
    BOOL VisitSubGroups(CWalkableGroup* group) override
    {
        parents.push_back(static_cast<TestGroup*>(group));
        BOOL stop = CListWalker::VisitSubGroups(group);
        parents.pop_back();
        return stop;
    }
    std::vector<TestGroup*> parents;
};

TEST(CListWalker, SubGroupsMayLeaveWhileTheyAreWalked)
{
    Tree tree;
    DetachingWalker walker(&tree.root);
    EXPECT_FALSE(walker.Walk());
    EXPECT_EQ(walker.groups, "*GHK");
    EXPECT_EQ(walker.items, "PQRST");
    EXPECT_EQ(tree.root.subGroups.GetCount(), 0);
}

}  // namespace
