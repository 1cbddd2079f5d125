#include "document/preview.h"

#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "document/dizado_doc.h"
#include "platform/core/cstring.h"
#include "platform/core/file.h"
#include "platform/core/find_file.h"
#include "platform/core/hooks.h"
#include "platform/core/regular_file.h"
#include "platform/core/resources.h"
#include "platform/core/safe_replace.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "platform/ui/view.h"
#include "resources/resource_ids.h"

namespace {

// A RIFF palette file: 20 bytes of RIFF header, then a logical palette.
constexpr size_t kRiffHeader = 20;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;

void PutLittle16(BYTE* p, WORD value)
{
    p[0] = LOBYTE(value);
    p[1] = HIBYTE(value);
}

void PutLittle32(BYTE* p, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(value >> (8 * i));
}

uint64_t ImageSize(const BITMAPINFOHEADER& header)
{
    const int64_t height = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    return DibRowStride(header.biWidth, header.biBitCount) * static_cast<uint64_t>(height);
}

// Releases a global block's lock on every way out.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL block) : m_block(block), m_data(block ? GlobalLock(block) : nullptr) {}
    ~LockedBlock()
    {
        if (m_data)
            GlobalUnlock(m_block);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;

    BYTE* Data() const { return static_cast<BYTE*>(m_data); }

private:
    HGLOBAL m_block;
    void* m_data;
};

// The start of every model file: a picture must never take its place.
constexpr char kModelMagic[8] = {'V', 'O', 'S', 'T', 'B', 'R', 'K', '#'};

bool HoldsModel(const std::filesystem::path& path)
{
    char head[sizeof kModelMagic] = {};
    std::FILE* file = platform::OpenRegularStream(path.string(), "rb");
    if (!file)
        return false;
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return got == sizeof head && std::memcmp(head, kModelMagic, sizeof head) == 0;
}

// The picture goes to a new file beside the target, which replaces the target
// only once it is whole and on the disk: an interrupted write leaves the
// older picture in its place. A model there is never replaced.
BOOL ReplaceWithPicture(const char* path, HGLOBAL dib)
{
    try {
        platform::ReplaceFileSafely(
            path,
            [&](CFile& file) {
                if (!WriteDIBFile(dib, &file))
                    AfxThrowFileException(CFileException::generic, -1, path);
            },
            [](const std::filesystem::path& target) { return !HoldsModel(target); });
    } catch (const CException&) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL IsSameFile(const char* first, const char* second)
{
    const std::filesystem::path a(platform::NativePath(first));
    const std::filesystem::path b(platform::NativePath(second));
    if (a.lexically_normal() == b.lexically_normal())
        return TRUE;
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

BOOL LoadPreviewColourTable(RGBQUAD table[kPaletteDibColours])
{
    std::memset(table, 0, sizeof(RGBQUAD) * kPaletteDibColours);
    HMODULE program = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(program, MAKEINTRESOURCE(IDR_PALETTE), "MYPALETTE");
    if (!resource)
        return FALSE;
    const DWORD size = SizeofResource(program, resource);
    HGLOBAL data = LoadResource(program, resource);
    const auto* bytes = static_cast<const BYTE*>(LockResource(data));
    BOOL loaded = FALSE;
    if (bytes && size >= kRiffHeader + 4) {
        size_t count = static_cast<WORD>(bytes[kRiffHeader + 2] | (bytes[kRiffHeader + 3] << 8));
        if (count > kPaletteDibColours)
            count = kPaletteDibColours;
        if (count > 0 && kRiffHeader + 4 + 4 * count <= size) {
            const BYTE* entry = bytes + kRiffHeader + 4;
            for (size_t i = 0; i < count; ++i, entry += 4)
                table[i] = RGBQUAD{entry[2], entry[1], entry[0], entry[3]};
            loaded = TRUE;
        }
    }
    FreeResource(data);
    return loaded;
}

HGLOBAL CreatePaletteDIB(int width, int height, int bitCount, BITMAPINFOHEADER** header, BYTE** pixels,
                         BOOL* outOfMemory)
{
    if (outOfMemory)
        *outOfMemory = FALSE;
    RGBQUAD table[kPaletteDibColours];
    if (!LoadPreviewColourTable(table))
        return nullptr;
    constexpr size_t kHeadAndTable = sizeof(BITMAPINFOHEADER) + sizeof table;
    const uint64_t imageSize = DibRowStride(width, bitCount) * static_cast<uint64_t>(height > 0 ? height : 0);
    const uint64_t total = kHeadAndTable + (pixels ? imageSize : 0);
    HGLOBAL block = total <= 0x7FFFFFFFu ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total) : nullptr;
    if (!block) {
        if (outOfMemory)
            *outOfMemory = TRUE;
        return nullptr;
    }
    auto* bytes = static_cast<BYTE*>(GlobalLock(block));
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(BITMAPINFOHEADER);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bitCount);
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(imageSize);
    info.biClrUsed = kPaletteDibColours;
    std::memcpy(bytes, &info, sizeof info);
    std::memcpy(bytes + sizeof info, table, sizeof table);
    if (header)
        *header = reinterpret_cast<BITMAPINFOHEADER*>(bytes);
    if (pixels)
        *pixels = bytes + kHeadAndTable;
    return block;
}

BOOL WriteDIBFile(HGLOBAL packed, CFile* file)
{
    if (!packed || !file)
        return FALSE;
    LockedBlock locked(packed);
    BYTE* bytes = locked.Data();
    const size_t blockSize = GlobalSize(packed);
    if (!bytes || blockSize < sizeof(BITMAPINFOHEADER))
        return FALSE;
    BITMAPINFOHEADER info;
    std::memcpy(&info, bytes, sizeof info);
    if (info.biSize != sizeof(BITMAPINFOHEADER))
        return FALSE;
    uint64_t imageSize = info.biSizeImage;
    if (info.biCompression != BI_RLE8 && info.biCompression != BI_RLE4) {
        imageSize = ImageSize(info);
        info.biSizeImage = static_cast<DWORD>(imageSize);
        std::memcpy(bytes, &info, sizeof info);
    }
    const uint64_t packedSize = sizeof(BITMAPINFOHEADER) + 4 * kPaletteDibColours + imageSize;
    if (packedSize > blockSize || packedSize + 14 > 0xFFFFFFFFu)
        return FALSE;

    BYTE fileHeader[14];
    PutLittle16(fileHeader, kBitmapFileType);
    PutLittle32(fileHeader + 2, static_cast<DWORD>(14 + packedSize));
    PutLittle16(fileHeader + 6, 0);
    PutLittle16(fileHeader + 8, 0);
    PutLittle32(fileHeader + 10, kPaletteDibPixelOffset);
    file->Write(fileHeader, sizeof fileHeader);
    file->Write(bytes, static_cast<UINT>(packedSize));
    return TRUE;
}

BYTE NearestTableIndex(const RGBQUAD table[kPaletteDibColours], COLORREF colour)
{
    const int red = GetRValue(colour);
    const int green = GetGValue(colour);
    const int blue = GetBValue(colour);
    BYTE best = 0;
    long bestDistance = -1;
    for (DWORD i = 0; i < kPaletteDibColours; ++i) {
        const long dr = table[i].rgbRed - red;
        const long dg = table[i].rgbGreen - green;
        const long db = table[i].rgbBlue - blue;
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = static_cast<BYTE>(i);
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return best;
}

CString CDizadoDoc::GetPreviewPath(const char* documentPath)
{
    const std::string path(documentPath ? documentPath : "");
    const size_t slash = path.find_last_of("\\/");
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.find('.', nameStart);
    return CString(path.substr(0, dot)) + ".pbk";
}

BOOL CDizadoDoc::WriteBitmapFile(const char* path, int width, int height)
{
    if (width <= 0 || height <= 0) {
        width = kPreviewWidth;
        height = kPreviewHeight;
    }
    // The whole picture is made before the file is touched, so a picture that
    // cannot be made leaves an older preview as it was.
    BITMAPINFOHEADER* header = nullptr;
    BYTE* pixels = nullptr;
    BOOL outOfMemory = FALSE;
    HGLOBAL dib = CreatePaletteDIB(width, height, 8, &header, &pixels, &outOfMemory);
    if (!dib) {
        if (outOfMemory) {
            CString text;
            if (!text.LoadString(IDS_NO_BITMAP_MEMORY))
                text = "Not Enough Memory For Bitmap.";
            AfxMessageBox(text, MB_OK);
        }
        return FALSE;
    }
    // The first view draws the model into the picture, its client area scaled
    // with equal scales on both axes. Without a view, or with a view of no
    // size, the picture shows the background colour.
    const auto* table = reinterpret_cast<const RGBQUAD*>(header + 1);
    const size_t stride = DibRowStride(width, 8);
    std::memset(pixels, NearestTableIndex(table, m_backgroundColor & 0xFFFFFF), stride * static_cast<size_t>(height));
    POSITION position = GetFirstViewPosition();
    auto* source = position ? dynamic_cast<IPreviewSource*>(GetNextView(position)) : nullptr;
    RECT client{0, 0, 0, 0};
    if (source)
        source->GetPreviewClientRect(&client);
    if (source && client.right > client.left && client.bottom > client.top) {
        platform::Surface picture(width, height, m_backgroundColor & 0xFFFFFF);
        CDC dc(&picture);
        dc.SetMapMode(MM_ISOTROPIC);
        dc.SetWindowExt(client.right - client.left, client.bottom - client.top);
        dc.SetViewportExt(width, height);
        source->DrawPreview(&dc);
        // Every drawn colour is a palette colour: each is looked up once.
        std::unordered_map<uint32_t, BYTE> nearest;
        for (int y = 0; y < height; ++y) {
            const uint32_t* row = picture.ScanLine(y);
            BYTE* out = pixels + stride * static_cast<size_t>(height - 1 - y);
            for (int x = 0; x < width; ++x) {
                auto found = nearest.find(row[x]);
                if (found == nearest.end())
                    found = nearest.emplace(row[x], NearestTableIndex(table, platform::Surface::ToColour(row[x]))).first;
                out[x] = found->second;
            }
        }
    }
    GlobalUnlock(dib);

    BOOL written = FALSE;
    try {
        written = ReplaceWithPicture(path, dib);
    } catch (const std::bad_alloc&) {
        written = FALSE;
    }
    GlobalFree(dib);
    if (!written)
        AfxMessageBox("Failed to write preview file", MB_OK);
    return written;
}
