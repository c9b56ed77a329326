#include "fileutil.h"

#include "components/contexthelp.h"
#include "components/kitutils.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/volumeprobe.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

bool isDriveLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Index of the last character that ends the folder part: a separator, or the
// colon of a leading drive; -1 when there is none.
qsizetype folderEnd(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path[i]))
            return i;
    if (path.size() >= 2 && path[1] == u':' && isDriveLetter(path[0]))
        return 1;
    return -1;
}

qsizetype lastSeparator(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path[i]))
            return i;
    return -1;
}

// Qt's dialog has no place for a text above its list: the grid moves down one
// row to make one.
void ShowTextAbove(QFileDialog& dialog, const QString& text)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid)
        return;
    struct Cell {
        QLayoutItem* item;
        int row, column, rowSpan, columnSpan;
    };
    QList<Cell> cells;
    for (int i = 0; i < grid->count(); ++i) {
        Cell c { grid->itemAt(i), 0, 0, 0, 0 };
        grid->getItemPosition(i, &c.row, &c.column, &c.rowSpan, &c.columnSpan);
        cells.append(c);
    }
    while (grid->count() > 0)
        grid->takeAt(0);
    for (const Cell& c : cells)
        grid->addItem(c.item, c.row + 1, c.column, c.rowSpan, c.columnSpan);
    auto* label = new QLabel(text, &dialog);
    label->setObjectName(QStringLiteral("DialogText"));
    label->setWordWrap(true);
    grid->addWidget(label, 0, 0, 1, grid->columnCount());
}

} // namespace

// ---------------------------------------------------------------- TBrowseFolderDlg

TBrowseFolderDlg::TBrowseFolderDlg(QObject* owner)
    : QObject(owner)
{
}

bool TBrowseFolderDlg::RunDialog()
{
    if (m_browseKind == bfComputers)
        return false;
    const QString root = m_desktopRoot ? QDir::homePath() : QStringLiteral("/");
    const QString start = IsExistingDirectory(m_folderName) ? LocalPath(m_folderName) : root;
    Dialogs::FileDialogSetup setup;
    setup.options = QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly;
    setup.prepare = [this](QFileDialog& dialog) { Prepare(dialog); };
    const QString chosen = Dialogs::getExistingDirectory(
        QApplication::activeWindow(), QStringLiteral("Browse for Folder"), start, &setup);
    m_dialog = nullptr;
    if (chosen.isEmpty())
        return false;
    m_folderName = StripTrailingBackslash(chosen);
    m_selection = m_folderName;
    return true;
}

void TBrowseFolderDlg::Prepare(QFileDialog& dialog)
{
    m_dialog = &dialog;
    m_selection.clear();
    if (!m_dialogText.isEmpty())
        ShowTextAbove(dialog, m_dialogText);
    if (m_helpContext != 0)
        AddHelpButton(dialog, m_helpContext);
    connect(&dialog, &QFileDialog::currentChanged, this, [this](const QString& path) {
        m_selection = QFileInfo(path).isDir() ? path : QString();
        emit OnSelChanged();
    });
    dialog.installEventFilter(this);
}

bool TBrowseFolderDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_dialog && event->type() == QEvent::Show) {
        m_dialog->removeEventFilter(this);
        if (m_position == dpScreenCenter)
            CenterWindowOnScreen(m_dialog);
        emit OnInitialized();
    }
    return QObject::eventFilter(watched, event);
}

bool PickDirectory(QString& path, const QString& dialogText, int helpContext)
{
    TBrowseFolderDlg dialog(qApp);
    dialog.SetDialogText(dialogText);
    dialog.SetFolderName(path);
    dialog.SetHelpContext(helpContext);
    if (!dialog.RunDialog())
        return false;
    path = dialog.FolderName();
    return true;
}

void AddHelpButton(QFileDialog& dialog, int helpContext)
{
    auto* box = dialog.findChild<QDialogButtonBox*>();
    if (!box)
        return;
    QPushButton* help = box->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("HelpButton"));
    QObject::connect(help, &QPushButton::clicked, &dialog,
        [&dialog, helpContext] { RunGuarded([&] { ShowHelpContext(&dialog, helpContext); }); });
}

// ---------------------------------------------------------------- path routines

QString StripTrailingBackslash(const QString& path)
{
    const bool driveRoot = path.size() == 3 && isDriveLetter(path[0]) && path[1] == u':';
    if (path.size() > 1 && isSeparator(path.back()) && !driveRoot)
        return path.chopped(1);
    return path;
}

bool IsExistingDirectory(const QString& path)
{
    return VolumeProbe::IsDir(LocalPath(path));
}

bool ContainsAnyChar(const QString& text, const QString& chars)
{
    for (QChar c : chars)
        if (text.contains(c))
            return true;
    return false;
}

bool IsAcceptableFileName(const QString& name)
{
    return !name.isEmpty() && !ContainsAnyChar(name, QStringLiteral("<>\"[]|"));
}

QString ToLongFileName(const QString& path)
{
    const QString local = LocalPath(path);
    if (!VolumeProbe::Exists(local))
        return {};
    return QFileInfo(local).fileName();
}

QString ToShortFileName(const QString& path)
{
    return ToLongFileName(path);
}

QString ToLongPath(const QString& path)
{
    QString rest = path;
    QString result;
    for (qsizetype i = lastSeparator(rest); i >= 0; i = lastSeparator(rest)) {
        result = rest[i] + ToLongFileName(rest) + result;
        rest.truncate(i);
    }
    return rest + result;
}

QString ToShortPath(const QString& path)
{
    return ToLongPath(path);
}

QString ExtractFilePath(const QString& path)
{
    return path.left(folderEnd(path) + 1);
}

QString ExtractFileName(const QString& path)
{
    return path.mid(folderEnd(path) + 1);
}
