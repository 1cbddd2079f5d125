// The brick's side of its class's resources: reading the class and
// orientation records, its picture and mask, and drawing it in its colour.
#include <algorithm>
#include <cstring>
#include <optional>

#include "model/bitmap_check.h"
#include "model/brick.h"
#include "model/brick_look.h"
#include "model/brick_services.h"
#include "model/class_reading.h"
#include "model/kit_list.h"
#include "platform/core/hooks.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"

namespace {

// Runs `read` on `module`, or on the class's own module held open for it.
template <typename Read>
auto WithClassModule(SHORT classId, HMODULE module, Read read)
{
    std::optional<CClassModule> opened;
    if (!module) {
        opened.emplace(classId);
        module = opened->Get();
    }
    return read(module);
}

constexpr size_t kClassTableOffset = 14;
// Box (six 16-bit values), picture id, mask id; the rest is not read.
constexpr size_t kOrientationRecordSize = 16;

WORD ReadWord(const BYTE* p)
{
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

// The bytes of a resource, valid while its module is open.
bool FindResourceBytes(HMODULE module, UINT id, const char* type, ResourceBytes& found)
{
    if (!module || id == 0)
        return false;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCE(id), type);
    if (!resource)
        return false;
    HGLOBAL handle = LoadResource(module, resource);
    found.data = static_cast<const BYTE*>(LockResource(handle));
    found.size = SizeofResource(module, resource);
    return found.data != nullptr;
}

bool g_bPictureWarningShown = false;

WORD OrientationId(const BrickClassData& data, SHORT pose, SHORT orientation)
{
    const size_t at = kClassTableOffset + 8 * static_cast<size_t>(pose) + 2 * static_cast<size_t>(orientation);
    return ReadWord(data.bytes + at);
}

BOOL ReadClassRecord(SHORT classId, HMODULE module, BrickClassData& data)
{
    ResourceBytes bytes;
    if (!FindResourceBytes(module, static_cast<WORD>(classId), "BRICKCLASS", bytes) ||
        !CheckBrickClassRecord(bytes.data, bytes.size))
        return FALSE;
    data.bytes = bytes.data;
    data.mask = ReadWord(bytes.data + 6);
    data.poseCount = static_cast<SHORT>(ReadWord(bytes.data + 12));
    return TRUE;
}

// Pose and orientation must be in range (the brick's setters keep them so).
bool ReadOrientationRecord(HMODULE module, const BrickClassData& data, SHORT pose, SHORT orientation,
                           BrickOrientation& found)
{
    if (pose < 0 || pose >= data.poseCount || orientation < 0 || orientation >= CBrick::kOrientationCount)
        return false;
    ResourceBytes record;
    if (!FindResourceBytes(module, OrientationId(data, pose, orientation), "BRICKORIENTATION", record) ||
        record.size < kOrientationRecordSize)
        return false;
    auto value = [&](int index) { return static_cast<SHORT>(ReadWord(record.data + 2 * index)); };
    found.box = CBox3D(value(0), value(1), value(2), value(3), value(4), value(5));
    found.imageId = ReadWord(record.data + 12);
    found.regionId = ReadWord(record.data + 14);
    return true;
}

// The reading that remembers what `module` gives for the class, or null.
CClassReading* ReadingFor(SHORT classId, HMODULE module)
{
    CClassReading* reading = CClassReading::Current();
    return reading && reading->Holds(classId, module) ? reading : nullptr;
}

// The orientation record of a pose, and with `look` also what it shows (with
// a reference for the caller).
bool ReadOrientation(SHORT classId, HMODULE module, const BrickClassData& data, SHORT pose, SHORT orientation,
                     BrickOrientation& found, CBrickLook** look = nullptr)
{
    CClassReading* reading = ReadingFor(classId, module);
    CClassReading::LookEntry* entry = reading ? reading->FindLook(classId, pose, orientation) : nullptr;
    if (!entry) {
        BrickOrientation read;
        const bool valid = ReadOrientationRecord(module, data, pose, orientation, read);
        if (!reading) {
            found = read;
            if (valid && look)
                *look = CBrickLook::Acquire(classId, module, read.imageId, read.regionId);
            return valid;
        }
        entry = &reading->AddLook(classId, pose, orientation);
        entry->valid = valid;
        entry->orientation = read;
    }
    if (!entry->valid)
        return false;
    found = entry->orientation;
    if (look) {
        if (!entry->look)
            entry->look = CBrickLook::Acquire(classId, module, found.imageId, found.regionId);
        entry->look->AddRef();
        *look = entry->look;
    }
    return true;
}

}  // namespace

void CBrick::AllowPictureWarningAgain()
{
    g_bPictureWarningShown = false;
}

