#include "trayresources.h"

#include "platform/programicon.h"
#include "tray/icolist.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

using namespace StdColors;

namespace {

enum class ClockState { Running, Paused };

// An alarm clock with its hand at angle degrees (0 = twelve o'clock).
QPixmap clockPicture(double angle, ClockState state)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Black, 1));
    p.setBrush(state == ClockState::Running ? Green : Maroon);
    p.drawEllipse(QRect(2, 1, 9, 9)); // bells
    p.drawEllipse(QRect(20, 1, 9, 9));
    p.setBrush(Silver);
    p.drawEllipse(QRect(3, 4, 26, 26)); // rim
    p.setBrush(White);
    p.drawEllipse(QRect(6, 7, 20, 20)); // face
    const QPointF centre(16, 17);
    p.setPen(QPen(Gray, 1));
    for (int h = 0; h < 12; h += 3) {
        const double a = qDegreesToRadians(h * 30.0);
        p.drawPoint(centre + QPointF(8 * qSin(a), -8 * qCos(a)));
    }
    p.setPen(QPen(Navy, 2));
    p.drawLine(centre, centre + QPointF(0, -5)); // hour hand at twelve
    const double a = qDegreesToRadians(angle);
    p.setPen(QPen(state == ClockState::Running ? Red : Gray, 1));
    p.drawLine(centre, centre + QPointF(8 * qSin(a), -8 * qCos(a)));
    if (state == ClockState::Paused) {
        p.setPen(Qt::NoPen);
        p.setBrush(Red);
        p.drawRect(QRect(8, 15, 16, 5)); // a stop bar across the face
        p.setBrush(White);
        p.drawRect(QRect(10, 17, 12, 1));
    }
    return pm;
}

void drawPaper(QPainter& p, const QRect& r)
{
    p.setPen(Black);
    p.setBrush(White);
    p.drawRect(r);
}

void drawPlus(QPainter& p, int x, int y)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawRect(x, y + 3, 9, 3);
    p.drawRect(x + 3, y, 3, 9);
}

void drawMonitor(QPainter& p, const QColor& screen)
{
    p.setPen(Black);
    p.setBrush(Silver);
    p.drawRect(2, 3, 20, 15);
    p.setBrush(screen);
    p.drawRect(4, 5, 16, 11);
    p.setBrush(Gray);
    p.drawRect(8, 19, 8, 2);
    p.drawRect(5, 21, 14, 2);
}

void drawArrow(QPainter& p, int fromX, int toX, int y, const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const int dir = toX > fromX ? 1 : -1;
    p.drawRect(QRect(QPoint(qMin(fromX, toX - dir * 5), y - 2), QPoint(qMax(fromX, toX - dir * 5), y + 2)));
    const QPointF head[] = { QPointF(toX, y), QPointF(toX - dir * 6, y - 6), QPointF(toX - dir * 6, y + 6) };
    p.drawPolygon(head, 3);
}

