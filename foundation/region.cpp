#include "foundation/region.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/line_stepper.h"
#include "platform/core/global_memory.h"
#include "platform/gdi/dc.h"

namespace {

inline SHORT GetWord(const BYTE* p)
{
    return static_cast<SHORT>(static_cast<WORD>(p[0] | (p[1] << 8)));
}

inline void PutWord(BYTE* p, SHORT value)
{
    const auto bits = static_cast<WORD>(value);
    p[0] = static_cast<BYTE>(bits & 0xFF);
    p[1] = static_cast<BYTE>(bits >> 8);
}

// Region coordinates are 16-bit and wrap as 16-bit arithmetic does.
inline SHORT Wrap16(long long value)
{
    return static_cast<SHORT>(static_cast<WORD>(static_cast<unsigned long long>(value)));
}

// Outline points are 32-bit; moving one by a pixel wraps rather than overflows.
inline LONG Moved(LONG value, int by)
{
    return static_cast<LONG>(static_cast<ULONG>(value) + static_cast<ULONG>(by));
}

BYTE* NewBlock(DWORD bytes)
{
    return static_cast<BYTE*>(GlobalLock(GlobalAlloc(GMEM_MOVEABLE, bytes)));
}

void FreeBlock(BYTE* data)
{
    HGLOBAL block = GlobalHandle(data);
    GlobalUnlock(block);
    GlobalFree(block);
}

// Checks that a block's bands fill exactly the size its header gives and that
// the header fits the bytes there are, so that no reader leaves the block.
bool IsWellFormed(const BYTE* p, DWORD available)
{
    if (!p || available < CRegion::kHeaderBytes)
        return false;
    const SHORT total = GetWord(p);
    const SHORT count = GetWord(p + 2);
    if (total < static_cast<SHORT>(CRegion::kHeaderBytes) || static_cast<DWORD>(total) > available || count < 0)
        return false;
    DWORD offset = CRegion::kHeaderBytes;
    for (SHORT i = 0; i < count; ++i) {
        if (offset + 8 > static_cast<DWORD>(total))
            return false;
        const SHORT n = GetWord(p + offset);
        if (n < 0 || (n & 1))
            return false;
        offset += 2 * (static_cast<DWORD>(n) + 4);
        if (offset > static_cast<DWORD>(total))
            return false;
    }
    return offset == static_cast<DWORD>(total);
}

// Walks the bands of a block in order. `top` is the band's current top, which
// union and subtraction move down as they use rows. The walk also stops at a
// band that would leave the block, so a header changed through the setters
// cannot lead a reader astray.
class SpanCursor {
public:
    SpanCursor(const BYTE* data, DWORD blockSize, int bands)
    {
        if (!data || blockSize < CRegion::kHeaderBytes)
            return;
        m_next = data + CRegion::kHeaderBytes;
        m_end = data + blockSize;
        m_left = bands;
        Next();
    }

    bool valid = false;
    SHORT n = 0;
    SHORT top = 0;
    SHORT bottom = 0;
    const BYTE* span = nullptr;  // the band's first word

    int Runs() const { return n / 2; }
    SHORT X(int i) const { return GetWord(span + 6 + 2 * i); }
    const BYTE* XBytes() const { return span + 6; }

    void Next()
    {
        valid = false;
        if (m_left <= 0 || !m_next || m_next + 8 > m_end)
            return;
        const SHORT count = GetWord(m_next);
        if (count < 0 || m_end - m_next < 2 * (static_cast<long>(count) + 4))
            return;
        span = m_next;
        n = count;
        top = GetWord(span + 2);
        bottom = GetWord(span + 4);
        m_next += 2 * (static_cast<long>(count) + 4);
        --m_left;
        valid = true;
    }

private:
    const BYTE* m_next = nullptr;
    const BYTE* m_end = nullptr;
    long m_left = 0;
};

// A header word for a value that may not fit one: 0 when it does not.
inline SHORT HeaderWord(DWORD value)
{
    return value <= 0x7FFF ? static_cast<SHORT>(value) : SHORT{0};
}

// Collects bands in a block that grows as needed. Only a result past 2^31
// bytes, which no 16-bit coordinate space can make, would stop it; the block
// then ends at the last whole band.
class SpanWriter {
public:
    static constexpr size_t kMaxBytes = 0x7FFFFFF0u;

