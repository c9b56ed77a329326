#pragma once

// The kit's status bar: typed panels (text, lock keys, date and time,
// glyph, gauge, owner-drawn) that the bar paints and keeps up to date itself.

#include "components/kitcolors.h"
#include "components/kitconst.h"

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <exception>
#include <functional>

class QFontMetrics;
class QPainter;
class QSizeGrip;
class QTimer;

// The status bar of the kit: a row of panels that the bar paints itself, each
// of a type that says what it shows.

enum TKitStatusPanelType : quint8 {
    sptNormal,
    sptCapsLock,
    sptNumLock,
    sptScrollLock,
    sptDate,
    sptTime,
    sptDateTime,
    sptTimeDate,
    sptEllipsisText,
    sptEllipsisPath,
    sptGlyph,
    sptGauge,
    sptOwnerDraw,
};

// The last two are the indeterminate (animated) styles.
enum TKitGaugeStyle : quint8 { gsPercent, gsIndeterminate, gsIndeterminate2 };

enum TStatusPanelBevel : quint8 { pbNone, pbLowered, pbRaised };

// The lock keys by the virtual-key numbers the keyboard monitor reports.
constexpr int VK_CAPITAL = 20;
constexpr int VK_NUMLOCK = 144;
constexpr int VK_SCROLL = 145;

class TKitStatusBar;
class TKitStatusPanel;
class TKitStatusPanels;

// canvas: the bar's painter of the paint under way; rect in bar coordinates.
using TKitDrawPanelEvent
    = std::function<void(TKitStatusBar* statusBar, TKitStatusPanel* panel, QPainter& canvas, const QRect& rect)>;
using TKitPanelHintTextEvent = std::function<void(TKitStatusBar* statusBar, TKitStatusPanel* panel, QString& hint)>;
using TKitNotifyEvent = std::function<void(QObject* sender)>;

// Whether a lock key (VK_CAPITAL, VK_NUMLOCK, VK_SCROLL) is toggled on. The
// lock-key panels ask this after each press of their key; without a reader
// of its own the keyboard's indicators tell.
using LockKeyStateReader = std::function<bool(int virtualKey)>;
void SetLockKeyStateReader(LockKeyStateReader reader);
bool LockKeyToggled(int virtualKey);

// The name of a panel type, "sptNormal" .. "sptOwnerDraw".
QString PanelTypeName(TKitStatusPanelType type);

// text shortened to maxWidth as a path is: as much of its start as fits, then
// "...", then the last part from its last "\" or "/" on. Without a separator,
// or when even the last part does not fit, the end is cut instead.
QString PathEllipsisText(const QString& text, const QFontMetrics& metrics, int maxWidth);

// The gauge settings of a panel.
class TKitGaugeAttrs {
public:
    explicit TKitGaugeAttrs(TKitStatusPanel* owner);

    // Position, then Style; the owner panel stays.
    void Assign(const TKitGaugeAttrs& source);

    TKitStatusPanel* Owner() const { return m_owner; }
    TKitGaugeStyle Style() const { return m_style; }
    void SetStyle(TKitGaugeStyle style);
    bool Indeterminate() const { return m_style != gsPercent; }
    // Percent, 0 .. 100; values beyond are taken as the nearer limit.
    int Position() const { return m_position; }
    void SetPosition(int percent);
    // Pixels the animation moves per tick; values below 1 count as 1.
    int Speed() const { return m_speed; }
    void SetSpeed(int speed);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TColor TextColor() const { return m_textColor; }
    void SetTextColor(TColor color);

private:
    TKitStatusPanel* m_owner;
    TKitGaugeStyle m_style = gsPercent;
    int m_position = 0;
    int m_speed = 4;
    TColor m_color = clHighlight;
    TColor m_textColor = clHighlightText;
};

// One panel of a TKitStatusBar. Made by the bar's Panels().Add() (or with the
// collection as its owner) and freed by the collection or by delete.
class TKitStatusPanel : public QObject {
    Q_OBJECT
public:
    // collection must be a TKitStatusPanels; the panel is appended to it.
    explicit TKitStatusPanel(QObject* collection);
    ~TKitStatusPanel() override;

    // Copies everything but BorderWidth and OnClick, PanelType last.
    void Assign(const TKitStatusPanel& source);
    // The type's name, or Text for the plain and ellipsis types; the class
    // name when that is empty.
    QString DisplayName() const;

    TKitStatusPanels* Collection() const { return m_collection; }
    TKitStatusBar* StatusBar() const;
    int Index() const;
    void SetIndex(int index);

