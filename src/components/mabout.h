#pragma once

#include <QDialog>
#include <QString>

class BaseWindowHost;
class QFrame;
class QLabel;
class QPushButton;
class TVersionInfoResource;

// The about box of the reminders and contacts programs: the name,
// description, version, maker and legal notice of a program file, read from
// its version resource when the box is first shown, beside the application
// icon drawn at double size. O.K. (or Esc) closes it; it frees itself.
//
// With a host, it is that program's own about box: it counts among the
// program's open windows (the one that brings the count to 0 ends the
// program) and keeps its placement in section "FAbout" of the settings file
// both programs share, "korvel.ini". Each program gives it its caption.
class TFMAbout : public QDialog {
    Q_OBJECT
public:
    // programFile: whose version information is shown; empty: the running
    // program.
    explicit TFMAbout(BaseWindowHost* host = nullptr, const QString& programFile = {}, QWidget* parent = nullptr);

    static constexpr int DesignClientWidth = 352;
    static constexpr int DesignClientHeight = 209;
    // The client size of a program's box without a stored placement.
    static constexpr int DefaultClientWidth = 352;
    static constexpr int DefaultClientHeight = 299;

    QFrame* Panel1;
    QLabel* Image1;
    // Values: name, description, version, maker, legal notice.
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    // Their captions.
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QPushButton* Button1;
    TVersionInfoResource* VersionInfo;

    void ButtonOKClick();

    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    // Runs once, just before the box is first shown.
    virtual void FormCreate();
    virtual void FormClose();

    void closeEvent(QCloseEvent* event) override;

private:
    void ShowApplicationIcon();

    BaseWindowHost* m_host;
    QString m_programFile;
    bool m_created = false;
    bool m_closed = false;
};