    bool Full() const { return m_full; }
    int Count() const { return m_count; }
    DWORD Size() const { return static_cast<DWORD>(CRegion::kHeaderBytes + m_bytes.size()); }

    bool Put(SHORT top, SHORT bottom, const SHORT* xs, int n)
    {
        BYTE* bytes = Begin(n);
        if (!bytes)
            return false;
        for (int i = 0; i < n; ++i)
            PutWord(bytes + 6 + 2 * i, xs[i]);
        return End(top, bottom, n);
    }

    // Copies runs as they lie in another block.
    bool PutRaw(SHORT top, SHORT bottom, const BYTE* xBytes, int n)
    {
        BYTE* bytes = Begin(n);
        if (!bytes)
            return false;
        if (n)
            std::memcpy(bytes + 6, xBytes, 2 * static_cast<size_t>(n));
        return End(top, bottom, n);
    }

    // The finished block, header included; the caller owns it.
    BYTE* Finish(SHORT left, SHORT top, SHORT right, SHORT bottom)
    {
        const DWORD written = static_cast<DWORD>(m_bytes.size());
        const DWORD total = CRegion::kHeaderBytes + written;
        BYTE* data = NewBlock(total);
        PutWord(data, HeaderWord(total));
        PutWord(data + 2, HeaderWord(static_cast<DWORD>(m_count)));
        PutWord(data + 4, m_longest);
        PutWord(data + 6, left);
        PutWord(data + 8, top);
        PutWord(data + 10, right);
        PutWord(data + 12, bottom);
        if (written)
            std::memcpy(data + CRegion::kHeaderBytes, m_bytes.data(), written);
        return data;
    }

private:
    BYTE* Begin(int n)
    {
        if (m_full)
            return nullptr;
        const size_t bytes = 2 * (static_cast<size_t>(n) + 4);
        if (CRegion::kHeaderBytes + m_bytes.size() + bytes > kMaxBytes) {
            m_full = true;
            return nullptr;
        }
        m_span.resize(bytes);
        return m_span.data();
    }

    bool End(SHORT top, SHORT bottom, int n)
    {
        BYTE* bytes = m_span.data();
        PutWord(bytes, static_cast<SHORT>(n));
        PutWord(bytes + 2, top);
        PutWord(bytes + 4, bottom);
        PutWord(bytes + 6 + 2 * n, static_cast<SHORT>(n));
        m_bytes.insert(m_bytes.end(), m_span.begin(), m_span.end());
        ++m_count;
        m_longest = std::max(m_longest, static_cast<SHORT>(n));
        return true;
    }

