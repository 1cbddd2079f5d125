#include "model/brick_automation.h"

#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/hooks.h"

IMPLEMENT_DYNCREATE(CBrickPosition, CCmdTarget)
IMPLEMENT_DYNCREATE(CBrickBounds, CCmdTarget)

BEGIN_DISPATCH_MAP(CBrickPosition, CCmdTarget)
    DISP_PROPERTY(CBrickPosition, "x", x, VT_I2)
    DISP_PROPERTY(CBrickPosition, "y", y, VT_I2)
    DISP_PROPERTY(CBrickPosition, "z", z, VT_I2)
END_DISPATCH_MAP()

BEGIN_DISPATCH_MAP(CBrickBounds, CCmdTarget)
    DISP_PROPERTY(CBrickBounds, "minx", minx, VT_I2)
    DISP_PROPERTY(CBrickBounds, "miny", miny, VT_I2)
    DISP_PROPERTY(CBrickBounds, "minz", minz, VT_I2)
    DISP_PROPERTY(CBrickBounds, "maxx", maxx, VT_I2)
    DISP_PROPERTY(CBrickBounds, "maxy", maxy, VT_I2)
    DISP_PROPERTY(CBrickBounds, "maxz", maxz, VT_I2)
END_DISPATCH_MAP()

BEGIN_DISPATCH_MAP(CBrick, CCmdTarget)
    DISP_PROPERTY_EX(CBrick, "Position", GetPositionObject, SetPositionObject, VT_DISPATCH)
    DISP_PROPERTY_EX(CBrick, "Bounds", GetBoundsObject, SetBoundsObject, VT_DISPATCH)
    DISP_FUNCTION(CBrick, "SetOrientation", DispSetOrientation, VT_EMPTY, VT_I2)
    DISP_FUNCTION(CBrick, "GetOrientation", DispGetOrientation, VT_I2)
    DISP_FUNCTION(CBrick, "SetType", DispSetType, VT_EMPTY, VT_I2)
    DISP_FUNCTION(CBrick, "GetType", DispGetType, VT_I2)
    DISP_FUNCTION(CBrick, "SetColor", DispSetColor, VT_EMPTY, VT_I2)
    DISP_FUNCTION(CBrick, "GetColor", DispGetColor, VT_I2)
    DISP_FUNCTION(CBrick, "SetPose", DispSetPose, VT_EMPTY, VT_I2)
    DISP_FUNCTION(CBrick, "GetPose", DispGetPose, VT_I2)
    DISP_FUNCTION(CBrick, "IsSelected", DispIsSelected, VT_BOOL)
    DISP_FUNCTION(CBrick, "Select", DispSelect, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(CBrick, "IsVisible", DispIsVisible, VT_BOOL)
    DISP_FUNCTION(CBrick, "Visible", DispVisible, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(CBrick, "IsSelectable", DispIsSelectable, VT_BOOL)
    DISP_FUNCTION(CBrick, "Selectable", DispSelectable, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(CBrick, "IsMoveable", DispIsMoveable, VT_BOOL)
    DISP_FUNCTION(CBrick, "Moveable", DispMoveable, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(CBrick, "IsColorable", DispIsColorable, VT_BOOL)
    DISP_FUNCTION(CBrick, "Colorable", DispColorable, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(CBrick, "Length", DispLength, VT_I2)
    DISP_FUNCTION(CBrick, "Width", DispWidth, VT_I2)
    DISP_FUNCTION(CBrick, "Height", DispHeight, VT_I2)
END_DISPATCH_MAP()

BOOL CBrick::IsInvokeAllowed(DISPID)
{
    return m_pOwner && m_pOwner->IsInModel() ? TRUE : FALSE;
}

IDispatch* CBrick::GetPositionObject()
{
    CBrickPosition* position = nullptr;
    IDispatch* dispatch = HandOutNew(position);
    position->x = m_position.X();
    position->y = m_position.Y();
    position->z = m_position.Z();
    return dispatch;
}

void CBrick::SetPositionObject(IDispatch* value)
{
    CCmdTarget* target = CCmdTarget::FromIDispatch(value);
    if (!target || !target->IsKindOf(RUNTIME_CLASS(CBrickPosition)))
        return;
    const auto* position = static_cast<CBrickPosition*>(target);
    ChangePosition(CPoint3D(position->x, position->y, position->z));
}

IDispatch* CBrick::GetBoundsObject()
{
    CBrickBounds* bounds = nullptr;
    IDispatch* dispatch = HandOutNew(bounds);
    const CPoint3D& low = m_worldBox.Min();
    const CPoint3D& high = m_worldBox.Max();
    bounds->minx = low.X();
    bounds->miny = low.Y();
    bounds->minz = low.Z();
    bounds->maxx = high.X();
    bounds->maxy = high.Y();
    bounds->maxz = high.Z();
    return dispatch;
}

void CBrick::SetBoundsObject(IDispatch* value)
{
    CCmdTarget* target = CCmdTarget::FromIDispatch(value);
    if (target && target->IsKindOf(RUNTIME_CLASS(CBrickBounds)))
        AfxMessageBox("Read Only: Bounds", MB_OK);
}

void CBrick::DispSetType(SHORT classId)
{
    if (!IsKnownClassId(classId))
        AfxThrowOleDispatchException("No kit holds this brick class.");
    ChangeType(classId);
}

void CBrick::DispSetColor(SHORT colour)
{
    if (colour < 0 || colour >= kColorCount)
        AfxThrowOleDispatchException("A colour is a number from 0 to 11.");
    ChangeColor(colour);
}

BEGIN_DISPATCH_MAP(CBrickGroup, CMyObList)
    DISP_FUNCTION(CBrickGroup, "GetListCount", GetListCount, VT_I4)
    DISP_FUNCTION(CBrickGroup, "GetBrickCount", GetBrickCount, VT_I4)
    DISP_FUNCTION(CBrickGroup, "GetBrick", DispGetBrick, VT_DISPATCH, VT_I4)
    DISP_FUNCTION(CBrickGroup, "GetList", DispGetList, VT_DISPATCH, VT_I4)
END_DISPATCH_MAP()

BOOL CBrickGroup::IsInModel() const
{
    const CBrickGroup* top = this;
    while (top->m_pParent)
        top = top->m_pParent;
    return top->m_bModelRoot;
}

BOOL CBrickGroup::IsInvokeAllowed(DISPID)
{
    return IsInModel();
}

IDispatch* CBrickGroup::DispGetBrick(LONG index)
{
    CBrick* brick = GetBrick(index);
    return brick ? brick->GetIDispatch(TRUE) : nullptr;
}

IDispatch* CBrickGroup::DispGetList(LONG index)
{
    CBrickGroup* group = GetList(index);
    return group ? group->GetIDispatch(TRUE) : nullptr;
}
