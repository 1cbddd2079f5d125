// The owner-drawn picture button the children's screens are built from: it
// shows one of several device-independent pictures by its state and never
// draws text or a border of its own.
#pragma once

#include <vector>

#include "platform/core/global_memory.h"
#include "platform/core/resources.h"
#include "platform/ui/controls.h"

class CPalette;

class CGTransButton : public CButton {
    DECLARE_DYNCREATE(CGTransButton)
public:
    enum { kNormal = 0, kPressed = 1, kFocused = 2, kDisabled = 3 };

    CGTransButton();
    ~CGTransButton() override;

    // An RT_BITMAP resource into `slot`; id 0 only empties the slot. FALSE
    // (slot empty) when the resource is missing or not a whole picture.
    BOOL LoadImageResource(HMODULE module, UINT id, int slot);
    // The same from a bitmap file.
    BOOL LoadImageFile(const char* path, int slot);
    // To the size of picture 0, or to cx by cy when slot 0 is empty.
    void SizeToImage(int cx, int cy);
    BOOL SetPalette(CPalette* palette)
    {
        m_pPalette = palette;
        return TRUE;
    }
    void SetAutoState(BOOL on) { m_bAutoState = on; }
    void SetToggle(BOOL on) { m_bToggle = on; }
    BOOL ShowImage(int slot);
    void SetHighlight(BOOL on);

    int GetCurrentImage() const { return m_nCurrentImage; }
    int GetImageWidth() const { return m_nWidth; }
    int GetImageHeight() const { return m_nHeight; }
    int GetSlotCount() const { return static_cast<int>(m_images.size()); }
    BOOL HasImage(int slot) const { return slot >= 0 && slot < GetSlotCount() && m_images[slot] != nullptr; }
    // The slot a draw with `state` (ODS_...) shows.
    int ChooseImage(UINT state) const;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    // Checks a packed picture (information header, colour table, pixels):
    // a header of a known size, a positive size, a bit count the drawing
    // reads, and every pixel inside `size`. Answers its whole length, 0 when
    // it fails.
    static size_t CheckPackedPicture(const void* bytes, size_t size);

protected:
    BOOL StoreImage(const void* bytes, size_t size, int slot);
    void EmptySlot(int slot);
    void TakeSizeFromSlotZero();
    void DrawHighlight();

    BOOL OnEraseBkgnd(CDC* dc);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);

    CPalette* m_pPalette = nullptr;
    std::vector<HGLOBAL> m_images;  // owned, one packed picture each
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
    int m_nCurrentImage = 0;
    BOOL m_bAutoState = FALSE;
    BOOL m_bToggle = FALSE;
    BOOL m_bHighlight = FALSE;

    DECLARE_MESSAGE_MAP()
};
