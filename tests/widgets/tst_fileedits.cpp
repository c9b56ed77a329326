#include "components/contexthelp.h"
#include "components/kiterrors.h"
#include "components/tooledit.h"
#include "platform/dialogs.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

// Files dropped from a file manager: the drag enters, then drops if it was
// accepted.
void dropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

void clickButton(TCustomComboEdit& edit)
{
    QTest::mouseClick(edit.Button(), Qt::LeftButton, {}, QPoint(5, 5));
}

// A combo edit with a popup list, as a descendant may give it.
class PopupEdit : public TCustomComboEdit {
public:
    explicit PopupEdit(QWidget* parent)
        : TCustomComboEdit(parent)
        , list(new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint))
    {
        list->resize(200, 100);
        SetPopup(list.get());
    }
    using TCustomComboEdit::SetPopupAlign;
    std::unique_ptr<QWidget> list;
    QString value = QStringLiteral("z popupu");
    QVariant given;

protected:
    void PutValueToPopup(const QVariant& v) override { given = v; }
    QVariant ReadPopupValue() const override { return value; }
};

} // namespace

class TestFileEdits : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fileNameKeepsBlanks();
    void settingFileNameQuotes();
    void unacceptableNameRaises();
    void nameFiltersForQt();
    void fileDialogAnswers();
    void fileDialogEvents();
    void multiSelectDialog();
    void realFileDialogs();
    void clickKeyAndReadOnly();
    void enterAndEscapeReachTheDialog();
    void directoryDialogStart();
    void directoryDialogAppends();
    void droppedFiles();
    void droppedFolders();
    void buttonPlacementAndGlyphs();
    void editButtonPainting();
    void popupExtension();

private:
    ScriptedDialogs* m_scripted = nullptr;
    QTemporaryDir* m_tmp = nullptr;
    QString path(const QString& name) const { return m_tmp->filePath(name); }
};

void TestFileEdits::init()
{
    m_scripted = new ScriptedDialogs;
    m_tmp = new QTemporaryDir;
    QVERIFY(QDir(m_tmp->path()).mkpath(QStringLiteral("Moje zvuky")));
    touch(path(QStringLiteral("Moje zvuky/gong 1.wav")));
    touch(path(QStringLiteral("a.wav")));
    touch(path(QStringLiteral("b.wav")));
    touch(path(QStringLiteral("c.wav")));
}

void TestFileEdits::cleanup()
{
    delete m_tmp;
    delete m_scripted;
}

void TestFileEdits::fileNameKeepsBlanks()
{
    TFilenameEdit edit;
    const QString existing = path(QStringLiteral("Moje zvuky/gong 1.wav"));
    edit.setText(existing);
    QCOMPARE(edit.FileName(), existing);
    // A file still to be made keeps every word of its name.
    const QString fresh = path(QStringLiteral("Moje zvuky/nový export 2.csv"));
    edit.setText(fresh);
    QCOMPARE(edit.FileName(), fresh);
    edit.setText(u'"' + fresh + u'"');
    QCOMPARE(edit.FileName(), fresh);
    edit.setText(QStringLiteral("  ") + fresh + QStringLiteral("  "));
    QCOMPARE(edit.FileName(), fresh);
    edit.setText(QString());
    QCOMPARE(edit.FileName(), QString());
}

void TestFileEdits::settingFileNameQuotes()
{
    TFilenameEdit edit;
    const QString fresh = path(QStringLiteral("nový soubor.csv"));
    edit.SetFileName(fresh);
    QCOMPARE(edit.text(), u'"' + fresh + u'"');
    QCOMPARE(edit.FileName(), fresh);
    edit.SetFileName(path(QStringLiteral("a.wav")));
    QCOMPARE(edit.text(), path(QStringLiteral("a.wav")));
    edit.SetFileName(QStringLiteral("\"/tmp/x y"));
    QCOMPARE(edit.text(), QStringLiteral("\"/tmp/x y"));
    edit.SetFileName(QString());
    QCOMPARE(edit.text(), QString());

    QCOMPARE(TFilenameEdit::QuoteFileName(QStringLiteral("a b")), QStringLiteral("\"a b\""));
    QCOMPARE(TFilenameEdit::QuoteFileName(QStringLiteral("ab")), QStringLiteral("ab"));
    QCOMPARE(TFilenameEdit::QuoteFileName(QString()), QString());
}

