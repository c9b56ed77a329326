#include "ruvo_vymena.h"

#include "ruvo_okna.h"
#include "ruvo_prevod.h"
#include "ruvo_zaklad.h"

#include "components/basewindow.h"
#include "components/forms.h"
#include "components/listpictures.h"
#include "components/tooledit.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "shared/commands.h"
#include "shared/exchangefiles.h"
#include "shared/f_p.h"
#include "shared/reminderfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QThread>
#include <QTimer>

#include <algorithm>

using namespace ExchangeLayoutRows;

namespace {

constexpr int RowCaptionLeft = 4;
constexpr int RowCaptionWidth = 246;
constexpr int GroupWidth = 100;
constexpr int GroupGap = 4;
constexpr int RowHeight = 20;

void SetHint(QWidget* w, const QString& hint)
{
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

} // namespace

TExchangeWindow::TExchangeWindow(QWidget* parent)
    : TFVychoziZakl(parent)
    , TAuto(new QTimer(this))
{
    TAuto->setObjectName(QStringLiteral("TAuto"));
    TAuto->setInterval(100);
    connect(TAuto, &QTimer::timeout, this, [this] { RunGuarded([this] { TAutoTimer(); }); });
}

void TExchangeWindow::showEvent(QShowEvent* event)
{
    TFVychoziZakl::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TExchangeWindow::closeEvent(QCloseEvent* event)
{
    // An ending program runs an automatic run that is due before it ends.
    if (m_running || (TAuto->isActive() && FZaklad()->Ending())) {
        event->ignore();
        return;
    }
    TFVychoziZakl::closeEvent(event);
}

void TExchangeWindow::done(int result)
{
    if (m_running)
        return;
    TFVychoziZakl::done(Finished(result));
}

QCheckBox* ExchangeCheckBox(
    QWidget* parent, const char* name, const QString& caption, const QString& hint, bool checked, QPoint at)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->move(at);
    box->resize(box->sizeHint().width(), RowHeight);
    SetHint(box, hint);
    box->setChecked(checked);
    return box;
}

void ExchangeGroups(QWidget* parent, const QStringList& rowCaptions, QGroupBox*& reminders, QGroupBox*& contacts)
{
    const int height = GroupFirstRow + int(rowCaptions.size()) * GroupRow + 2;
    for (int i = 0; i < rowCaptions.size(); ++i) {
        auto* caption = new QLabel(rowCaptions.at(i), parent);
        caption->setGeometry(RowCaptionLeft, GroupTop + GroupFirstRow + i * GroupRow, RowCaptionWidth, RowHeight);
    }
    const int left = RowCaptionLeft + RowCaptionWidth + GroupGap;
    reminders = new QGroupBox(QStringLiteral("Připomenutí"), parent);
    reminders->setObjectName(QStringLiteral("GBPrip"));
    reminders->setGeometry(left, GroupTop, GroupWidth, height);
    contacts = new QGroupBox(QStringLiteral("Kontakty"), parent);
    contacts->setObjectName(QStringLiteral("GBKont"));
    contacts->setGeometry(left + GroupWidth + GroupGap, GroupTop, ClientWidth - left - GroupWidth - 2 * GroupGap,
        height);
}

QCheckBox* ExchangeRowBox(QGroupBox* group, const char* name, int row, const QString& hint, bool checked)
{
    return ExchangeCheckBox(
        group, name, QStringLiteral("ano/ne"), hint, checked, QPoint(12, GroupFirstRow + row * GroupRow));
}

void ExchangeProgressRow(QWidget* parent, const char* labelName, const QString& caption, const char* barName,
    QPoint at, int width, QLabel*& label, QProgressBar*& bar)
{
    constexpr int LabelWidth = 150;
    label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(labelName));
    label->setGeometry(at.x(), at.y(), LabelWidth, RowHeight);
    label->hide();
    bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(barName));
    bar->setTextVisible(false);
    bar->setGeometry(at.x() + LabelWidth + 2, at.y() + 4, width - LabelWidth - 2, RowHeight - 8);
    bar->setRange(0, 1);
    bar->setValue(0);
    bar->hide();
}

