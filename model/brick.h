// Defined in (model/):
//   brick.cpp: making, the fields and their changes, groups, turning, copying, the record
//   brick_resources.cpp: the class's records, the picture and mask, drawing in a colour
//   brick_automation.cpp: the dispatch methods and the position and bounds objects
//
// One toy brick: its class, pose, quarter-turn orientation, colour, grid
// position and the box it fills, five flags, and the picture and mask it is
// drawn with, which it shares with every brick that shows the same ones. Every
// change is told to its group as a before and an after code, which the group
// relays to the panes.
#pragma once

#include "foundation/geometry3d.h"
#include "foundation/region.h"
#include "model/live_count.h"
#include "platform/core/cmd_target.h"
#include "platform/core/global_memory.h"
#include "platform/core/resources.h"
#include "platform/core/types.h"
#include "resources/resource_ids.h"

class CArchive;
class CBrickGroup;
class CBrickLook;
class CDC;
struct BITMAPINFO;
struct BrickClassData;

class CBrick : public CCmdTarget {
    DECLARE_SERIAL(CBrick)
public:
    static constexpr int kColorCount = 12;
    static constexpr int kShadeCount = 9;
    static constexpr int kOrientationCount = 4;
    // Shade 0 of colour c is palette entry kFirstShadeEntry + 9c; shade s is s below it.
    static constexpr int kFirstShadeEntry = 17;

    static SHORT GetDefaultType() { return IDC_BUILTIN_CLASS; }

    // A class id that no kit and not the program holds becomes the default class.
    explicit CBrick(CBrickGroup* owner = nullptr);
    // A brick about to be read from a stored record: no owner, and its class
    // is not read until Load sets every field.
    static CBrick* NewForReading();
    CBrick(SHORT classId, CBrickGroup* owner);
    // Leaves the group without telling anyone.
    ~CBrick() override;
    CBrick(const CBrick&) = delete;
    CBrick& operator=(const CBrick&) = delete;
    // Bricks alive in the process.
    static long LiveCount() { return CLiveCount<CBrick>::Live(); }

    // The one way a new brick is made: NOTIFY_BRICK_CREATING,
    // NOTIFY_BRICK_JOINING, NOTIFY_BRICK_JOINED, NOTIFY_HOLD_EXTENT (FALSE),
    // NOTIFY_BRICK_CREATED, then NOTIFY_HOLD_EXTENT (TRUE). The extent hold is
    // closed here, so a caller that wants it open longer (a drag that
    // follows) opens its own around the call.
    static CBrick* Make(CBrickGroup* group, const CPoint3D& position, SHORT classId, LONG colour, SHORT pose,
                        SHORT orientation);
    // A copy in `group` (this brick's own when null), moved by `offset`
    // (NOTIFY_BRICK_JOINING, NOTIFY_BRICK_JOINED, NOTIFY_POSITION_CHANGING,
    // NOTIFY_POSITION_CHANGED; no NOTIFY_BRICK_CREATING or _CREATED).
    CBrick* Duplicate(const CPoint3D& offset, CBrickGroup* group = nullptr);
    // TRUE: NOTIFY_BRICK_DELETING, then the brick is destroyed. FALSE: nothing.
    void Delete(BOOL really);
    void OnCreated() {}

    // Leaves the current group, then joins `group` (NOTIFY_BRICK_JOINING,
    // appended, NOTIFY_BRICK_JOINED).
    void SetOwner(CBrickGroup* group);
    // NOTIFY_BRICK_LEAVING, removed, NOTIFY_BRICK_LEFT.
    void Detach();
    // Relayed by the group to the root's listeners; nothing without a group.
    void Notify(UINT code);

    // Setters that notify: the before-code, the change, the after-code.
    void ChangePosition(const CPoint3D& point);
    void MoveTo(const CPoint3D& point) { ChangePosition(point); }
    // A class nobody holds leaves the brick as it is (the codes are still sent).
    void ChangeType(SHORT classId);
    // A refused colour leaves the colour as it is; the codes are still sent.
    void ChangeColor(LONG value);
    void ChangePose(SHORT pose);
    void ChangeOrientation(SHORT orientation);
    void NextOrientation();
    void PrevOrientation();
    // Send only when the value differs.
    void SetSelected(BOOL selected);
    void UpdateSelected(BOOL selected) { SetSelected(selected); }
    void SetVisible(BOOL visible);
    // Send even when the value is the same.
    void SetSelectable(BOOL selectable);
    void SetMoveable(BOOL moveable);
    void SetColorable(BOOL colorable);

