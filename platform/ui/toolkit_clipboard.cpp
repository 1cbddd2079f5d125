#include "platform/ui/toolkit_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstring>

#include "platform/core/global_memory.h"

namespace platform {

namespace {

// What the desktop offers is read whole into a block; a clipboard item
// larger than this is refused rather than copied.
constexpr qsizetype kMaxReadBytes = qsizetype(256) * 1024 * 1024;

QClipboard* DesktopClipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

QByteArray BlockBytes(HGLOBAL block)
{
    const size_t size = GlobalSize(block);
    const void* bytes = GlobalLock(block);
    if (!bytes)
        return {};
    QByteArray copy(static_cast<const char*>(bytes), static_cast<qsizetype>(size));
    GlobalUnlock(block);
    return copy;
}

HGLOBAL NewBlock(const QByteArray& bytes)
{
    if (bytes.isEmpty() || bytes.size() > kMaxReadBytes)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<size_t>(bytes.size()));
    void* at = block ? GlobalLock(block) : nullptr;
    if (!at) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    std::memcpy(at, bytes.constData(), static_cast<size_t>(bytes.size()));
    GlobalUnlock(block);
    return block;
}

std::unique_ptr<ToolkitClipboard>& Installed()
{
    static std::unique_ptr<ToolkitClipboard> clipboard;
    return clipboard;
}

}  // namespace

ToolkitClipboard::ToolkitClipboard() = default;

ToolkitClipboard::~ToolkitClipboard()
{
    FreeBlocks(m_set);
    FreeBlocks(m_read);
}

void ToolkitClipboard::FreeBlocks(std::map<UINT, HGLOBAL>& blocks)
{
    for (auto& [format, block] : blocks)
        GlobalFree(block);
    blocks.clear();
}

QString ToolkitClipboard::MimeType(UINT format)
{
    const std::string name = ClipboardFormatName(format);
    if (name.empty())
        return {};
    if (QString::fromStdString(name).compare(QStringLiteral("PNG"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("image/png");
    // The form the toolkit itself gives registered formats on Windows.
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QString::fromStdString(name));
}

bool ToolkitClipboard::Open(void*)
{
    FreeBlocks(m_read);
    return DesktopClipboard() != nullptr;
}

void ToolkitClipboard::Close()
{
    FreeBlocks(m_read);
    if (!m_bChanged)
        return;
    m_bChanged = false;
    QClipboard* clipboard = DesktopClipboard();
    if (!clipboard) {
        FreeBlocks(m_set);
        return;
    }
    auto* data = new QMimeData;
    for (const auto& [format, block] : m_set) {
        const QString mime = MimeType(format);
        if (mime.isEmpty())
            continue;
        const QByteArray bytes = BlockBytes(block);
        data->setData(mime, bytes);
        if (mime == QLatin1String("image/png")) {
            const QImage image = QImage::fromData(bytes, "PNG");
            if (!image.isNull())
                data->setImageData(image);
        }
    }
    FreeBlocks(m_set);
    clipboard->setMimeData(data);
}

void ToolkitClipboard::Empty()
{
    FreeBlocks(m_set);
    FreeBlocks(m_read);
    m_bChanged = true;
}

bool ToolkitClipboard::IsFormatAvailable(UINT format)
{
    if (m_set.count(format))
        return true;
    QClipboard* clipboard = DesktopClipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    const QString mime = MimeType(format);
    return data && !mime.isEmpty() && data->hasFormat(mime);
}

bool ToolkitClipboard::SetData(UINT format, HGLOBAL data)
{
    if (!data || MimeType(format).isEmpty())
        return false;
    auto [it, added] = m_set.emplace(format, data);
    if (!added) {
        GlobalFree(it->second);
        it->second = data;
    }
    m_bChanged = true;
    return true;
}

HGLOBAL ToolkitClipboard::GetData(UINT format)
{
    if (auto it = m_set.find(format); it != m_set.end())
        return it->second;
    if (auto it = m_read.find(format); it != m_read.end())
        return it->second;
    QClipboard* clipboard = DesktopClipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    const QString mime = MimeType(format);
    if (!data || mime.isEmpty() || !data->hasFormat(mime))
        return nullptr;
    HGLOBAL block = NewBlock(data->data(mime));
    if (block)
        m_read[format] = block;
    return block;
}

void InstallToolkitClipboard()
{
    if (!Installed())
        Installed() = std::make_unique<ToolkitClipboard>();
    SetClipboard(Installed().get());
}

void UninstallToolkitClipboard()
{
    SetClipboard(nullptr);
    Installed().reset();
}

}  // namespace platform
