#pragma once

// Region-shaped windows: the shape of a form, its painted caption area and
// named external shapes, each described by a region script.

#include "components/kitcolors.h"
#include "components/regionscript.h"

#include <QEvent>
#include <QFont>
#include <QMenu>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QWidget;
class TExternalRegion;

// Region-shaped windows. A form owns at most one TFormRegion (the shape of
// its window) and one TCaptionRegion (an area painted in the caption colour
// that drags the window and opens a menu), and any number of named
// TExternalRegion shapes that their scripts place with the command T.
//
// The components watch their owner form through event filters: the one
// hooked last sees an event first and passes on what it does not consume.
// Script coordinates are window coordinates; the form's mask and painting use
// client coordinates, so a frame drawn by the window manager stays unshaped
// (for a frameless form the two are the same).

// The region messages. They go to a form's own window only, sent at once:
// an external region changed its shape, or was renamed.
constexpr QEvent::Type WM_REGIONCHANGED = QEvent::Type(QEvent::User + 0x8C0);
constexpr QEvent::Type WM_REGIONRENAMED = QEvent::Type(QEvent::User + 0x8C1);

class RegionMessage : public QEvent {
public:
    RegionMessage(QEvent::Type type, TExternalRegion* region, const QString& previousName = QString())
        : QEvent(type)
        , m_region(region)
        , m_previousName(previousName)
    {
    }
    TExternalRegion* region() const { return m_region; }
    const QString& previousName() const { return m_previousName; }

private:
    TExternalRegion* m_region;
    QString m_previousName;
};

// May rewrite the script on every resize of the form, before it is
// translated.
using TSizeChangedEvent = std::function<void(QObject* sender, QString& region)>;

// The metric letters of a form as its scripts read them now.
RegionMetrics FormMetrics(const QWidget* form);

// The abstract base of the two region components.
class TRegionComp : public QObject {
    Q_OBJECT
public:
    ~TRegionComp() override;

    QWidget* Owner() const { return m_owner; }

    // The script. Assigning translates and applies it, unless the component
    // is loading; a script fault raises ECannotTranslate, the text stays
    // stored and the component holds no region.
    const QString& Region() const { return m_region; }
    void SetRegion(const QString& script);

    // The translated region in window coordinates; none for an empty script.
    const std::optional<QRegion>& RegionHandle() const { return m_regionHandle; }
    // The same moved into the owner's client coordinates (empty when none).
    QRegion ClientRegion() const;

    const TSizeChangedEvent& OnSizeChanged() const { return m_onSizeChanged; }
    void SetOnSizeChanged(TSizeChangedEvent handler) { m_onSizeChanged = std::move(handler); }

    // A form built in code sets its components' properties between
    // BeginLoading and Loaded, so each script is translated once, at the end.
    void BeginLoading() { m_loading = true; }
    void Loaded();
    bool Loading() const { return m_loading; }

    // Translates the script into the region handle; raises ECannotTranslate.
    bool TranslateRegion();

    void AttachToOwner();
    void DetachFromOwner();
    // Whether the component watches its owner's events now.
    bool Hooked() const { return m_hooked; }

protected:
    TRegionComp(QWidget* owner, const QMetaObject& type);

    virtual void ApplyRegion() = 0;
    // Sees every event of the owner form while hooked; true consumes it.
    virtual bool OwnerWndProc(QEvent* event);

    void HookOwnerWindow();
    void UnhookOwnerWindow();
    bool OwnerAlive() const { return m_owner && !m_ownerDying; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ownerMouse(QEvent* event);

    QWidget* m_owner;
    QString m_region;
    std::optional<QRegion> m_regionHandle;
    TSizeChangedEvent m_onSizeChanged;
    bool m_hooked = false;
    bool m_loading = false;
    bool m_ownerDying = false;
    // A move of the window by hand, where the window manager does not move it.
    bool m_dragging = false;
    QPoint m_dragOffset;
    // Missing external regions are reported once per script text, not on
    // every resize step.
    QString m_reportedScript;
    QStringList m_reportedNames;
};

// Cuts the owner form's window to the shape of its script.
class TFormRegion : public TRegionComp {
    Q_OBJECT
public:
    explicit TFormRegion(QWidget* owner);