    // Raw setters: no notification. Out-of-range poses and orientations wrap to
    // the other end; a colour is read as a 16-bit number, taken modulo 12 and
    // kept only when it is not negative and the class allows it.
    void SetPositionField(const CPoint3D& point);
    void SetPoseField(SHORT pose);
    void SetOrientationField(SHORT orientation);
    void SetColorField(LONG value);
    // Stores the id only: the caller reloads the class data.
    void SetTypeField(SHORT classId) { m_nClassId = m_nStoredClassId = classId; }

    // Reloads pose count, mask, picture and box from the class. FALSE, with
    // nothing changed, when the class's records cannot be read.
    BOOL Recalc();

    // A quarter turn about the vertical axis through the centre's x and y.
    void Rotate(const CPoint3D& centre, const CPoint3D& offset, BOOL direction);

    SHORT GetClassId() const { return m_nClassId; }
    SHORT GetPoseCount() const { return m_nPoseCount; }
    SHORT GetPose() const { return m_nPose; }
    SHORT GetOrientation() const { return m_nOrientation; }
    LONG GetColorIndex() const { return m_nColor; }
    const CPoint3D* GetPositionPtr() const { return &m_position; }
    const CBox3D& GetWorldBox() const { return m_worldBox; }
    CBrickGroup* GetOwner() const { return m_pOwner; }
    BOOL IsSelectedFlag() const { return m_bSelected; }
    BOOL GetVisibleFlag() const { return m_bVisible; }
    BOOL IsSelectableFlag() const { return m_bSelectable; }
    BOOL IsMoveableFlag() const { return m_bMoveable; }
    BOOL GetColorableFlag() const { return m_bColorable; }
    // The mask and picture of the current look; empty and null until it is
    // first loaded. Shared with other bricks: read only.
    const CRegion& GetRegion() const;
    HGLOBAL GetPicture() const;
    // Left and top of the mask; (0, 0) without one.
    POINT GetRegionOrigin() const;
    // The group just below the root that holds the brick; null at the root.
    CBrickGroup* GetOuterGroup() const;

    // Whether panes invalidate this brick's area when it changes: always for a
    // brick without a group, else the program-wide switch that the group and
    // ungroup commands turn off while they move bricks between groups.
    BOOL GetListFlag() const;
    static void SetBrickInvalidation(BOOL on);

    // The class's resources. Each opens the class module for the reading
    // unless one is passed in.
    BOOL IsColorAllowed(LONG colour, HMODULE module = nullptr) const;
    // 0 when the class record cannot be read.
    SHORT ReadClassPoseCount(HMODULE module = nullptr) const;
    // The box of the current pose and orientation, relative to the position.
    BOOL ReadClassBox(CBox3D& box, HMODULE module = nullptr) const;
    // The picture and mask ids of the current pose and orientation.
    BOOL ReadPictureRecord(WORD& imageId, WORD& regionId, HMODULE module = nullptr) const;

    // A private copy of a "BRICKIMAGE" resource; null when it is missing or
    // not an 8-bit picture whose pixels lie inside the resource.
    static HGLOBAL LoadImage(HMODULE module, UINT id);

    // Draws through `paint`; `screen` is where the picture's top-left pixel
    // goes. Expects the shared palette selected into the context.
    void Draw(CDC* dc, const CRegion& paint, const RECT& screen);
    // A missing picture warns once a run; tests start the run over.
    static void AllowPictureWarningAgain();
    // The mask moved to the projected box's left (points[1].x) and top
    // (points[0].y); without a mask, the hexagon of the six points.
    CRegion GetScreenRegion(const POINT points[6]) const;
    // base, base - 1, ..., base - 8.
    static void FillColorRamp(WORD* table, int base);
    // Copies the picture one row run at a time wherever the region lies inside
    // the picture placed at `rect`'s top-left. `info` carries palette-index
    // colours; its width and height are restored before returning.
    static void DrawThroughRegion(CDC* dc, const RECT& rect, int width, int height, BITMAPINFO* info,
                                  const BYTE* pixels, const CRegion& region);