void TestFileEdits::unacceptableNameRaises()
{
    TFilenameEdit edit;
    edit.setText(QStringLiteral("old.wav"));
    try {
        edit.SetFileName(QStringLiteral("a|b.wav"));
        QFAIL("no exception");
    } catch (const EComboEditError& e) {
        QCOMPARE(e.message(), QStringLiteral("Invalid file name - a|b.wav"));
    }
    QCOMPARE(edit.text(), QStringLiteral("old.wav"));
    // The whole name is tested, also after a blank.
    QVERIFY_THROWS_EXCEPTION(EComboEditError, edit.SetFileName(QStringLiteral("/tmp/a b|c.wav")));
    QVERIFY_THROWS_EXCEPTION(EComboEditError, edit.SetFileName(QStringLiteral("take[2].wav")));
    QCOMPARE(edit.text(), QStringLiteral("old.wav"));
}

void TestFileEdits::nameFiltersForQt()
{
    QCOMPARE(TFilenameEdit::QtNameFilters(QStringLiteral("zvukové soubory|*.wav")),
        QStringList { QStringLiteral("zvukové soubory (*.[wW][aA][vV])") });
    QCOMPARE(TFilenameEdit::QtNameFilters(QStringLiteral("CSVfiles (*.csv)|*.csv|All files (*.*)|*.*")),
        (QStringList { QStringLiteral("CSVfiles (*.[cC][sS][vV])"), QStringLiteral("All files (*)") }));
    QCOMPARE(TFilenameEdit::QtNameFilters(QStringLiteral("texty|*.txt; *.log|bez vzoru")),
        QStringList { QStringLiteral("texty (*.[tT][xX][tT] *.[lL][oO][gG])") });
    QVERIFY(TFilenameEdit::QtNameFilters(QString()).isEmpty());

    // The patterns find names in either case; "*.*" finds names without a dot.
    touch(path(QStringLiteral("HLASITY.WAV")));
    touch(path(QStringLiteral("bez_pripony")));
    QStringList wav = QDir(m_tmp->path()).entryList({ QStringLiteral("*.[wW][aA][vV]") }, QDir::Files);
    wav.sort();
    QCOMPARE(wav, (QStringList { "HLASITY.WAV", "a.wav", "b.wav", "c.wav" }));
    QVERIFY(QDir(m_tmp->path()).entryList({ QStringLiteral("*") }, QDir::Files).contains("bez_pripony"));
}

void TestFileEdits::fileDialogAnswers()
{
    TFilenameEdit edit;
    edit.SetFilter(QStringLiteral("CSVfiles (*.csv)|*.csv|All files (*.*)|*.*"));
    edit.SetFilterIndex(2);
    edit.SetDialogTitle(QStringLiteral("Vyhledání souboru"));
    edit.SetInitialDir(path(QStringLiteral("Moje zvuky")));
    edit.show();

    // Cancelled: nothing changes.
    clickButton(edit);
    QCOMPARE(Dialogs::fileRequests().size(), 1);
    Dialogs::FileRequest asked = Dialogs::fileRequests().last();
    QCOMPARE(asked.caption, QStringLiteral("Vyhledání souboru"));
    QCOMPARE(asked.dir, path(QStringLiteral("Moje zvuky")));
    QCOMPARE(asked.filter, QStringLiteral("CSVfiles (*.[cC][sS][vV]);;All files (*)"));
    QCOMPARE(asked.selectedFilter, QStringLiteral("All files (*)"));
    QCOMPARE(edit.text(), QString());

    // Chosen: the name with a blank is shown quoted; its folder becomes
    // InitialDir.
    const QString chosen = path(QStringLiteral("Moje zvuky/gong 1.wav"));
    Dialogs::queueFileAnswer(chosen);
    clickButton(edit);
    QCOMPARE(edit.text(), u'"' + chosen + u'"');
    QCOMPARE(edit.FileName(), chosen);
    QCOMPARE(edit.InitialDir(), path(QStringLiteral("Moje zvuky/")));
    QCOMPARE(edit.DialogFiles(), QStringList { chosen });

    // A typed name in an existing folder: the dialog opens on it there.
    edit.setText(path(QStringLiteral("nový.csv")));
    clickButton(edit);
    QCOMPARE(Dialogs::fileRequests().last().dir, path(QStringLiteral("nový.csv")));
    QCOMPARE(edit.InitialDir(), m_tmp->path() + u'/');
    QCOMPARE(edit.text(), path(QStringLiteral("nový.csv")));
}