    // The bare client area acts as a caption: a press there drags the window.
    bool ClientDrag() const { return m_clientDrag; }
    void SetClientDrag(bool on) { m_clientDrag = on; }
    // Kept for forms that carry it; there is no designer to draw on.
    bool DrawOnDesigning() const { return m_drawOnDesigning; }
    void SetDrawOnDesigning(bool on) { m_drawOnDesigning = on; }

protected:
    void ApplyRegion() override;

private:
    bool m_drawOnDesigning = true;
    bool m_clientDrag = false;
};

class TCaptionRegion;

// The picture in the caption area that opens the popup menu; without a glyph
// it shows the program's icon at the small-icon size.
class TSysMenuPicture {
public:
    // Raises EOwnerNotAssigned without an owner.
    explicit TSysMenuPicture(TCaptionRegion* owner);

    const QPixmap& Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap& glyph);
    int Left() const { return m_left; }
    void SetLeft(int value);
    int Top() const { return m_top; }
    void SetTop(int value);
    // The glyph's bottom-left pixel colour is see-through.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);
    bool Visible() const { return m_visible; }
    void SetVisible(bool on);
    // Up to 0 (default -1): the small-icon size. Without effect on a glyph.
    int Width() const { return m_width; }
    void SetWidth(int value);
    int Height() const { return m_height; }
    void SetHeight(int value);

    int PictureWidth() const;
    int PictureHeight() const;
    // Left, Top, PictureWidth x PictureHeight in client coordinates.
    QRect PictureRect() const;

    void Assign(const TSysMenuPicture& source);
    void Paint(QPainter& painter) const;

private:
    void changed(bool repaint) const;

    QPixmap m_glyph;
    TCaptionRegion* m_owner;
    int m_left = 0;
    int m_top = 0;
    bool m_transparent = true;
    bool m_visible = false;
    int m_height = -1;
    int m_width = -1;
};

class TCaptionLabels;

// One text drawn on the caption area, in the colour of the form's state.
class TCaptionLabel {
public:
    explicit TCaptionLabel(TCaptionLabels* collection);

    TColor ActiveColor() const { return m_activeColor; }
    void SetActiveColor(TColor color);
    TColor InactiveColor() const { return m_inactiveColor; }
    void SetInactiveColor(TColor color);
    const QString& Text() const { return m_text; }
    void SetText(const QString& text);
    // Its colour is not used: the text takes the state colour.
    const QFont& Font() const { return m_font; }
    void SetFont(const QFont& font);
    int Left() const { return m_left; }
    void SetLeft(int value);
    int Top() const { return m_top; }
    void SetTop(int value);
    // Tenths of a degree, counter-clockwise.
    int Angle() const { return m_angle; }
    void SetAngle(int value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool on);

    QString GetDisplayName() const;
    void Assign(const TCaptionLabel& source);
    // Draws the text with its cell's top-left corner at (Left, Top).
    void Paint(QPainter& painter, int stateIndex) const;

private:
    template <typename T> void set(T& field, const T& value);

    TCaptionLabels* m_collection;
    TColor m_inactiveColor = clInactiveCaptionText;
    TColor m_activeColor = clCaptionText;
    QString m_text;
    QFont m_font;
    int m_left = 0;
    int m_top = 0;
    int m_angle = 0;
    bool m_visible = true;
};

// The labels of a caption region; any label added, removed or changed
// repaints the owner form.
class TCaptionLabels {
public:
    explicit TCaptionLabels(TCaptionRegion* owner);

