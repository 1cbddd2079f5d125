// The small objects a brick hands to automation clients for its position and
// its box. They are snapshots, not linked to the brick once handed out; each
// lives until its clients' last release.
#pragma once

#include "platform/core/cmd_target.h"

class CBrickPosition : public CCmdTarget {
    DECLARE_DYNCREATE(CBrickPosition)
public:
    CBrickPosition() { EnableAutomation(); }

    SHORT x = 0;
    SHORT y = 0;
    SHORT z = 0;

    DECLARE_DISPATCH_MAP()
};

class CBrickBounds : public CCmdTarget {
    DECLARE_DYNCREATE(CBrickBounds)
public:
    CBrickBounds() { EnableAutomation(); }

    SHORT minx = 0;
    SHORT miny = 0;
    SHORT minz = 0;
    SHORT maxx = 0;
    SHORT maxy = 0;
    SHORT maxz = 0;

    DECLARE_DISPATCH_MAP()
};

// Makes the object, hands its one reference to the caller's interface and
// answers that interface: the object goes with the caller's last release.
template <typename T>
IDispatch* HandOutNew(T*& object)
{
    object = new T;
    IDispatch* dispatch = object->GetIDispatch(TRUE);
    object->InternalRelease();
    return dispatch;
}
