// Device contexts: drawing state (pen, mix mode, current position) over one of
// the layer's surfaces. Drawing is the layer's own pixel code, by the rules the
// program was written against: a line leaves out its end point, and every pen
// pixel goes through the binary raster operation.
#pragma once

#include "platform/core/object.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/surface.h"

class CDC : public CObject {
public:
    CDC();
    // Draws into `surface`, which must outlive the context; null draws nothing.
    explicit CDC(platform::Surface* surface);
    ~CDC() override = default;

    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    platform::Surface* GetSurface() const { return m_surface; }
    void SetSurface(platform::Surface* surface) { m_surface = surface; }

    // Answers the pen selected before; null (and nothing changes) for null.
    // The context keeps the pen's attributes from the moment of selection.
    CPen* SelectObject(CPen* pen);

    // Answers the previous mode; 0 (and nothing changes) for an unknown one.
    int SetROP2(int mode);
    int GetROP2() const { return m_rop2; }

    // Answers the previous position.
    POINT MoveTo(int x, int y);
    POINT MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    // Draws from the current position up to, not including, (x, y), which
    // becomes the current position.
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    POINT GetCurrentPosition() const { return m_position; }

    // CLR_INVALID outside the surface.
    COLORREF GetPixel(int x, int y) const;
    // Copies the colour regardless of the mix mode; answers it, or CLR_INVALID
    // outside the surface.
    COLORREF SetPixel(int x, int y, COLORREF colour);

private:
    void PlotPenPixel(int x, int y);
    void PlotPenRow(long long x0, long long x1, int y);  // [x0, x1)

    platform::Surface* m_surface = nullptr;
    CPen* m_pen = nullptr;
    int m_penStyle = PS_SOLID;
    uint32_t m_penPixel = platform::Surface::kOpaque;
    int m_rop2 = R2_COPYPEN;
    POINT m_position;
};