QScopeGuard<std::function<void()>> ShowPass(
    QWidget* window, QCheckBox* box, QLabel* label, QProgressBar* bar, int count)
{
    box->hide();
    label->show();
    bar->show();
    bar->setRange(0, std::max(count, 1));
    bar->setValue(0);
    window->repaint();
    return QScopeGuard<std::function<void()>>([window, box, label, bar] {
        label->hide();
        bar->hide();
        box->show();
        window->repaint();
    });
}

TDirectoryEdit* ExchangeDirEdit(QWidget* parent, const QString& hint, int top, const QString& storedFolder)
{
    auto* dir = new TDirectoryEdit(parent);
    dir->setObjectName(QStringLiteral("Dir"));
    dir->setGeometry(66, top, ClientWidth - 66 - 4, 22);
    SetHint(dir, hint);
    dir->setText(storedFolder);
    auto* label = new QLabel(QStringLiteral("&Adresář:"), parent);
    label->setGeometry(8, top + 2, 56, 18);
    label->setBuddy(dir);
    return dir;
}

void ExchangeButtons(TBaseWindow* window, QWidget* parent, int top, const QString& okHint, const QString& cancelHint,
    QPushButton*& ok, QPushButton*& cancel, QPushButton*& help)
{
    const auto make = [&](const char* name, const QString& caption, const QIcon& icon, int left) {
        auto* b = new QPushButton(icon, caption, parent);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, top, 110, 28);
        b->setIconSize(QSize(20, 20));
        b->setAutoDefault(false);
        return b;
    };
    ok = make("BOK", QStringLiteral("&OK"), ListWindowPicture(QStringLiteral("BOK")), 8);
    SetHint(ok, okHint);
    cancel = make("BCancel", QStringLiteral("&Zpět"), ListWindowPicture(QStringLiteral("BCANCEL")), 122);
    SetHint(cancel, cancelHint);
    help = make("BBHelp", QStringLiteral("&Nápověda"),
        QApplication::style()->standardIcon(QStyle::SP_DialogHelpButton), ClientWidth - 110 - 4);
    SetHint(help, QStringLiteral("nápověda o vybraném prvku"));
    QObject::connect(cancel, &QPushButton::clicked, window, [window] { window->done(mrCancel); });
    QObject::connect(help, &QPushButton::clicked, window, [window] { window->BHelpClick(); });
}

QString StoredExchangeFolderText()
{
    return IniReadString(FZaklad()->SettingsFile(), QStringLiteral("Nastav"), QStringLiteral("expimpdir"),
        FZaklad()->ProgramDirectory());
}

void PauseTray()
{
    NotifyTray(tnPause);
    QThread::msleep(500);
}

bool ReminderFileReady()
{
    const QString home = FZaklad()->ReminderDataPath();
    switch (CheckDataVersion(home)) {
    case DataVersionCheck::Current:
        return true;
    case DataVersionCheck::NewerLayout:
        return false;
    case DataVersionCheck::OldLayout:
        break;
    }
    const QString name = QStringLiteral("FPrevod");
    if (QWidget* old = FindForm(name)) {
        old->activateWindow();
        old->close();
    }
    QWidget* window = ReminderForms().Create(name);
    if (!window)
        return false;
    if (auto* prevod = qobject_cast<TFPrevod*>(window))
        prevod->FromImport = true;
    window->show();
    // The conversion closes its window when it is done; another request may
    // replace it meanwhile, so the wait is for every window of the name. An
    // ending program closes a window left open after a failure.
    while (FindForm(name) && !FZaklad()->Ending()) {
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return CheckDataVersion(home) == DataVersionCheck::Current;
}

void ShowExchangeFailure(const QString& action, const IoError& error)
{
    MessageDlgBeep(action + QStringLiteral(" se nezdařil - ") + IoFailureReason(error.code())
            + QStringLiteral(".\rSoubor: ") + QDir::toNativeSeparators(error.path())
            + QStringLiteral("\rPůvodní data zůstala zachována."),
        MsgDlgType::Error, MsgBtn::OK, 0);
}