BOOL CBrick::ReadClass(HMODULE module, BrickClassData& data) const
{
    CClassReading* reading = ReadingFor(m_nClassId, module);
    CClassReading::ClassEntry* entry = reading ? reading->FindClass(m_nClassId) : nullptr;
    if (!entry) {
        if (!reading)
            return ReadClassRecord(m_nClassId, module, data);
        entry = &reading->AddClass(m_nClassId);
        entry->valid = ReadClassRecord(m_nClassId, module, entry->data) != FALSE;
    }
    if (entry->valid)
        data = entry->data;
    return entry->valid ? TRUE : FALSE;
}

void CBrick::ApplyFields(const CPoint3D& position, SHORT pose, SHORT orientation, LONG colour)
{
    CClassModule module(m_nClassId);
    BrickClassData data;
    const bool known = module && ReadClass(module.Get(), data);
    if (known)
        m_nPoseCount = data.poseCount;
    m_nPose = WrapPose(pose);
    m_nOrientation = WrapOrientation(orientation);
    const int remainder = ColorRemainder(colour);
    if (known && remainder >= 0 && (data.mask >> remainder) & 1)
        m_nColor = remainder;
    if (!known)
        return;
    const CPoint3D before = m_position;
    m_position = position;
    if (!RecalcWith(module.Get(), data))
        m_position = before;
}

void CBrick::SetPoseField(SHORT pose)
{
    // The range is the class's, which a brick not yet loaded does not hold.
    CClassModule module(m_nClassId);
    BrickClassData data;
    const bool known = module && ReadClass(module.Get(), data);
    if (known)
        m_nPoseCount = data.poseCount;
    m_nPose = WrapPose(pose);
    if (known)
        RecalcWith(module.Get(), data);
}

BOOL CBrick::Recalc()
{
    CClassModule module(m_nClassId);
    BrickClassData data;
    if (!module || !ReadClass(module.Get(), data))
        return FALSE;
    return RecalcWith(module.Get(), data);
}

BOOL CBrick::RecalcWith(HMODULE module, const BrickClassData& data)
{
    m_nPoseCount = data.poseCount;
    // A new class may have fewer poses than the pose the brick holds.
    m_nPose = WrapPose(m_nPose);
    BrickOrientation look;
    CBrickLook* shown = nullptr;
    if (!ReadOrientation(m_nClassId, module, data, m_nPose, m_nOrientation, look, &shown))
        return FALSE;
    ReleaseLook();
    m_pLook = shown;
    SetWorldBox(look.box + m_position);
    return TRUE;
}

void CBrick::SetPositionField(const CPoint3D& point)
{
    CClassModule module(m_nClassId);
    BrickClassData data;
    BrickOrientation look;
    if (!module || !ReadClass(module.Get(), data) ||
        !ReadOrientation(m_nClassId, module.Get(), data, m_nPose, m_nOrientation, look))
        return;
    m_position = point;
    SetWorldBox(look.box + m_position);
}

BOOL CBrick::IsColorAllowed(LONG colour, HMODULE module) const
{
    if (colour < 0)
        return FALSE;
    return WithClassModule(m_nClassId, module, [&](HMODULE opened) -> BOOL {
        BrickClassData data;
        if (!opened || !ReadClass(opened, data))
            return FALSE;
        return (data.mask >> (colour % kColorCount)) & 1 ? TRUE : FALSE;
    });
}

SHORT CBrick::ReadClassPoseCount(HMODULE module) const
{
    return WithClassModule(m_nClassId, module, [&](HMODULE opened) -> SHORT {
        BrickClassData data;
        return opened && ReadClass(opened, data) ? data.poseCount : SHORT{0};
    });
}

BOOL CBrick::ReadClassBox(CBox3D& box, HMODULE module) const
{
    return WithClassModule(m_nClassId, module, [&](HMODULE opened) -> BOOL {
        BrickClassData data;
        BrickOrientation look;
        if (!opened || !ReadClass(opened, data) ||
            !ReadOrientation(m_nClassId, opened, data, m_nPose, m_nOrientation, look))
            return FALSE;
        box = look.box;
        return TRUE;
    });
}

BOOL CBrick::ReadPictureRecord(WORD& imageId, WORD& regionId, HMODULE module) const
{
    return WithClassModule(m_nClassId, module, [&](HMODULE opened) -> BOOL {
        BrickClassData data;
        BrickOrientation look;
        if (!opened || !ReadClass(opened, data) ||
            !ReadOrientation(m_nClassId, opened, data, m_nPose, m_nOrientation, look))
            return FALSE;
        imageId = look.imageId;
        regionId = look.regionId;
        return TRUE;
    });
}

