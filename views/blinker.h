// The blinking outline around the selected bricks. No timer: the application's
// idle tick reaches it through its pane, and it flips its phase when more than
// its interval has passed. It is drawn in the not-xor mix, so drawing it twice
// in one phase gives the pixels back; black shows it, white hides it.
#pragma once

#include "foundation/region.h"
#include "platform/core/types.h"
#include "platform/gdi/gdi_types.h"

class CBrickPane;
class CDC;

class CBlinker {
public:
    static constexpr COLORREF kPhaseColours[2] = {RGB(0, 0, 0), RGB(255, 255, 255)};

    explicit CBlinker(SHORT interval);
    ~CBlinker();
    CBlinker(const CBlinker&) = delete;
    CBlinker& operator=(const CBlinker&) = delete;

    // Once, in the current phase, on `dc` (prepared by the owner) or, without
    // one, on a client context of the owner's window.
    void Draw(CDC* dc);
    // Answers the previous value; nothing changes unless `apply`.
    BOOL Show(BOOL show, BOOL apply);
    // Takes the present outline off the screen and puts a copy of `region`
    // (none: nothing) on in phase 0.
    void SetTarget(CBrickPane* owner, const CRegion* region);
    void Offset(int dx, int dy);
    void OnTick();
    // Milliseconds until a tick would flip the phase (0: now), -1 while there
    // is no outline to blink: when the idle tick is next of use.
    int UntilNextFlip() const;

    const CRegion& GetRegion() const { return m_region; }
    SHORT GetPhase() const { return m_nPhase; }
    BOOL IsShown() const { return m_bShown; }
    CBrickPane* GetOwner() const { return m_pOwner; }

private:
    BOOL HasOutline() const;

    CRegion m_region;
    DWORD m_dwLastTick;
    SHORT m_nInterval;
    SHORT m_nPhase = 0;
    BOOL m_bShown = FALSE;
    CBrickPane* m_pOwner = nullptr;
};
