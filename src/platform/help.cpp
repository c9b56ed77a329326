#include "help.h"

#include "dialogs.h"

#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QWhatsThis>

namespace {

QString& helpFolder()
{
    static QString folder;
    return folder;
}

std::function<void(const QString&, Help::Command)>& pageOpener()
{
    static std::function<void(const QString&, Help::Command)> opener;
    return opener;
}

void openPage(QWidget* window, const QString& path, Help::Command command)
{
    if (command == Help::Command::Context) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        return;
    }
    QFile page(path);
    if (!page.open(QIODevice::ReadOnly))
        return;
    QWhatsThis::showText(QCursor::pos(), QString::fromUtf8(page.readAll()), window);
}

} // namespace

namespace Help {

void setHelpFile(const QString& folder)
{
    helpFolder() = folder;
}

QString helpFile()
{
    return helpFolder();
}

QString helpFolderIn(const QString& programFolder)
{
    return programFolder + QStringLiteral("/napoveda");
}

QString indexPath(const QString& helpFolder)
{
    return helpFolder + QStringLiteral("/index.html");
}

QString pagePath(const QString& helpFolder, int context)
{
    return helpFolder + QStringLiteral("/%1.html").arg(context);
}

bool winHelp(QWidget* window, Command command, int context)
{
    const QString path = pagePath(helpFolder(), context);
    if (helpFolder().isEmpty() || !QFileInfo(path).isFile()) {
        Dialogs::messageDlg(missingTopicText(context), MsgDlgType::Information, MsgBtn::OK);
        return false;
    }
    if (pageOpener())
        pageOpener()(path, command);
    else
        openPage(window, path, command);
    return true;
}

QString missingTopicText(int context)
{
    return QStringLiteral("Nápověda k tomuto místu (téma %1) není k dispozici.").arg(context);
}

void setPageOpener(std::function<void(const QString& path, Command command)> opener)
{
    pageOpener() = std::move(opener);
}

} // namespace Help