void drawCell(QPainter& p, int cell)
{
    switch (cell) {
    case 0: // new reminder
        drawPaper(p, QRect(3, 2, 14, 19));
        drawPlus(p, 13, 13);
        break;
    case 1: // reminder overview
        drawPaper(p, QRect(4, 2, 16, 20));
        p.setPen(Navy);
        for (int y = 6; y <= 18; y += 4)
            p.drawLine(7, y, 17, y);
        break;
    case 2: // pause
        p.setPen(Black);
        p.setBrush(Maroon);
        p.drawRect(6, 4, 4, 16);
        p.drawRect(14, 4, 4, 16);
        break;
    case 3: { // resume
        p.setPen(Black);
        p.setBrush(Lime);
        const QPointF play[] = { QPointF(7, 3), QPointF(20, 12), QPointF(7, 21) };
        p.drawPolygon(play, 3);
        break;
    }
    case 4: // settings
        p.setPen(Black);
        p.setBrush(Gray);
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(12, 12);
            p.rotate(i * 45);
            p.drawRect(-2, -11, 4, 5);
            p.restore();
        }
        p.drawEllipse(QRect(4, 4, 16, 16));
        p.setBrush(White);
        p.drawEllipse(QRect(9, 9, 6, 6));
        break;
    case 5: // bell
        p.setPen(Black);
        p.setBrush(Yellow);
        p.drawChord(QRect(5, 3, 14, 22), 0, 180 * 16);
        p.drawRect(4, 13, 16, 3);
        p.setBrush(Black);
        p.drawEllipse(QRect(10, 17, 4, 4));
        break;
    case 6: // end
        p.setPen(QPen(Red, 4));
        p.drawLine(5, 5, 19, 19);
        p.drawLine(19, 5, 5, 19);
        break;
    case 7: // current time
        p.setPen(Black);
        p.setBrush(White);
        p.drawEllipse(QRect(2, 2, 20, 20));
        p.setPen(QPen(Navy, 2));
        p.drawLine(12, 12, 12, 5);
        p.drawLine(12, 12, 17, 12);
        break;
    case 8: // export
        drawPaper(p, QRect(2, 4, 11, 16));
        drawArrow(p, 8, 23, 12, Blue);
        break;
    case 9: // import
        drawPaper(p, QRect(11, 4, 11, 16));
        drawArrow(p, 23, 8, 12, Teal);
        drawArrow(p, 16, 1, 12, Teal);
        break;
    case 10: // new contact
        p.setPen(Black);
        p.setBrush(Yellow);
        p.drawEllipse(QRect(5, 2, 9, 9));
        p.setBrush(Blue);
        p.drawChord(QRect(2, 12, 15, 18), 0, 180 * 16);
        drawPlus(p, 14, 13);
        break;
    case 11: // contact overview
        p.setPen(Black);
        p.setBrush(Maroon);
        p.drawRect(4, 2, 16, 20);
        p.setBrush(White);
        p.drawRect(7, 5, 10, 6);
        p.setPen(Yellow);
        p.drawLine(5, 4, 5, 20);
        break;
    case 12: // calendar
        drawPaper(p, QRect(3, 4, 18, 17));
        p.setPen(Black);
        p.setBrush(Red);
        p.drawRect(3, 4, 18, 5);
        p.setPen(Navy);
        for (int y = 12; y <= 18; y += 3)
            for (int x = 6; x <= 18; x += 4)
                p.drawPoint(x, y);
        break;
    case 13: // disable the screen saver
        drawMonitor(p, Navy);
        p.setPen(QPen(Red, 2));
        p.drawLine(7, 7, 17, 14);
        p.drawLine(17, 7, 7, 14);
        break;
    case 14: // enable the screen saver
        drawMonitor(p, Navy);
        p.setPen(QPen(Lime, 2));
        p.drawLine(7, 11, 10, 14);
        p.drawLine(10, 14, 17, 7);
        break;
    case 15: // start the screen saver
        drawMonitor(p, Black);
        p.setPen(Aqua);
        p.drawPoint(7, 8);
        p.drawPoint(15, 7);
        p.drawPoint(11, 12);
        p.setPen(Yellow);
        p.drawPoint(17, 13);
        p.drawPoint(6, 13);
        break;
    default:
        break;
    }
}

} // namespace

QIcon TrayIconResource(const QString& name)
{
    if (name == QLatin1String("IOK"))
        return QIcon(clockPicture(90, ClockState::Running));
    if (name == QLatin1String("ISTOP"))
        return QIcon(clockPicture(90, ClockState::Paused));
    return QIcon();
}

void LoadTrayAnimation(TIconList& icons)
{
    icons.LockIconChanges();
    icons.ClearIcons();
    for (int i = 0; i < TrayAnimationFrames; ++i)
        icons.AddIcon(QIcon(clockPicture(i * 360.0 / TrayAnimationFrames, ClockState::Running)));
    icons.UnlockIconChanges();
}

QPixmap TrayMenuPictures()
{
    QPixmap pm(TrayMenuPictureCells * TrayMenuPictureSize, TrayMenuPictureSize);
    pm.fill(Fuchsia);
    QPainter p(&pm);
    for (int cell = 0; cell < TrayMenuPictureCells; ++cell) {
        p.save();
        p.translate(cell * TrayMenuPictureSize, 0);
        p.setClipRect(QRect(0, 0, TrayMenuPictureSize, TrayMenuPictureSize));
        drawCell(p, cell);
        p.restore();
    }
    return pm;
}
