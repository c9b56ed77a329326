#include "picclip.h"

#include "components/imglist.h"
#include "components/kitutils.h"
#include "components/kitdrawing.h"

#include <QBitmap>

namespace {

constexpr TColor NoBitmapMaskColor = 0x008080;

TColor transparentColorOf(const QPixmap& picture)
{
    if (picture.isNull())
        return NoBitmapMaskColor;
    return QColorToColor(picture.toImage().pixelColor(0, picture.height() - 1));
}

} // namespace

TPicClip::TPicClip(QObject* owner)
    : QObject(owner)
    , m_maskColor(NoBitmapMaskColor)
{
}

void TPicClip::SetCols(int cols)
{
    m_cols = qMax(cols, 1);
}

void TPicClip::SetRows(int rows)
{
    m_rows = qMax(rows, 1);
}

void TPicClip::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    m_maskColor = transparentColorOf(picture);
    PicClipChanged();
}

void TPicClip::SetMasked(bool masked)
{
    m_masked = masked;
}

void TPicClip::SetMaskColor(TColor color)
{
    if (color == m_maskColor)
        return;
    m_maskColor = color;
    PicClipChanged();
}

int TPicClip::Width() const
{
    return m_picture.width() / m_cols;
}

void TPicClip::SetWidth(int width)
{
    if (width > 0 && m_picture.width() / width > 0)
        SetCols(m_picture.width() / width);
}

int TPicClip::Height() const
{
    return m_picture.height() / m_rows;
}

void TPicClip::SetHeight(int height)
{
    if (height > 0 && m_picture.height() / height > 0)
        SetRows(m_picture.height() / height);
}

int TPicClip::CellCount() const
{
    return m_picture.isNull() ? 0 : m_cols * m_rows;
}

const QPixmap& TPicClip::GraphicCell(int index)
{
    if (index < 0 || index >= m_cols * m_rows)
        throw EListError(index);
    CopyCell(m_picture, m_cell, m_cols, index, m_rows);
    if (m_masked && m_maskColor != clNone && !m_cell.isNull())
        m_cell.setMask(m_cell.createMaskFromColor(ColorToQColor(PaletteColor(m_maskColor)), Qt::MaskInColor));
    return m_cell;
}

void TPicClip::Assign(const TPicClip& source)
{
    m_rows = source.m_rows;
    m_cols = source.m_cols;
    m_masked = source.m_masked;
    m_picture = source.m_picture;
    m_maskColor = source.m_maskColor;
    PicClipChanged();
}

void TPicClip::AssignTo(TImageList& images)
{
    if (m_picture.isNull())
        return;
    images.BeginUpdate();
    images.Clear();
    images.SetSize(Width(), Height());
    images.SetMasked(m_masked);
    for (int i = 0; i < CellCount(); ++i)
        images.Add(GraphicCell(i));
    images.EndUpdate();
}

void TPicClip::PicClipChanged()
{
    emit OnChange();
}
