#include "formplacement.h"

#include "scaleby.h"

#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/volumeprobe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include <sys/statvfs.h>

namespace {

const QString kState = QStringLiteral("State");
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");

// Set while KeepAspectResize changes the size it was called for.
constexpr char kInAspectResize[] = "korvelInAspectResize";

QString placementPath(const QString& iniName)
{
    return QDir(ProgramDir()).filePath(iniName);
}

int readCoordinate(const IniReader& ini, const QString& section, const QString& key)
{
    return std::max(0, ini.readInteger(section, key, 1));
}

// A size of 0 or less (a damaged file) would make the window vanish.
int readSize(const IniReader& ini, const QString& section, const QString& key, int def)
{
    const int v = ini.readInteger(section, key, def);
    return v > 0 ? v : def;
}

void setStateNormal(QWidget* form)
{
    form->setWindowState(form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void setStateMaximized(QWidget* form)
{
    form->setWindowState((form->windowState() & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) | Qt::WindowMaximized);
}

// Position and state of a stored placement; the size goes in between, while
// the window is normal, so that it becomes the normal geometry.
template <typename SetSize>
void restore(QWidget* form, const IniReader& ini, const QString& section, int state, SetSize setSize)
{
    setStateNormal(form);
    form->move(readCoordinate(ini, section, kLeft), readCoordinate(ini, section, kTop));
    setSize();
    if (state == 1)
        setStateMaximized(form);
}

QRect primaryScreenRect()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

} // namespace

QString ProgramDir()
{
    return ProgramFolder();
}

bool SaveFormPlacement(const QWidget* form, const QString& iniName, const QString& section)
{
    // Every caller is closing a window: a read-only settings file must not
    // keep it open, so the error stops here rather than in the close handler.
    try {
        IniFile ini(placementPath(iniName));
        const bool maximized = form->isMaximized();
        if (!form->isMinimized())
            ini.writeInteger(section, kState, maximized ? 1 : 2);
        if (!maximized) {
            ini.writeInteger(section, kLeft, form->x());
            ini.writeInteger(section, kTop, form->y());
            ini.writeInteger(section, kWidth, form->width());
            ini.writeInteger(section, kHeight, form->height());
        }
        return true;
    } catch (const IniWriteError& e) {
        ShowException(e);
        return false;
    }
}

void RestoreFormPlacement(QWidget* form, const QString& iniName, const QString& section, int defaultClientWidth,
                          int defaultClientHeight)
{
    RestoreFormPlacement(form, IniSnapshot(placementPath(iniName)), section, defaultClientWidth, defaultClientHeight);
}

void RestoreFormPlacement(QWidget* form, const IniReader& ini, const QString& section, int defaultClientWidth,
                          int defaultClientHeight)
{
    const int state = ini.readInteger(section, kState, 0);
    // A default width of 0 leaves the width alone, stored placement or not.
    const auto width = [&](int stored) { return defaultClientWidth != 0 ? stored : form->width(); };
    if (state == 0) {
        form->resize(width(defaultClientWidth), defaultClientHeight);
        return;
    }
    restore(form, ini, section, state, [&] {
        form->resize(width(readSize(ini, section, kWidth, defaultClientWidth)),
                     readSize(ini, section, kHeight, defaultClientHeight));
    });
}

void RestoreFormPosition(QWidget* form, const QString& iniName, const QString& section)
{
    const IniSnapshot ini(placementPath(iniName));
    const int state = ini.readInteger(section, kState, 0);
    if (state != 0)
        restore(form, ini, section, state, [] {});
}

void KeepAspectResize(QWidget* form, int& lastClientWidth, int& lastClientHeight)
{
    const int w = form->width();
    const int h = form->height();
    // A minimised or empty window has no proportions to keep: scaling by 0
    // would collapse the controls for good.
    if (form->isMinimized() || w <= 0 || h <= 0 || lastClientWidth <= 0 || lastClientHeight <= 0
        || form->property(kInAspectResize).toBool())
        return;
    form->setProperty(kInAspectResize, true);
    const double pw = w * 100.0 / lastClientWidth;
    const double ph = h * 100.0 / lastClientHeight;
    if (pw < ph) {
        ScaleBy(form, w, lastClientWidth);
        const int height = std::max(1, static_cast<int>(std::nearbyint(pw * lastClientHeight * 0.01)));
        form->resize(w, height);
        lastClientHeight = height;
        lastClientWidth = w;
    } else {
        ScaleBy(form, h, lastClientHeight);
        const int width = std::max(1, static_cast<int>(std::nearbyint(ph * lastClientWidth * 0.01)));
        form->resize(width, h);
        lastClientWidth = width;
        lastClientHeight = h;
    }
    form->setProperty(kInAspectResize, false);
    if (form->isVisible() && form->isWindow())
        form->activateWindow();
}

void KeepFormOnScreen(QWidget* form)
{
    const QRect screen = primaryScreenRect();
    if (screen.isEmpty())
        return;
    const QRect frame = form->frameGeometry();
    int left = frame.x();
    int top = frame.y();
    if (left + frame.width() > screen.x() + screen.width())
        left = screen.x() + screen.width() - frame.width();
    if (top + frame.height() > screen.y() + screen.height())
        top = screen.y() + screen.height() - frame.height();
    // Last, so that a window larger than the screen keeps its caption on it.
    left = std::max(left, screen.x());
    top = std::max(top, screen.y());
    if (left != frame.x() || top != frame.y())
        form->move(left, top);
}

void CenterOnControl(QWidget* form, const QWidget* control)
{
    const QRect area = control->isWindow() ? control->frameGeometry()
                                           : QRect(control->mapToGlobal(QPoint(0, 0)), control->size());
    form->move(Dialogs::centredOver(form->frameGeometry().size(), area.topLeft(), area.size()));
}

void CenterOnScreen(QWidget* form)
{
    const QRect screen = primaryScreenRect();
    if (screen.isEmpty())
        return;
    form->move(Dialogs::centredOver(form->frameGeometry().size(), screen.topLeft(), screen.size()));
}

bool DriveReady(const QString& folder)
{
    const QString absolute = folder.isEmpty() ? QString() : QFileInfo(folder).absoluteFilePath();
    const auto ready = [absolute] {
        // A folder yet to be made lies on the volume of its nearest parent.
        QString path = absolute;
        while (!path.isEmpty() && !QFileInfo::exists(path)) {
            const QString parent = QFileInfo(path).path();
            path = parent == path ? QString() : parent;
        }
        struct statvfs volume { };
        return !path.isEmpty() && ::statvfs(QFile::encodeName(path).constData(), &volume) == 0;
    };
    if (!absolute.isEmpty() && VolumeProbe::Answer<bool>(absolute, ready).value_or(false))
        return true;
    Dialogs::messageBeep(MsgDlgType::Custom);
    return false;
}