    std::vector<BYTE> m_bytes;
    std::vector<BYTE> m_span;
    int m_count = 0;
    SHORT m_longest = 0;
    bool m_full = false;
};

// Runs of two bands of the same rows, united. A run that starts at most one
// past the last one's end joins it.
void MergeRuns(const SpanCursor& a, const SpanCursor& b, std::vector<SHORT>& out)
{
    out.clear();
    auto append = [&out](SHORT x0, SHORT x1) {
        if (!out.empty() && x0 <= out.back() + 1)
            out.back() = std::max(out.back(), x1);
        else {
            out.push_back(x0);
            out.push_back(x1);
        }
    };
    const int na = a.Runs();
    const int nb = b.Runs();
    int i = 0;
    int j = 0;
    while (i < na || j < nb) {
        if (i >= na) {
            append(b.X(2 * j), b.X(2 * j + 1));
            ++j;
        } else if (j >= nb) {
            append(a.X(2 * i), a.X(2 * i + 1));
            ++i;
        } else {
            const SHORT a0 = a.X(2 * i), a1 = a.X(2 * i + 1);
            const SHORT b0 = b.X(2 * j), b1 = b.X(2 * j + 1);
            if (b0 > a1) {
                append(a0, a1);
                ++i;
            } else if (b1 < a0) {
                append(b0, b1);
                ++j;
            } else {
                const SHORT x0 = std::min(a0, b0);
                const SHORT x1 = std::max(a1, b1);
                if (x0 < x1)
                    append(x0, x1);
                ++i;
                ++j;
            }
        }
    }
}

// Runs of a band less those of b's band of the same rows; pieces are kept
// apart even where they touch.
void SubtractRuns(const SpanCursor& a, const SpanCursor& b, std::vector<SHORT>& out)
{
    out.clear();
    const int na = a.Runs();
    const int nb = b.Runs();
    int i = 0;
    int j = 0;
    SHORT a0 = na ? a.X(0) : 0;
    SHORT a1 = na ? a.X(1) : 0;
    auto nextA = [&] {
        if (++i < na) {
            a0 = a.X(2 * i);
            a1 = a.X(2 * i + 1);
        }
    };
    while (i < na) {
        const SHORT b0 = j < nb ? b.X(2 * j) : 0;
        const SHORT b1 = j < nb ? b.X(2 * j + 1) : 0;
        if (j >= nb || a1 <= b0) {
            out.push_back(a0);
            out.push_back(a1);
            nextA();
        } else if (b1 <= a0) {
            ++j;
        } else if (b0 <= a0) {
            if (b1 < a1) {
                a0 = b1;
                ++j;
            } else {
                if (b1 == a1)
                    ++j;
                nextA();
            }
        } else {
            out.push_back(a0);
            out.push_back(b0);
            a0 = b0;
        }
    }
}

// One side of the outline for the scan conversion: four points, stepped one
// row at a time over the segment that ends at `index`.
struct Chain {
    POINT pt[4];
    int index = 1;
    int shift = 0;  // the middle segment sits one pixel inward: +1 on the left side, -1 on the right
    CLineStepper stepper;

    bool Done() const { return index > 3; }

    LONG Advance()
    {
        POINT p;
        if (stepper.Step(&p))
            return p.x;
        if (index == 3) {
            index = 4;
        } else {
            if (pt[index + 1].y <= pt[index].y)
                ++index;
            if (index == 1) {
                p.x = Moved(p.x, shift);
                index = 2;
                stepper.Init(Moved(pt[1].x, shift), pt[1].y, Moved(pt[2].x, shift), pt[2].y);
            } else if (index == 3) {
                // The last segment has no height: the chain ends on this row.
                index = 4;
            } else {
                stepper.Init(pt[index].x, pt[index].y, pt[index + 1].x, pt[index + 1].y);
                ++index;
            }
        }
        return p.x;
    }
};

// One band of the scan conversion: a single run, its right end made
// exclusive. A row where the sides have crossed holds no run.
bool PutPolygonSpan(SpanWriter& out, long long top, long long bottom, long long left, long long right)
{
    if (right + 1 <= left)
        return out.Put(Wrap16(top), Wrap16(bottom), nullptr, 0);
    const SHORT run[2] = {Wrap16(left), Wrap16(right + 1)};
    return out.Put(Wrap16(top), Wrap16(bottom), run, 2);
}

}  // namespace

CRegion::CRegion() : m_pData(nullptr), m_dwSize(0), m_rcBounds{}
{
}

CRegion::CRegion(const CRegion& other) : CObject(other), m_pData(nullptr), m_dwSize(0), m_rcBounds{}
{
    CopyFrom(other);
}

