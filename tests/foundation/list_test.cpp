#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/my_ob_list.h"
#include "foundation/notification_codes.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"

namespace {

// A serializable element with a value, so that a round trip can be checked.
class ListTestItem : public CObject {
    DECLARE_SERIAL(ListTestItem)
public:
    ListTestItem() = default;
    explicit ListTestItem(WORD v) : value(v) {}
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << value;
        else
            ar >> value;
    }
    WORD value = 0;
};

}  // namespace

IMPLEMENT_SERIAL(ListTestItem, CObject, 3)

namespace {

TEST(CMyObList, GrowsByTwentyFiveAfterAnExactFirstSlot)
{
    CMyObList list;
    EXPECT_EQ(list.GetGrowBy(), 25);
    EXPECT_EQ(list.GetMaxSize(), 0);

    struct Step {
        int appends;
        int slots;
    };
    const Step steps[] = {{1, 1}, {2, 26}, {26, 26}, {27, 51}, {51, 51}, {52, 76}};
    ListTestItem item;
    int done = 0;
    for (const Step& step : steps) {
        while (done < step.appends)
            EXPECT_EQ(list.Add(&item), done++);
        EXPECT_EQ(list.GetSize(), step.appends);
        EXPECT_EQ(list.GetMaxSize(), step.slots) << "after " << step.appends << " appends";
    }
}

TEST(CCmdTargetArray, SetSizeGrowsByExactlyTheGrowByOrToTheSize)
{
    CCmdTargetArray array;
    EXPECT_EQ(array.GetGrowBy(), 0);
    array.SetSize(3);
    EXPECT_EQ(array.GetMaxSize(), 3);
    array.SetSize(4);  // grow-by 0: no headroom at all
    EXPECT_EQ(array.GetMaxSize(), 4);

    array.SetSize(5, 10);
    EXPECT_EQ(array.GetGrowBy(), 10);
    EXPECT_EQ(array.GetMaxSize(), 14);
    array.SetSize(40, -1);  // grow-by kept; 14 + 10 is not enough, so exactly 40
    EXPECT_EQ(array.GetGrowBy(), 10);
    EXPECT_EQ(array.GetMaxSize(), 40);

    array.SetSize(0);
    EXPECT_EQ(array.GetSize(), 0);
    EXPECT_EQ(array.GetMaxSize(), 0);
}

TEST(CCmdTargetArray, SlotsReusedWithinTheAllocationComeBackNull)
{
    CMyObList list;
    ListTestItem a, b, c;
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    list.RemoveAt(0, 2);
    ASSERT_EQ(list.GetSize(), 1);
    EXPECT_EQ(list.GetAt(0), &c);
    EXPECT_EQ(list.GetMaxSize(), 26);  // the allocation stays

    list.SetSize(3);
    EXPECT_EQ(list.GetAt(1), nullptr);
    EXPECT_EQ(list.GetAt(2), nullptr);
    list.SetSize(1);
    list.SetSize(2);
    EXPECT_EQ(list.GetAt(1), nullptr);
}

std::vector<CObject*> Contents(const CCmdTargetArray& array)
{
    std::vector<CObject*> out;
    for (int i = 0; i < array.GetSize(); ++i)
        out.push_back(array.GetAt(i));
    return out;
}

TEST(CCmdTargetArray, InsertAtAndRemoveAtMoveTheTail)
{
    ListTestItem a, b, c, x;
    CMyObList list;
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);

    list.InsertAt(1, &x, 2);
    EXPECT_EQ(Contents(list), (std::vector<CObject*>{&a, &x, &x, &b, &c}));
    list.InsertAt(0, &c);
    EXPECT_EQ(Contents(list), (std::vector<CObject*>{&c, &a, &x, &x, &b, &c}));
    list.RemoveAt(2, 2);
    EXPECT_EQ(Contents(list), (std::vector<CObject*>{&c, &a, &b, &c}));
    list.RemoveAt(3);
    EXPECT_EQ(Contents(list), (std::vector<CObject*>{&c, &a, &b}));

    // Past the end the gap is padded with nulls.
    list.InsertAt(5, &x);
    EXPECT_EQ(Contents(list), (std::vector<CObject*>{&c, &a, &b, nullptr, nullptr, &x}));
    list.SetAtGrow(7, &a);
    EXPECT_EQ(list.GetSize(), 8);
    EXPECT_EQ(list.GetAt(6), nullptr);
    EXPECT_EQ(list.GetAt(7), &a);
}

