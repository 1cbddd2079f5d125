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

void CBrickGroup::WriteRecord(CArchive& ar, BOOL selectedOnly) const
{
    std::vector<const CBrick*> bricks;
    for (int i = 0; i < GetSize(); ++i) {
        const CBrick* brick = GetBrickAt(i);
        if (brick && (!selectedOnly || brick->IsSelectedFlag()))
            bricks.push_back(brick);
    }
    std::vector<const CBrickGroup*> groups;
    for (int i = 0; i < GetSubGroupCount(); ++i) {
        const CBrickGroup* group = GetSubGroupAt(i);
        if (group && (!selectedOnly || group->HasSelection()))
            groups.push_back(group);
    }
    CChunkBlock block;
    brick_record::PutLong(block, "bcnt", static_cast<LONG>(bricks.size()));
    brick_record::PutLong(block, "gcnt", static_cast<LONG>(groups.size()));
    brick_record::WriteBlock(ar, block);
    for (const CBrick* brick : bricks)
        brick->Store(ar);
    for (const CBrickGroup* group : groups)
        group->WriteRecord(ar, selectedOnly);
}

void CBrickGroup::ReadContents(CArchive& ar)
{
    ReadRecord(ar, 0);
}

void CBrickGroup::ReadRecord(CArchive& ar, int depth)
{
    DWORD bricks = 0;
    DWORD groups = 0;
    {
        const auto block = brick_record::ReadBlock(ar);
        bricks = static_cast<DWORD>(brick_record::GetLong(*block, "bcnt"));
        groups = static_cast<DWORD>(brick_record::GetLong(*block, "gcnt"));
    }
    const DWORD left = brick_record::BytesLeft(ar);
    if (static_cast<uint64_t>(bricks) + groups > left / kSmallestRecord)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    if (groups > 0 && depth >= kMaxStoredDepth)
        AfxThrowArchiveException(CArchiveException::generic);

    for (DWORD i = 0; i < bricks; ++i) {
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
    for (DWORD i = 0; i < groups; ++i) {
        auto* group = new CBrickGroup;
        group->SetParent(this);
        group->ReadRecord(ar, depth + 1);
    }
}
