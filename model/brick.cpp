#include "model/brick.h"

#include <vector>

#include "foundation/notification_codes.h"
#include "model/brick_group.h"
#include "model/brick_record.h"
#include "model/brick_services.h"
#include "model/class_reading.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"

IMPLEMENT_SERIAL(CBrick, CCmdTarget, 1)

namespace {

BOOL g_bBrickInvalidation = TRUE;

// The built-in class is always taken as known, so that making one never has
// to ask the kits.
bool IsKnownClass(SHORT classId)
{
    if (classId == IDC_BUILTIN_CLASS)
        return true;
    CClassReading* reading = CClassReading::Current();
    return (reading ? reading->HasBrickClass(classId) : GetBrickServices()->HasBrickClass(classId)) != FALSE;
}

BOOL AsBool(LONG value)
{
    return value != 0 ? TRUE : FALSE;
}

}  // namespace

BOOL CBrick::IsKnownClassId(SHORT classId)
{
    return IsKnownClass(classId) ? TRUE : FALSE;
}

CBrick::CBrick(CBrickGroup* owner) : CBrick(IDC_BUILTIN_CLASS, owner) {}

CBrick::CBrick(SHORT classId, CBrickGroup* owner)
{
    EnableAutomation();
    m_nClassId = m_nStoredClassId = IsKnownClass(classId) ? classId : IDC_BUILTIN_CLASS;
    SetPositionField(kOrigin3D);
    SetOwner(owner);
}

CBrick* CBrick::NewForReading()
{
    auto* brick = new CBrick(ReadingTag{});
    brick->EnableAutomation();
    return brick;
}

CBrick::~CBrick()
{
    if (m_pOwner) {
        CBrickGroup* owner = m_pOwner;
        m_pOwner = nullptr;
        // Gone without a word to the listeners: what they keep of the tree
        // must be built anew.
        if (!m_bDeletionSent)
            owner->NoteSilentChange();
        owner->RemoveBrick(this);
    }
    ReleaseLook();
}

CBrick* CBrick::Make(CBrickGroup* group, const CPoint3D& position, SHORT classId, LONG colour, SHORT pose,
                     SHORT orientation)
{
    if (group)
        group->OnBrickNotify(nullptr, NOTIFY_BRICK_CREATING);
    auto* brick = new CBrick(classId, group);
    CPaneHold extentHold(group, CPaneHold::extent);
    brick->ApplyFields(position, pose, orientation, colour);
    brick->OnCreated();
    brick->Notify(NOTIFY_BRICK_CREATED);
    return brick;
}

CBrick* CBrick::Duplicate(const CPoint3D& offset, CBrickGroup* group)
{
    CMemFile file(1024);
    {
        CArchive out(&file, CArchive::store, 4096);
        Store(out);
        out.Close();
    }
    file.SeekToBegin();
    auto* copy = new CBrick;
    try {
        CArchive in(&file, CArchive::load, 4096);
        copy->Load(in);
    } catch (...) {
        delete copy;
        throw;
    }
    copy->SetOwner(group ? group : m_pOwner);
    copy->ChangePosition(m_position + offset);
    copy->OnCreated();
    return copy;
}

void CBrick::Delete(BOOL really)
{
    if (!really)
        return;
    Notify(NOTIFY_BRICK_DELETING);
    m_bDeletionSent = true;
    delete this;
}

void CBrick::SetOwner(CBrickGroup* group)
{
    Detach();
    if (!group)
        return;
    group->OnBrickNotify(nullptr, NOTIFY_BRICK_JOINING);
    group->AddBrick(this);
    m_pOwner = group;
    Notify(NOTIFY_BRICK_JOINED);
}

void CBrick::Detach()
{
    if (!m_pOwner)
        return;
    Notify(NOTIFY_BRICK_LEAVING);
    CBrickGroup* group = m_pOwner;
    group->RemoveBrick(this);
    m_pOwner = nullptr;
    group->OnBrickNotify(nullptr, NOTIFY_BRICK_LEFT);
}

void CBrick::Notify(UINT code)
{
    if (m_pOwner)
        m_pOwner->OnBrickNotify(this, code);
}

void CBrick::ChangePosition(const CPoint3D& point)
{
    Notify(NOTIFY_POSITION_CHANGING);
    SetPositionField(point);
    Notify(NOTIFY_POSITION_CHANGED);
}

void CBrick::ChangeType(SHORT classId)
{
    Notify(NOTIFY_CLASS_CHANGING);
    if (IsKnownClass(classId)) {
        SetTypeField(classId);
        Recalc();
    }
    Notify(NOTIFY_CLASS_CHANGED);
}

