#include "platform/ui/cursor.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QPointer>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/dib.h"
#include "platform/ui/app.h"
#include "platform/ui/window_peer.h"

namespace platform {

struct CursorShape {
    QCursor cursor;
};

struct IconShape {
    QPixmap pixmap;
};

namespace {

struct CursorState {
    HCURSOR current = nullptr;
    int waitDepth = 0;
    bool testPosition = false;
    POINT position;
    bool nudgePending = false;
};

CursorState& State()
{
    static CursorState state;
    return state;
}

HCURSOR Standard(Qt::CursorShape shape)
{
    static std::map<int, std::unique_ptr<CursorShape>> cursors;
    auto& slot = cursors[shape];
    if (!slot)
        slot = std::make_unique<CursorShape>(CursorShape{QCursor(shape)});
    return slot.get();
}

uint16_t Word(const BYTE* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Dword(const BYTE* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// The bitmap of a cursor or icon image resource: twice the height, the
// colour rows then the AND mask rows (bottom-up both). Every size is checked
// against the bytes there are; null image when anything is wrong.
QImage DecodeMaskedDib(const BYTE* dib, DWORD dibSize)
{
    if (dibSize < 40)
        return QImage();
    const uint32_t headerSize = Dword(dib);
    const int32_t width = static_cast<int32_t>(Dword(dib + 4));
    const int32_t doubleHeight = static_cast<int32_t>(Dword(dib + 8));
    const int planes = Word(dib + 12);
    const int bits = Word(dib + 14);
    const uint32_t compression = Dword(dib + 16);
    const uint32_t used = Dword(dib + 32);
    if (headerSize < 40 || headerSize > dibSize || width <= 0 || width > 256 || doubleHeight <= 0 ||
        doubleHeight % 2 || doubleHeight > 512 || planes != 1 || compression != BI_RGB ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return QImage();
    const int height = doubleHeight / 2;
    const uint64_t colours = bits <= 8 ? (used ? used : (1u << bits)) : 0;
    if (bits <= 8 && colours > (1u << bits))
        return QImage();
    const uint64_t xorStride = DibRowStride(width, bits);
    const uint64_t andStride = DibRowStride(width, 1);
    const uint64_t need = headerSize + colours * 4 + xorStride * height + andStride * height;
    if (need > dibSize)
        return QImage();
    const BYTE* table = dib + headerSize;
    const BYTE* xorBits = table + colours * 4;
    const BYTE* andBits = xorBits + xorStride * height;

    // 32-bit pictures with any alpha carry their own transparency.
    bool alpha = false;
    if (bits == 32)
        for (int y = 0; y < height && !alpha; ++y)
            for (int x = 0; x < width && !alpha; ++x)
                alpha = xorBits[xorStride * y + static_cast<size_t>(x) * 4 + 3] != 0;

    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const BYTE* xorRow = xorBits + xorStride * (height - 1 - y);
        const BYTE* andRow = andBits + andStride * (height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const bool transparent = (andRow[x / 8] >> (7 - x % 8)) & 1;
            QRgb colour = 0;
            if (bits <= 8) {
                const int shift = 8 - bits - (x * bits) % 8;
                const unsigned index = (xorRow[(x * bits) / 8] >> shift) & ((1u << bits) - 1);
                if (index < colours)
                    colour = qRgb(table[index * 4 + 2], table[index * 4 + 1], table[index * 4]);
            } else {
                const BYTE* p = xorRow + static_cast<size_t>(x) * (bits / 8);
                colour = qRgb(p[2], p[1], p[0]);
                if (alpha) {
                    out[x] = qRgba(p[2], p[1], p[0], p[3]);
                    continue;
                }
            }
            // A masked pixel with colour inverts the screen on the original;
            // it is drawn black here.
            if (transparent)
                out[x] = (colour & 0xFFFFFF) ? qRgba(0, 0, 0, 255) : qRgba(0, 0, 0, 0);
            else
                out[x] = colour | 0xFF000000u;
        }
    }
    return image;
}

// A cursor image resource: the hot spot, then the masked bitmap.
std::unique_ptr<CursorShape> DecodeCursor(const BYTE* data, DWORD size)
{
    if (size < 4)
        return nullptr;
    const QImage image = DecodeMaskedDib(data + 4, size - 4);
    if (image.isNull())
        return nullptr;
    const int hotX = Word(data);
    const int hotY = Word(data + 2);
    auto shape = std::make_unique<CursorShape>();
    shape->cursor =
        QCursor(QPixmap::fromImage(image), std::min(hotX, image.width() - 1), std::min(hotY, image.height() - 1));
    return shape;
}

// An icon image resource: a PNG, or the masked bitmap.
std::unique_ptr<IconShape> DecodeIcon(const BYTE* data, DWORD size)
{
    static const BYTE png[] = {0x89, 'P', 'N', 'G'};
    QImage image;
    if (size >= 4 && std::memcmp(data, png, 4) == 0)
        image.loadFromData(data, static_cast<qsizetype>(size), "PNG");
    else
        image = DecodeMaskedDib(data, size);
    if (image.isNull())
        return nullptr;
    auto shape = std::make_unique<IconShape>();
    shape->pixmap = QPixmap::fromImage(image);
    return shape;
}

// The image resource of a group (RT_GROUP_CURSOR or RT_GROUP_ICON) that is
// largest up to 64 pixels wide, else the first; null when the group is not
// well formed.
const BYTE* GroupImage(HINSTANCE instance, LPCSTR name, UINT groupType, UINT imageType, DWORD* size)
{
    HRSRC group = FindResourceA(instance, name, MAKEINTRESOURCE(groupType));
    if (!group)
        return nullptr;
    const DWORD groupSize = SizeofResource(instance, group);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(instance, group)));
    if (!dir || groupSize < 6)
        return nullptr;
    const unsigned count = Word(dir + 4);
    if (count == 0 || groupSize < 6u + 14u * count)
        return nullptr;
    unsigned best = 0;
    int bestWidth = -1;
    for (unsigned i = 0; i < count; ++i) {
        // Icons give their width in a byte (0: 256), cursors in a word.
        const BYTE* entry = dir + 6 + 14 * i;
        const int width = groupType == 14 ? (entry[0] ? entry[0] : 256) : Word(entry);
        if (width <= 64 && width > bestWidth) {
            best = i;
            bestWidth = width;
        }
    }
    const WORD id = Word(dir + 6 + 14 * best + 12);
    HRSRC image = FindResourceA(instance, MAKEINTRESOURCE(id), MAKEINTRESOURCE(imageType));
    if (!image)
        return nullptr;
    *size = SizeofResource(instance, image);
    return static_cast<const BYTE*>(LockResource(LoadResource(instance, image)));
}

std::string KeyOf(LPCSTR name)
{
    const uintptr_t raw = reinterpret_cast<uintptr_t>(name);
    return raw < 0x10000 ? "#" + std::to_string(raw) : std::string(name);
}

HCURSOR LoadCursorResource(HINSTANCE instance, LPCSTR name)
{
    static std::map<std::pair<HINSTANCE, std::string>, std::unique_ptr<CursorShape>> cursors;
    const auto key = std::make_pair(instance, KeyOf(name));
    if (auto found = cursors.find(key); found != cursors.end())
        return found->second.get();
    DWORD size = 0;
    const BYTE* data = GroupImage(instance, name, 12, 1, &size);
    std::unique_ptr<CursorShape> shape = data ? DecodeCursor(data, size) : nullptr;
    if (!shape)
        return nullptr;
    HCURSOR result = shape.get();
    cursors[key] = std::move(shape);
    return result;
}

HICON LoadIconResource(HINSTANCE instance, LPCSTR name)
{
    static std::map<std::pair<HINSTANCE, std::string>, std::unique_ptr<IconShape>> icons;
    const auto key = std::make_pair(instance, KeyOf(name));
    if (auto found = icons.find(key); found != icons.end())
        return found->second.get();
    DWORD size = 0;
    const BYTE* data = GroupImage(instance, name, 14, 3, &size);
    std::unique_ptr<IconShape> shape = data ? DecodeIcon(data, size) : nullptr;
    if (!shape)
        return nullptr;
    HICON result = shape.get();
    icons[key] = std::move(shape);
    return result;
}

// The window whose cursor SetCursor sets: the captured one, the one whose
// cursor message was sent last, or the one under the pointer.
QWidget* CursorTarget()
{
    if (CWnd* capture = CaptureWindow())
        return capture->GetPeer();
    if (WindowPeer* peer = CursorMessageWindow(); peer && peer->Owner())
        return peer;
    POINT p;
    if (!GetCursorPos(&p))
        return nullptr;
    CWnd* wnd = CWnd::WindowFromPoint(p);
    return wnd ? wnd->GetPeer() : nullptr;
}

}  // namespace

void BeginWaitCursor()
{
    EnsureToolkit();
    if (State().waitDepth++ == 0)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void EndWaitCursor()
{
    if (State().waitDepth == 0)
        return;
    if (--State().waitDepth == 0 && qApp)
        QGuiApplication::restoreOverrideCursor();
}

int WaitCursorDepth()
{
    return State().waitDepth;
}

void SetTestCursorPos(POINT screen)
{
    State().testPosition = true;
    State().position = screen;
}

void ClearTestCursorPos()
{
    State().testPosition = false;
}

}  // namespace platform

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name)
{
    if (!name)
        return nullptr;
    if (!instance) {
        switch (reinterpret_cast<uintptr_t>(name)) {
        case 32512:
            return platform::Standard(Qt::ArrowCursor);
        case 32513:
            return platform::Standard(Qt::IBeamCursor);
        case 32514:
            return platform::Standard(Qt::WaitCursor);
        case 32515:
            return platform::Standard(Qt::CrossCursor);
        case 32646:
            return platform::Standard(Qt::SizeAllCursor);
        case 32648:
            return platform::Standard(Qt::ForbiddenCursor);
        case 32649:
            return platform::Standard(Qt::PointingHandCursor);
        default:
            return nullptr;
        }
    }
    return platform::LoadCursorResource(instance, name);
}

