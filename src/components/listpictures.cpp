#include "listpictures.h"

#include <QPainter>

namespace {

const QColor Ink(32, 32, 32);
const QColor Paper(255, 255, 255);
const QColor Red(200, 0, 0);
const QColor Green(0, 128, 0);
const QColor Blue(0, 64, 176);
const QColor Grey(128, 128, 128);

void Sheet(QPainter& p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawPolygon(QPolygon({ { 4, 2 }, { 15, 2 }, { 19, 6 }, { 19, 21 }, { 4, 21 } }));
    p.drawPolyline(QPolygon({ { 15, 2 }, { 15, 6 }, { 19, 6 } }));
    p.setPen(QPen(Grey, 1));
    for (int y = 9; y <= 18; y += 3)
        p.drawLine(7, y, 16, y);
}

void Cross(QPainter& p, const QRect& r, int width)
{
    p.setPen(QPen(Red, width, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

// Two arrows passing each other: data going both ways.
void Exchange(QPainter& p, const QColor& colour)
{
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(colour);
    p.drawLine(3, 8, 17, 8);
    p.drawPolygon(QPolygon({ { 16, 4 }, { 21, 8 }, { 16, 12 } }));
    p.drawLine(7, 16, 21, 16);
    p.drawPolygon(QPolygon({ { 8, 12 }, { 3, 16 }, { 8, 20 } }));
}

// An open box with an arrow leaving (out) or entering it.
void BoxArrow(QPainter& p, bool out)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(230, 200, 140));
    p.drawPolygon(QPolygon({ { 3, 13 }, { 21, 13 }, { 21, 21 }, { 3, 21 } }));
    p.setPen(QPen(Blue, 3, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Blue);
    if (out) {
        p.drawLine(12, 16, 12, 7);
        p.setPen(QPen(Blue, 1));
        p.drawPolygon(QPolygon({ { 7, 8 }, { 12, 2 }, { 17, 8 } }));
    } else {
        p.drawLine(12, 1, 12, 11);
        p.setPen(QPen(Blue, 1));
        p.drawPolygon(QPolygon({ { 7, 10 }, { 12, 16 }, { 17, 10 } }));
    }
}

// A closed envelope.
void Envelope(QPainter& p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(250, 240, 200));
    p.drawRect(2, 6, 20, 13);
    p.drawPolyline(QPolygon({ { 2, 6 }, { 12, 14 }, { 22, 6 } }));
    p.setPen(QPen(Grey, 1));
    p.drawLine(2, 19, 9, 12);
    p.drawLine(22, 19, 15, 12);
}

// A magnifying glass, light on the dark filter panel.
void Magnifier(QPainter& p)
{
    p.setPen(QPen(QColor(220, 220, 220), 3));
    p.setBrush(QColor(120, 170, 230, 110));
    p.drawEllipse(QRect(4, 4, 17, 17));
    p.setPen(QPen(QColor(200, 150, 60), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(20, 20, 28, 28);
}

void Paint(const QString& name, QPainter& p)
{
    if (name == QLatin1String("ARROWUP") || name == QLatin1String("ARROWDOWN")) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(64, 64, 64));
        if (name == QLatin1String("ARROWDOWN"))
            p.drawPolygon(QPolygon({ { 0, 2 }, { 8, 2 }, { 4, 6 } }));
        else
            p.drawPolygon(QPolygon({ { 0, 6 }, { 8, 6 }, { 4, 2 } }));
    } else if (name == QLatin1String("EIANO")) {
        Exchange(p, Green);
    } else if (name == QLatin1String("EINE")) {
        Exchange(p, Grey);
        p.setPen(QPen(Red, 2));
        p.drawLine(4, 21, 20, 3);
    } else if (name == QLatin1String("BOK")) {
        p.setPen(QPen(Green, 4, Qt::SolidLine, Qt::SquareCap));
        p.drawPolyline(QPolygon({ { 4, 13 }, { 10, 19 }, { 20, 5 } }));
    } else if (name == QLatin1String("BCANCEL")) {
        Cross(p, QRect(5, 5, 14, 14), 4);
    } else if (name == QLatin1String("BNEW")) {
        Sheet(p);
        p.setPen(QPen(Green, 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(17, 12, 17, 22);
        p.drawLine(12, 17, 22, 17);
    } else if (name == QLatin1String("BEDIT")) {
        Sheet(p);
        p.setPen(QPen(QColor(200, 160, 0), 4, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(21, 8, 11, 18);
        p.setPen(QPen(Ink, 2));
        p.drawLine(11, 18, 9, 20);
    } else if (name == QLatin1String("BVYMAZ")) {
        Sheet(p);
        Cross(p, QRect(12, 12, 9, 9), 3);
    } else if (name == QLatin1String("BODSTRAN")) {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(176, 176, 176));
        p.drawRect(4, 5, 16, 2);
        p.drawRect(9, 3, 6, 2);
        p.drawPolygon(QPolygon({ { 6, 8 }, { 18, 8 }, { 17, 21 }, { 7, 21 } }));
        for (int x = 9; x <= 15; x += 3)
            p.drawLine(x, 10, x, 19);
    } else if (name == QLatin1String("BEXPORT")) {
        BoxArrow(p, true);
    } else if (name == QLatin1String("BIMPORT")) {
        BoxArrow(p, false);
    } else if (name == QLatin1String("BEMAIL")) {
        Envelope(p);
    } else if (name == QLatin1String("HLEDANI")) {
        Magnifier(p);
    }
}

} // namespace

QPixmap ListWindowPicture(const QString& name, const QColor& ground)
{
    static const QStringList header { QStringLiteral("ARROWUP"), QStringLiteral("ARROWDOWN"),
        QStringLiteral("NOARROW") };
    static const QStringList buttons { QStringLiteral("EIANO"), QStringLiteral("EINE"), QStringLiteral("BOK"),
        QStringLiteral("BCANCEL"), QStringLiteral("BNEW"), QStringLiteral("BEDIT"), QStringLiteral("BVYMAZ"),
        QStringLiteral("BODSTRAN"), QStringLiteral("BEXPORT"), QStringLiteral("BIMPORT"), QStringLiteral("BEMAIL") };
    QPixmap pm;
    if (header.contains(name))
        pm = QPixmap(9, 8);
    else if (buttons.contains(name))
        pm = QPixmap(24, 24);
    else if (name == QLatin1String("HLEDANI"))
        pm = QPixmap(32, 32);
    else
        return pm;
    pm.fill(ground);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, ground.alpha() == 0);
    Paint(name, p);
    return pm;
}