void TestFileEdits::fileDialogEvents()
{
    TFilenameEdit edit;
    edit.show();
    QSignalSpy buttonClicks(&edit, &TCustomComboEdit::OnButtonClick);
    int before = 0;
    edit.OnBeforeDialog = [&](QObject* sender, QString& name, bool& action) {
        QCOMPARE(sender, &edit);
        ++before;
        action = name != QStringLiteral("stop");
    };
    edit.setText(QStringLiteral("stop"));
    clickButton(edit);
    QCOMPARE(before, 1);
    QCOMPARE(buttonClicks.size(), 1);
    QVERIFY(Dialogs::fileRequests().isEmpty());

    // The after-dialog event sees the answer and may change it.
    edit.setText(QString());
    edit.OnAfterDialog = [](QObject*, QString& name, bool& action) {
        QVERIFY(action);
        name = name.toUpper();
    };
    Dialogs::queueFileAnswer(QStringLiteral("/tmp/x.wav"));
    clickButton(edit);
    QCOMPARE(edit.text(), QStringLiteral("/TMP/X.WAV"));

    // ... or turn a cancel into a name.
    edit.OnAfterDialog = [](QObject*, QString& name, bool& action) {
        QVERIFY(!action);
        name = QStringLiteral("/tmp/náhradní.wav");
        action = true;
    };
    clickButton(edit);
    QCOMPARE(edit.text(), QStringLiteral("/tmp/náhradní.wav"));
}

void TestFileEdits::multiSelectDialog()
{
    TFilenameEdit edit;
    edit.SetDialogOptions(ofHideReadOnly | ofAllowMultiSelect);
    edit.show();
    Dialogs::queueFileAnswer(path("a.wav") + u'\n' + path("b.wav"));
    clickButton(edit);
    QCOMPARE(edit.DialogFiles(), (QStringList { path("a.wav"), path("b.wav") }));
    QCOMPARE(edit.FileName(), path("a.wav"));
    // Setting the name empties the list; dropping multi-select empties it too.
    edit.SetFileName(path("c.wav"));
    QVERIFY(edit.DialogFiles().isEmpty());
    Dialogs::queueFileAnswer(path("a.wav") + u'\n' + path("b.wav"));
    clickButton(edit);
    edit.SetDialogOptions(ofHideReadOnly);
    QVERIFY(edit.DialogFiles().isEmpty());
}

void TestFileEdits::realFileDialogs()
{
    Dialogs::setScripted(false);
    TFilenameEdit edit;
    edit.SetFilter(QStringLiteral("zvukové soubory|*.wav"));
    edit.SetInitialDir(m_tmp->path());
    edit.SetDialogOptions(ofHideReadOnly | ofFileMustExist | ofShowHelp);
    SetHelpContext(&edit, 310);
    edit.show();
    touch(path(QStringLiteral("HLASITY.WAV")));

    // Qt's dialog gets the filter in both letter cases, shows only its
    // description, and has the help button; the name typed is taken.
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QFileSystemModel*>()->nameFilters(), QStringList { "*.[wW][aA][vV]" });
        QCOMPARE(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText(),
            QStringLiteral("zvukové soubory"));
        QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("HelpButton")));
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("HLASITY.WAV"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
        checked = true;
    });
    clickButton(edit);
    QVERIFY(checked);
    QCOMPARE(edit.FileName(), path(QStringLiteral("HLASITY.WAV")));

    // A save dialog adds the default extension to a bare name.
    TFilenameEdit target;
    target.SetDialogKind(dkSave);
    target.SetDefaultExt(QStringLiteral(".csv"));
    target.SetFilter(QStringLiteral("CSVfiles (*.csv)|*.csv|All files (*.*)|*.*"));
    target.SetInitialDir(m_tmp->path());
    target.show();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("HelpButton")));
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("kontakty 2024"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
    });
    clickButton(target);
    QCOMPARE(target.FileName(), path(QStringLiteral("kontakty 2024.csv")));
    QCOMPARE(target.text(), u'"' + path(QStringLiteral("kontakty 2024.csv")) + u'"');
}