CRegion& CRegion::operator=(const CRegion& other)
{
    if (this != &other) {
        Empty();
        CopyFrom(other);
    }
    return *this;
}

CRegion::~CRegion()
{
    Empty();
}

void CRegion::CopyFrom(const CRegion& other)
{
    if (other.m_pData) {
        m_pData = NewBlock(other.m_dwSize);
        std::memcpy(m_pData, other.m_pData, other.m_dwSize);
        m_dwSize = other.m_dwSize;
        m_nBands = other.m_nBands;
    }
    RefreshBounds();
}

void CRegion::Adopt(BYTE* data, DWORD size, int bands)
{
    Empty();
    m_pData = data;
    m_dwSize = size;
    m_nBands = bands;
    RefreshBounds();
}

void CRegion::Empty()
{
    if (!m_pData)
        return;
    FreeBlock(m_pData);
    m_pData = nullptr;
    m_dwSize = 0;
    m_nBands = 0;
}

void CRegion::LoadResource(HMODULE module, UINT id)
{
    Empty();
    if (id == 0)
        return;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCE(id), "REGION");
    if (!resource)
        return;
    HGLOBAL handle = ::LoadResource(module, resource);
    const void* bytes = LockResource(handle);
    if (bytes)
        LoadData(bytes, SizeofResource(module, resource));
    FreeResource(handle);
}

BOOL CRegion::LoadData(const void* bytes, DWORD size)
{
    Empty();
    const auto* p = static_cast<const BYTE*>(bytes);
    if (!IsWellFormed(p, size))
        return FALSE;
    const auto total = static_cast<DWORD>(GetWord(p));
    BYTE* data = NewBlock(total);
    std::memcpy(data, p, total);
    Adopt(data, total, GetWord(p + 2));
    return TRUE;
}

SHORT CRegion::Word(int index) const
{
    return m_pData ? GetWord(m_pData + 2 * index) : 0;
}

void CRegion::SetWord(int index, SHORT value)
{
    if (m_pData)
        PutWord(m_pData + 2 * index, value);
}

void CRegion::RefreshBounds()
{
    m_rcBounds = RECT{GetLeft(), GetTop(), GetRight(), GetBottom()};
}

BOOL CRegion::PtInRegion(POINT point) const
{
    if (!m_pData)
        return FALSE;
    if (point.x < m_rcBounds.left || point.x >= m_rcBounds.right || point.y < m_rcBounds.top ||
        point.y >= m_rcBounds.bottom)
        return FALSE;
    for (SpanCursor s(m_pData, m_dwSize, m_nBands); s.valid; s.Next()) {
        if (s.top >= s.bottom || point.y < s.top || point.y > s.bottom)
            continue;
        for (int i = 0; i < s.Runs(); ++i) {
            if (point.x >= s.X(2 * i) && point.x <= s.X(2 * i + 1))
                return TRUE;
        }
    }
    return FALSE;
}

void CRegion::OffsetX(SHORT dx)
{
    if (!m_pData)
        return;
    SetLeft(Wrap16(GetLeft() + dx));
    SetRight(Wrap16(GetRight() + dx));
    RefreshBounds();
    for (SpanCursor s(m_pData, m_dwSize, m_nBands); s.valid; s.Next()) {
        BYTE* xs = const_cast<BYTE*>(s.XBytes());
        for (int i = 0; i < s.n; ++i)
            PutWord(xs + 2 * i, Wrap16(GetWord(xs + 2 * i) + dx));
    }
}

void CRegion::OffsetY(SHORT dy)
{
    if (!m_pData)
        return;
    SetTop(Wrap16(GetTop() + dy));
    SetBottom(Wrap16(GetBottom() + dy));
    RefreshBounds();
    for (SpanCursor s(m_pData, m_dwSize, m_nBands); s.valid; s.Next()) {
        BYTE* span = const_cast<BYTE*>(s.span);
        PutWord(span + 2, Wrap16(s.top + dy));
        PutWord(span + 4, Wrap16(s.bottom + dy));
    }
}

