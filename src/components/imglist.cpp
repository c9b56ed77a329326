#include "imglist.h"

#include "components/kitutils.h"

#include <QPainter>

TImageList::TImageList(int width, int height, QObject* parent)
    : QObject(parent)
    , m_width(width)
    , m_height(height)
{
}

void TImageList::SetSize(int width, int height)
{
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    m_images.clear();
    Change();
}

void TImageList::SetMasked(bool masked)
{
    if (masked == m_masked)
        return;
    m_masked = masked;
    Change();
}

int TImageList::Add(const QPixmap& image)
{
    QPixmap fitted(m_width, m_height);
    fitted.fill(Qt::transparent);
    {
        QPainter p(&fitted);
        p.drawPixmap(0, 0, image, 0, 0, m_width, m_height);
    }
    m_images.append(fitted);
    Change();
    return Count() - 1;
}

void TImageList::Clear()
{
    if (m_images.isEmpty())
        return;
    m_images.clear();
    Change();
}

QPixmap TImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(index);
    return m_images.at(index);
}

void TImageList::Draw(QPainter& painter, int x, int y, int index) const
{
    if (index < 0 || index >= Count())
        return;
    painter.drawPixmap(x, y, m_images.at(index));
}

void TImageList::BeginUpdate()
{
    ++m_updateCount;
}

void TImageList::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0 && m_changePending) {
        m_changePending = false;
        emit changed();
    }
}

void TImageList::Change()
{
    if (m_updateCount > 0) {
        m_changePending = true;
        return;
    }
    emit changed();
}
