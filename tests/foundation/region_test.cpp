#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "foundation/line_stepper.h"
#include "foundation/region.h"
#include "platform/core/global_memory.h"
#include "platform/core/hooks.h"
#include "platform/core/resources.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "tests/support/message_box_recorder.h"

namespace {

// ---- Helpers ----

struct Band {
    SHORT top;
    SHORT bottom;
    std::vector<SHORT> xs;
    bool operator==(const Band&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Band& band)
{
    os << "(" << band.top << "," << band.bottom << ":";
    for (SHORT x : band.xs)
        os << " " << x;
    return os << ")";
}

SHORT WordAt(const BYTE* p, size_t index)
{
    return static_cast<SHORT>(static_cast<WORD>(p[2 * index] | (p[2 * index + 1] << 8)));
}

std::vector<BYTE> Encode(const std::vector<SHORT>& words)
{
    std::vector<BYTE> bytes;
    for (SHORT w : words) {
        bytes.push_back(static_cast<BYTE>(static_cast<WORD>(w) & 0xFF));
        bytes.push_back(static_cast<BYTE>(static_cast<WORD>(w) >> 8));
    }
    return bytes;
}

// The whole block as words; empty for an empty region.
std::vector<SHORT> Words(const CRegion& region)
{
    std::vector<SHORT> words;
    for (size_t i = 0; i < region.GetBlockSize() / 2; ++i)
        words.push_back(WordAt(region.GetData(), i));
    return words;
}

std::vector<Band> Bands(const CRegion& region)
{
    std::vector<Band> bands;
    const std::vector<SHORT> w = Words(region);
    size_t at = 7;
    for (int i = 0; i < region.GetSpanCount(); ++i) {
        const SHORT n = w.at(at);
        bands.push_back({w.at(at + 1), w.at(at + 2), std::vector<SHORT>(w.begin() + at + 3, w.begin() + at + 3 + n)});
        at += n + 4;
    }
    return bands;
}

// A block in the resource format with its header worked out from the bands.
std::vector<SHORT> BlockWords(const std::vector<Band>& bands)
{
    std::vector<SHORT> words{0, static_cast<SHORT>(bands.size()), 0, 32767, 0, -32768, 0};
    for (const Band& band : bands) {
        const auto n = static_cast<SHORT>(band.xs.size());
        words.push_back(n);
        words.push_back(band.top);
        words.push_back(band.bottom);
        words.insert(words.end(), band.xs.begin(), band.xs.end());
        words.push_back(n);
        words[2] = std::max(words[2], n);
        if (!band.xs.empty()) {
            words[3] = std::min(words[3], band.xs.front());
            words[5] = std::max(words[5], band.xs.back());
        }
    }
    words[0] = static_cast<SHORT>(2 * words.size());
    if (!bands.empty()) {
        words[4] = bands.front().top;
        words[6] = bands.back().bottom;
    }
    return words;
}

CRegion MakeRegion(const std::vector<Band>& bands)
{
    const std::vector<BYTE> bytes = Encode(BlockWords(bands));
    CRegion region;
    EXPECT_TRUE(region.LoadData(bytes.data(), static_cast<DWORD>(bytes.size())));
    return region;
}

// Every region the program builds must read back as a resource would: sizes,
// counts and trailers consistent, the longest count true.
void ExpectWellFormed(const CRegion& region)
{
    if (region.IsEmpty())
        return;
    EXPECT_EQ(region.GetSize(), region.GetBlockSize());
    const std::vector<SHORT> w = Words(region);
    if (region.GetBlockSize() <= CRegion::kMaxBlockBytes) {
        CRegion reread;
        EXPECT_TRUE(reread.LoadData(region.GetData(), region.GetBlockSize()));
        EXPECT_EQ(static_cast<DWORD>(w[0]), region.GetBlockSize());
    } else {
        EXPECT_EQ(w[0], 0) << "a size past 16 bits is not written as a wrong one";
    }
    size_t at = 7;
    SHORT longest = 0;
    for (int i = 0; i < region.GetSpanCount(); ++i) {
        const SHORT n = w[at];
        EXPECT_EQ(w[at + 3 + n], n) << "trailer of band " << i;
        longest = std::max(longest, n);
        at += n + 4;
    }
    EXPECT_EQ(region.GetLongestSpan(), longest);
    const RECT& bounds = region.GetBounds();
    EXPECT_EQ(bounds.left, region.GetLeft());
    EXPECT_EQ(bounds.top, region.GetTop());
    EXPECT_EQ(bounds.right, region.GetRight());
    EXPECT_EQ(bounds.bottom, region.GetBottom());
}

// The projected corners of the unit box (0,0,0)-(1,1,1), relative to the
// outline's top-left: top, upper left, lower left, bottom, upper right, lower
// right.
const POINT kUnitBox[6] = {{10, 0}, {0, 5}, {0, 11}, {10, 16}, {20, 5}, {20, 11}};

const std::vector<SHORT> kUnitBoxWords = {
    146, 11, 2, 0, 0, 20, 16,       //
    2, 0, 1, 9, 11, 2,              //
    2, 1, 2, 7, 13, 2,              //
    2, 2, 3, 5, 15, 2,              //
    2, 3, 4, 3, 17, 2,              //
    2, 4, 5, 1, 19, 2,              //
    2, 5, 11, 0, 20, 2,             //
    2, 11, 12, 1, 19, 2,            //
    2, 12, 13, 3, 17, 2,            //
    2, 13, 14, 5, 15, 2,            //
    2, 14, 15, 7, 13, 2,            //
    2, 15, 16, 9, 11, 2,            //
};

std::vector<std::string> Picture(const platform::Surface& surface, COLORREF background)
{
    std::vector<std::string> rows;
    for (int y = 0; y < surface.Height(); ++y) {
        std::string row;
        for (int x = 0; x < surface.Width(); ++x)
            row += surface.GetPixel(x, y) == background ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

void Scribble(platform::Surface& surface)
{
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            surface.SetPixel(x, y, RGB(x * 11, y * 13, (x * y * 7) & 0xFF));
}

bool SamePixels(const platform::Surface& a, const platform::Surface& b)
{
    return std::equal(a.Bits(), a.Bits() + a.Width() * a.Height(), b.Bits());
}

constexpr COLORREF kWhite = RGB(255, 255, 255);

// ---- Line stepper ----

TEST(LineStepper, StepsOneRowAtATime)
{
    struct Case {
        LONG x0, y0, x1, y1;
        std::vector<LONG> xs;  // x of rows y0 + 1 .. y1
    };
    const Case cases[] = {
        {0, 0, 10, 5, {2, 4, 6, 8, 10}},
        {10, 0, 0, 5, {8, 6, 4, 2, 0}},
        {0, 0, 3, 5, {1, 1, 2, 2, 3}},
        {0, 0, 7, 3, {2, 5, 7}},
        {4, 2, 4, 6, {4, 4, 4, 4}},
        {0, 0, -7, 3, {-2, -5, -7}},
    };
    for (const Case& c : cases) {
        CLineStepper stepper(c.x0, c.y0, c.x1, c.y1);
        for (size_t i = 0; i < c.xs.size(); ++i) {
            POINT p;
            const BOOL more = stepper.Step(&p);
            EXPECT_EQ(p.x, c.xs[i]) << "row " << i + 1 << " of (" << c.x0 << "," << c.y0 << ")-(" << c.x1 << ","
                                    << c.y1 << ")";
            EXPECT_EQ(p.y, c.y0 + static_cast<LONG>(i) + 1);
            EXPECT_EQ(more, i + 1 < c.xs.size());
        }
    }
}

TEST(LineStepper, ASegmentWithoutHeightEndsAtOnce)
{
    for (LONG x1 : {0, 9, -9}) {
        CLineStepper stepper(5, 3, x1, 3);
        POINT p;
        EXPECT_FALSE(stepper.Step(&p));
        EXPECT_EQ(p.x, 5);
        EXPECT_EQ(p.y, 4);
    }
}

// ---- Scan conversion ----

TEST(SetPolygon, UnitBoxGivesTheBrickOutline)
{
    MessageBoxRecorder boxes;
    CRegion region;
    region.SetPolygon(kUnitBox);
    EXPECT_EQ(Words(region), kUnitBoxWords);
    EXPECT_EQ(region.GetBounds().right, 20);
    EXPECT_EQ(region.GetBounds().bottom, 16);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST(SetPolygon, FlatFootprintRunsDownBothSidesToTheBottom)
{
    // The outline of a box of size (2, 1, 0) whose lower corners coincide with
    // the upper ones, as the selection footprint gives it.
    const POINT flat[6] = {{108, 86}, {90, 95}, {90, 95}, {100, 100}, {118, 91}, {118, 91}};
    CRegion region;
    region.SetPolygon(flat);
    ExpectWellFormed(region);
    EXPECT_EQ(region.GetBounds().left, 90);
    EXPECT_EQ(region.GetBounds().top, 86);
    EXPECT_EQ(region.GetBounds().right, 118);
    EXPECT_EQ(region.GetBounds().bottom, 100);
    const std::vector<Band> bands = Bands(region);
    ASSERT_FALSE(bands.empty());
    EXPECT_EQ(bands.front().top, 86);
    EXPECT_EQ(bands.back().bottom, 101);
    for (size_t i = 0; i < bands.size(); ++i) {
        if (i) {
            EXPECT_EQ(bands[i].top, bands[i - 1].bottom);
        }
        ASSERT_EQ(bands[i].xs.size(), 2u) << bands[i];
        EXPECT_GE(bands[i].xs[0], 89) << bands[i];
        EXPECT_LE(bands[i].xs[1], 119) << bands[i];
    }
    EXPECT_TRUE(region.PtInRegion({90, 95}));
    EXPECT_TRUE(region.PtInRegion({117, 91}));
}

TEST(SetPolygon, DegenerateOutlinesStaySafe)
{
    struct Case {
        const char* name;
        POINT p[6];
        bool empty;
    };
    const Case cases[] = {
        {"one point", {{5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 5}}, true},
        {"horizontal line", {{5, 3}, {0, 3}, {0, 3}, {5, 3}, {10, 3}, {10, 3}}, true},
        {"upside down", {{10, 16}, {0, 11}, {0, 5}, {10, 0}, {20, 11}, {20, 5}}, true},
        {"too tall for 16-bit rows", {{0, 0}, {0, 1}, {0, 2}, {0, 70000}, {0, 1}, {0, 2}}, true},
        {"vertical line", {{5, 0}, {5, 3}, {5, 6}, {5, 9}, {5, 3}, {5, 6}}, false},
        {"lower edges flat", {{10, 0}, {0, 5}, {0, 16}, {10, 16}, {20, 5}, {20, 16}}, false},
        {"upper edges flat", {{10, 0}, {0, 0}, {0, 11}, {10, 16}, {20, 0}, {20, 11}}, false},
        {"no width, flat sides", {{7, 2}, {7, 2}, {7, 2}, {7, 9}, {7, 2}, {7, 2}}, false},
        // A box of no x extent: its top lies below its upper left corner.
        {"box without x extent", {{88, 96}, {90, 95}, {90, 89}, {100, 100}, {98, 101}, {98, 107}}, false},
        {"far from the origin",
         {{2147483600, -2147483000}, {-2147483600, -2147482990}, {-2147483600, -2147482980},
          {2147483600, -2147482970}, {2147483640, -2147482990}, {2147483640, -2147482980}},
         false},
    };
    MessageBoxRecorder boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRegion region;
        region.SetRect(0, 0, 1, 1);
        region.SetPolygon(c.p);
        EXPECT_EQ(static_cast<bool>(region.IsEmpty()), c.empty);
        ExpectWellFormed(region);
        // Where the sides cross, a row holds no run rather than one that runs
        // backwards (which a fill would draw leftwards). Far from the origin
        // the runs wrap at 16 bits and may run any way.
        const bool fits16 = std::all_of(std::begin(c.p), std::end(c.p), [](POINT q) { return std::abs(q.x) < 30000; });
        for (const Band& band : Bands(region))
            for (size_t i = 0; fits16 && i < band.xs.size(); i += 2)
                EXPECT_LT(band.xs[i], band.xs[i + 1]) << band;
        if (!region.IsEmpty()) {
            EXPECT_EQ(region.GetLeft(), static_cast<SHORT>(c.p[1].x));
            EXPECT_EQ(region.GetTop(), static_cast<SHORT>(c.p[0].y));
            EXPECT_EQ(region.GetBottom(), static_cast<SHORT>(c.p[3].y));
        }
    }
    EXPECT_TRUE(boxes.texts.empty());
}

// ---- Resources and raw data ----

TEST(RegionResource, BuiltInOutlinesAreTheScanConvertedUnitBox)
{
    CRegion polygon;
    polygon.SetPolygon(kUnitBox);
    for (UINT id : {10u, 103u}) {
        SCOPED_TRACE(id);
        CRegion loaded;
        loaded.LoadResource(AfxGetResourceHandle(), id);
        ASSERT_FALSE(loaded.IsEmpty());
        EXPECT_EQ(loaded.GetBlockSize(), 146u);
        EXPECT_EQ(Words(loaded), Words(polygon));
        EXPECT_EQ(loaded.GetBounds().right, 20);
    }
}

// A compiled resource script holding REGION resources with the given ids and
// bytes, in the container format the resource compiler writes.
std::vector<unsigned char> RegionRes(const std::vector<std::pair<WORD, std::vector<BYTE>>>& entries)
{
    std::vector<unsigned char> res;
    auto dword = [&res](DWORD v) {
        for (int i = 0; i < 4; ++i)
            res.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    auto word = [&res](WORD v) {
        res.push_back(static_cast<unsigned char>(v & 0xFF));
        res.push_back(static_cast<unsigned char>(v >> 8));
    };
    auto pad = [&res] {
        while (res.size() % 4)
            res.push_back(0);
    };
    // The empty entry that opens every such file.
    dword(0), dword(32), word(0xFFFF), word(0), word(0xFFFF), word(0);
    dword(0), word(0), word(0), dword(0), dword(0);
    for (const auto& [id, data] : entries) {
        const char type[] = "REGION";
        const DWORD header = 8 + 2 * sizeof type + 4 + 2 + 16;  // 2 bytes pad to a multiple of 4
        dword(static_cast<DWORD>(data.size()));
        dword(header);
        for (char c : type)
            word(static_cast<WORD>(c));
        word(0xFFFF), word(id);
        pad();
        dword(0), word(0x1030), word(0x0409), dword(0), dword(0);
        res.insert(res.end(), data.begin(), data.end());
        pad();
    }
    return res;
}

TEST(RegionResource, LoadsOnlyWhatHoldsTogether)
{
    const std::vector<BYTE> good = Encode(kUnitBoxWords);
    std::vector<BYTE> countTooHigh = good;
    countTooHigh[2] = 12;
    std::vector<BYTE> truncated(good.begin(), good.end() - 12);  // the header still says 146

    HMODULE module = platform::OpenResourceModuleFromMemory(RegionRes({{7, good}, {8, countTooHigh}, {9, truncated}}));
    ASSERT_NE(module, nullptr);
    CRegion region;
    region.LoadResource(module, 7);
    EXPECT_EQ(Words(region), kUnitBoxWords);

    for (UINT id : {8u, 9u, 99u, 0u}) {
        SCOPED_TRACE(id);
        CRegion other;
        other.SetRect(1, 2, 3, 4);
        other.LoadResource(module, id);
        EXPECT_TRUE(other.IsEmpty());
        EXPECT_EQ(other.GetSize(), 0);
    }
    FreeLibrary(module);
    // The region owns a copy of the bytes.
    EXPECT_EQ(Words(region), kUnitBoxWords);
    EXPECT_TRUE(region.PtInRegion({10, 8}));
}

TEST(RegionData, DamagedBlocksGiveAnEmptyRegion)
{
    const std::vector<SHORT> valid = BlockWords({{0, 2, {0, 4, 6, 10}}, {2, 5, {1, 9}}});  // 42 bytes
    struct Case {
        const char* name;
        size_t word;
        SHORT value;
    };
    const Case cases[] = {
        {"size below the header", 0, 12},  {"size past the data", 0, 44},    {"size short of the bands", 0, 40},
        {"negative size", 0, -42},         {"more bands than there are", 1, 3}, {"fewer bands than there are", 1, 1},
        {"negative band count", 1, -1},    {"odd x count", 7, 3},             {"negative x count", 7, -2},
        {"band runs past the block", 15, 8},
    };
    {
        CRegion region;
        const std::vector<BYTE> bytes = Encode(valid);
        EXPECT_TRUE(region.LoadData(bytes.data(), static_cast<DWORD>(bytes.size())));
        // Padding after the block, as resources have, is fine.
        std::vector<BYTE> padded = bytes;
        padded.resize(bytes.size() + 3, 0);
        EXPECT_TRUE(region.LoadData(padded.data(), static_cast<DWORD>(padded.size())));
        EXPECT_EQ(region.GetBlockSize(), 42u);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<SHORT> words = valid;
        words.at(c.word) = c.value;
        const std::vector<BYTE> bytes = Encode(words);
        CRegion region;
        region.SetRect(0, 0, 5, 5);
        EXPECT_FALSE(region.LoadData(bytes.data(), static_cast<DWORD>(bytes.size())));
        EXPECT_TRUE(region.IsEmpty());
    }
    CRegion region;
    const std::vector<BYTE> bytes = Encode(valid);
    EXPECT_FALSE(region.LoadData(bytes.data(), 13));
    EXPECT_FALSE(region.LoadData(nullptr, 100));
    // A header with no bands is a region without pixels.
    const std::vector<BYTE> header = Encode({14, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(region.LoadData(header.data(), 14));
    EXPECT_FALSE(region.PtInRegion({0, 0}));
}

// ---- Object, accessors, point test, moving, rectangles ----

TEST(Region, CopiesOwnTheirBlocks)
{
    const size_t blocks = platform::GlobalBlocksAlive();
    {
        CRegion a;
        a.SetPolygon(kUnitBox);
        CRegion copy(a);
        EXPECT_EQ(Words(copy), kUnitBoxWords);
        EXPECT_NE(copy.GetData(), a.GetData());
        copy.OffsetX(3);
        EXPECT_EQ(Words(a), kUnitBoxWords);

        CRegion assigned;
        assigned.SetRect(0, 0, 1, 1);
        assigned = a;
        EXPECT_EQ(Words(assigned), kUnitBoxWords);

        const BYTE* data = a.GetData();
        CRegion& self = a;
        a = self;
        EXPECT_EQ(a.GetData(), data);
        EXPECT_EQ(Words(a), kUnitBoxWords);

        const CRegion empty;
        CRegion fromEmpty(empty);
        EXPECT_TRUE(fromEmpty.IsEmpty());
        assigned = empty;
        EXPECT_TRUE(assigned.IsEmpty());
        EXPECT_EQ(assigned.GetBounds().right, 0);
    }
    EXPECT_EQ(platform::GlobalBlocksAlive(), blocks);
}

TEST(Region, EmptyKeepsTheLastBoundsAndAnswersZero)
{
    CRegion region;
    EXPECT_EQ(region.GetBounds().right, 0);
    region.SetRect(2, 3, 12, 13);
    region.Empty();
    EXPECT_TRUE(region.IsEmpty());
    EXPECT_EQ(region.GetBounds().left, 2);
    EXPECT_EQ(region.GetBounds().bottom, 13);
    EXPECT_EQ(region.GetSize(), 0u);
    EXPECT_EQ(region.GetSpanCount(), 0);
    for (SHORT v : {region.GetLongestSpan(), region.GetLeft(), region.GetTop(), region.GetRight(), region.GetBottom()})
        EXPECT_EQ(v, 0);
    region.SetLeft(5);  // no block to write into
    EXPECT_FALSE(region.PtInRegion({5, 5}));
    region.Empty();
}

TEST(Region, SettersWriteTheHeaderAndBoundsFollowOnRefresh)
{
    CRegion region;
    region.SetRect(0, 0, 10, 10);
    region.SetRight(5);
    EXPECT_EQ(region.GetRight(), 5);
    EXPECT_EQ(region.GetBounds().right, 10);
    region.RefreshBounds();
    EXPECT_EQ(region.GetBounds().right, 5);
    EXPECT_FALSE(region.PtInRegion({7, 5}));

    // A header changed past the block's end does not lead readers out of it.
    region.SetSize(30000);
    region.SetSpanCount(500);
    CRegion copy(region);
    copy.OffsetX(1);
    copy.OffsetY(1);
    EXPECT_TRUE(copy.PtInRegion({2, 2}));
    EXPECT_EQ(copy.GetBlockSize(), 26u);
}

TEST(Region, SetRectMakesOneBand)
{
    CRegion region;
    region.SetRect(0, 0, 10, 10);
    EXPECT_EQ(Words(region), (std::vector<SHORT>{26, 1, 2, 0, 0, 10, 10, 2, 0, 10, 0, 10, 2}));
    ExpectWellFormed(region);
}

TEST(Region, PointTestCountsBothEndsOfBandsAndRunsWithinTheBounds)
{
    CRegion unit;
    unit.SetPolygon(kUnitBox);
    CRegion rect;
    rect.SetRect(0, 0, 10, 10);
    const CRegion gap = MakeRegion({{0, 2, {0, 10}}, {5, 8, {0, 10}}});
    const CRegion twoRuns = MakeRegion({{0, 5, {0, 4, 6, 10}}});
    const CRegion flatBand = MakeRegion({{3, 3, {0, 10}}, {5, 6, {0, 10}}});
    const CRegion empty;
    struct Case {
        const CRegion* region;
        POINT point;
        BOOL hit;
    };
    const Case cases[] = {
        {&unit, {11, 0}, TRUE},    // end of the run 9..11
        {&unit, {8, 0}, FALSE},    //
        {&unit, {20, 5}, FALSE},   // on the bounds' right edge
        {&unit, {9, 16}, FALSE},   // on the bounds' bottom edge
        {&unit, {0, 5}, TRUE},     //
        {&unit, {10, 15}, TRUE},   //
        {&rect, {0, 0}, TRUE},     //
        {&rect, {9, 9}, TRUE},     //
        {&rect, {10, 5}, FALSE},   // the run's end hits, the bounds do not
        {&gap, {3, 2}, TRUE},      // the row below a band
        {&gap, {3, 3}, FALSE},     //
        {&gap, {3, 4}, FALSE},     //
        {&gap, {3, 7}, TRUE},      //
        {&twoRuns, {4, 2}, TRUE},  // the column of a run's end
        {&twoRuns, {5, 2}, FALSE}, //
        {&flatBand, {2, 3}, FALSE},  // a band without rows never hits
        {&empty, {0, 0}, FALSE},   //
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.region->PtInRegion(c.point), c.hit) << c.point.x << "," << c.point.y;
}

TEST(Region, OffsetsMoveEveryWordAndWrapAt16Bits)
{
    CRegion region;
    region.SetPolygon(kUnitBox);
    region.OffsetX(5);
    EXPECT_EQ(region.GetLeft(), 5);
    EXPECT_EQ(Bands(region)[0], (Band{0, 1, {14, 16}}));
    EXPECT_TRUE(region.PtInRegion({24, 5}));
    region.OffsetX(-5);
    EXPECT_EQ(Words(region), kUnitBoxWords);

    region.OffsetY(-7);
    EXPECT_EQ(region.GetBounds().top, -7);
    EXPECT_EQ(Bands(region)[5], (Band{-2, 4, {0, 20}}));
    region.OffsetY(7);
    EXPECT_EQ(Words(region), kUnitBoxWords);

    CRegion edge;
    edge.SetRect(32760, 0, 32767, 1);
    edge.OffsetX(10);
    EXPECT_EQ(Words(edge), (std::vector<SHORT>{26, 1, 2, -32766, 0, -32759, 1, 2, 0, 1, -32766, -32759, 2}));
    EXPECT_EQ(edge.GetBounds().left, -32766);

    CRegion empty;
    empty.OffsetX(3);
    empty.OffsetY(3);
    EXPECT_TRUE(empty.IsEmpty());
}

// ---- Union ----

TEST(Union, WithAnEmptySideCopiesTheOther)
{
    CRegion a;
    a.SetRect(0, 0, 4, 4);
    CRegion b;
    b.SetPolygon(kUnitBox);
    const CRegion empty;

    CRegion r;
    EXPECT_FALSE(r.Union(empty, empty));
    EXPECT_TRUE(r.IsEmpty());

    r = a;
    EXPECT_TRUE(r.Union(r, empty));
    EXPECT_EQ(Words(r), Words(a));
    EXPECT_TRUE(r.Union(empty, b));
    EXPECT_EQ(Words(r), kUnitBoxWords);
    EXPECT_TRUE(r.Union(empty, r));
    EXPECT_EQ(Words(r), kUnitBoxWords);

    // A result that is a copy still answers whether it holds a band.
    const std::vector<BYTE> header = Encode({14, 0, 0, 0, 0, 0, 0});
    CRegion noBands;
    noBands.LoadData(header.data(), 14);
    EXPECT_FALSE(r.Union(noBands, empty));
    EXPECT_FALSE(r.IsEmpty());
}

TEST(Union, RowsAboveAnOverlapBecomeOneBandEach)
{
    MessageBoxRecorder boxes;
    CRegion r;
    r.SetRect(0, 5, 10, 20);
    CRegion b;
    b.SetRect(20, 10, 30, 20);
    EXPECT_TRUE(r.Union(r, b));
    const std::vector<Band> expected{
        {5, 6, {0, 10}},   {6, 7, {0, 10}}, {7, 8, {0, 10}}, {8, 9, {0, 10}},
        {9, 10, {0, 10}}, {10, 20, {0, 10, 20, 30}},
    };
    EXPECT_EQ(Bands(r), expected);
    EXPECT_EQ(r.GetBounds().left, 0);
    EXPECT_EQ(r.GetBounds().top, 5);
    EXPECT_EQ(r.GetBounds().right, 30);
    EXPECT_EQ(r.GetBounds().bottom, 20);
    ExpectWellFormed(r);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST(Union, BandsApartStayApartAndOverlapsSplit)
{
    struct Case {
        const char* name;
        std::vector<Band> a, b, expected;
    };
    const Case cases[] = {
        {"touching bands are not joined", {{0, 5, {0, 10}}}, {{5, 10, {0, 10}}}, {{0, 5, {0, 10}}, {5, 10, {0, 10}}}},
        {"b above a", {{8, 10, {0, 4}}}, {{0, 3, {0, 4}}}, {{0, 3, {0, 4}}, {8, 10, {0, 4}}}},
        {"b inside a's rows",
         {{0, 4, {0, 4}}},
         {{1, 2, {6, 8}}},
         {{0, 1, {0, 4}}, {1, 2, {0, 4, 6, 8}}, {2, 4, {0, 4}}}},
        {"equal bands", {{0, 3, {0, 4}}}, {{0, 3, {0, 4}}}, {{0, 3, {0, 4}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRegion r = MakeRegion(c.a);
        EXPECT_TRUE(r.Union(r, MakeRegion(c.b)));
        EXPECT_EQ(Bands(r), c.expected);
        ExpectWellFormed(r);
    }
}

TEST(Union, MergesRunsThatOverlapTouchOrLieOnePixelApart)
{
    struct Case {
        std::vector<SHORT> a, b, expected;
    };
    const Case cases[] = {
        {{0, 5}, {6, 9}, {0, 9}},             // 6 <= 5 + 1
        {{0, 5}, {7, 9}, {0, 5, 7, 9}},       //
        {{7, 9}, {0, 5}, {0, 5, 7, 9}},       //
        {{0, 5}, {3, 9}, {0, 9}},             //
        {{2, 4}, {0, 9}, {0, 9}},             //
        {{0, 5}, {5, 9}, {0, 9}},             //
        {{0, 2, 10, 12}, {4, 6, 20, 22}, {0, 2, 4, 6, 10, 12, 20, 22}},
        {{0, 3, 20, 30}, {2, 25}, {0, 30}},   // one wide run swallows the next
        {{0, 10}, {2, 3, 5, 6}, {0, 10}},     //
    };
    for (const Case& c : cases) {
        CRegion r = MakeRegion({{0, 1, c.a}});
        r.Union(r, MakeRegion({{0, 1, c.b}}));
        ASSERT_EQ(r.GetSpanCount(), 1);
        EXPECT_EQ(Bands(r)[0].xs, c.expected);
        ExpectWellFormed(r);
    }
}

// ---- Subtraction ----

TEST(Subtract, EqualEmptyAndCoveredBands)
{
    CRegion unit;
    unit.SetPolygon(kUnitBox);

    CRegion r = unit;
    r.Subtract(r, unit);
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_EQ(r.GetBounds().right, 20);

    r = unit;
    r.Subtract(r, CRegion());
    EXPECT_EQ(Words(r), kUnitBoxWords);

    CRegion empty;
    empty.Subtract(empty, unit);
    EXPECT_TRUE(empty.IsEmpty());

    // The rows of a above b's band come out one per row; the covered band is
    // dropped; the header keeps a's extent.
    r.SetRect(0, 0, 10, 10);
    CRegion b;
    b.SetRect(-5, 3, 15, 5);
    r.Subtract(r, b);
    const std::vector<Band> expected{{0, 1, {0, 10}}, {1, 2, {0, 10}}, {2, 3, {0, 10}}, {5, 10, {0, 10}}};
    EXPECT_EQ(Bands(r), expected);
    EXPECT_EQ(r.GetLeft(), 0);
    EXPECT_EQ(r.GetRight(), 10);
    EXPECT_EQ(r.GetBounds().bottom, 10);
    ExpectWellFormed(r);
}

TEST(Subtract, RowsOfBAboveAAreSkipped)
{
    CRegion r = MakeRegion({{5, 10, {0, 20}}});
    r.Subtract(r, MakeRegion({{0, 8, {0, 10}}, {12, 14, {0, 20}}}));
    EXPECT_EQ(Bands(r), (std::vector<Band>{{5, 8, {10, 20}}, {8, 10, {0, 20}}}));
}

TEST(Subtract, CutsRunsIntoPieces)
{
    struct Case {
        std::vector<SHORT> a, b, expected;
    };
    const Case cases[] = {
        {{0, 10}, {3, 5}, {0, 3, 5, 10}},
        {{0, 10}, {5, 15}, {0, 5}},
        {{0, 10}, {-5, 3}, {3, 10}},
        {{0, 10}, {10, 12}, {0, 10}},
        {{0, 10}, {-3, 0}, {0, 10}},
        {{0, 4, 6, 10}, {2, 8}, {0, 2, 8, 10}},
        {{0, 10}, {2, 4, 6, 8}, {0, 2, 4, 6, 8, 10}},
        {{0, 5, 5, 10}, {5, 6}, {0, 5, 6, 10}},  // pieces that touch stay apart
        {{0, 4, 6, 10}, {0, 4}, {6, 10}},
        {{0, 4, 6, 10}, {0, 10}, {}},
    };
    for (const Case& c : cases) {
        CRegion r = MakeRegion({{0, 1, c.a}});
        r.Subtract(r, MakeRegion({{0, 1, c.b}}));
        if (c.expected.empty()) {
            EXPECT_TRUE(r.IsEmpty());
            continue;
        }
        ASSERT_EQ(r.GetSpanCount(), 1);
        EXPECT_EQ(Bands(r)[0].xs, c.expected);
        ExpectWellFormed(r);
    }
}

// ---- Results past a resource's 16-bit size ----

TEST(RegionLimits, BuildersGrowPastTheResourceSize)
{
    MessageBoxRecorder boxes;

    // Union: even rows with odd rows, 4,000 one-row bands in all (48,014 bytes).
    std::vector<Band> even, odd;
    for (SHORT y = 0; y < 4000; y += 2) {
        even.push_back({y, static_cast<SHORT>(y + 1), {0, 10}});
        odd.push_back({static_cast<SHORT>(y + 1), static_cast<SHORT>(y + 2), {0, 10}});
    }
    CRegion united = MakeRegion(even);
    EXPECT_TRUE(united.Union(united, MakeRegion(odd)));
    ExpectWellFormed(united);
    ASSERT_EQ(united.GetSpanCount(), 4000);
    const std::vector<Band> bands = Bands(united);
    for (int i = 0; i < 4000; ++i)
        ASSERT_EQ(bands[i].top, i);
    EXPECT_EQ(united.GetBottom(), 4000);
    EXPECT_TRUE(united.PtInRegion(POINT{5, 3999}));

    // Scan conversion: an outline whose every row differs.
    const POINT tall[6] = {{5000, 0}, {0, 5000}, {0, 5001}, {5000, 10001}, {10000, 5000}, {10000, 5001}};
    CRegion polygon;
    polygon.SetPolygon(tall);
    ExpectWellFormed(polygon);
    EXPECT_GT(polygon.GetSpanCount(), 10000);
    EXPECT_EQ(Bands(polygon).back().bottom, 10001);
    EXPECT_TRUE(polygon.PtInRegion(POINT{5000, 10000}));

    // Subtraction: every band split in two, 80,014 bytes; a copy and a move keep it whole.
    std::vector<Band> rows;
    for (SHORT y = 0; y < 2500; ++y)
        rows.push_back({y, static_cast<SHORT>(y + 1), {0, 100}});
    CRegion cut = MakeRegion(rows);
    cut.Subtract(cut, MakeRegion({{0, 2500, {40, 60}}}));
    ExpectWellFormed(cut);
    EXPECT_EQ(cut.GetSpanCount(), 2500);
    EXPECT_EQ(cut.GetLongestSpan(), 4);
    CRegion moved = cut;
    moved.OffsetY(10);
    EXPECT_EQ(moved.GetSpanCount(), 2500);
    EXPECT_EQ(Bands(moved).back().top, 2509);
    EXPECT_TRUE(moved.PtInRegion(POINT{99, 2509}));
    EXPECT_FALSE(moved.PtInRegion(POINT{50, 2509}));

    EXPECT_TRUE(boxes.texts.empty());
}

// ---- Drawing ----

class RegionDrawing : public testing::Test {
protected:
    platform::Surface surface{24, 18, kWhite};
    CDC dc{&surface};
    CPen green{PS_SOLID, 1, RGB(0, 160, 0)};
};

TEST_F(RegionDrawing, FillPaintsExactlyTheHalfOpenRuns)
{
    const CRegion region = MakeRegion({{1, 3, {2, 5, 8, 12}}, {3, 4, {0, 24}}, {6, 9, {10, 11}}});
    region.FillRows(&dc, RGB(200, 0, 0));
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            bool inside = false;
            for (const Band& band : Bands(region))
                for (size_t i = 0; i < band.xs.size(); i += 2)
                    inside |= y >= band.top && y < band.bottom && x >= band.xs[i] && x < band.xs[i + 1];
            ASSERT_EQ(surface.GetPixel(x, y), inside ? RGB(200, 0, 0) : kWhite) << x << "," << y;
        }
    }
}

TEST_F(RegionDrawing, FillRestoresThePenAndMix)
{
    CRegion region;
    region.SetPolygon(kUnitBox);
    CPen* stock = dc.SelectObject(&green);
    dc.SetROP2(R2_COPYPEN);

    region.FillRows(&dc, RGB(200, 0, 0));
    EXPECT_EQ(dc.GetPixel(10, 8), RGB(200, 0, 0));
    EXPECT_EQ(dc.SelectObject(&green), &green);

    region.FillRows(&dc, 0);  // the context's own pen
    EXPECT_EQ(dc.GetPixel(10, 8), RGB(0, 160, 0));

    surface.Fill(kWhite);
    dc.SetROP2(R2_MERGEPEN);
    region.FillRows(&dc, static_cast<COLORREF>(-1));
    EXPECT_EQ(dc.GetPixel(10, 8), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(10, 16), kWhite);
    EXPECT_EQ(dc.GetROP2(), R2_MERGEPEN);
    EXPECT_EQ(dc.SelectObject(stock), &green);

    CRegion().FillRows(&dc, RGB(1, 2, 3));
    region.FillRows(nullptr, RGB(1, 2, 3));
}

TEST_F(RegionDrawing, InvertingFillTwiceRestores)
{
    Scribble(surface);
    const platform::Surface before = surface;
    CRegion region;
    region.SetPolygon(kUnitBox);
    region.FillRows(&dc, static_cast<COLORREF>(-1));
    EXPECT_FALSE(SamePixels(surface, before));
    region.FillRows(&dc, static_cast<COLORREF>(-1));
    EXPECT_TRUE(SamePixels(surface, before));
}

TEST_F(RegionDrawing, NotXorOutlineShowsTheMixedCornersAndTwiceRestores)
{
    CRegion rect;
    rect.SetRect(1, 1, 11, 5);
    rect.DrawOutline(&dc, static_cast<COLORREF>(-1), 2, RGB(0, 0, 200));
    // The full top and bottom edges cross the end pieces, so in not-xor mix
    // the corners cancel out.
    const std::vector<std::string> picture = Picture(surface, kWhite);
    const std::vector<std::string> expected{
        "............",
        "...######...",
        ".##......##.",
        ".##......##.",
        "...######...",
        "............",
    };
    for (size_t y = 0; y < expected.size(); ++y)
        EXPECT_EQ(picture[y].substr(0, 12), expected[y]) << "row " << y;
    EXPECT_EQ(dc.GetPixel(4, 1), RGB(0, 0, 200));
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.SelectObject(CPen::BlackPen()), CPen::BlackPen());

    rect.DrawOutline(&dc, static_cast<COLORREF>(-1), 2, RGB(0, 0, 200));
    EXPECT_EQ(Picture(surface, kWhite), Picture(platform::Surface(24, 18, kWhite), kWhite));

    Scribble(surface);
    const platform::Surface before = surface;
    CRegion unit;
    unit.SetPolygon(kUnitBox);
    unit.OffsetX(2);
    for (int pass = 0; pass < 2; ++pass)
        unit.DrawOutline(&dc, static_cast<COLORREF>(-1), 2, RGB(90, 30, 250));
    EXPECT_TRUE(SamePixels(surface, before));
}

TEST_F(RegionDrawing, OutlineTopEdgePerBandBottomEdgeOnlyAtTheEnd)
{
    const CRegion twoBands = MakeRegion({{0, 3, {0, 10}}, {5, 8, {0, 10}}});
    twoBands.DrawOutline(&dc, RGB(200, 0, 0), 2, 0);
    const std::vector<std::string> expected{
        "##########", "##......##", "##......##", "..........",
        "..........", "##########", "##......##", "##########",
    };
    const std::vector<std::string> picture = Picture(surface, kWhite);
    for (size_t y = 0; y < expected.size(); ++y)
        EXPECT_EQ(picture[y].substr(0, 10), expected[y]) << "row " << y;
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(200, 0, 0));

    // Colour 0 draws with the context's pen.
    surface.Fill(kWhite);
    dc.SelectObject(&green);
    twoBands.DrawOutline(&dc, 0, 1, 0);
    EXPECT_EQ(dc.GetPixel(0, 6), RGB(0, 160, 0));
    EXPECT_EQ(dc.GetPixel(1, 6), kWhite);
    EXPECT_EQ(dc.GetPixel(9, 6), RGB(0, 160, 0));
}

}  // namespace