void CRegion::SetRect(SHORT left, SHORT top, SHORT right, SHORT bottom)
{
    const SHORT words[13] = {26, 1, 2, left, top, right, bottom, 2, top, bottom, left, right, 2};
    BYTE* data = NewBlock(sizeof words);
    for (int i = 0; i < 13; ++i)
        PutWord(data + 2 * i, words[i]);
    Adopt(data, sizeof words, 1);
}

BOOL CRegion::Union(const CRegion& a, const CRegion& b)
{
    if (a.IsEmpty() && b.IsEmpty()) {
        Empty();
        return FALSE;
    }
    if (a.IsEmpty() || b.IsEmpty()) {
        *this = a.IsEmpty() ? b : a;
        return GetSpanCount() > 0;
    }

    SpanWriter out;
    std::vector<SHORT> runs;
    SpanCursor sa(a.m_pData, a.m_dwSize, a.m_nBands);
    SpanCursor sb(b.m_pData, b.m_dwSize, b.m_nBands);
    while ((sa.valid || sb.valid) && !out.Full()) {
        if (!sb.valid) {
            out.PutRaw(sa.top, sa.bottom, sa.XBytes(), sa.n);
            sa.Next();
            continue;
        }
        if (!sa.valid) {
            out.PutRaw(sb.top, sb.bottom, sb.XBytes(), sb.n);
            sb.Next();
            continue;
        }
        const SHORT start = std::max(sa.top, sb.top);
        const SHORT end = std::min(sa.bottom, sb.bottom);
        if (end <= start) {
            SpanCursor& first = sa.bottom < sb.bottom ? sa : sb;
            if (out.PutRaw(first.top, first.bottom, first.XBytes(), first.n))
                first.Next();
        } else if (sa.top < start) {
            if (out.PutRaw(sa.top, static_cast<SHORT>(sa.top + 1), sa.XBytes(), sa.n))
                ++sa.top;
        } else if (sb.top < start) {
            if (out.PutRaw(sb.top, static_cast<SHORT>(sb.top + 1), sb.XBytes(), sb.n))
                ++sb.top;
        } else {
            MergeRuns(sa, sb, runs);
            if (!runs.empty() && !out.Put(start, end, runs.data(), static_cast<int>(runs.size())))
                break;
            sa.top = end;
            sb.top = end;
            if (sa.bottom == end)
                sa.Next();
            if (sb.bottom == end)
                sb.Next();
        }
    }

    BYTE* data = out.Finish(std::min(a.GetLeft(), b.GetLeft()), std::min(a.GetTop(), b.GetTop()),
                            std::max(a.GetRight(), b.GetRight()), std::max(a.GetBottom(), b.GetBottom()));
    Adopt(data, out.Size(), out.Count());
    return out.Count() > 0;
}

