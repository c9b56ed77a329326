#include "icons.h"

#include <QImage>
#include <QPixmap>

QIcon solidIcon(const QColor& c, int size)
{
    QPixmap pm(size, size);
    pm.fill(c);
    return QIcon(pm);
}

QColor colourOf(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
}