    TKitGaugeAttrs& GaugeAttrs() { return m_gaugeAttrs; }
    const TKitGaugeAttrs& GaugeAttrs() const { return m_gaugeAttrs; }
    void SetGaugeAttrs(const TKitGaugeAttrs& attrs) { m_gaugeAttrs.Assign(attrs); }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    TStatusPanelBevel Bevel() const { return m_bevel; }
    void SetBevel(TStatusPanelBevel bevel);
    // Blank pixels inside the panel's bevel on each side.
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);
    TKitStatusPanelType PanelType() const { return m_panelType; }
    void SetPanelType(TKitStatusPanelType type);
    // A picture without an alpha channel is drawn with its bottom-left
    // pixel's colour left out; one with alpha as it is.
    const QPixmap& Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap& glyph);
    const QString& Text() const { return m_text; }
    void SetText(const QString& text);
    // The class library's letters ("yyyy.mm.dd", "hh:mm"); empty stands for
    // the short date and the long time format.
    const QString& DateFormat() const { return m_dateFormat; }
    void SetDateFormat(const QString& format);
    const QString& TimeFormat() const { return m_timeFormat; }
    void SetTimeFormat(const QString& format);
    // The panel's own flag and the bar's.
    bool Enabled() const;
    void SetEnabled(bool enabled);
    int Width() const { return m_width; }
    // Ignored while AutoFit is on.
    void SetWidth(int width);
    bool AutoFit() const { return m_autoFit; }
    void SetAutoFit(bool on);
    // For an ellipsis panel whose hint is "...", its whole Text; OnHintText
    // may change the result.
    QString Hint() const;
    void SetHint(const QString& hint) { m_hint = hint; }

    // The lock-key state the keyboard monitor last reported.
    bool LockState() const { return m_lockState; }
    // Pixels the indeterminate gauge has moved from the panel's left edge.
    int GaugePosition() const { return m_gaugePosition; }

    // Paints the panel now.
    void Redraw();
    // The timer's call: date and time panels renew their text, an
    // indeterminate gauge moves on.
    void TimerRefresh();

    // Called for a sptOwnerDraw panel in place of its own painting.
    TKitDrawPanelEvent OnDrawPanel;
    TKitPanelHintTextEvent OnHintText;
    // A click inside the panel; the sender is the panel.
    TKitNotifyEvent OnClick;

private:
    friend class TKitStatusBar;
    friend class TKitStatusPanels;
    friend class TKitGaugeAttrs;

    // What keeps the panel current while it is enabled.
    enum class Service { None, Timer, KeyHook, Monitor };

    Service ServiceOfType() const;
    void JoinService();
    void LeaveService();
    int LockKey() const;
    bool IsLockType() const { return m_panelType >= sptCapsLock && m_panelType <= sptScrollLock; }
    bool IsDateTimeType() const { return m_panelType >= sptDate && m_panelType <= sptTimeDate; }
    bool IsIndeterminateGauge() const { return m_panelType == sptGauge && m_gaugeAttrs.Indeterminate(); }
    void RestartGauge();
    void GaugeStyleChanging(TKitGaugeStyle newStyle);
    void GaugeColorChanged();

    void AutoFitWidth();
    void UpdateDateTimeText();
    void GlyphChanged();
    void DrawPanel(QPainter& canvas, const QRect& rect);
    void EnabledChanged();
    void DoHintText(QString& hint) const;
    void PaintPanel(QPainter& canvas, const QRect& rect);
    int TextFlags() const;
    void DrawKeyLock(QPainter& p, const QRect& area);
    void DrawTextPanel(QPainter& p, QRect area);
    void DrawGlyphPanel(QPainter& p, const QRect& area);
    void DrawPercentGauge(QPainter& p, const QRect& area);
    void DrawIndeterminateGauge(QPainter& p, const QRect& area);
    const QPixmap& GaugeBitmap();
    void CreateGaugeBitmap();
    void Click();

    TKitStatusPanels* m_collection = nullptr;
    bool m_lockState = false;
    TKitStatusPanelType m_panelType = sptNormal;
    bool m_autoFit = false;
    bool m_enabled = true;
    QString m_timeFormat;
    QString m_dateFormat;
    QString m_text;
    QPixmap m_glyph;
    int m_gaugePosition = 0;
    int m_gaugeStep = 1;
    QString m_hint;
    TKitGaugeAttrs m_gaugeAttrs;
    QPixmap m_gaugeBitmap;
    int m_borderWidth = 0;
    TAlignment m_alignment = taLeftJustify;
    TStatusPanelBevel m_bevel = pbLowered;
    int m_width = 50;
    Service m_service = Service::None;
};

// The panels of a bar and the one timer that keeps its timed panels current.
class TKitStatusPanels : public QObject {
    Q_OBJECT
public:
    explicit TKitStatusPanels(TKitStatusBar* bar);
    ~TKitStatusPanels() override;

