#include "components/imglist.h"
#include "components/kitutils.h"
#include "components/maxmin.h"
#include "platform/tag.h"
#include "components/kitdrawing.h"
#include "tray/kitmenus.h"
#include "tray/picclip.h"
#include "tray/trayresources.h"

#include <QApplication>
#include <QBitmap>
#include <QDir>
#include <QPainter>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

namespace {

const QColor Fuchsia(255, 0, 255);
// The square colour of each cell of the test clip.
const QColor CellColours[] = { QColor(0, 128, 0), QColor(0, 255, 0), QColor(0, 0, 128), QColor(128, 0, 0) };

// Four 25 x 25 cells on a fuchsia ground, each with a 15 x 15 square at (5, 5).
QPixmap testPicture()
{
    QPixmap pm(100, 25);
    pm.fill(Fuchsia);
    QPainter p(&pm);
    for (int i = 0; i < 4; ++i)
        p.fillRect(i * 25 + 5, 5, 15, 15, CellColours[i]);
    return pm;
}

QRgb at(const QImage& img, int x, int y)
{
    return img.pixel(x, y) | 0xFF000000;
}

QRgb rgbOf(TColor c)
{
    return ColorToQColor(c).rgb();
}

// The bounding box of the pixels of one colour (empty when there are none).
QRect boxOf(const QImage& img, const QColor& c, const QRect& within = QRect())
{
    const QRect area = within.isNull() ? img.rect() : within & img.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (at(img, x, y) == c.rgb())
                box |= QRect(x, y, 1, 1);
    return box;
}

QAction* addItem(QMenu& m, const QString& caption, int tagValue)
{
    QAction* a = m.addAction(caption);
    setTag(a, tagValue);
    return a;
}

// The tray's arrangement: a 35-pixel margin, a picture per item from the clip
// by its Tag.
struct TrayLikeMenu {
    TPicClip clip;
    TKitPopupMenu menu;
    QAction* end;
    QAction* separator;
    QAction* overview;
    QAction* newItem;
    QAction* disabled;
    QAction* checked;

    TrayLikeMenu()
    {
        clip.SetPicture(testPicture());
        clip.SetCols(4);
        menu.SetStyle(msOwnerDraw);
        menu.SetLeftMargin(35);
        menu.OnGetItemParams = [this](TKitPopupMenu*, QAction* item, TOwnerDrawState, TMenuItemParams& params) {
            if (tag(item) >= 1 && tag(item) <= 4)
                params.Graphic = clip.GraphicCell(tag(item) - 1);
        };
        end = addItem(menu, "&Konec", 4);
        separator = addItem(menu, "-", 1);
        overview = addItem(menu, "&Přehled připomenutí", 2);
        menu.setDefaultAction(overview);
        newItem = addItem(menu, "&Nové připomenutí", 1);
        disabled = addItem(menu, "Kalen&dář", 3);
        disabled->setEnabled(false);
        checked = addItem(menu, "Pozastavi&t", 0);
        checked->setCheckable(true);
        checked->setChecked(true);
    }

    QImage shown()
    {
        if (!menu.isVisible()) {
            menu.Popup(50, 50);
            if (!QTest::qWaitForWindowExposed(&menu))
                return {};
        }
        return menu.grab().toImage();
    }
};

} // namespace

