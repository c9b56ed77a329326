#pragma once

// Edits with a button: the combo edit and its file-name and directory edits,
// which open the file or folder dialog.

#include "components/kitctrls.h"

#include <QFlags>
#include <QKeyCombination>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include <functional>

class TCustomComboEdit;

enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
enum TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };
enum TDirDialogKind { dkClassic, dkWin32 };

// Options of the file dialog. Here they act as follows: ofAllowMultiSelect
// lets several files be chosen, ofOverwritePrompt asks before a save dialog
// names an existing file, ofShowHelp adds a help button; an open dialog always
// asks for an existing file, and the rest describe the Windows dialog only.
enum TOpenOption {
    ofReadOnly = 1 << 0,
    ofOverwritePrompt = 1 << 1,
    ofHideReadOnly = 1 << 2,
    ofNoChangeDir = 1 << 3,
    ofShowHelp = 1 << 4,
    ofNoValidate = 1 << 5,
    ofAllowMultiSelect = 1 << 6,
    ofExtensionDifferent = 1 << 7,
    ofPathMustExist = 1 << 8,
    ofFileMustExist = 1 << 9,
    ofCreatePrompt = 1 << 10,
    ofShareAware = 1 << 11,
    ofNoReadOnlyReturn = 1 << 12,
    ofNoTestFileCreate = 1 << 13,
    ofNoNetworkButton = 1 << 14,
    ofNoLongNames = 1 << 15,
    ofOldStyleDialog = 1 << 16,
    ofNoDereferenceLinks = 1 << 17,
    ofEnableIncludeNotify = 1 << 18,
    ofEnableSizing = 1 << 19,
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOpenOptions)

// Options of the classic folder dialog. sdAllowCreate offers the dialog's
// "new folder" button; a folder made there exists at once, so there is
// nothing left to create or to confirm for sdPerformCreate and sdPrompt.
enum TSelectDirOpt { sdAllowCreate = 1 << 0, sdPerformCreate = 1 << 1, sdPrompt = 1 << 2 };
Q_DECLARE_FLAGS(TSelectDirOpts, TSelectDirOpt)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSelectDirOpts)

// sender, the name (may be changed), whether the dialog runs / ran (may be
// changed).
using TExecOpenDialogEvent = std::function<void(QObject* sender, QString& name, bool& action)>;

// The button at the right edge of a combo edit.
class TEditButton : public TKitSpeedButton {
    Q_OBJECT
public:
    TEditButton(TCustomComboEdit* edit, QWidget* parent);
    // Swallowed once after a press that closed the edit's popup.
    void Click() override;

protected:
    void Paint(QPainter& painter) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos) override;

private:
    TCustomComboEdit* m_edit;
    bool m_swallowClick = false;
};

// A one-line edit with a small button embedded at its right edge. The
// button, or ClickKey (Alt+Down), runs RunButtonAction unless the edit is
// ReadOnly. A ReadOnly edit, or one without DirectInput, takes no typing,
// paste or cut. Enter and Escape go on to the form's default and cancel
// buttons. Descendants may give the edit a popup control that the button
// opens below the edit and closes again, taking its value.
class TCustomComboEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomComboEdit(QWidget* parent = nullptr);
    ~TCustomComboEdit() override;

    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool on) { m_autoSelect = on; }
    QString ButtonHint() const;
    void SetButtonHint(const QString& hint);
    int ButtonWidth() const;
    // Ignored when not smaller than the space inside the edit's frame.
    void SetButtonWidth(int width);
    QKeyCombination ClickKey() const { return m_clickKey; }
    void SetClickKey(QKeyCombination key) { m_clickKey = key; }
    bool DirectInput() const { return m_directInput; }
    void SetDirectInput(bool on);
    QPixmap Glyph() const;
    // Makes GlyphKind gkCustom.
    void SetGlyph(const QPixmap& glyph);
    TGlyphKind GlyphKind() const { return m_glyphKind; }
    void SetGlyphKind(TGlyphKind kind);
    int NumGlyphs() const;
    void SetNumGlyphs(int count);
    virtual bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool on);

    TEditButton* Button() const { return m_button; }
    bool PopupVisible() const { return m_popupVisible; }
    // Runs RunButtonAction unless ReadOnly.
    void EmbeddedButtonClicked();
    void ClosePopup(bool accept);

signals:
    void OnButtonClick();
    // The text changed while no popup is shown.
    void OnChange();

protected:
    virtual QPixmap DefaultButtonGlyph() const;
    // Whether the text may take a popup's value.
    virtual bool EditCanModify() const { return !ReadOnly(); }
    virtual void RunButtonAction();

    // The popup extension; the edit has no popup until a descendant sets one.
    QWidget* Popup() const { return m_popup; }
    void SetPopup(QWidget* popup) { m_popup = popup; }
    // 0: right edges aligned, 1: left edges aligned, 2: no adjustment.
    int PopupAlign() const { return m_popupAlign; }
    void SetPopupAlign(int align) { m_popupAlign = align; }
    void OpenPopup(bool disableEdit);
    virtual void PlacePopupAt(int x, int y);
    virtual void ConcealPopup();
    virtual bool PopupAcceptable() const { return true; }
    virtual void TakePopupValue(const QVariant& value);
    virtual void PutValueToPopup(const QVariant&) { }
    virtual QVariant ReadPopupValue() const { return {}; }
    virtual void PopupTextChanged() { }

    // Focuses the edit when it can take the focus.
    void FocusIfPossible();

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Set while the construction of a kit edit sets its button directly.
    bool m_constructing = false;