void TestFileEdits::clickKeyAndReadOnly()
{
    TFilenameEdit edit;
    edit.show();
    edit.setFocus();
    edit.setText(QStringLiteral("abc"));

    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(Dialogs::fileRequests().size(), 1);
    QCOMPARE(edit.text(), QStringLiteral("abc"));
    QTest::keyClick(&edit, Qt::Key_F4);
    QCOMPARE(Dialogs::fileRequests().size(), 1);
    edit.SetClickKey(QKeyCombination(Qt::Key_F4));
    QTest::keyClick(&edit, Qt::Key_F4);
    QCOMPARE(Dialogs::fileRequests().size(), 2);

    // Without a button the key is the edit's.
    edit.SetButtonWidth(0);
    QCOMPARE(edit.ButtonWidth(), 0);
    QTest::keyClick(&edit, Qt::Key_F4);
    QCOMPARE(Dialogs::fileRequests().size(), 2);
    edit.SetButtonWidth(21);

    // ReadOnly: no button, no key, no typing, no paste, no cut.
    edit.SetReadOnly(true);
    clickButton(edit);
    QTest::keyClick(&edit, Qt::Key_F4);
    QCOMPARE(Dialogs::fileRequests().size(), 2);
    QApplication::clipboard()->setText(QStringLiteral("vloženo"));
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClicks(&edit, "xyz");
    QCOMPARE(edit.text(), QStringLiteral("abc"));

    // Without DirectInput the text is fixed but the button works.
    edit.SetReadOnly(false);
    edit.SetDirectInput(false);
    QTest::keyClicks(&edit, "xyz");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("abc"));
    clickButton(edit);
    QCOMPARE(Dialogs::fileRequests().size(), 3);
    edit.SetDirectInput(true);
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("vloženo"));
}

