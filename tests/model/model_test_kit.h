// A small brick kit assembled in memory as a compiled resource image, the
// brick services that serve it, and a listener that records notifications.
// Shared by the model tests and the model benchmarks.
#pragma once

#include <algorithm>
#include <iterator>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/geometry3d.h"
#include "foundation/notification_codes.h"
#include "resources/resource_ids.h"
#include "foundation/notifier.h"
#include "foundation/region.h"
#include "model/brick_services.h"
#include "model/kit_list.h"
#include "platform/core/resources.h"
#include "platform/gdi/dib.h"

namespace testkit {

using Bytes = std::vector<unsigned char>;

inline void PutWord(Bytes& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

inline void PutDword(Bytes& out, DWORD value)
{
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

// Orientation ids per pose, orientations 0 to 3.
using PoseTable = std::vector<std::array<WORD, 4>>;

inline Bytes ClassRecord(WORD mask, const PoseTable& poses, DWORD tag = 1, int declaredPoses = -1)
{
    Bytes out = {'B', 'R', 'C', 'K'};
    PutWord(out, 0);
    PutWord(out, mask);
    PutDword(out, tag);
    PutWord(out, static_cast<unsigned>(declaredPoses < 0 ? static_cast<int>(poses.size()) : declaredPoses));
    for (const auto& pose : poses)
        for (WORD id : pose)
            PutWord(out, id);
    return out;
}

inline Bytes OrientationRecord(const CBox3D& box, WORD image, WORD region, size_t size = 44)
{
    Bytes out;
    for (int axis = 0; axis < 3; ++axis)
        PutWord(out, static_cast<WORD>(box.Min()[axis]));
    for (int axis = 0; axis < 3; ++axis)
        PutWord(out, static_cast<WORD>(box.Max()[axis]));
    PutWord(out, image);
    PutWord(out, region);
    out.resize(size, 0);
    return out;
}

struct PictureSpec {
    int width = 4;
    int height = 3;
    std::vector<BYTE> topDown;  // width x height values, top row first
    DWORD colorsUsed = 0;       // as written in the header
    WORD bitCount = 8;
    DWORD compression = BI_RGB;
    size_t cut = 0;  // bytes dropped from the end
};

// A bitmap file image; its colour table is grey and never used for bricks.
inline Bytes Picture(const PictureSpec& spec)
{
    const DWORD colours = spec.colorsUsed == 0 ? 256 : spec.colorsUsed;
    const size_t stride = static_cast<size_t>(DibRowStride(spec.width, 8));
    const size_t pixelBytes = stride * static_cast<size_t>(spec.height);
    const DWORD offBits = 14 + 40 + 4 * colours;
    Bytes out;
    PutWord(out, kBitmapFileType);
    PutDword(out, offBits + static_cast<DWORD>(pixelBytes));
    PutWord(out, 0);
    PutWord(out, 0);
    PutDword(out, offBits);
    PutDword(out, 40);
    PutDword(out, static_cast<DWORD>(spec.width));
    PutDword(out, static_cast<DWORD>(spec.height));
    PutWord(out, 1);
    PutWord(out, spec.bitCount);
    PutDword(out, spec.compression);
    PutDword(out, static_cast<DWORD>(pixelBytes));
    PutDword(out, 0);
    PutDword(out, 0);
    PutDword(out, spec.colorsUsed);
    PutDword(out, 0);
    for (DWORD i = 0; i < colours; ++i) {
        const auto grey = static_cast<unsigned char>(i & 0xFF);
        out.insert(out.end(), {grey, grey, grey, 0});
    }
    for (int row = spec.height - 1; row >= 0; --row) {
        for (size_t x = 0; x < stride; ++x) {
            const size_t at = static_cast<size_t>(row) * static_cast<size_t>(spec.width) + x;
            out.push_back(x < static_cast<size_t>(spec.width) && at < spec.topDown.size() ? spec.topDown[at] : 0);
        }
    }
    out.resize(out.size() - std::min(spec.cut, out.size()));
    return out;
}

inline Bytes RegionBytes(const CRegion& region)
{
    const BYTE* data = region.GetData();
    return data ? Bytes(data, data + region.GetBlockSize()) : Bytes();
}

// A compiled resource image (.res) of numbered resources with named types.
class ResImage {
public:
    void Add(const std::string& type, WORD id, const Bytes& data) { m_entries.push_back({type, id, data}); }

    Bytes Build() const
    {
        // The empty entry every .res starts with: 32 bytes.
        Bytes out(32, 0);
        const unsigned char marker[] = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
        std::copy(std::begin(marker), std::end(marker), out.begin());
        for (const auto& entry : m_entries) {
            Bytes header;
            for (char c : entry.type)
                PutWord(header, static_cast<unsigned char>(c));
            PutWord(header, 0);
            PutWord(header, 0xFFFF);
            PutWord(header, entry.id);
            while ((header.size() + 8) % 4)
                header.push_back(0);
            PutDword(header, 0);       // data version
            PutWord(header, 0x1030);   // memory flags
            PutWord(header, 0x0409);   // language
            PutDword(header, 0);       // version
            PutDword(header, 0);       // characteristics
            PutDword(out, static_cast<DWORD>(entry.data.size()));
            PutDword(out, static_cast<DWORD>(header.size() + 8));
            out.insert(out.end(), header.begin(), header.end());
            out.insert(out.end(), entry.data.begin(), entry.data.end());
            while (out.size() % 4)
                out.push_back(0);
        }
        return out;
    }

private:
    struct Entry {
        std::string type;
        WORD id;
        Bytes data;
    };
    std::vector<Entry> m_entries;
};

// Brick classes of the kit.
constexpr SHORT kBuiltIn = IDC_BUILTIN_CLASS;
constexpr SHORT kThreePoses = 2000;   // mask without yellow; the box grows with the pose
constexpr SHORT kSquare = 2001;       // (0,0,0)-(2,2,1), no mask
constexpr SHORT kNoOrientation = 2002;  // its orientation record is short
constexpr SHORT kShortClass = 2003;   // pose table cut off
constexpr SHORT kNoPoses = 2004;
constexpr SHORT kFourBit = 2005;      // picture of 4 bits per pixel
constexpr SHORT kCutPicture = 2006;   // pixels past the end of the resource
constexpr SHORT kPacked = 2007;       // compressed picture
constexpr SHORT kManyColours = 2008;  // picture claims 300 colours
constexpr SHORT kUnknown = 2999;      // listed by nobody

// The built-in picture: shades 0-8 and palette entry 200, 4 by 3.
inline const std::vector<BYTE>& BuiltInPixels()
{
    static const std::vector<BYTE> pixels = {0, 1, 2, 3, 4, 5, 6, 7, 8, 200, 0, 8};
    return pixels;
}

// The built-in mask: rows 0-1 whole, row 2 only columns 1 and 2.
inline CRegion BuiltInMask()
{
    CRegion top;
    top.SetRect(0, 0, 4, 2);
    CRegion bottom;
    bottom.SetRect(1, 2, 3, 3);
    CRegion mask;
    mask.Union(top, bottom);
    return mask;
}

inline Bytes BuildKit()
{
    ResImage res;
    auto same = [](WORD id) { return std::array<WORD, 4>{id, id, id, id}; };
    res.Add("BRICKCLASS", kBuiltIn, ClassRecord(0xFFFF, {same(100)}));
    res.Add("BRICKORIENTATION", 100, OrientationRecord(CBox3D(0, 0, 0, 1, 1, 1), 102, 103));
    PictureSpec builtIn;
    builtIn.topDown = BuiltInPixels();
    res.Add("BRICKIMAGE", 102, Picture(builtIn));
    res.Add("REGION", 103, RegionBytes(BuiltInMask()));

    // Pose p, orientation o: orientation record 200 + 4p + o, box (0,0,0)-(1+p, 1+(o&1), 1).
    PoseTable three;
    for (WORD p = 0; p < 3; ++p) {
        three.push_back({});
        for (WORD o = 0; o < 4; ++o) {
            const WORD id = static_cast<WORD>(200 + 4 * p + o);
            three.back()[o] = id;
            res.Add("BRICKORIENTATION", id, OrientationRecord(CBox3D(0, 0, 0, 1 + p, 1 + (o & 1), 1), 102, 103));
        }
    }
    res.Add("BRICKCLASS", kThreePoses, ClassRecord(0xFFFF & ~(1u << 3), three));

    res.Add("BRICKCLASS", kSquare, ClassRecord(0xFFFF, {same(300)}));
    res.Add("BRICKORIENTATION", 300, OrientationRecord(CBox3D(0, 0, 0, 2, 2, 1), 102, 0));

    res.Add("BRICKCLASS", kNoOrientation, ClassRecord(0xFFFF, {same(301)}));
    res.Add("BRICKORIENTATION", 301, OrientationRecord(CBox3D(0, 0, 0, 1, 1, 1), 102, 103, 14));

    Bytes cut = ClassRecord(0xFFFF, {same(100), same(100), same(100)});
    cut.resize(cut.size() - 2);
    res.Add("BRICKCLASS", kShortClass, cut);
    res.Add("BRICKCLASS", kNoPoses, ClassRecord(0xFFFF, {}, 1, 0));

    struct BadPicture {
        SHORT classId;
        WORD orientation;
        WORD image;
        PictureSpec spec;
    };
    PictureSpec fourBit = builtIn;
    fourBit.bitCount = 4;
    PictureSpec cutPixels = builtIn;
    cutPixels.cut = 3;
    PictureSpec packed = builtIn;
    packed.compression = 1;
    PictureSpec many = builtIn;
    many.colorsUsed = 300;
    const BadPicture bad[] = {{kFourBit, 310, 410, fourBit},
                              {kCutPicture, 311, 411, cutPixels},
                              {kPacked, 312, 412, packed},
                              {kManyColours, 313, 413, many}};
    for (const auto& picture : bad) {
        res.Add("BRICKCLASS", picture.classId, ClassRecord(0xFFFF, {same(picture.orientation)}));
        res.Add("BRICKORIENTATION", picture.orientation,
                OrientationRecord(CBox3D(0, 0, 0, 1, 1, 1), picture.image, 103));
        res.Add("BRICKIMAGE", picture.image, Picture(picture.spec));
    }
    return res.Build();
}

// Serves every class of one module and counts the module's openings, so that
// tests see every reading release what it opened.
class TestBrickServices : public IBrickServices {
public:
    explicit TestBrickServices(HMODULE module) : m_module(module) {}

    HMODULE GetClassModule(SHORT classId) override
    {
        if (unavailable || !FindResourceA(m_module, MAKEINTRESOURCE(static_cast<WORD>(classId)), "BRICKCLASS"))
            return nullptr;
        ++opened;
        return m_module;
    }
    void ReleaseClassModule(HMODULE module) override
    {
        if (module)
            ++released;
    }
    BOOL HasBrickClass(SHORT classId) override
    {
        HRSRC resource = FindResourceA(m_module, MAKEINTRESOURCE(static_cast<WORD>(classId)), "BRICKCLASS");
        if (!resource)
            return FALSE;
        return CheckBrickClassRecord(LockResource(LoadResource(m_module, resource)), SizeofResource(m_module, resource))
                   ? TRUE
                   : FALSE;
    }
    CKitList* GetKitList() override { return nullptr; }
    CPalette* GetPalette() override { return nullptr; }
    BOOL IsHiddenClassKeyHeld() override { return FALSE; }

    HMODULE Module() const { return m_module; }

    bool unavailable = false;  // every class module fails to open
    int opened = 0;
    int released = 0;

private:
    HMODULE m_module;
};

struct Event {
    UINT sender;
    UINT code;
    LPARAM data;
    BOOL hold;  // for 1057 and 1058: the BOOL the data pointed to
};

// Records what a pane would hear, and keeps the pane's two hold counters.
class Recorder : public CNotifier {
public:
    void OnNotify(UINT sender, UINT code, LPARAM data) override
    {
        Event event{sender, code, data, FALSE};
        if (code == NOTIFY_HOLD_REBUILD || code == NOTIFY_HOLD_EXTENT) {
            event.hold = *reinterpret_cast<const BOOL*>(data);
            (code == NOTIFY_HOLD_EXTENT ? extentHolds : rebuildHolds) += event.hold ? -1 : 1;
        }
        events.push_back(event);
    }

    std::vector<UINT> Codes() const
    {
        std::vector<UINT> codes;
        for (const auto& event : events)
            codes.push_back(event.code);
        return codes;
    }
    int Count(UINT code) const
    {
        int count = 0;
        for (const auto& event : events)
            count += event.code == code;
        return count;
    }
    void Clear() { events.clear(); }

    std::vector<Event> events;
    int extentHolds = 0;
    int rebuildHolds = 0;
};

}  // namespace testkit