HGLOBAL CBrick::LoadImage(HMODULE module, UINT id)
{
    ResourceBytes bytes;
    if (!FindResourceBytes(module, id, "BRICKIMAGE", bytes) ||
        !CheckPackedBitmap(bytes.data, bytes.size, true, nullptr))
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_DISCARDABLE, bytes.size);
    if (!copy)
        return nullptr;
    std::memcpy(GlobalLock(copy), bytes.data, bytes.size);
    GlobalUnlock(copy);
    return copy;
}

void CBrick::ReleaseLook()
{
    if (m_pLook)
        m_pLook->Release();
    m_pLook = nullptr;
}

const CRegion& CBrick::GetRegion() const
{
    static const CRegion none;
    return m_pLook ? m_pLook->GetRegion() : none;
}

HGLOBAL CBrick::GetPicture() const
{
    return m_pLook ? m_pLook->GetPicture() : nullptr;
}

void CBrick::Draw(CDC* dc, const CRegion& paint, const RECT& screen)
{
    if (!GetPicture())
        Recalc();
    HGLOBAL picture = GetPicture();
    const auto* bytes = picture ? static_cast<const BYTE*>(GlobalLock(picture)) : nullptr;
    BitmapLayout layout;
    if (!bytes || !CheckPackedBitmap(bytes, GlobalSize(picture), true, &layout)) {
        if (bytes)
            GlobalUnlock(picture);
        // Drawing runs inside a paint: one box per run, or it would come back
        // with every repaint.
        if (!g_bPictureWarningShown) {
            g_bPictureWarningShown = true;
            AfxMessageBox("Scream and Yell");
        }
        return;
    }

    // The working copy is only the header and a colour table of palette
    // indices: shades 0-8 map to the brick's colour run, every other value to
    // that palette entry. The pixels are read where they lie.
    alignas(4) BYTE working[sizeof(BITMAPINFOHEADER) + 256 * sizeof(WORD)];
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes + layout.infoOffset, sizeof header);
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biClrUsed = 256;
    header.biClrImportant = 0;
    header.biSizeImage = 0;
    WORD table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<WORD>(i);
    FillColorRamp(table, kFirstShadeEntry + kShadeCount * m_nColor);
    std::memcpy(working, &header, sizeof header);
    std::memcpy(working + sizeof header, table, sizeof table);

    DrawThroughRegion(dc, screen, layout.width, layout.height, reinterpret_cast<BITMAPINFO*>(working),
                      bytes + layout.pixelOffset, paint);
    GlobalUnlock(picture);
}

CRegion CBrick::GetScreenRegion(const POINT points[6]) const
{
    CRegion region;
    const CRegion& mask = GetRegion();
    if (!mask.IsEmpty()) {
        region = mask;
        region.OffsetX(static_cast<SHORT>(points[1].x));
        region.OffsetY(static_cast<SHORT>(points[0].y));
    } else {
        region.SetPolygon(points);
    }
    return region;
}

void CBrick::FillColorRamp(WORD* table, int base)
{
    for (int shade = 0; shade < kShadeCount; ++shade)
        table[shade] = static_cast<WORD>(base - shade);
}

void CBrick::DrawThroughRegion(CDC* dc, const RECT& rect, int width, int height, BITMAPINFO* info,
                               const BYTE* pixels, const CRegion& region)
{
    if (!dc || !info || !pixels || region.IsEmpty() || width <= 0 || height <= 0)
        return;
    const auto stride = static_cast<size_t>(DibRowStride(width, info->bmiHeader.biBitCount));
    const long long left = rect.left;
    const long long top = rect.top;
    const long long right = left + width;
    const long long bottom = top + height;

    // The source row is always the whole picture row, and a run picks its
    // columns out of it: nothing is read past the row's end.
    const LONG savedWidth = info->bmiHeader.biWidth;
    const LONG savedHeight = info->bmiHeader.biHeight;
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = 1;

    CRegion::BandReader band(region);
    while (band.Next()) {
        const long long rowFrom = std::max<long long>(band.Top(), top);
        const long long rowTo = std::min<long long>(band.Bottom(), bottom);
        for (long long y = rowFrom; y < rowTo; ++y) {
            const auto row = static_cast<size_t>(height - 1 - (y - top));
            const BYTE* bits = pixels + row * stride;
            for (int i = 0; i < band.RunCount(); ++i) {
                const long long x0 = std::max<long long>(band.RunStart(i), left);
                const long long x1 = std::min<long long>(band.RunEnd(i), right);
                if (x0 >= x1)
                    continue;
                const int run = static_cast<int>(x1 - x0);
                const auto x = static_cast<int>(x0);
                dc->StretchDIBits(x, static_cast<int>(y), run, 1, static_cast<int>(x0 - left), 0, run, 1, bits, info,
                                  DIB_PAL_COLORS, SRCCOPY);
            }
        }
    }

    info->bmiHeader.biWidth = savedWidth;
    info->bmiHeader.biHeight = savedHeight;
}