private:
    int FrameWidth() const;
    void PlaceButton();
    void ApplyReadOnly();
    void UpdateMinimumHeight();
    // fitWidth: the default and drop-down glyphs set the button's width;
    // after a width set explicitly they keep it.
    void RecreateGlyph(bool fitWidth);
    void Change();

    QWidget* m_btnControl;
    TEditButton* m_button;
    QKeyCombination m_clickKey { Qt::AltModifier, Qt::Key_Down };
    bool m_readOnly = false;
    bool m_directInput = true;
    bool m_autoSelect = true;
    TGlyphKind m_glyphKind = gkCustom;
    QPointer<QWidget> m_popup;
    bool m_popupVisible = false;
    int m_popupAlign = 0;
};

// A combo edit for file or folder names: files dropped on it (with
// AcceptFiles), events before and after its dialog, and the folder glyph.
class TFileDirEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TFileDirEdit(QWidget* parent = nullptr);

    bool AcceptFiles() const { return m_acceptFiles; }
    void SetAcceptFiles(bool on);
    // The text with each name on disk as it is spelt there.
    virtual QString LongPathText() const = 0;
    virtual QString ShortPathText() const = 0;

    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;

    // The folder glyph of the kit's file and folder edits (14 x 12).
    static QPixmap FolderGlyph();

signals:
    void OnDropFiles();

protected:
    QPixmap DefaultButtonGlyph() const override;
    virtual void TakeDroppedName(const QString& name) = 0;
    virtual void ClearDialogFiles() { }
    virtual void FireBeforeDialog(QString& name, bool& action);
    virtual void FireAfterDialog(QString& name, bool& action);
    // Takes the names as one drop: only the first unless several are wanted.
    void DropFiles(const QStringList& names);

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    bool m_multiple = false;

private:
    bool m_acceptFiles = false;
};

// A file name edit whose button runs an open or save dialog. FileName is the
// text without the double quotes that a name with blanks is shown in.
class TFilenameEdit : public TFileDirEdit {
    Q_OBJECT
public:
    explicit TFilenameEdit(QWidget* parent = nullptr);

    TFileDialogKind DialogKind() const { return m_dialogKind; }
    void SetDialogKind(TFileDialogKind kind) { m_dialogKind = kind; }
    QString DefaultExt() const { return m_defaultExt; }
    void SetDefaultExt(const QString& ext) { m_defaultExt = ext; }
    // The text itself when such a file exists, else the whole trimmed text
    // without the quotes around it.
    QString FileName() const;
    // Raises EComboEditError for a name no file could have, leaving the text
    // as it was.
    void SetFileName(const QString& name);
    // "description|pattern;pattern|...", as the Windows dialogs took it.
    QString Filter() const { return m_filter; }
    void SetFilter(const QString& filter) { m_filter = filter; }
    // 1-based; the dialog leaves the filter the user chose.
    int FilterIndex() const { return m_filterIndex; }
    void SetFilterIndex(int index) { m_filterIndex = index; }
    QString InitialDir() const { return m_initialDir; }
    void SetInitialDir(const QString& dir) { m_initialDir = dir; }
    QStringList HistoryList() const { return m_historyList; }
    void SetHistoryList(const QStringList& list) { m_historyList = list; }
    TOpenOptions DialogOptions() const { return m_options; }
    void SetDialogOptions(TOpenOptions options);
    QString DialogTitle() const { return m_title; }
    void SetDialogTitle(const QString& title) { m_title = title; }
    // The names chosen in or dropped on the edit with several allowed.
    QStringList DialogFiles() const { return m_files; }

    QString LongPathText() const override;
    QString ShortPathText() const override;

    static QString QuoteFileName(const QString& name);
    static QString FileNameFromText(const QString& text);
    // The Windows filter as Qt's name filters; "*.*" is every file, and
    // patterns match without regard to letter case.
    static QStringList QtNameFilters(const QString& filter);

protected:
    void TakeDroppedName(const QString& name) override;
    void ClearDialogFiles() override { m_files.clear(); }
    void RunButtonAction() override;

private:
    TFileDialogKind m_dialogKind = dkOpen;
    QString m_defaultExt;
    QString m_dialogFileName;
    QString m_filter = QStringLiteral("All files (*.*)|*.*");
    int m_filterIndex = 1;
    QString m_initialDir;
    QStringList m_historyList;
    TOpenOptions m_options = ofHideReadOnly;
    QString m_title = QStringLiteral("Browse");
    QStringList m_files;
};

// A folder edit whose button runs a folder dialog; with MultipleDirs the text
// holds several folders separated by ";", and a chosen one is appended.
class TDirectoryEdit : public TFileDirEdit {
    Q_OBJECT
public:
    explicit TDirectoryEdit(QWidget* parent = nullptr);

    // dkWin32 runs PickDirectory with DialogText; dkClassic the classic folder
    // dialog with DialogOptions.
    TDirDialogKind DialogKind() const { return m_dialogKind; }
    void SetDialogKind(TDirDialogKind kind) { m_dialogKind = kind; }
    QString DialogText() const { return m_dialogText; }
    void SetDialogText(const QString& text) { m_dialogText = text; }
    TSelectDirOpts DialogOptions() const { return m_dialogOptions; }
    void SetDialogOptions(TSelectDirOpts options) { m_dialogOptions = options; }
    QString InitialDir() const { return m_initialDir; }
    void SetInitialDir(const QString& dir) { m_initialDir = dir; }
    bool MultipleDirs() const { return m_multiple; }
    void SetMultipleDirs(bool on) { m_multiple = on; }

    QString LongPathText() const override;
    QString ShortPathText() const override;

protected:
    void TakeDroppedName(const QString& name) override;
    void RunButtonAction() override;

private:
    QString ConvertedText(QString (*convert)(const QString&)) const;

    TDirDialogKind m_dialogKind = dkClassic;
    QString m_dialogText;
    TSelectDirOpts m_dialogOptions;
    QString m_initialDir;
};
