// The server item: its size, its drawing through the first view, and what
// Copy puts on the clipboard for this program and for others.
#include "views_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "document/server_item.h"
#include "platform/core/clipboard.h"
#include "platform/ui/app.h"
#include "platform/ui/toolkit_clipboard.h"
#include "tests/support/scoped_hook.h"

namespace viewstest {
namespace {

class ServerItem : public PaneTest {
protected:
    CDizadoSrvrItem* Item() { return static_cast<CDizadoSrvrItem*>(doc.GetEmbeddedItem()); }

    // The block under `format`, copied out of the clipboard.
    static QByteArray Clipboard(UINT format)
    {
        QByteArray bytes;
        if (!OpenClipboard(nullptr))
            return bytes;
        if (HGLOBAL block = GetClipboardData(format)) {
            const void* at = GlobalLock(block);
            bytes = QByteArray(static_cast<const char*>(at), static_cast<qsizetype>(GlobalSize(block)));
            GlobalUnlock(block);
        }
        CloseClipboard();
        return bytes;
    }
};

TEST_F(ServerItem, TheContentIsTenMillimetresSquareOtherAspectsHaveNoAnswer)
{
    ASSERT_NE(Item(), nullptr);
    EXPECT_EQ(Item(), doc.GetEmbeddedItem());  // made once, kept
    SIZE size{0, 0};
    ASSERT_TRUE(Item()->OnGetExtent(DVASPECT_CONTENT, size));
    EXPECT_EQ(size.cx, 1000);
    EXPECT_EQ(size.cy, 1000);
    EXPECT_FALSE(Item()->OnGetExtent(DVASPECT_THUMBNAIL, size));
}

TEST_F(ServerItem, DrawsTheBricksAloneAsThePaneDrawsThem)
{
    COLORREF green = RGB(0, 200, 0);
    doc.ChangeBackgroundColor(&green);
    Add(0, 0, 0, 2011, 2);
    Add(4, 0, 3, 2009, 5);

    platform::Surface item(1000, 1000, RGB(1, 2, 3));
    {
        CDC dc(&item);
        SIZE size{1000, 1000};
        EXPECT_TRUE(Item()->OnDraw(&dc, size));
    }
    // As the pane paints on the screen: through the shared palette.
    platform::Surface direct(1000, 1000, RGB(1, 2, 3));
    {
        CDC dc(&direct);
        CPalette* own = dc.SelectPalette(library.GetPalette(), FALSE);
        pane.DrawDizado(&dc, RECT{0, 0, 1000, 1000}, 0, 0);
        dc.SelectPalette(own, FALSE);
    }
    EXPECT_TRUE(SamePixels(item, direct));
    bool drew = false;
    bool background = false;
    for (int y = 0; y < 1000; ++y) {
        for (int x = 0; x < 1000; ++x) {
            drew |= item.GetPixel(x, y) != RGB(1, 2, 3);
            background |= item.GetPixel(x, y) == green;
        }
    }
    EXPECT_TRUE(drew);
    EXPECT_FALSE(background);
}

TEST_F(ServerItem, DrawsThroughTheSharedPaletteAndGivesTheContextItsOwnBack)
{
    // What the context holds while the pane draws into it.
    class PaletteSpy : public RecordingPane {
    public:
        void DrawItemBricks(CDC* dc, const RECT& rect) override
        {
            seen = dc->GetCurrentPalette();
            RecordingPane::DrawItemBricks(dc, rect);
        }
        CPalette* seen = nullptr;
    };
    CDizadoDoc other;
    other.m_bAutoDelete = FALSE;
    PaletteSpy spy;
    spy.SetDrawingSize(kWidth, kHeight);
    ASSERT_TRUE(spy.AttachDocument(&other));
    ASSERT_NE(library.GetPalette(), nullptr);

    platform::Surface surface(100, 100, RGB(1, 2, 3));
    CDC dc(&surface);
    CPalette* own = dc.GetCurrentPalette();
    SIZE size{100, 100};
    EXPECT_TRUE(static_cast<CDizadoSrvrItem*>(other.GetEmbeddedItem())->OnDraw(&dc, size));
    EXPECT_EQ(spy.seen, library.GetPalette());
    EXPECT_EQ(dc.GetCurrentPalette(), own);
}

TEST_F(ServerItem, CopyPutsTheSelectedBricksAndAPictureOfTheModel)
{
    CBrick* brick = Add(0, 0, 0, 2011, 2);
    brick->SetSelected(TRUE);
    Add(8, 0, 0, 2009, 5);
    ASSERT_TRUE(doc.CopyToClipboard());

    const QByteArray native = Clipboard(CDizadoDoc::GetClipboardFormat());
    ASSERT_GE(native.size(), 4);

    const QByteArray png = Clipboard(GetPngClipboardFormat());
    ASSERT_TRUE(png.startsWith("\x89PNG"));
    const QImage picture = QImage::fromData(png, "PNG");
    ASSERT_FALSE(picture.isNull());
    // Cut to the bricks: the edges hold drawn pixels, the corners may not.
    EXPECT_LT(picture.width(), 1000);
    EXPECT_LT(picture.height(), 1000);
    EXPECT_TRUE(picture.hasAlphaChannel());
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    bool opaque = false;
    for (int y = 0; y < picture.height() && !opaque; ++y)
        opaque = qAlpha(picture.pixel(picture.width() / 2, y)) == 255;
    EXPECT_TRUE(opaque);

    // Pasting reads the bricks back, selected.
    CDizadoDoc other;
    other.m_bAutoDelete = FALSE;
    other.PasteFromClipboard();
    ASSERT_EQ(other.GetBrickList()->GetBrickCount(), 1);
    EXPECT_TRUE(other.GetBrickList()->GetBrick(0)->IsSelectedFlag());
}

TEST_F(ServerItem, AnEmptyModelCopiesNoPicture)
{
    ASSERT_TRUE(doc.CopyToClipboard());
    EXPECT_TRUE(Clipboard(GetPngClipboardFormat()).isEmpty());
    EXPECT_FALSE(Clipboard(CDizadoDoc::GetClipboardFormat()).isEmpty());
}

TEST_F(ServerItem, OtherProgramsSeeThePictureAndTheBricksOnTheDesktopClipboard)
{
    platform::EnsureToolkit();
    platform::ToolkitClipboard desktop;
    ScopedHook desktopClipboard(platform::SetClipboard, &desktop);
    CBrick* brick = Add(0, 0, 0, 2011, 2);
    brick->SetSelected(TRUE);
    ASSERT_TRUE(doc.CopyToClipboard());

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasImage());
    EXPECT_FALSE(QImage::fromData(data->data(QStringLiteral("image/png")), "PNG").isNull());
    EXPECT_TRUE(data->hasFormat(QStringLiteral("application/x-qt-windows-mime;value=\"Vostrel Dizado Data\"")));

    // A copy made by another program is pasted from the desktop's clipboard.
    auto* copied = new QMimeData;
    for (const QString& format : data->formats())
        copied->setData(format, data->data(format));
    QGuiApplication::clipboard()->setMimeData(copied);
    CDizadoDoc other;
    other.m_bAutoDelete = FALSE;
    other.PasteFromClipboard();
    EXPECT_EQ(other.GetBrickList()->GetBrickCount(), 1);

    // Something else on the clipboard: nothing to paste, no crash.
    QGuiApplication::clipboard()->setText(QStringLiteral("just text"));
    EXPECT_FALSE(IsClipboardFormatAvailable(CDizadoDoc::GetClipboardFormat()));
    other.PasteFromClipboard();
    EXPECT_EQ(other.GetBrickList()->GetBrickCount(), 1);
}

}  // namespace
}  // namespace viewstest