void TestFileEdits::enterAndEscapeReachTheDialog()
{
    QDialog dialog;
    TFilenameEdit edit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->move(0, 40);
    ok->setDefault(true);
    QSignalSpy okClicks(ok, &QPushButton::clicked);
    dialog.show();
    edit.setFocus();
    edit.setText(QStringLiteral("abc"));

    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(okClicks.size(), 1);
    QCOMPARE(edit.text(), QStringLiteral("abc"));
    QVERIFY(dialog.isVisible());
    QTest::keyClick(&edit, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestFileEdits::directoryDialogStart()
{
    TDirectoryEdit edit;
    edit.show();
    clickButton(edit);
    QCOMPARE(Dialogs::fileRequests().last().dir, QStringLiteral("/"));

    edit.SetInitialDir(path(QStringLiteral("Moje zvuky")));
    clickButton(edit);
    QCOMPARE(Dialogs::fileRequests().last().dir, path(QStringLiteral("Moje zvuky")));

    // A text that is no folder starts at the root, whatever InitialDir says.
    edit.setText(path(QStringLiteral("neni")));
    clickButton(edit);
    QCOMPARE(Dialogs::fileRequests().last().dir, QStringLiteral("/"));

    // A stored form of an existing folder is found.
    edit.setText(m_tmp->path() + QStringLiteral("\\moje ZVUKY"));
    clickButton(edit);
    QCOMPARE(Dialogs::fileRequests().last().dir, path(QStringLiteral("Moje zvuky")));
    QCOMPARE(Dialogs::fileRequests().last().caption, QStringLiteral("Select Directory"));

    edit.SetDialogKind(dkWin32);
    clickButton(edit);
    QCOMPARE(Dialogs::fileRequests().last().caption, QStringLiteral("Browse for Folder"));
    QCOMPARE(Dialogs::fileRequests().size(), 5);
}

void TestFileEdits::directoryDialogAppends()
{
    TDirectoryEdit edit;
    edit.show();
    const QString first = path(QStringLiteral("Moje zvuky"));
    Dialogs::queueFileAnswer(first);
    clickButton(edit);
    QCOMPARE(edit.text(), first);
    QCOMPARE(edit.InitialDir(), first);

    // A second folder replaces the first...
    Dialogs::queueFileAnswer(m_tmp->path());
    clickButton(edit);
    QCOMPARE(edit.text(), m_tmp->path());

    // ...or, with MultipleDirs, comes after ";"; a selection is replaced.
    edit.SetMultipleDirs(true);
    edit.setText(first);
    Dialogs::queueFileAnswer(m_tmp->path());
    clickButton(edit);
    QCOMPARE(edit.text(), first + u';' + m_tmp->path());
    edit.setSelection(0, int(first.size()) + 1);
    Dialogs::queueFileAnswer(first);
    clickButton(edit);
    QCOMPARE(edit.text(), m_tmp->path() + u';' + first);

    // Each folder of the list is spelt as on disk.
    edit.setText(m_tmp->path() + QStringLiteral("/MOJE ZVUKY;;") + m_tmp->path());
    QCOMPARE(edit.LongPathText(), first + u';' + m_tmp->path());
}

void TestFileEdits::droppedFiles()
{
    TFilenameEdit edit;
    QSignalSpy dropped(&edit, &TFileDirEdit::OnDropFiles);
    const QStringList three { path("a.wav"), path("b.wav"), path("c.wav") };

    // Not accepting files: nothing happens.
    dropFiles(&edit, three);
    QCOMPARE(edit.text(), QString());
    QCOMPARE(dropped.size(), 0);

    edit.SetAcceptFiles(true);
    dropFiles(&edit, three);
    QCOMPARE(edit.text(), path("a.wav"));
    QVERIFY(edit.DialogFiles().isEmpty());
    QCOMPARE(dropped.size(), 1);

    edit.SetDialogOptions(ofHideReadOnly | ofAllowMultiSelect);
    dropFiles(&edit, { three[1], three[2], three[0] });
    QCOMPARE(edit.text(), path("b.wav"));
    QCOMPARE(edit.DialogFiles(), (QStringList { three[1], three[2], three[0] }));

    // Long names come whole; a name no file may have is refused with the
    // error box, the text unchanged.
    const QString longName = path(QString(300, u'x') + QStringLiteral(" y.wav"));
    edit.SetDialogOptions(ofHideReadOnly);
    dropFiles(&edit, { longName });
    QCOMPARE(edit.FileName(), longName);
    dropFiles(&edit, { path("bad|name.wav") });
    QCOMPARE(edit.FileName(), longName);
    QCOMPARE(Dialogs::shown().size(), 1);
    QCOMPARE(Dialogs::shown().last().text, QStringLiteral("Invalid file name - ") + path("bad|name.wav"));
}

void TestFileEdits::droppedFolders()
{
    TDirectoryEdit edit;
    edit.SetAcceptFiles(true);
    dropFiles(&edit, { path(QStringLiteral("Moje zvuky/gong 1.wav")), path("a.wav") });
    QCOMPARE(edit.text(), path(QStringLiteral("Moje zvuky/")));
    dropFiles(&edit, { m_tmp->path() });
    QCOMPARE(edit.text(), m_tmp->path());
    edit.SetMultipleDirs(true);
    dropFiles(&edit, { path(QStringLiteral("Moje zvuky")), path("a.wav") });
    QCOMPARE(edit.text(), m_tmp->path() + u';' + path(QStringLiteral("Moje zvuky")) + u';' + m_tmp->path() + u'/');
}

void TestFileEdits::buttonPlacementAndGlyphs()
{
    QWidget window;
    TFilenameEdit edit(&window);
    edit.resize(200, 24);
    window.show();
    const int frame = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &edit);
    QWidget* container = edit.Button()->parentWidget();

    // The folder glyph: 14 wide, so the button keeps its 21 pixels.
    QCOMPARE(edit.GlyphKind(), gkDefault);
    QCOMPARE(edit.Glyph().size(), QSize(14, 12));
    QCOMPARE(edit.ButtonWidth(), 21);
    QCOMPARE(container->geometry(), QRect(200 - frame - 21, frame, 21, 24 - 2 * frame));
    QCOMPARE(edit.Button()->height(), container->height());
    QCOMPARE(edit.textMargins().right(), 21 + 2);
    edit.resize(300, 30);
    QCOMPARE(container->geometry(), QRect(300 - frame - 21, frame, 21, 30 - 2 * frame));

    // A width the edit cannot hold is ignored; 0 hides the button.
    edit.SetButtonWidth(400);
    QCOMPARE(edit.ButtonWidth(), 21);
    edit.SetButtonWidth(0);
    QVERIFY(!container->isVisible());
    QCOMPARE(edit.textMargins().right(), 2);

    // The ellipsis: three dots in a glyph 6 narrower than the button.
    edit.SetButtonWidth(20);
    edit.SetGlyphKind(gkEllipsis);
    const QImage dots = edit.Glyph().toImage();
    QCOMPARE(dots.size(), QSize(14, 4));
    // gap = (14 - 6) div 2 = 4, clamped to 3; first dot at (14 - 6 - 6) div 2 = 1.
    for (int x : { 1, 2, 6, 7, 11, 12 }) {
        QCOMPARE(dots.pixelColor(x, 1), QColor(Qt::black));
        QCOMPARE(dots.pixelColor(x, 2), QColor(Qt::black));
        QCOMPARE(dots.pixelColor(x, 0), QColor(Qt::white));
    }
    QCOMPARE(dots.pixelColor(3, 1), QColor(Qt::white));
    edit.SetNumGlyphs(3);
    QCOMPARE(edit.NumGlyphs(), 1);

    edit.SetGlyphKind(gkDropDown);
    QCOMPARE(edit.ButtonWidth(), edit.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &edit));
    QCOMPARE(edit.Glyph().size(), QSize(7, 4));

    // A glyph of one's own makes the kind custom; its count is kept.
    QPixmap own(32, 16);
    own.fill(Qt::red);
    edit.SetGlyph(own);
    QCOMPARE(edit.GlyphKind(), gkCustom);
    edit.SetNumGlyphs(2);
    QCOMPARE(edit.NumGlyphs(), 2);
}