void CBrick::ChangeColor(LONG value)
{
    Notify(NOTIFY_COLOR_CHANGING);
    SetColorField(value);
    Notify(NOTIFY_COLOR_CHANGED);
}

void CBrick::ChangePose(SHORT pose)
{
    Notify(NOTIFY_POSE_CHANGING);
    SetPoseField(pose);
    Notify(NOTIFY_POSE_CHANGED);
}

void CBrick::ChangeOrientation(SHORT orientation)
{
    Notify(NOTIFY_ORIENTATION_CHANGING);
    SetOrientationField(orientation);
    Notify(NOTIFY_ORIENTATION_CHANGED);
}

void CBrick::NextOrientation()
{
    ChangeOrientation(WrapOrientation(static_cast<SHORT>(m_nOrientation + 1)));
}

void CBrick::PrevOrientation()
{
    ChangeOrientation(WrapOrientation(static_cast<SHORT>(m_nOrientation - 1)));
}

void CBrick::SetSelected(BOOL selected)
{
    selected = AsBool(selected);
    if (selected == m_bSelected)
        return;
    Notify(NOTIFY_SELECTED_CHANGING);
    m_bSelected = selected;
    if (m_pOwner)
        m_pOwner->OnBrickSelectedChanged(selected);
    Notify(NOTIFY_SELECTED_CHANGED);
}

void CBrick::SetVisible(BOOL visible)
{
    visible = AsBool(visible);
    if (visible == m_bVisible)
        return;
    Notify(NOTIFY_VISIBLE_CHANGING);
    m_bVisible = visible;
    Notify(NOTIFY_VISIBLE_CHANGED);
}

void CBrick::SetSelectable(BOOL selectable)
{
    Notify(NOTIFY_SELECTABLE_CHANGING);
    m_bSelectable = AsBool(selectable);
    Notify(NOTIFY_SELECTABLE_CHANGED);
}

void CBrick::SetMoveable(BOOL moveable)
{
    Notify(NOTIFY_MOVEABLE_CHANGING);
    m_bMoveable = AsBool(moveable);
    Notify(NOTIFY_MOVEABLE_CHANGED);
}

void CBrick::SetColorable(BOOL colorable)
{
    Notify(NOTIFY_COLORABLE_CHANGING);
    m_bColorable = AsBool(colorable);
    Notify(NOTIFY_COLORABLE_CHANGED);
}

SHORT CBrick::WrapPose(SHORT pose) const
{
    if (pose < 0)
        return static_cast<SHORT>(m_nPoseCount - 1);
    return pose >= m_nPoseCount ? SHORT{0} : pose;
}

SHORT CBrick::WrapOrientation(SHORT orientation)
{
    if (orientation < 0)
        return kOrientationCount - 1;
    return orientation >= kOrientationCount ? SHORT{0} : orientation;
}

int CBrick::ColorRemainder(LONG value)
{
    // A negative value would give a negative remainder, which no table takes.
    const SHORT colour = grid::Wrap(value);
    return colour < 0 ? -1 : colour % kColorCount;
}

void CBrick::SetOrientationField(SHORT orientation)
{
    m_nOrientation = WrapOrientation(orientation);
    Recalc();
}

void CBrick::SetColorField(LONG value)
{
    const int remainder = ColorRemainder(value);
    if (remainder >= 0 && IsColorAllowed(remainder))
        m_nColor = remainder;
}

void CBrick::SetWorldBox(const CBox3D& box)
{
    if (box == m_worldBox)
        return;
    const CBox3D before = m_worldBox;
    m_worldBox = box;
    if (m_pOwner)
        m_pOwner->UpdateContribution(&before, &m_worldBox);
}

void CBrick::Rotate(const CPoint3D& centre, const CPoint3D& offset, BOOL direction)
{
    const CPoint3D& low = m_worldBox.Min();
    const CPoint3D& high = m_worldBox.Max();
    const int cx = centre.X();
    const int cy = centre.Y();
    const CPoint3D corner = direction ? CPoint3D(cx + cy - high.Y(), cy + low.X() - cx, low.Z())
                                      : CPoint3D(cx + low.Y() - cy, cy + cx - high.X(), low.Z());
    MoveTo(corner + offset);
    if (direction)
        NextOrientation();
    else
        PrevOrientation();
}