    // One stored record (big-endian chunks). Load takes an unknown class as the
    // default one and puts every value through the raw setters.
    void Store(CArchive& ar) const;
    void Load(CArchive& ar);
    void Serialize(CArchive& ar) override;

    // The id the brick writes back: the one it was read with while no kit
    // provides that class (the brick then stands in as the default class,
    // and writes back the pose it was read with too), else its class id.
    SHORT GetStoredClassId() const { return m_nStoredClassId; }
    BOOL IsClassMissing() const { return m_nStoredClassId != m_nClassId; }

    // A class id that the program or a kit holds.
    static BOOL IsKnownClassId(SHORT classId);
    // Clients reach the brick only while it is part of a model: not once it
    // has been erased, or its group taken out.
    BOOL IsInvokeAllowed(DISPID id) override;

protected:
    // Dispatch handlers.
    IDispatch* GetPositionObject();
    void SetPositionObject(IDispatch* value);
    IDispatch* GetBoundsObject();
    void SetBoundsObject(IDispatch* value);
    void DispSetOrientation(SHORT orientation) { ChangeOrientation(orientation); }
    SHORT DispGetOrientation() { return m_nOrientation; }
    void DispSetType(SHORT classId);
    SHORT DispGetType() { return m_nClassId; }
    void DispSetColor(SHORT colour);
    SHORT DispGetColor() { return static_cast<SHORT>(m_nColor); }
    void DispSetPose(SHORT pose) { ChangePose(pose); }
    SHORT DispGetPose() { return m_nPose; }
    LONG DispIsSelected() { return m_bSelected; }
    void DispSelect(LONG selected) { SetSelected(selected); }
    LONG DispIsVisible() { return m_bVisible; }
    void DispVisible(LONG visible) { SetVisible(visible); }
    LONG DispIsSelectable() { return m_bSelectable; }
    void DispSelectable(LONG selectable) { SetSelectable(selectable); }
    LONG DispIsMoveable() { return m_bMoveable; }
    void DispMoveable(LONG moveable) { SetMoveable(moveable); }
    LONG DispIsColorable() { return m_bColorable; }
    void DispColorable(LONG colorable) { SetColorable(colorable); }
    SHORT DispLength() { return static_cast<SHORT>(m_worldBox.Max().X() - m_worldBox.Min().X()); }
    SHORT DispWidth() { return static_cast<SHORT>(m_worldBox.Max().Y() - m_worldBox.Min().Y()); }
    SHORT DispHeight() { return static_cast<SHORT>(m_worldBox.Max().Z() - m_worldBox.Min().Z()); }

    DECLARE_DISPATCH_MAP()

private:
    struct ReadingTag {};
    explicit CBrick(ReadingTag) {}
    // Fills the fields from values that may come from anywhere (a caller, a
    // file) with one reading of the class.
    void ApplyFields(const CPoint3D& position, SHORT pose, SHORT orientation, LONG colour);
    BOOL ReadClass(HMODULE module, BrickClassData& data) const;
    BOOL RecalcWith(HMODULE module, const BrickClassData& data);
    SHORT WrapPose(SHORT pose) const;
    static SHORT WrapOrientation(SHORT orientation);
    static int ColorRemainder(LONG value);
    // Every change of the box passes here, so that group caches follow it.
    void SetWorldBox(const CBox3D& box);
    void ReleaseLook();

    [[no_unique_address]] CLiveCount<CBrick> m_live;
    SHORT m_nClassId = IDC_BUILTIN_CLASS;
    SHORT m_nPoseCount = 1;
    SHORT m_nPose = 0;
    SHORT m_nOrientation = 0;
    SHORT m_nStoredClassId = IDC_BUILTIN_CLASS;
    // The pose read with a missing class: the default class has one pose only.
    SHORT m_nStoredPose = 0;
    LONG m_nColor = 0;
    CPoint3D m_position;
    CBox3D m_worldBox;
    CBrickGroup* m_pOwner = nullptr;
    bool m_bDeletionSent = false;
    BOOL m_bSelected = FALSE;
    BOOL m_bVisible = TRUE;
    BOOL m_bSelectable = TRUE;
    BOOL m_bMoveable = TRUE;
    BOOL m_bColorable = TRUE;
    CBrickLook* m_pLook = nullptr;
};