HCURSOR CreateIconFromResource(const BYTE* bits, DWORD size, BOOL icon, DWORD)
{
    if (!bits || icon)
        return nullptr;
    platform::EnsureToolkit();
    static std::vector<std::unique_ptr<platform::CursorShape>> made;
    std::unique_ptr<platform::CursorShape> shape = platform::DecodeCursor(bits, size);
    if (!shape)
        return nullptr;
    made.push_back(std::move(shape));
    return made.back().get();
}

HICON LoadIcon(HINSTANCE instance, LPCSTR name)
{
    if (!name || !instance)
        return nullptr;
    platform::EnsureToolkit();
    return platform::LoadIconResource(instance, name);
}

QPixmap platform::IconPixmap(HICON icon)
{
    return icon ? icon->pixmap : QPixmap();
}

HCURSOR SetCursor(HCURSOR cursor)
{
    platform::CursorState& state = platform::State();
    const HCURSOR previous = state.current;
    state.current = cursor;
    if (QWidget* target = qApp ? platform::CursorTarget() : nullptr) {
        if (!cursor)
            target->setCursor(Qt::BlankCursor);
        else if (target->cursor().shape() != cursor->cursor.shape() || cursor->cursor.shape() == Qt::BitmapCursor)
            target->setCursor(cursor->cursor);
    }
    return previous;
}

