// The stored form of the brick tree: one group record per group, each with
// its brick records and then its sub-groups' records.
#include <cstdint>
#include <vector>

#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "model/brick_record.h"
#include "platform/core/archive.h"
#include "platform/core/exceptions.h"

namespace {

// Every record starts with its four-byte length, so a count larger than the
// bytes left can only come from a damaged file.
constexpr DWORD kSmallestRecord = 4;

}  // namespace

void CBrickGroup::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        WriteContents(ar);
    else
        ReadContents(ar);
}

void CBrickGroup::WriteContents(CArchive& ar) const
{
    WriteRecord(ar, FALSE);
}

void CBrickGroup::WriteSelectedContents(CArchive& ar) const
{
    WriteRecord(ar, TRUE);
}

// Depth-first on a stack of its own, as deep as the tree goes.
void CBrickGroup::WriteRecord(CArchive& ar, BOOL selectedOnly) const
{
    // Writes one group's block and bricks; answers the sub-groups whose
    // records follow them.
    auto writeGroup = [&](const CBrickGroup* group) {
        std::vector<const CBrick*> bricks;
        for (int i = 0; i < group->GetSize(); ++i) {
            const CBrick* brick = group->GetBrickAt(i);
            if (brick && (!selectedOnly || brick->IsSelectedFlag()))
                bricks.push_back(brick);
        }
        std::vector<const CBrickGroup*> groups;
        for (int i = 0; i < group->GetSubGroupCount(); ++i) {
            const CBrickGroup* sub = group->GetSubGroupAt(i);
            if (sub && (!selectedOnly || sub->HasSelection()))
                groups.push_back(sub);
        }
        CChunkBlock block;
        brick_record::PutLong(block, "bcnt", static_cast<LONG>(bricks.size()));
        brick_record::PutLong(block, "gcnt", static_cast<LONG>(groups.size()));
        brick_record::WriteBlock(ar, block);
        for (const CBrick* brick : bricks)
            brick->Store(ar);
        return groups;
    };

    struct Open {
        std::vector<const CBrickGroup*> groups;
        size_t next = 0;
    };
    std::vector<Open> open;
    open.push_back({writeGroup(this)});
    while (!open.empty()) {
        Open& top = open.back();
        if (top.next == top.groups.size()) {
            open.pop_back();
            continue;
        }
        const CBrickGroup* group = top.groups[top.next++];
        open.push_back({writeGroup(group)});
    }
}

void CBrickGroup::ReadBricks(CArchive& ar, DWORD count)
{
    for (DWORD i = 0; i < count; ++i) {
        // Read before it joins: a record that fails half-way leaves nothing behind.
        auto* brick = CBrick::NewForReading();
        try {
            brick->Load(ar);
        } catch (...) {
            delete brick;
            throw;
        }
        brick->SetOwner(this);
        brick->Notify(NOTIFY_BRICK_CREATED);
    }
}

// Depth-first on a stack of its own: a file's nesting is bounded only by its
// size.
BOOL CBrickGroup::ReadContents(CArchive& ar)
{
    // Reads a group block; answers its group count, checked with the brick
    // count against the bytes left.
    auto readCounts = [&ar](DWORD& bricks) {
        DWORD groups = 0;
        {
            const auto block = brick_record::ReadBlock(ar);
            bricks = static_cast<DWORD>(brick_record::GetLong(*block, "bcnt"));
            groups = static_cast<DWORD>(brick_record::GetLong(*block, "gcnt"));
        }
        const DWORD left = brick_record::BytesLeft(ar);
        if (static_cast<uint64_t>(bricks) + groups > left / kSmallestRecord)
            AfxThrowArchiveException(CArchiveException::endOfFile);
        return groups;
    };

    // One entry per record being read: the group that takes its contents,
    // that group's depth, and the records of sub-groups still to come.
    struct Open {
        CBrickGroup* group;
        int depth;
        DWORD groupsLeft;
    };
    std::vector<Open> open;
    BOOL flattened = FALSE;
    DWORD bricks = 0;
    DWORD groups = readCounts(bricks);
    ReadBricks(ar, bricks);
    open.push_back({this, GetDepth(), groups});
    while (!open.empty()) {
        Open& top = open.back();
        if (top.groupsLeft == 0) {
            open.pop_back();
            continue;
        }
        --top.groupsLeft;
        CBrickGroup* parent = top.group;
        const int parentDepth = top.depth;
        groups = readCounts(bricks);
        // Made only once its block has been read: a damaged record leaves no
        // empty group behind.
        CBrickGroup* group = parent;
        int depth = parentDepth;
        if (parentDepth < kMaxDepth) {
            group = new CBrickGroup;
            group->SetParent(parent);
            ++depth;
        } else {
            flattened = TRUE;
        }
        group->ReadBricks(ar, bricks);
        open.push_back({group, depth, groups});
    }
    return flattened;
}