class TestKitPopupMenu : public QObject {
    Q_OBJECT
private slots:
    void gradientBandsAndTheRestInTheEndColour()
    {
        QImage img(20, 120, QImage::Format_RGB32);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            GradientFill(p, QRect(5, 10, 10, 100), clRed, clBlue, gdTopToBottom, 32);
        }
        // 100 / 32 = 3 pixels a band; 4 pixels left over at the far edge.
        for (int k = 0; k < 32; ++k) {
            const QRgb want = qRgb(255 + MulDiv(k, -255, 31), 0, MulDiv(k, 255, 31));
            for (int y = 10 + 3 * k; y < 13 + 3 * k; ++y)
                QCOMPARE(at(img, 7, y), want);
        }
        QCOMPARE(at(img, 7, 10), qRgb(255, 0, 0));
        for (int y = 106; y < 110; ++y)
            QCOMPARE(at(img, 9, y), qRgb(0, 0, 255));
        QCOMPARE(at(img, 9, 105), qRgb(0, 0, 255)); // band 31 is the end colour too
        QCOMPARE(at(img, 9, 102), qRgb(MulDiv(30, 255, 31) == 247 ? 8 : 0, 0, 247));
        // Nothing outside the rect.
        QCOMPARE(at(img, 4, 50), qRgb(0, 0, 0));
        QCOMPARE(at(img, 15, 50), qRgb(0, 0, 0));
        QCOMPARE(at(img, 10, 9), qRgb(0, 0, 0));
        QCOMPARE(at(img, 10, 110), qRgb(0, 0, 0));
    }

    void gradientDirectionsAndSolidFill()
    {
        QImage img(40, 10, QImage::Format_RGB32);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            GradientFill(p, QRect(0, 0, 40, 10), clWhite, clBlack, gdRightToLeft, 4);
        }
        QCOMPARE(at(img, 39, 5), qRgb(255, 255, 255)); // start colour at the right
        QCOMPARE(at(img, 0, 5), qRgb(0, 0, 0));
        QCOMPARE(at(img, 25, 5), qRgb(170, 170, 170)); // band 1: 255 - 85
        {
            QPainter p(&img);
            GradientFill(p, QRect(0, 0, 40, 10), clTeal, clBlack, gdBottomToTop, 10);
        }
        QCOMPARE(at(img, 20, 9), qRgb(0, 128, 128));
        QCOMPARE(at(img, 20, 0), qRgb(0, 0, 0));
        {
            QPainter p(&img);
            GradientFill(p, QRect(0, 0, 40, 10), clLime, clRed, gdLeftToRight, 1);
        }
        QCOMPARE(boxOf(img, QColor(0, 255, 0)), QRect(0, 0, 40, 10));
        {
            QPainter p(&img);
            GradientFill(p, QRect(0, 0, 0, 10), clRed, clRed, gdLeftToRight, 8); // empty: nothing
        }
        QCOMPARE(boxOf(img, QColor(255, 0, 0)), QRect());
    }

    void cellsAreCutAndMasked()
    {
        TPicClip clip;
        QSignalSpy changed(&clip, &TPicClip::OnChange);
        QCOMPARE(clip.CellCount(), 0);
        clip.SetPicture(testPicture());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(clip.MaskColor(), QColorToColor(Fuchsia)); // the bottom-left pixel
        clip.SetCols(4);
        QCOMPARE(clip.CellCount(), 4);
        QCOMPARE(clip.Width(), 25);
        QCOMPARE(clip.Height(), 25);
        const QImage cell = clip.GraphicCell(2).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(cell.size(), QSize(25, 25));
        QCOMPARE(cell.pixel(12, 12), CellColours[2].rgb());
        QCOMPARE(qAlpha(cell.pixel(0, 0)), 0); // the mask colour is cut out
        QCOMPARE(qAlpha(cell.pixel(24, 24)), 0);
        clip.SetMasked(false);
        QCOMPARE(at(clip.GraphicCell(3).toImage(), 0, 0), Fuchsia.rgb());
        QCOMPARE(at(clip.GraphicCell(3).toImage(), 10, 10), CellColours[3].rgb());
        clip.SetMasked(true);
        clip.SetMaskColor(clNone);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(at(clip.GraphicCell(0).toImage(), 0, 0), Fuchsia.rgb());
        clip.SetMaskColor(clNone); // no change, no event
        QCOMPARE(changed.count(), 2);
        clip.SetWidth(50);
        QCOMPARE(clip.Cols(), 2);
        clip.SetWidth(500); // no whole cell: left as it is
        QCOMPARE(clip.Cols(), 2);
        clip.SetHeight(5);
        QCOMPARE(clip.Rows(), 5);
        QCOMPARE(clip.CellCount(), 10);
        QCOMPARE(clip.GraphicCell(7).size(), QSize(50, 5)); // column 1, row 3
        QCOMPARE(at(clip.GraphicCell(7).toImage(), 5, 0), CellColours[2].rgb()); // picture (55, 15)
        QCOMPARE(at(clip.GraphicCell(7).toImage(), 0, 0), Fuchsia.rgb());
        clip.SetPicture(QPixmap());
        QCOMPARE(clip.MaskColor(), TColor(0x008080));
        QCOMPARE(clip.CellCount(), 0);
    }

    void cellIndexOutsideTheGridRaises()
    {
        TPicClip clip;
        clip.SetPicture(TrayMenuPictures());
        clip.SetCols(16);
        QCOMPARE(clip.CellCount(), 16);
        try {
            clip.GraphicCell(16);
            QFAIL("no exception");
        } catch (const EListError& e) {
            QCOMPARE(e.message(), QString("List index out of bounds (16)"));
        }
        QVERIFY_THROWS_EXCEPTION(EListError, clip.GraphicCell(-1));
        const QPixmap last = clip.GraphicCell(15);
        QCOMPARE(last.size(), QSize(25, 25));
        QCOMPARE(last.toImage().pixelColor(12, 12), TrayMenuPictures().toImage().pixelColor(15 * 25 + 12, 12));
    }

    void clipFillsAnImageListInOneChange()
    {
        TPicClip clip;
        clip.SetPicture(testPicture());
        clip.SetCols(4);
        TImageList images(16, 16);
        images.Add(QPixmap(16, 16));
        QSignalSpy changed(&images, &TImageList::changed);
        clip.AssignTo(images);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(images.Count(), 4);
        QCOMPARE(images.Width(), 25);
        const QImage img = images.Image(1).toImage();
        QCOMPARE(img.pixelColor(12, 12), CellColours[1]);
        QCOMPARE(img.pixelColor(0, 0).alpha(), 0);
        TPicClip copy;
        copy.Assign(clip);
        QCOMPARE(copy.Cols(), 4);
        QCOMPARE(copy.MaskColor(), clip.MaskColor());
        QCOMPARE(copy.GraphicCell(3).toImage().pixelColor(10, 10), CellColours[3]);
    }

    void copyCellTreatsBadArgumentsAsOne()
    {
        QPixmap dest;
        CopyCell(testPicture(), dest, 0, -3, 0);
        QCOMPARE(dest.size(), QSize(100, 25));
        CopyCell(testPicture(), dest, 4, -3, 1);
        QCOMPARE(at(dest.toImage(), 10, 10), CellColours[0].rgb());
    }

    void transparentBitmapsLeaveTheirGroundOut()
    {
        QImage canvas(30, 10, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        const QPixmap cell = testPicture().copy(25, 0, 25, 25);
        {
            QPainter p(&canvas);
            DrawTransparentBitmap(p, 0, 0, cell, clDefault); // the bottom-left pixel: fuchsia
        }
        QCOMPARE(at(canvas, 0, 0), qRgb(0, 0, 0));
        QCOMPARE(at(canvas, 6, 6), CellColours[1].rgb());
        {
            QPainter p(&canvas);
            DrawTransparentBitmap(p, 0, 0, cell, clNone);
            StretchTransparentBitmap(p, cell, QColorToColor(CellColours[1]), QRect(25, 0, 5, 5), QRect(0, 0, 25, 25));
        }
        QCOMPARE(at(canvas, 0, 0), Fuchsia.rgb());
        QCOMPARE(at(canvas, 27, 2), qRgb(0, 0, 0)); // the square's colour left out, and the rest is fuchsia
        QCOMPARE(at(canvas, 25, 0), Fuchsia.rgb());
        QBitmap mono(4, 4);
        mono.clear(); // white everywhere
        QImage canvas2(4, 4, QImage::Format_RGB32);
        canvas2.fill(Qt::red);
        {
            QPainter p(&canvas2);
            DrawTransparentBitmap(p, 0, 0, mono, clBlack); // a monochrome bitmap drops its white
        }
        QCOMPARE(at(canvas2, 1, 1), qRgb(255, 0, 0));
        QCOMPARE(PaletteColor(clTeal), TColor(0x02808000));
    }

    void delCharsRemovesEveryOccurrence()
    {
        QCOMPARE(DelChars("&Konec", u'&'), QString("Konec"));
        QCOMPARE(DelChars("a&&b&", u'&'), QString("ab"));
        QCOMPARE(DelChars("", u'&'), QString());
    }

    void iconSizesAndBringingWindowsForward()
    {
        QIcon icon;
        icon.addPixmap(QPixmap(16, 16));
        icon.addPixmap(QPixmap(48, 48));
        icon.addPixmap(QPixmap(32, 32));
        QCOMPARE(IconSizeOf(icon), QSize(48, 48));
        const int system = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
        QCOMPARE(IconSizeOf(QIcon()), QSize(system, system));

        QWidget w;
        QVERIFY(!BringWindowForward(&w, true)); // not shown: nothing to restore
        w.setEnabled(false);
        QVERIFY(!BringWindowForward(&w, false));
        w.setEnabled(true);
        w.showMinimized();
        QVERIFY(BringWindowForward(&w, true));
        QVERIFY(!w.isMinimized());
        QVERIFY(BringWindowForward(nullptr, false) == false);
    }

    void rotatedTextRunsUpwardFromItsPoint()
    {
        QFont f("Default");
        f.setBold(true);
        f.setPointSize(12);
        const RotatedFont rf = CreateRotatedFont(f, 90);
        QCOMPARE(rf.font.family(), QApplication::font().family());
        QCOMPARE(rf.font.weight(), QFont::Bold);
        QCOMPARE(rf.angle, 90);
        QImage img(60, 200, QImage::Format_RGB32);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            p.setPen(Qt::white);
            TextOutRotated(p, rf, 20, 180, "Korvel - Selvantrix");
        }
        const QRect box = boxOf(img, Qt::white);
        const QFontMetrics fm(rf.font);
        QVERIFY(!box.isEmpty());
        QVERIFY(box.left() >= 20);
        QVERIFY(box.right() <= 20 + fm.height());
        QVERIFY(box.bottom() <= 180);
        QVERIFY(box.height() > 3 * box.width()); // upright column of text
        // Clipped: nothing below y = 120.
        img.fill(Qt::black);
        {
            QPainter p(&img);
            p.setPen(Qt::white);
            TextOutRotated(p, rf, 20, 180, "Korvel - Selvantrix", QRect(0, 0, 60, 120));
        }
        QVERIFY(boxOf(img, Qt::white).bottom() < 120);
    }

    void itemsAreMeasuredWithPictureAndMargin()
    {
        TrayLikeMenu t;
        t.shown();
        const QFontMetrics fm(t.menu.font());
        const QRect first = t.menu.actionGeometry(t.end);
        QCOMPARE(first.topLeft(), QPoint(3, 3)); // inside the 3-pixel border
        QCOMPARE(first.height(), IntMax(fm.height() + 4, 25 + 4));
        QCOMPARE(t.menu.actionGeometry(t.separator).height(), IntMax(9, fm.height() / 2));
        QVERIFY(t.separator->isSeparator());
        // An item without picture keeps the plain menu height.
        QCOMPARE(t.menu.actionGeometry(t.checked).height(), fm.height() + 4);
        // Every item is as wide as the widest, which includes margin, picture and caption.
        const int captionWidth
            = QFontMetrics(QFont(t.menu.font()) /*bold below*/).horizontalAdvance("Přehled připomenutí");
        for (QAction* a : t.menu.actions())
            QCOMPARE(t.menu.actionGeometry(a).width(), first.width());
        QVERIFY(first.width() >= 35 + 1 + 27 + captionWidth);
        QCOMPARE(t.menu.MarginRect(), QRect(3, 3, 35, t.menu.height() - 6));
    }

    void measuringAsksTheEvent()
    {
        TrayLikeMenu t;
        int asked = 0;
        t.menu.OnMeasureItem = [&](TKitPopupMenu*, QAction* item, int& w, int& h) {
            ++asked;
            if (item == t.newItem)
                h = 40;
        };
        t.shown();
        QVERIFY(asked >= t.menu.actions().size());
        QCOMPARE(t.menu.actionGeometry(t.newItem).height(), 40);
    }

    void marginItemsAndPicturesAreDrawn()
    {
        TrayLikeMenu t;
        QList<TOwnerDrawState> overviewStates;
        auto params = t.menu.OnGetItemParams;
        bool separatorAsked = false;
        t.menu.OnGetItemParams = [&](TKitPopupMenu* m, QAction* item, TOwnerDrawState s, TMenuItemParams& p) {
            if (item == t.overview) {
                overviewStates << s;
                QVERIFY(p.Font.bold());
            }
            if (item == t.separator)
                separatorAsked = true;
            params(m, item, s, p);
            if (item == t.separator)
                p.Graphic = t.clip.GraphicCell(0); // a separator never gets a picture anyway
        };
        const QImage img = t.shown();
        QVERIFY(!img.isNull());
        if (const QString build = qEnvironmentVariable("KORVEL_BUILD_DIR"); !build.isEmpty()) {
            QDir().mkpath(build + "/artifacts");
            img.save(build + "/artifacts/kitpopupmenu.png");
        }
        QVERIFY(!overviewStates.isEmpty());
        QVERIFY(overviewStates.first().testFlag(odDefault));
        QVERIFY(separatorAsked);

        // The default margin: clBlue at the top, a quarter of it at the bottom,
        // then a shadow and a highlight line at its right edge.
        const QRect margin = t.menu.MarginRect();
        QCOMPARE(at(img, margin.left() + 5, margin.top()), qRgb(0, 0, 255));
        QCOMPARE(at(img, margin.left() + 5, margin.bottom()), qRgb(0, 0, 63));
        QCOMPARE(at(img, margin.left() + 35 - 2, margin.center().y()), rgbOf(clBtnShadow));
        QCOMPARE(at(img, margin.left() + 35 - 1, margin.center().y()), rgbOf(clBtnHighlight));

        // Each picture in its own item, right of the margin, on the menu's
        // ground: the clip's fuchsia never shows.
        QCOMPARE(boxOf(img, Fuchsia), QRect());
        for (QAction* a : { t.end, t.overview, t.newItem }) {
            const QRect item = t.menu.actionGeometry(a);
            const QRect square = boxOf(img, CellColours[tag(a) - 1], item);
            QCOMPARE(square.size(), QSize(15, 15));
            QVERIFY(square.left() > item.left() + 36);
            // Centred vertically: the 25-pixel cell in the item's height.
            QCOMPARE(square.top() - 5 - item.top(), (item.height() - 25) / 2);
            QCOMPARE(at(img, square.left() - 3, square.top()), rgbOf(clMenu));
        }
        // The items' squares line up in one column.
        QCOMPARE(
            boxOf(img, CellColours[3]).left(), boxOf(img, CellColours[0], t.menu.actionGeometry(t.newItem)).left());

        // The disabled item's picture is embossed, not in its colours.
        const QRect dis = t.menu.actionGeometry(t.disabled);
        QCOMPARE(boxOf(img, CellColours[2], dis), QRect());
        QVERIFY(!boxOf(img, ColorToQColor(clBtnShadow), dis.adjusted(36, 0, 0, 0)).isEmpty());

        // The separator: a shadow and a highlight line through its middle.
        const QRect sep = t.menu.actionGeometry(t.separator);
        const int y = sep.top() + sep.height() / 2 - 1;
        QCOMPARE(at(img, sep.left() + 60, y), rgbOf(clBtnShadow));
        QCOMPARE(at(img, sep.left() + 60, y + 1), rgbOf(clBtnHighlight));
        QCOMPARE(boxOf(img, CellColours[0], sep), QRect());

        // The checked item shows a check mark in the menu text colour.
        const QRect chk = t.menu.actionGeometry(t.checked);
        const int check = t.menu.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &t.menu);
        const QRect checkArea(chk.left() + 36 + int(Round(0.3 * check)), chk.top(), check, chk.height());
        QVERIFY(!boxOf(img, ColorToQColor(clMenuText), checkArea).isEmpty());
    }

    void aSelectedItemIsHighlightedOrFramed()
    {
        TrayLikeMenu t;
        t.shown();
        t.menu.setActiveAction(t.newItem);
        QImage img = t.menu.grab().toImage();
        QRect item = t.menu.actionGeometry(t.newItem);
        QCOMPARE(at(img, item.right() - 3, item.center().y()), rgbOf(clHighlight));
        // Left of the item's content the margin stays.
        QCOMPARE(at(img, item.left() + 2, item.top()) != rgbOf(clHighlight), true);
        t.menu.hide();
        t.menu.SetStyle(msBtnLowered);
        t.shown();
        t.menu.setActiveAction(t.newItem);
        img = t.menu.grab().toImage();
        item = t.menu.actionGeometry(t.newItem);
        QCOMPARE(at(img, item.right() - 3, item.center().y()), rgbOf(clMenu));
        QCOMPARE(at(img, item.right() - 3, item.top()), t.menu.palette().color(QPalette::Dark).rgb());
        QCOMPARE(at(img, item.right(), item.center().y()), t.menu.palette().color(QPalette::Light).rgb());
    }

    void checkedWithoutCheckMarksShowsAPressedPicture()
    {
        TrayLikeMenu t;
        t.menu.SetShowCheckMarks(false);
        t.menu.SetMinTextOffset(20);
        const QImage img = t.shown();
        const QRect chk = t.menu.actionGeometry(t.checked);
        // No picture: the 20-pixel picture area is pressed, a checker of
        // button face and highlight in a sunken frame, the check mark inside.
        const int x0 = chk.left() + 36
            + int(Round(0.3 * t.menu.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &t.menu)));
        const QRect pressed(x0, chk.top() + 1, 20, chk.height() - 2);
        QCOMPARE(at(img, pressed.left(), pressed.top() + 3), t.menu.palette().color(QPalette::Dark).rgb());
        const QRgb a = at(img, pressed.left() + 2, pressed.top() + 2);
        const QRgb b = at(img, pressed.left() + 3, pressed.top() + 2);
        QCOMPARE(QSet<QRgb>({ a, b }), QSet<QRgb>({ rgbOf(clBtnFace), rgbOf(clBtnHighlight) }));
        QVERIFY(!boxOf(img, ColorToQColor(clMenuText), pressed.adjusted(2, 2, -2, -2)).isEmpty());
    }

    void shortcutsStandInAColumnAfterTheWidestCaption()
    {
        TrayLikeMenu t;
        t.shown();
        const int plainWidth = t.menu.width();
        t.menu.hide();
        t.newItem->setShortcut(QKeySequence("Ctrl+Alt+N"));
        t.newItem->setShortcutVisibleInContextMenu(true);
        const QImage img = t.shown();
        const QString text = t.newItem->shortcut().toString(QKeySequence::NativeText);
        const QFontMetrics fm(t.menu.font());
        QVERIFY(t.menu.width() >= plainWidth + fm.horizontalAdvance(text));
        // The shortcut's text lies right of every caption, inside the item.
        const QRect item = t.menu.actionGeometry(t.newItem);
        const QRect inked = boxOf(img, ColorToQColor(clMenuText), item);
        const int captionsEnd = boxOf(img, ColorToQColor(clMenuText), t.menu.actionGeometry(t.overview)).right();
        QVERIFY(inked.right() > captionsEnd + fm.horizontalAdvance(text) / 2);
        QVERIFY(inked.right() < item.right());
    }

    void drawItemAndDrawMarginEventsReplaceThePainters()
    {
        TrayLikeMenu t;
        QRect marginSeen;
        t.menu.OnDrawMargin = [&](TKitPopupMenu*, QPainter& canvas, const QRect& r) {
            marginSeen = r;
            TKitPopupMenu::DrawDefaultMargin(
                canvas, r, clTeal, RGB(GetRValue(clTeal) / 2, GetGValue(clTeal) / 2, GetBValue(clTeal) / 2));
        };
        t.menu.OnDrawItem = [&](TKitPopupMenu*, QAction* item, QPainter& canvas, const QRect& r, TOwnerDrawState) {
            if (item == t.newItem)
                canvas.fillRect(r.adjusted(2, 2, -2, -2), Qt::yellow);
        };
        const QImage img = t.shown();
        QCOMPARE(marginSeen, t.menu.MarginRect());
        QCOMPARE(at(img, marginSeen.left() + 3, marginSeen.top()), qRgb(0, 128, 128));
        QCOMPARE(at(img, marginSeen.left() + 3, marginSeen.bottom()), qRgb(0, 64, 64));
        const QRect item = t.menu.actionGeometry(t.newItem);
        QCOMPARE(boxOf(img, Qt::yellow), item.adjusted(36 + 2, 2, -2, -2));
        QCOMPARE(boxOf(img, CellColours[0]), QRect()); // the item painter did not run
    }

    void imagesFromAnImageList()
    {
        TImageList images(12, 12);
        QPixmap red(12, 12);
        red.fill(Qt::red);
        images.Add(red);
        TKitPopupMenu menu;
        QVERIFY(!menu.IsOwnerDrawn());
        menu.SetImages(&images);
        QVERIFY(menu.IsOwnerDrawn());
        QAction* a = menu.addAction("&Obrázek");
        QAction* b = menu.addAction("Bez obrázku");
        QAction* c = menu.addAction("Zakázaný");
        c->setEnabled(false);
        menu.OnGetImageIndex = [&](TKitPopupMenu*, QAction* item, TOwnerDrawState, int& index) {
            index = item == b ? 7 : 0; // 7: no such image
        };
        menu.Popup(10, 10);
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        const QImage img = menu.grab().toImage();
        QCOMPARE(boxOf(img, Qt::red, menu.actionGeometry(a)).size(), QSize(12, 12));
        QCOMPARE(boxOf(img, Qt::red, menu.actionGeometry(b)), QRect());
        QCOMPARE(boxOf(img, Qt::red, menu.actionGeometry(c)), QRect());
        QCOMPARE(menu.actionGeometry(a).height(), IntMax(menu.fontMetrics().height() + 4, 16));
    }

    void popupRunsOnPopupFirstAndMeasuresAnew()
    {
        TrayLikeMenu t;
        t.shown();
        const int before = t.menu.width();
        t.menu.hide();
        int calls = 0;
        t.menu.OnPopup = [&](TKitPopupMenu*) {
            ++calls;
            QVERIFY(!t.menu.isVisible());
            t.newItem->setText("&Nové připomenutí s mnohem delším popisem");
        };
        t.menu.Popup(20, 20);
        QVERIFY(QTest::qWaitForWindowExposed(&t.menu));
        QCOMPARE(calls, 1);
        QVERIFY(t.menu.width() > before);
        QCOMPARE(t.menu.pos(), QPoint(20, 20));
    }

    void lettersSelectAndRunItems()
    {
        TKitPopupMenu menu;
        menu.SetStyle(msOwnerDraw);
        QAction* pause = menu.addAction("Pozastavit");
        QAction* overview = menu.addAction("Přehled");
        QAction* calendar = menu.addAction("Kalen&dář");
        QAction* off = menu.addAction("Zakázaný");
        off->setEnabled(false);
        QAction* date = menu.addAction("Datum");
        QSignalSpy runCalendar(calendar, &QAction::triggered);
        QSignalSpy runDate(date, &QAction::triggered);
        QSignalSpy runPause(pause, &QAction::triggered);
        menu.Popup(0, 0);
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        // Two captions start with P: each press moves to the next one.
        QTest::keyClick(&menu, Qt::Key_P);
        QCOMPARE(menu.activeAction(), pause);
        QTest::keyClick(&menu, Qt::Key_P);
        QCOMPARE(menu.activeAction(), overview);
        QTest::keyClick(&menu, Qt::Key_P);
        QCOMPARE(menu.activeAction(), pause);
        QCOMPARE(runPause.count(), 0);
        // The accelerator comes before first letters: D runs "Kalen&dář", not "Datum".
        QTest::keyClick(&menu, Qt::Key_D);
        QCOMPARE(runCalendar.count(), 1);
        QCOMPARE(runDate.count(), 0);
        QVERIFY(!menu.isVisible());
        // A single disabled match closes the menu without running anything.
        menu.Popup(0, 0);
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QTest::keyClick(&menu, Qt::Key_Z);
        QVERIFY(!menu.isVisible());
    }

    void standardStyleLeavesDrawingToTheStyle()
    {
        TKitPopupMenu menu;
        menu.addAction("Jedna");
        QCOMPARE(menu.Style(), msStandard);
        QVERIFY(!menu.IsOwnerDrawn());
        menu.Popup(0, 0);
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        // The style's own measure, not the kit's 3-pixel border.
        const QMenu plain;
        QCOMPARE(menu.actionGeometry(menu.actions().first()).left(),
            plain.style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &plain)
                + plain.style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, &plain));
    }
};

QTEST_MAIN(TestKitPopupMenu)
#include "tst_kitpopupmenu.moc"