void TestFileEdits::editButtonPainting()
{
    QWidget window;
    TFilenameEdit edit(&window);
    edit.resize(200, 24);
    window.show();
    TEditButton* button = edit.Button();
    const QColor face = QApplication::palette().color(QPalette::Button);
    const QColor light = QApplication::palette().color(QPalette::Light);
    const int mid = button->height() / 2;

    const QImage up = button->grab().toImage();
    QCOMPARE(up.pixel(0, mid), face.rgb());
    QCOMPARE(up.pixel(1, mid), light.rgb());
    // Pressed: the two lines give way to the pressed frame.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    const QImage pressed = button->grab().toImage();
    QCOMPARE(pressed.pixel(0, mid), QApplication::palette().color(QPalette::Shadow).rgb());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(50, 50));
}

void TestFileEdits::popupExtension()
{
    QWidget window;
    PopupEdit edit(&window);
    edit.setGeometry(300, 100, 150, 24);
    window.resize(700, 400);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit.setText(QStringLiteral("původní"));
    QSignalSpy changes(&edit, &TCustomComboEdit::OnChange);

    // Open: right edges aligned, below the edit; the edit takes no typing.
    clickButton(edit);
    QVERIFY(edit.PopupVisible());
    QVERIFY(edit.list->isVisible());
    const QPoint at = edit.mapToGlobal(QPoint(0, 0));
    QCOMPARE(edit.list->pos(), QPoint(at.x() - (200 - 150), at.y() + 24));
    QCOMPARE(edit.given.toString(), QStringLiteral("původní"));
    QVERIFY(edit.isReadOnly());

    // Enter takes the popup's value.
    QTest::keyClick(&edit, Qt::Key_Return);
    QVERIFY(!edit.PopupVisible());
    QVERIFY(!edit.list->isVisible());
    QCOMPARE(edit.text(), QStringLiteral("z popupu"));
    QVERIFY(edit.isModified());
    QVERIFY(!edit.isReadOnly());
    QCOMPARE(changes.size(), 1);

    // Escape leaves the text.
    edit.value = QStringLiteral("jiný");
    clickButton(edit);
    QTest::keyClick(&edit, Qt::Key_Escape);
    QCOMPARE(edit.text(), QStringLiteral("z popupu"));

    // A press on the button closes and accepts, and does not open it again.
    clickButton(edit);
    QVERIFY(edit.PopupVisible());
    clickButton(edit);
    QVERIFY(!edit.PopupVisible());
    QCOMPARE(edit.text(), QStringLiteral("jiný"));

    // A press on another control cancels.
    QPushButton other(QStringLiteral("jinde"), &window);
    other.show();
    edit.value = QStringLiteral("třetí");
    clickButton(edit);
    QTest::mouseClick(&other, Qt::LeftButton);
    QVERIFY(!edit.PopupVisible());
    QCOMPARE(edit.text(), QStringLiteral("jiný"));

    // Near the screen's bottom it opens above; left-aligned when asked.
    const QRect screen = edit.screen()->geometry();
    window.move(0, screen.bottom() - 150);
    edit.SetPopupAlign(1);
    clickButton(edit);
    const QPoint low = edit.mapToGlobal(QPoint(0, 0));
    QCOMPARE(edit.list->pos(), QPoint(low.x(), low.y() - 100));
    edit.ClosePopup(false);

    // A ReadOnly edit opens nothing.
    edit.SetReadOnly(true);
    clickButton(edit);
    QVERIFY(!edit.PopupVisible());
}

QTEST_MAIN(TestFileEdits)
#include "tst_fileedits.moc"