void CRegion::Subtract(const CRegion& a, const CRegion& b)
{
    if (a.IsEmpty()) {
        Empty();
        return;
    }
    if (b.IsEmpty()) {
        *this = a;
        return;
    }

    SpanWriter out;
    std::vector<SHORT> runs;
    SpanCursor sa(a.m_pData, a.m_dwSize, a.m_nBands);
    SpanCursor sb(b.m_pData, b.m_dwSize, b.m_nBands);
    while (sa.valid && !out.Full()) {
        if (!sb.valid) {
            if (out.PutRaw(sa.top, sa.bottom, sa.XBytes(), sa.n))
                sa.Next();
            continue;
        }
        const SHORT start = std::max(sa.top, sb.top);
        const SHORT end = std::min(sa.bottom, sb.bottom);
        if (end <= start) {
            if (sa.bottom < sb.bottom) {
                if (out.PutRaw(sa.top, sa.bottom, sa.XBytes(), sa.n))
                    sa.Next();
            } else {
                sb.Next();
            }
        } else if (sa.top < start) {
            if (out.PutRaw(sa.top, static_cast<SHORT>(sa.top + 1), sa.XBytes(), sa.n))
                ++sa.top;
        } else if (sb.top < start) {
            // b's rows above a's band take nothing away.
            sb.top = start;
        } else {
            SubtractRuns(sa, sb, runs);
            if (!runs.empty() && !out.Put(start, end, runs.data(), static_cast<int>(runs.size())))
                break;
            sa.top = end;
            sb.top = end;
            if (sa.bottom == end)
                sa.Next();
            if (sb.bottom == end)
                sb.Next();
        }
    }

    const SHORT left = a.GetLeft(), top = a.GetTop(), right = a.GetRight(), bottom = a.GetBottom();
    if (out.Count() == 0) {
        m_rcBounds = a.m_rcBounds;
        Empty();
        return;
    }
    BYTE* data = out.Finish(left, top, right, bottom);
    Adopt(data, out.Size(), out.Count());
}

void CRegion::SetPolygon(const POINT points[6])
{
    Empty();
    if (!points)
        return;
    const POINT* p = points;

    // An outline without height has no rows; one taller than 16-bit rows can
    // hold is not a region either (and would take long to walk).
    long long minY = p[0].y;
    long long maxY = p[0].y;
    for (int i = 1; i < 6; ++i) {
        minY = std::min<long long>(minY, p[i].y);
        maxY = std::max<long long>(maxY, p[i].y);
    }
    if (p[3].y <= p[0].y || maxY - minY > 0xFFFF)
        return;

    Chain left;
    Chain right;
    left.shift = 1;
    right.shift = -1;
    if (p[5].y == p[4].y) {
        left.pt[0] = p[0], left.pt[1] = p[1], left.pt[2] = p[1], left.pt[3] = p[3];
        right.pt[0] = p[0], right.pt[1] = p[4], right.pt[2] = p[4], right.pt[3] = p[3];
    } else {
        left.pt[0] = POINT{Moved(p[0].x, -1), p[0].y};
        left.pt[1] = POINT{Moved(p[1].x, -1), p[1].y};
        left.pt[2] = POINT{Moved(p[2].x, -1), Moved(p[2].y, -1)};
        left.pt[3] = POINT{Moved(p[3].x, -1), Moved(p[3].y, -1)};
        right.pt[0] = p[0];
        right.pt[1] = p[4];
        right.pt[2] = POINT{p[5].x, Moved(p[5].y, -1)};
        right.pt[3] = POINT{p[3].x, Moved(p[3].y, -1)};
    }
    left.stepper.Init(left.pt[0].x, left.pt[0].y, left.pt[1].x, left.pt[1].y);
    right.stepper.Init(right.pt[0].x, right.pt[0].y, right.pt[1].x, right.pt[1].y);

    SpanWriter out;
    long long spanLeft = left.pt[0].x;
    long long spanRight = right.pt[0].x;
    long long spanTop = left.pt[0].y;
    long long spanBottom = spanTop + 1;
    long long row = spanTop;
    bool room = true;
    do {
        ++row;
        const LONG xl = left.Advance();
        const LONG xr = right.Advance();
        if (xl == spanLeft && xr == spanRight && !left.Done() && !right.Done()) {
            spanBottom = row + 1;
        } else {
            room = PutPolygonSpan(out, spanTop, spanBottom, spanLeft, spanRight);
            spanTop = row;
            spanBottom = row + 1;
            spanLeft = xl;
            spanRight = xr;
        }
    } while (room && !left.Done() && !right.Done());
    if (room)
        PutPolygonSpan(out, spanTop, spanBottom, spanLeft, spanRight);

    BYTE* data = out.Finish(Wrap16(p[1].x), Wrap16(p[0].y), Wrap16(p[5].x), Wrap16(p[3].y));
    Adopt(data, out.Size(), out.Count());
}

