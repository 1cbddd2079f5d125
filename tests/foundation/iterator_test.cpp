#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>

#include "foundation/list_iterator.h"
#include "foundation/my_ob_list.h"
#include "platform/core/hooks.h"
#include "tests/support/message_box_recorder.h"

namespace {

static_assert(!std::is_copy_constructible_v<CListIterator> && !std::is_copy_assignable_v<CListIterator>);
static_assert(!std::is_move_constructible_v<CListIterator> && !std::is_move_assignable_v<CListIterator>);

class Named : public CObject {
public:
    explicit Named(char n) : name(n) {}
    char name;
};

// A list of named items that tells its iterators of every change, as the
// brick group does.
class NamedList {
public:
    explicit NamedList(const std::string& names)
    {
        for (char n : names)
            Append(n);
    }

    void Append(char n)
    {
        list.Add(Make(n));
        list.NotifyInsert(list.GetCount());
    }
    void InsertAt(int position, char n)
    {
        list.InsertAt(position - 1, Make(n));
        list.NotifyInsert(position);
    }
    void RemoveAt(int position, int count = 1)
    {
        list.RemoveAt(position - 1, count);
        list.NotifyRemove(position, count);
    }
    void Remove(CObject* item)
    {
        for (int i = 0; i < list.GetSize(); ++i)
            if (list.GetAt(i) == item)
                return RemoveAt(i + 1);
    }

