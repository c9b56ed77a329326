#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>

class QPainter;

// A list of equally sized pictures drawn by index, as menus, buttons and trees
// of the kit take their images from one. Changes are announced by changed();
// between BeginUpdate and EndUpdate they are held back and announced once.
class TImageList : public QObject {
    Q_OBJECT
public:
    explicit TImageList(int width = 16, int height = 16, QObject* parent = nullptr);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // A new size empties the list.
    void SetSize(int width, int height);
    bool Masked() const { return m_masked; }
    void SetMasked(bool masked);
    int Count() const { return int(m_images.size()); }

    // A picture is fitted to the list's size: a larger one is cut at the
    // right and bottom, a smaller one padded with transparent pixels.
    int Add(const QPixmap& image);
    void Clear();
    // Raises EListError outside 0 .. Count - 1.
    QPixmap Image(int index) const;
    // Nothing for an index outside the list, as the system's list did.
    void Draw(QPainter& painter, int x, int y, int index) const;

    void BeginUpdate();
    void EndUpdate();

signals:
    void changed();

private:
    void Change();

    int m_width;
    int m_height;
    bool m_masked = true;
    int m_updateCount = 0;
    bool m_changePending = false;
    QList<QPixmap> m_images;
};
