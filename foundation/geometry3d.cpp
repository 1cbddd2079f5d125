#include "foundation/geometry3d.h"

BOOL CBox3D::Overlaps(const CBox3D& other) const
{
    for (int axis = 0; axis < 3; ++axis) {
        const SHORT low = Max16(m_min[axis], other.m_min[axis]);
        const SHORT high = Min16(m_max[axis], other.m_max[axis]);
        if (!(low < high))
            return FALSE;
    }
    return TRUE;
}

void CBox3D::Include(const CPoint3D& point, BOOL grow)
{
    if (!grow) {
        m_min = point;
        m_max = point;
        return;
    }
    for (int axis = 0; axis < 3; ++axis) {
        m_min[axis] = Min16(m_min[axis], point[axis]);
        m_max[axis] = Max16(m_max[axis], point[axis]);
    }
}

void CBox3D::IncludeBox(const CBox3D& box, BOOL grow)
{
    Include(box.m_min, grow);
    Include(box.m_max, TRUE);
}

BOOL CBox3D::IsEmpty() const
{
    for (int axis = 0; axis < 3; ++axis)
        if (m_min[axis] >= m_max[axis])
            return TRUE;
    return FALSE;
}

SHORT CBox3D::Extent(int axis) const
{
    return grid::Wrap(m_max[axis] - m_min[axis]);
}

CSize3D CBox3D::Size() const
{
    return CSize3D(Extent(0), Extent(1), Extent(2));
}

CPoint3D CBox3D::Center() const
{
    CPoint3D centre;
    for (int axis = 0; axis < 3; ++axis) {
        const SHORT s = grid::Wrap(m_min[axis] + m_max[axis]);
        centre[axis] = s > 0 ? grid::Wrap((s + 1) / 2) : grid::Wrap(s / 2);
    }
    return centre;
}

BOOL CBox3D::Contains(const CPoint3D& point) const
{
    return point >= m_min && point <= m_max;
}
