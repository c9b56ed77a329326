#include "programicon.h"

#include <QPainter>

using namespace StdColors;

QPixmap ProgramIconPixmap(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, size != 32);
    p.scale(size / 32.0, size / 32.0);

    // The calendar leaf: red head, two rings, rows of days.
    p.setPen(QPen(Black, 1));
    p.setBrush(White);
    p.drawRect(1, 4, 21, 24);
    p.setBrush(Red);
    p.drawRect(1, 4, 21, 5);
    p.setBrush(Gray);
    p.drawRect(5, 2, 2, 5);
    p.drawRect(16, 2, 2, 5);
    p.setPen(QPen(Navy, 1));
    for (int y = 13; y <= 25; y += 4)
        for (int x = 4; x <= 16; x += 4)
            p.drawLine(x, y, x + 1, y);

    // The alarm clock in front, as the tray draws it: green bells, silver
    // rim, white face, hands at ten past ten.
    p.setPen(QPen(Black, 1));
    p.setBrush(Green);
    p.drawEllipse(QRect(13, 11, 7, 7));
    p.drawEllipse(QRect(25, 11, 6, 7));
    p.setBrush(Silver);
    p.drawEllipse(QRect(14, 13, 17, 17));
    p.setBrush(White);
    p.drawEllipse(QRect(16, 15, 13, 13));
    const QPointF centre(22.5, 21.5);
    p.setPen(QPen(Navy, 2));
    p.drawLine(centre, centre + QPointF(-3.5, -2));
    p.drawLine(centre, centre + QPointF(3.5, -3));
    p.setPen(QPen(Red, 1));
    p.drawLine(centre, centre + QPointF(0, 5));
    return pm;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : { 16, 32, 48, 64 })
        icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}
