#include "foundation/line_stepper.h"

namespace {

// Arithmetic on any 32-bit input wraps instead of overflowing.
inline LONG Wrap(long long v)
{
    return static_cast<LONG>(static_cast<ULONG>(static_cast<unsigned long long>(v)));
}

}  // namespace

CLineStepper::CLineStepper(LONG x0, LONG y0, LONG x1, LONG y1)
{
    Init(x0, y0, x1, y1);
}

void CLineStepper::Init(LONG x0, LONG y0, LONG x1, LONG y1)
{
    long long dx = static_cast<long long>(x1) - x0;
    m_decreasing = dx < 0;
    if (dx < 0)
        dx = -dx;
    const long long dy = static_cast<long long>(y1) - y0;
    long long step = 0;
    long long remainder = 0;
    if (dy <= 0) {
        // Outside the contract: no division, and x stays where it is.
    } else if (dy >= dx) {
        remainder = dx;
    } else {
        step = dx / dy;
        if (m_decreasing)
            step = -step;
        remainder = dx % dy;
    }
    m_step = Wrap(step);
    m_twoRemainder = Wrap(2 * remainder);
    m_twoRemainderLessDy = Wrap(2 * (remainder - dy));
    m_error = dy <= 0 ? -1 : Wrap(2 * remainder - dy);
    m_x = x0;
    m_y = y0;
    m_endY = y1;
}

BOOL CLineStepper::Step(POINT* point)
{
    m_x = Wrap(static_cast<long long>(m_x) + m_step);
    if (m_error >= 0) {
        m_error = Wrap(static_cast<long long>(m_error) + m_twoRemainderLessDy);
        m_x = Wrap(static_cast<long long>(m_x) + (m_decreasing ? -1 : 1));
    } else {
        m_error = Wrap(static_cast<long long>(m_error) + m_twoRemainder);
    }
    m_y = Wrap(static_cast<long long>(m_y) + 1);
    point->x = m_x;
    point->y = m_y;
    return m_y < m_endY;
}