HCURSOR GetCursor()
{
    return platform::State().current;
}

BOOL GetCursorPos(LPPOINT point)
{
    if (!point)
        return FALSE;
    const platform::CursorState& state = platform::State();
    if (state.testPosition) {
        *point = state.position;
        return TRUE;
    }
    QPoint global;
    const bool offscreen = qApp && QGuiApplication::platformName() == QLatin1String("offscreen");
    if (offscreen && platform::PointerSeen(&global)) {
        *point = POINT{global.x(), global.y()};
        return TRUE;
    }
    if (!qApp) {
        *point = POINT{};
        return FALSE;
    }
    global = QCursor::pos();
    *point = POINT{global.x(), global.y()};
    return TRUE;
}

BOOL SetCursorPos(int, int)
{
    platform::EnsureToolkit();
    platform::CursorState& state = platform::State();
    if (state.nudgePending)
        return TRUE;
    state.nudgePending = true;
    QMetaObject::invokeMethod(
        qApp,
        [] {
            platform::State().nudgePending = false;
            POINT p;
            if (!GetCursorPos(&p))
                return;
            CWnd* target = CWnd::GetCapture();
            if (!target)
                target = CWnd::WindowFromPoint(p);
            platform::WindowPeer* peer = target ? target->GetPeer() : nullptr;
            if (!peer)
                return;
            const QPointF local = peer->mapFromGlobal(QPointF(p.x, p.y));
            peer->SendMouse(WM_MOUSEMOVE, local, QGuiApplication::mouseButtons(),
                            QGuiApplication::queryKeyboardModifiers());
        },
        Qt::QueuedConnection);
    return TRUE;
}