POINT CBrick::GetRegionOrigin() const
{
    POINT origin;
    const CRegion& mask = GetRegion();
    if (!mask.IsEmpty()) {
        origin.x = mask.GetLeft();
        origin.y = mask.GetTop();
    }
    return origin;
}

CBrickGroup* CBrick::GetOuterGroup() const
{
    if (!m_pOwner || !m_pOwner->GetParent())
        return nullptr;
    CBrickGroup* group = m_pOwner;
    while (group->GetParent()->GetParent())
        group = group->GetParent();
    return group;
}

BOOL CBrick::GetListFlag() const
{
    return !m_pOwner || g_bBrickInvalidation;
}

void CBrick::SetBrickInvalidation(BOOL on)
{
    g_bBrickInvalidation = AsBool(on);
}

void CBrick::Store(CArchive& ar) const
{
    CChunkBlock block;
    brick_record::PutLong(block, "ptyp", m_nStoredClassId);
    brick_record::PutLong(block, "pose", IsClassMissing() ? m_nStoredPose : m_nPose);
    brick_record::PutLong(block, "angl", m_nOrientation);
    brick_record::PutLong(block, "colr", m_nColor);
    brick_record::PutLong(block, "pvis", m_bVisible);
    brick_record::PutLong(block, "sble", m_bSelectable);
    brick_record::PutLong(block, "mble", m_bMoveable);
    brick_record::PutLong(block, "cble", m_bColorable);
    BYTE position[6];
    for (int axis = 0; axis < 3; ++axis) {
        const auto value = static_cast<WORD>(m_position[axis]);
        position[2 * axis] = HIBYTE(value);
        position[2 * axis + 1] = LOBYTE(value);
    }
    block.Put("ppos", position, sizeof position);
    brick_record::PutLong(block, "selc", m_bSelected);
    brick_record::WriteBlock(ar, block);
}

void CBrick::Load(CArchive& ar)
{
    // One walk over the record's bytes finds every field; the buffer is kept,
    // as a model holds thousands of records of much the same size.
    enum { kClass, kPose, kAngle, kColour, kVisible, kSelectable, kMoveable, kColorable, kPosition, kSelected, kCount };
    static const char* const kTags[kCount] = {"ptyp", "pose", "angl", "colr", "pvis",
                                              "sble", "mble", "cble", "ppos", "selc"};
    thread_local std::vector<BYTE> bytes;
    struct Trim {
        // A huge record must not stay held after the reading.
        ~Trim()
        {
            if (bytes.capacity() > 4096)
                std::vector<BYTE>().swap(bytes);
        }
    } trim;
    brick_record::ReadBytes(ar, bytes);
    brick_record::Field fields[kCount];
    brick_record::FindFields(bytes.data(), bytes.size(), kTags, fields, kCount);

    const auto classId = grid::Wrap(brick_record::FieldLong(fields[kClass]));
    const auto pose = grid::Wrap(brick_record::FieldLong(fields[kPose]));
    const auto orientation = grid::Wrap(brick_record::FieldLong(fields[kAngle]));
    const LONG colour = brick_record::FieldLong(fields[kColour]);
    // A record without a position keeps the one the brick has.
    CPoint3D position = m_position;
    if (const brick_record::Field& stored = fields[kPosition]; stored.found && stored.length >= 6) {
        for (int axis = 0; axis < 3; ++axis)
            position[axis] = static_cast<SHORT>(MAKEWORD(stored.data[2 * axis + 1], stored.data[2 * axis]));
    }

    // A class no kit provides (its kit taken away) is shown as the default
    // class but keeps its id, so that a save does not turn the model into
    // default bricks for when the kit comes back.
    m_nStoredClassId = classId;
    m_nStoredPose = pose;
    if (IsKnownClass(classId)) {
        m_nClassId = classId;
    } else {
        m_nClassId = IDC_BUILTIN_CLASS;
        if (CClassReading* reading = CClassReading::Current())
            reading->NoteMissingClass(classId);
    }
    ApplyFields(position, pose, orientation, colour);
    m_bVisible = AsBool(brick_record::FieldLong(fields[kVisible]));
    m_bSelectable = AsBool(brick_record::FieldLong(fields[kSelectable]));
    m_bMoveable = AsBool(brick_record::FieldLong(fields[kMoveable]));
    m_bColorable = AsBool(brick_record::FieldLong(fields[kColorable]));
    const BOOL selected = AsBool(brick_record::FieldLong(fields[kSelected]));
    if (m_pOwner && selected != m_bSelected)
        m_pOwner->OnBrickSelectedChanged(selected);
    m_bSelected = selected;
}

void CBrick::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}
