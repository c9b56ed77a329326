#pragma once

#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QString>

class ContextHelpMode;
class QAction;
class QMenu;
class QMenuBar;
class TCaptionButton;
class TKitStatusBar;

// What a program lends the windows built on TBaseWindow: its settings files,
// its count of open windows and its about box.
class BaseWindowHost {
public:
    // Which windows get the default sizes, and which placement they restore.
    enum class PlacementRule {
        // Every window gets the size defaults; a sizeable window restores its
        // whole placement, a fixed one its position (the reminders program).
        ByFrame,
        // Only sizeable windows get the size defaults; a window with a default
        // client width restores its whole placement, any other its position
        // (the contacts program).
        ByDefaultWidth,
    };

    // The settings file ("korvel.ini" in the program folder), for the
    // taskbar setting.
    virtual QString SettingsFile() const = 0;
    // The file, in the program folder, that holds the window placements.
    virtual QString PlacementFileName() const = 0;
    virtual PlacementRule Placement() const = 0;
    // The program's hidden main form.
    virtual QWidget* MainForm() = 0;
    // The open-window count: a window adds itself when it is made and takes
    // itself away when it closes; the one that brings the count to 0 or
    // below ends the program.
    virtual void WindowOpened() = 0;
    virtual void WindowClosed() = 0;
    // The "&about" menu item.
    virtual void ShowAbout() = 0;

protected:
    ~BaseWindowHost() = default;
};

// The base of every ordinary window of the reminders and contacts programs:
// the remembered placement, a menu "&Info" with the about box, a status bar
// with the date, the time and the hints of the window's controls, a minimum
// size, minimising as the whole program, context help, and membership in the
// program's count of open windows. A sizeable window also scales its contents
// with its size, keeping their proportions, and has a help button at the top
// right (Shift+F1).
//
// A derived window builds its controls on Client() at the default client size
// and may set the five fields below in its constructor. The base creation
// (FormCreate) runs once, just before the window is first shown (or earlier,
// when a derived constructor calls it). Closing the window, by close() or by
// done(), saves its placement, takes it out of the count and frees it (the
// window is deleted on close; after a modal run only the result remains).
//
// Long handlers let the user's events in (EventPump). A window closed by one
// of those events is freed only when no handler runs below it any more, as
// they may still be working on its controls; and the window's first showing,
// in which it fills itself, lets no event in until it is done.
//
// Hints: each window shows the status tips of its own controls and menu items
// in the bar's third panel. No window hands a hint handler on to another, so
// closing windows in any order never leaves a hint with a window that is gone.
class TBaseWindow : public QDialog {
    Q_OBJECT
public:
    enum class Frame {
        Single, // fixed size
        Sizeable,
    };

    TBaseWindow(BaseWindowHost& host, Frame frame, QWidget* parent = nullptr);
    ~TBaseWindow() override;

    // 0 or empty: the default (360, 300, 472, 352, the window's name). The
    // minimum is the size of the whole window with its frame; the default
    // client size is the size of a window without a stored placement and the
    // reference size of the scaling.
    int MinTrackWidth = 0;
    int MinTrackHeight = 0;
    int DefaultClientWidth = 0;
    int DefaultClientHeight = 0;
    QString PlacementSection;

    static constexpr int DefaultMinTrackWidth = 360;
    static constexpr int DefaultMinTrackHeight = 300;
    static constexpr int DefaultWidth = 472;
    static constexpr int DefaultHeight = 352;

    Frame FrameStyle() const { return m_frame; }
    // Where a derived window puts its controls: below the menu, the status
    // bar at its bottom.
    QWidget* Client() const { return m_client; }
    TKitStatusBar* SBar() const { return m_bar; }
    QMenuBar* Menu() const { return m_menu; }
    QAction* MAbout() const { return m_about; }
    // Only on sizeable windows.
    TCaptionButton* BHelp() const { return m_helpButton; }
    bool InHelpMode() const;

    // The hint panel's text: progress of long work (export, import).
    void ShowStatusText(const QString& text);

    void MAboutClick();
    // Help mode: the next click opens the help of the control under it.
    void BHelpClick();

    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void FormCreate();
    bool FormCreated() const { return m_created; }

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormClose();
    void FormResize();
    void ScaleMaximized();
    void ApplyMinTrackSize();
    void AlignControls();

    BaseWindowHost& m_host;
    Frame m_frame;
    QWidget* m_client;
    QMenuBar* m_menu;
    QMenu* m_info;
    QAction* m_about;
    TKitStatusBar* m_bar;
    TCaptionButton* m_helpButton = nullptr;
    ContextHelpMode* m_helpMode;
    // The menu and the status bar stand outside the contents that scale.
    QFont m_menuFont;
    QFont m_barFont;
    bool m_created = false;
    bool m_closed = false;
    bool m_shown = false;
};