    CMyObList list;

private:
    CObject* Make(char n)
    {
        owned.push_back(std::make_unique<Named>(n));
        return owned.back().get();
    }
    std::vector<std::unique_ptr<Named>> owned;
};

char NameOf(CObject* item)
{
    return static_cast<Named*>(item)->name;
}

// The names fetched by `fetch` until it fails.
template <typename Fetch>
std::string Drain(Fetch fetch)
{
    std::string out;
    CObject* item = nullptr;
    while (fetch(item))
        out += NameOf(item);
    return out;
}

std::string Forward(CListIterator& it)
{
    return Drain([&](CObject*& item) { return it.Next(item); });
}

std::string Backward(CListIterator& it)
{
    return Drain([&](CObject*& item) { return it.Prev(item); });
}

TEST(CListIterator, WalksForwardAndBackward)
{
    NamedList names("PQR");
    CListIterator forward(&names.list, 0);
    EXPECT_EQ(Forward(forward), "PQR");
    CListIterator backward(&names.list, -1);
    EXPECT_EQ(Backward(backward), "RQP");
    // From the end there is nothing ahead, so Next does not start over.
    CListIterator fromEnd(&names.list, -1);
    EXPECT_EQ(Forward(fromEnd), "");

    NamedList empty("");
    CListIterator a(&empty.list, 0), b(&empty.list, -1);
    CObject* item = nullptr;
    EXPECT_FALSE(a.Next(item));
    EXPECT_FALSE(b.Prev(item));
    EXPECT_FALSE(a.Current(item));
}

TEST(CListIterator, RemovalAroundTheCurrentItem)
{
    struct Case {
        int standOn;  // steps of Next from the start
        int removed;  // position removed
        const char* forward;   // Next fetches afterwards
        const char* backward;  // Prev fetches afterwards
    };
    const Case cases[] = {
        {2, 2, "R", "P"},  // the current item goes: between items
        {3, 3, "", "QP"},  // the last one goes
        {1, 1, "QR", ""},  // the first one goes
        {2, 1, "R", ""},   // an earlier one goes: still on Q
        {2, 3, "", "P"},   // the next one goes
        {1, 3, "Q", ""},
    };
    for (const Case& c : cases) {
        for (bool forward : {true, false}) {
            NamedList names("PQR");
            CListIterator it(&names.list, 0);
            CObject* item = nullptr;
            for (int i = 0; i < c.standOn; ++i)
                ASSERT_TRUE(it.Next(item));
            names.RemoveAt(c.removed);
            EXPECT_EQ(forward ? Forward(it) : Backward(it), forward ? c.forward : c.backward)
                << "on " << c.standOn << ", removed " << c.removed << (forward ? ", Next" : ", Prev");
        }
    }
}

TEST(CListIterator, RemovingTheCurrentItemLeavesItBetweenItems)
{
    NamedList names("PQR");
    CListIterator it(&names.list, 0);
    CObject* item = nullptr;
    it.Next(item);
    it.Next(item);
    names.RemoveAt(2);
    EXPECT_EQ(it.GetCurrentPosition(), CListIterator::posBetween);
    EXPECT_EQ(it.GetNextPosition(), 2);
    EXPECT_FALSE(it.Current(item));
}

// While the iterator stands between items, next must keep naming the item
// that followed the removed one through further removals.
TEST(CListIterator, RemovalsWhileBetweenItemsKeepNextOnTheFollowingItem)
{
    struct Case {
        int removedLater;
        const char* forward;
        const char* backward;
    };
    // On C of [A B C D E]; C goes; then one more removal.
    const Case cases[] = {
        {1, "DE", "B"},  // an earlier item: next shifts down
        {2, "DE", "A"},  // the item just before the gap
        {3, "E", "BA"},  // the item next named: the one after it follows
        {4, "D", "BA"},  // a later item: nothing moves
    };
    for (const Case& c : cases) {
        for (bool forward : {true, false}) {
            NamedList names("ABCDE");
            CListIterator it(&names.list, 0);
            CObject* item = nullptr;
            for (int i = 0; i < 3; ++i)
                it.Next(item);
            names.RemoveAt(3);
            names.RemoveAt(c.removedLater);
            EXPECT_EQ(forward ? Forward(it) : Backward(it), forward ? c.forward : c.backward)
                << "then removed " << c.removedLater << (forward ? ", Next" : ", Prev");
        }
    }

    // The item next named was the last: nothing follows any more.
    NamedList names("PQR");
    CListIterator it(&names.list, 0);
    CObject* item = nullptr;
    it.Next(item);
    it.Next(item);
    names.RemoveAt(2);
    names.RemoveAt(2);
    EXPECT_EQ(it.GetNextPosition(), CListIterator::posPastEnd);
    EXPECT_EQ(Backward(it), "P");
}

// Several items removed at once, told in one notification: a walk goes on
// with what followed (or preceded) them and never returns before the gap.
TEST(CListIterator, RemovingSeveralItemsAtOnce)
{
    struct Case {
        int standOn;  // steps of Next from the start over [A B C D E]
        int position;
        int count;
        const char* forward;
        const char* backward;
    };
    const Case cases[] = {
        {3, 2, 3, "E", "A"},    // B C D go, the current one among them
        {3, 3, 3, "", "BA"},    // C D E: nothing follows
        {3, 1, 3, "DE", ""},    // A B C: nothing precedes
        {3, 3, 2, "E", "BA"},   // the current one first of those removed
        {4, 1, 2, "E", "C"},    // earlier items: still on D
        {2, 3, 2, "E", "A"},    // later items: still on B
    };
    for (const Case& c : cases) {
        for (bool forward : {true, false}) {
            NamedList names("ABCDE");
            CListIterator it(&names.list, 0);
            CObject* item = nullptr;
            for (int i = 0; i < c.standOn; ++i)
                ASSERT_TRUE(it.Next(item));
            names.RemoveAt(c.position, c.count);
            EXPECT_EQ(forward ? Forward(it) : Backward(it), forward ? c.forward : c.backward)
                << "on " << c.standOn << ", removed " << c.count << " at " << c.position << (forward ? ", Next" : ", Prev");
        }
    }
}

TEST(CListIterator, WalksThatDeleteEveryItemTheyStandOnVisitEachOnce)
{
    NamedList forwardNames("ABCD");
    std::string seen;
    {
        CListIterator it(&forwardNames.list, 0);
        CObject* item = nullptr;
        while (it.Next(item)) {
            seen += NameOf(item);
            forwardNames.Remove(item);
        }
    }
    EXPECT_EQ(seen, "ABCD");
    EXPECT_EQ(forwardNames.list.GetCount(), 0);

    NamedList backwardNames("ABCD");
    seen.clear();
    CListIterator it(&backwardNames.list, -1);
    CObject* item = nullptr;
    while (it.Prev(item)) {
        seen += NameOf(item);
        backwardNames.Remove(item);
    }
    EXPECT_EQ(seen, "DCBA");
}

TEST(CListIterator, InsertionsBeforeAreNotVisitedAndAppendsBehindAre)
{
    {
        NamedList names("PQ");
        CListIterator it(&names.list, 0);
        CObject* item = nullptr;
        it.Next(item);
        names.InsertAt(1, 'X');
        EXPECT_EQ(it.GetCurrentPosition(), 2);
        ASSERT_TRUE(it.Current(item));
        EXPECT_EQ(NameOf(item), 'P');
        EXPECT_EQ(Forward(it), "Q");
    }
    {
        NamedList names("PQ");
        CListIterator it(&names.list, 0);
        CObject* item = nullptr;
        it.Next(item);
        it.Next(item);
        names.Append('X');
        EXPECT_EQ(Forward(it), "X");
    }
    {
        // Each visit inserts before the current item: no repeat, no endless walk.
        NamedList names("AB");
        std::string seen;
        CListIterator it(&names.list, 0);
        CObject* item = nullptr;
        while (it.Next(item) && seen.size() < 10) {
            seen += NameOf(item);
            names.InsertAt(1, 'x');
        }
        EXPECT_EQ(seen, "AB");
    }
    {
        // Between items, an insertion before the gap moves next along.
        NamedList names("PQR");
        CListIterator it(&names.list, 0);
        CObject* item = nullptr;
        it.Next(item);
        it.Next(item);
        names.RemoveAt(2);
        names.InsertAt(1, 'X');
        EXPECT_EQ(Forward(it), "R");
    }
}

TEST(CListIterator, EveryRegisteredIteratorIsFixedUp)
{
    NamedList names("ABC");
    CListIterator outer(&names.list, 0);
    CObject* item = nullptr;
    outer.Next(item);  // on A
    std::string inner;
    {
        CListIterator nested(&names.list, -1);
        while (nested.Prev(item)) {
            inner += NameOf(item);
            if (NameOf(item) == 'B')
                names.Remove(item);
        }
        EXPECT_EQ(names.list.GetFirstIterator(), &nested);
    }
    EXPECT_EQ(inner, "CBA");
    EXPECT_EQ(names.list.GetFirstIterator(), &outer);
    EXPECT_EQ(outer.GetNextIterator(), nullptr);
    EXPECT_EQ(Forward(outer), "C");
}

TEST(CListIterator, ListDestroyedUnderAnIterator)
{
    auto names = std::make_unique<NamedList>("PQR");
    auto first = std::make_unique<CListIterator>(&names->list, 0);
    CListIterator second(&names->list, -1);
    CObject* item = nullptr;
    first->Next(item);
    names.reset();

    EXPECT_EQ(first->GetCurrentPosition(), CListIterator::posListGone);
    EXPECT_EQ(first->GetNextPosition(), CListIterator::posListGone);
    EXPECT_FALSE(first->Current(item));
    EXPECT_FALSE(first->Next(item));
    EXPECT_FALSE(first->Prev(item));
    EXPECT_FALSE(second.Prev(item));
    first->SetPosition(0);
    EXPECT_EQ(first->GetCurrentPosition(), CListIterator::posListGone);
    // Neither destructor may touch the freed list (ASan).
    first.reset();
}

TEST(CListIterator, AnIteratorIsNeverLinkedTwice)
{
    MessageBoxRecorder boxes;
    NamedList names("PQ");
    CListIterator older(&names.list, 0);
    CListIterator head(&names.list, 0);
    CObject* item = nullptr;
    older.Next(item);

    // Again at the head, and again deeper in the chain.
    EXPECT_FALSE(names.list.AddIterator(&head));
    EXPECT_FALSE(names.list.AddIterator(&older));
    EXPECT_EQ(boxes.texts, (std::vector<std::string>(2, "CListIterator::SetNextIterator")));
    // A loop here would hang the fix-up below.
    ASSERT_EQ(names.list.GetFirstIterator(), &head);
    ASSERT_EQ(head.GetNextIterator(), &older);
    ASSERT_EQ(older.GetNextIterator(), nullptr);

    // One fix-up per insertion, not two.
    names.InsertAt(1, 'X');
    EXPECT_EQ(older.GetCurrentPosition(), 2);

    // Nor is it taken into another list's chain.
    NamedList other("A");
    EXPECT_FALSE(other.list.AddIterator(&older));
    EXPECT_EQ(other.list.GetFirstIterator(), nullptr);
}

}  // namespace
