// Integer stepper along a line, one row at a time, as the polygon scan
// conversion needs: for each row below the start it gives the line's x.
#pragma once

#include "platform/core/types.h"

class CLineStepper {
public:
    CLineStepper() = default;
    CLineStepper(LONG x0, LONG y0, LONG x1, LONG y1);

    // Callers give y1 > y0. A segment without height only steps once, with x
    // unchanged, and reports its end.
    void Init(LONG x0, LONG y0, LONG x1, LONG y1);
    // Moves one row down and gives the new point; FALSE once the row of the
    // end point has been reached (the point given is then on that row).
    BOOL Step(POINT* point);

private:
    LONG m_step = 0;
    LONG m_endY = 0;
    LONG m_error = 0;
    LONG m_x = 0;
    LONG m_y = 0;
    LONG m_twoRemainder = 0;
    LONG m_twoRemainderLessDy = 0;
    LONG m_decreasing = 0;
};