TEST(CMyObList, ItemPositionsCountFromOne)
{
    ListTestItem a, b, sentinel;
    CMyObList list;
    CObject* item = &sentinel;
    EXPECT_FALSE(list.GetItemAt(0, item));
    EXPECT_FALSE(list.GetItemAt(1, item));
    EXPECT_EQ(list.GetUpperBound(), -1);

    list.Add(&a);
    list.Add(&b);
    struct Case {
        int position;
        CObject* expected;  // null: not an item position
    };
    const Case cases[] = {{-1, nullptr}, {0, nullptr}, {1, &a}, {2, &b}, {3, nullptr}};
    for (const Case& c : cases) {
        item = &sentinel;
        EXPECT_EQ(list.GetItemAt(c.position, item), c.expected ? TRUE : FALSE) << c.position;
        EXPECT_EQ(item, c.expected ? c.expected : &sentinel) << c.position;
    }
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetUpperBound(), 1);

    EXPECT_TRUE(list.SetItemAt(2, &a));
    EXPECT_FALSE(list.SetItemAt(0, &b));
    EXPECT_FALSE(list.SetItemAt(3, &b));
    EXPECT_EQ(Contents(list), (std::vector<CObject*>{&a, &a}));
}

TEST(CMyObList, RemoveAllFreesTheTableButNotTheElements)
{
    auto* a = new ListTestItem(7);
    CMyObList list;
    list.Add(a);
    list.RemoveAll();
    EXPECT_EQ(list.GetSize(), 0);
    EXPECT_EQ(list.GetMaxSize(), 0);
    EXPECT_EQ(a->value, 7);  // ASan would report a freed element here
    delete a;
}

TEST(CMyObList, IsACreatableSerialClassThatSendsAsAList)
{
    const CRuntimeClass* array = CRuntimeClass::FromName("CCmdTargetArray");
    const CRuntimeClass* list = CRuntimeClass::FromName("CMyObList");
    ASSERT_EQ(array, RUNTIME_CLASS(CCmdTargetArray));
    ASSERT_EQ(list, RUNTIME_CLASS(CMyObList));
    EXPECT_EQ(array->m_wSchema, 0u);
    EXPECT_EQ(list->m_wSchema, 1u);
    EXPECT_TRUE(list->IsDerivedFrom(RUNTIME_CLASS(CCmdTarget)));

    CObject* made = list->CreateObject();
    ASSERT_NE(made, nullptr);
    auto* madeList = dynamic_cast<CMyObList*>(made);
    ASSERT_NE(madeList, nullptr);
    EXPECT_EQ(madeList->GetNotifyId(), NOTIFY_ID_LIST);
    EXPECT_EQ(madeList->GetGrowBy(), 25);
    delete made;
}

TEST(CMyObList, SerializeRoundTripKeepsOrderNullsAndSharedElements)
{
    ListTestItem a(1), b(2);
    CMyObList inner;
    inner.Add(&b);
    CMyObList outer;
    outer.Add(&a);
    outer.Add(nullptr);
    outer.Add(&inner);
    outer.Add(&a);

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteObject(&outer);
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CObject* read = ar.ReadObject(RUNTIME_CLASS(CMyObList));
    auto* list = dynamic_cast<CMyObList*>(read);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetSize(), 4);
    auto* readA = dynamic_cast<ListTestItem*>(list->GetAt(0));
    ASSERT_NE(readA, nullptr);
    EXPECT_EQ(readA->value, 1);
    EXPECT_EQ(list->GetAt(1), nullptr);
    EXPECT_EQ(list->GetAt(3), readA);  // one object, stored once
    auto* readInner = dynamic_cast<CMyObList*>(list->GetAt(2));
    ASSERT_NE(readInner, nullptr);
    ASSERT_EQ(readInner->GetSize(), 1);
    auto* readB = dynamic_cast<ListTestItem*>(readInner->GetAt(0));
    ASSERT_NE(readB, nullptr);
    EXPECT_EQ(readB->value, 2);

    // The lists own nothing.
    delete readB;
    delete readInner;
    delete readA;
    delete list;
}

TEST(CCmdTargetArray, StoringRefusesCountsThatDoNotFitSixteenBits)
{
    for (int size : {0xFFFF, 0x10000}) {
        CCmdTargetArray array;
        array.SetSize(size);
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        if (size > 0xFFFF) {
            EXPECT_THROW(array.Serialize(ar), CArchiveException);
            EXPECT_EQ(file.GetLength(), 0u) << "nothing is written before the refusal";
            continue;
        }
        array.Serialize(ar);
        ar.Close();
        file.SeekToBegin();
        CArchive in(&file, CArchive::load);
        CCmdTargetArray back;
        back.Serialize(in);
        EXPECT_EQ(back.GetSize(), size);
    }
}

TEST(CCmdTargetArray, LoadingReplacesEarlierContents)
{
    ListTestItem a;
    CCmdTargetArray empty;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        empty.SetSize(2);  // two nulls
        empty.Serialize(ar);
        ar.Close();
    }
    file.SeekToBegin();
    CCmdTargetArray target;
    target.Add(&a);
    target.Add(&a);
    target.Add(&a);
    CArchive ar(&file, CArchive::load);
    target.Serialize(ar);
    EXPECT_EQ(Contents(target), (std::vector<CObject*>{nullptr, nullptr}));
}

}  // namespace