    TKitStatusBar* StatusBar() const { return m_bar; }
    TKitStatusPanel* Add();
    int Count() const { return int(m_items.size()); }
    // EListError for an index outside 0 .. Count - 1.
    TKitStatusPanel* Items(int index) const;
    void Delete(int index);
    void Clear();
    // Replaces the panels by copies of source's.
    void Assign(const TKitStatusPanels& source);
    // Redraws asked for in between are made together at the end.
    void BeginUpdate();
    void EndUpdate();

    // The timer while timed panels exist: 60000 ms for date panels only,
    // 1000 ms with a time panel, 50 ms with an animated gauge.
    const QTimer* Timer() const { return m_timer; }
    // The timer's handler.
    void TimerTick();

private:
    friend class TKitStatusBar;
    friend class TKitStatusPanel;

    void Added(TKitStatusPanel* panel);
    void Removed(TKitStatusPanel* panel);
    void Move(TKitStatusPanel* panel, int index);
    void RegisterTimer(TKitStatusPanel* panel);
    void DeregisterTimer(TKitStatusPanel* panel);

    TKitStatusBar* m_bar;
    QList<TKitStatusPanel*> m_items;
    QTimer* m_timer = nullptr;
    QList<TKitStatusPanel*> m_timedPanels;
    double m_lastDate = 0;
    int m_updateCount = 0;
    QRegion m_pendingRedraw;
    bool m_inTick = false;
};

// The bar. Panels are placed left to right by their widths, the last one
// reaching to the right edge (or to the size grip).
class TKitStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TKitStatusBar(QWidget* parent = nullptr);
    ~TKitStatusBar() override;

    TKitStatusPanels* Panels() const { return m_panels; }
    void SetPanels(const TKitStatusPanels& panels) { m_panels->Assign(panels); }
    QString Version() const { return QStringLiteral("TKitStatusBar v1.22"); }

    // Lock-key panels follow the optional keyboard-monitor library instead of
    // the program's own key events. Stays off when the library cannot be
    // loaded.
    bool UseMonitorDLL() const { return m_useMonitorDLL; }
    void SetUseMonitorDLL(bool on);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);
    // A grip in the bottom-right corner to size the window by; it hides while
    // the window is maximised.
    bool SizeGrip() const { return m_sizeGrip; }
    void SetSizeGrip(bool on);
    // The panel whose Text follows the status tips of the widgets in the
    // bar's window (the hint of the control under the mouse); -1 for none.
    int HintPanel() const { return m_hintPanel; }
    void SetHintPanel(int index);

    // Paints panel index now; EListError for an index outside the panels.
    void RedrawPanel(int index);
    // The panel's rectangle in the bar; empty for an index outside.
    QRect GetPanelRect(int index) const;

    // The notification of the keyboard monitor: a message of the number the
    // monitor gave the bar's window, with the virtual key in the low byte of
    // wParam and the toggle state in bit 0 of lParam. Returns whether it was
    // the monitor's message.
    bool HandleMonitorMessage(qint32 message, quint32 wParam, qint32 lParam);
    // The message number the monitor gave the bar's window (0: none).
    qint32 MonitorMessage() const { return m_monitorMessage; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Called before each panel's own painting.
    TKitDrawPanelEvent OnDrawPanel;
    // A click on the bar, after the clicked panel's OnClick; the sender is the bar.
    TKitNotifyEvent OnClick;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TKitStatusPanel;
    friend class TKitStatusPanels;

    void DrawPanel(QPainter& canvas, TKitStatusPanel* panel, const QRect& rect);
    void PaintBevel(QPainter& canvas, const QRect& rect, TStatusPanelBevel bevel) const;
    void RepaintRegion(const QRegion& region);
    void LayoutChanged();
    void UpdateMeasureFont();
    void HintShow(const QPoint& pos, QString& hint, QRect& cursorRect) const;
    void Click(const QPoint& pos);
    void WatchWindow();
    void RefreshLockPanels();
    void RegisterMainWinHook(TKitStatusPanel* panel);
    void DeregisterMainWinHook(TKitStatusPanel* panel);
    void MainWindowHook(Qt::ApplicationState state);
    void RegisterWithMonitor();
    void DeregisterFromMonitor();
    void RegisterMonitorWindowNow();
    int GripWidth() const;
    void ReportPaintError();

    TKitStatusPanels* m_panels = nullptr;
    QList<TKitStatusPanel*> m_mainWinHookPanels;
    bool m_useMonitorDLL = false;
    int m_monitorRegistrations = 0;
    qint32 m_monitorMessage = 0;
    quint32 m_monitorWindow = 0;
    TColor m_color = clBtnFace;
    TColor m_fontColor = clWindowText;
    bool m_sizeGrip = true;
    QSizeGrip* m_grip = nullptr;
    int m_hintPanel = -1;
    QPointer<QWidget> m_watchedWindow;
    QMetaObject::Connection m_appStateConnection;
    bool m_painting = false;
    std::exception_ptr m_paintError;
    bool m_leftDown = false;
};
