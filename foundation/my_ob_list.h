// The one list class of the program: a pointer array that is also a notifier
// and a list that live iterators can walk. Brick groups and brick sets derive
// from it. It owns nothing it holds.
#pragma once

#include "foundation/cmd_target_array.h"
#include "foundation/iterable_list.h"
#include "foundation/notifier.h"

class CMyObList : public CCmdTargetArray, public CNotifier, public CIterableList {
    DECLARE_SERIAL(CMyObList)
public:
    // Grows by 25 and sends as a list.
    CMyObList();
    ~CMyObList() override = default;

    // Add, InsertAt and RemoveAt do not tell the iterators: the list's owner
    // does, once the change is made.

    int GetCount() const override { return GetSize(); }
    BOOL GetItemAt(int position, CObject*& item) const override;
    // FALSE, storing nothing, outside 1..count.
    BOOL SetItemAt(int position, CObject* item);
    int GetUpperBound() const { return GetSize() - 1; }
};