int CRegion::FillRows(CDC* dc, COLORREF colour) const
{
    if (!m_pData || !dc)
        return 0;
    CPen pen;
    CPen* oldPen = nullptr;
    int oldMix = 0;
    if (colour == static_cast<COLORREF>(-1)) {
        oldMix = dc->SetROP2(R2_NOT);
    } else if (colour != 0) {
        pen.CreatePen(PS_SOLID, 1, colour);
        oldPen = dc->SelectObject(&pen);
    }
    for (SpanCursor s(m_pData, m_dwSize, m_nBands); s.valid; s.Next()) {
        for (int y = s.top; y < s.bottom; ++y) {
            for (int i = 0; i < s.Runs(); ++i) {
                dc->MoveTo(s.X(2 * i), y);
                dc->LineTo(s.X(2 * i + 1), y);
            }
        }
    }
    if (oldMix)
        dc->SetROP2(oldMix);
    if (oldPen)
        dc->SelectObject(oldPen);
    return 0;
}

int CRegion::DrawOutline(CDC* dc, COLORREF colour, int width, COLORREF second) const
{
    if (!m_pData || !dc)
        return 0;
    CPen pen;
    CPen* oldPen = nullptr;
    int oldMix = 0;
    if (colour == static_cast<COLORREF>(-1)) {
        pen.CreatePen(PS_SOLID, 1, second);
        oldPen = dc->SelectObject(&pen);
        oldMix = dc->SetROP2(R2_NOTXORPEN);
    } else if (colour != 0) {
        pen.CreatePen(PS_SOLID, 1, colour);
        oldPen = dc->SelectObject(&pen);
    }
    auto line = [dc](int x0, int x1, int y) {
        dc->MoveTo(x0, y);
        dc->LineTo(x1, y);
    };
    int previousRow = -100;
    bool anyRun = false;
    int lastX0 = 0;
    int lastX1 = 0;
    for (SpanCursor s(m_pData, m_dwSize, m_nBands); s.valid; s.Next()) {
        for (int y = s.top; y < s.bottom; ++y) {
            const bool firstRow = y != previousRow + 1;
            for (int i = 0; i < s.Runs(); ++i) {
                const int x0 = s.X(2 * i);
                const int x1 = s.X(2 * i + 1);
                const int w = std::min(x1 - x0, width);
                line(x0, x0 + w, y);
                line(x1 - w, x1, y);
                if (firstRow)
                    line(x0, x1, y);
                anyRun = true;
                lastX0 = x0;
                lastX1 = x1;
            }
            previousRow = y;
        }
    }
    if (anyRun)
        line(lastX0, lastX1, previousRow);
    if (oldMix)
        dc->SetROP2(oldMix);
    if (oldPen)
        dc->SelectObject(oldPen);
    return 0;
}

CRegion::BandReader::BandReader(const CRegion& region)
    : m_next(region.m_pData ? region.m_pData + kHeaderBytes : nullptr),
      m_end(region.m_pData ? region.m_pData + region.m_dwSize : nullptr),
      m_left(region.m_nBands)
{
}

bool CRegion::BandReader::Next()
{
    if (m_left <= 0 || !m_next || m_end - m_next < 8)
        return false;
    const SHORT count = GetWord(m_next);
    if (count < 0 || m_end - m_next < 2 * (static_cast<long>(count) + 4))
        return false;
    m_band = m_next;
    m_n = count;
    m_top = GetWord(m_band + 2);
    m_bottom = GetWord(m_band + 4);
    m_next += 2 * (static_cast<long>(count) + 4);
    --m_left;
    return true;
}

SHORT CRegion::BandReader::RunStart(int i) const
{
    return GetWord(m_band + 6 + 4 * i);
}

SHORT CRegion::BandReader::RunEnd(int i) const
{
    return GetWord(m_band + 8 + 4 * i);
}