    TCaptionRegion* Owner() const { return m_owner; }
    int Count() const { return int(m_items.size()); }
    // An index outside the list raises EListError.
    TCaptionLabel* Items(int index) const;
    TCaptionLabel* Add();
    void Delete(int index);
    void Clear();
    void Assign(const TCaptionLabels& source);

    void Changed() const;

private:
    TCaptionRegion* m_owner;
    std::vector<std::unique_ptr<TCaptionLabel>> m_items;
};

// Paints its scripted area of the owner form in the caption colour (ahead of
// the form's own painting), with the system-menu picture and the labels on
// it; the area drags the window, a right click on it opens PopupMenu. On a
// frameless form whose flags hold Qt::WindowMaximizeButtonHint (biMaximize),
// a double click on the area maximises or restores the form.
class TCaptionRegion : public TRegionComp {
    Q_OBJECT
public:
    explicit TCaptionRegion(QWidget* owner);
    ~TCaptionRegion() override;

    // Index 0 inactive, 1 active; clNone leaves the area to the form.
    TColor ActiveColor() const { return m_colors[1]; }
    void SetActiveColor(TColor color) { SetStateColor(1, color); }
    TColor InactiveColor() const { return m_colors[0]; }
    void SetInactiveColor(TColor color) { SetStateColor(0, color); }
    void SetStateColor(int index, TColor color);
    // The colour of the owner's state now.
    TColor StateColor() const { return m_colors[StateIndex()]; }
    int StateIndex() const;

    QMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu* menu) { m_popupMenu = menu; }

    TSysMenuPicture& SysMenuPicture() { return *m_sysMenuPicture; }
    const TSysMenuPicture& SysMenuPicture() const { return *m_sysMenuPicture; }
    void SetSysMenuPicture(const TSysMenuPicture& picture);
    TCaptionLabels& Labels() { return *m_labels; }
    const TCaptionLabels& Labels() const { return *m_labels; }
    void SetLabels(const TCaptionLabels& labels);

    // Whether a press at this client point lies on the caption area; the
    // visible picture keeps its own clicks.
    bool IsCaptionPoint(const QPoint& clientPos) const;
    bool InPicture(const QPoint& clientPos) const;

    // Repaints the owner form, unless it is going away.
    void InvalidateOwner() const;

protected:
    void ApplyRegion() override;
    bool OwnerWndProc(QEvent* event) override;

private:
    void popupUnderPicture();
    bool menuKey(QEvent* event);
    void paintCaption();

    TColor m_colors[2] = { clInactiveCaption, clActiveCaption };
    QPointer<QMenu> m_popupMenu;
    std::unique_ptr<TSysMenuPicture> m_sysMenuPicture;
    qint64 m_lastPictureClick = 0;
    std::unique_ptr<TCaptionLabels> m_labels;
};

// A named shape that the scripts of the owner form place with the command T.
// Descendants make the shape in CreateRegion and call RegionChanged when it
// changes; renaming (setObjectName) rewrites the scripts that place it.
class TExternalRegion : public QObject {
    Q_OBJECT
public:
    ~TExternalRegion() override;

    // Made once and kept until RegionChanged (default), or made for every use.
    bool OwnRegion() const { return m_ownRegion; }
    void SetOwnRegion(bool on) { m_ownRegion = on; }

    // A copy of the shape, in its own coordinates; none when it has none.
    std::optional<QRegion> GetRegionCopy();
    // The size that placement uses; -1 for the shape's own box.
    virtual void GetRegionSize(int& width, int& height) const;
    void RegionChanged();

protected:
    // Raises EOwnerMustBeForm naming type when owner is not a form.
    TExternalRegion(QWidget* owner, const QMetaObject& type);

    virtual std::optional<QRegion> CreateRegion() = 0;

private:
    void nameChanged();

    bool m_ownRegion = true;
    std::optional<QRegion> m_cachedRegion;
    QString m_name; // as the scripts know it, until a rename tells them
};
