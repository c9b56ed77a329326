#pragma once

#include "components/kitcolors.h"

#include <QObject>
#include <QPixmap>

class TImageList;

// A picture cut into a grid of equal cells, handed out one at a time. Cells
// lose the mask colour when Masked is on.
class TPicClip : public QObject {
    Q_OBJECT
public:
    explicit TPicClip(QObject* owner = nullptr);

    int Cols() const { return m_cols; }
    void SetCols(int cols);
    int Rows() const { return m_rows; }
    void SetRows(int rows);

    const QPixmap& Picture() const { return m_picture; }
    // Takes the picture's transparent colour (its bottom-left pixel) as the
    // mask colour, or clOlive's $008080 without a picture.
    void SetPicture(const QPixmap& picture);

    bool Masked() const { return m_masked; }
    void SetMasked(bool masked);
    TColor MaskColor() const { return m_maskColor; }
    void SetMaskColor(TColor color);

    // The cell size; setting it sets Cols (Rows) to as many cells as fit.
    int Width() const;
    void SetWidth(int width);
    int Height() const;
    void SetHeight(int height);

    // 0 for an empty picture.
    int CellCount() const;
    // Cell index (column index % Cols, row index / Cols). The result is the
    // clip's own work bitmap, overwritten by the next request. Raises
    // EListError outside 0 .. Cols x Rows - 1.
    const QPixmap& GraphicCell(int index);

    // Rows, Cols, Masked, MaskColor and the picture of source.
    void Assign(const TPicClip& source);
    // images is emptied, sized to one cell and gets every cell; its change
    // is announced once. Nothing for an empty picture.
    void AssignTo(TImageList& images);

signals:
    void OnChange();

protected:
    virtual void PicClipChanged();

private:
    int m_cols = 1;
    int m_rows = 1;
    QPixmap m_picture;
    bool m_masked = true;
    TColor m_maskColor;
    QPixmap m_cell;
};
