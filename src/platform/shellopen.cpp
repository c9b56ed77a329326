#include "shellopen.h"

#include <QDesktopServices>

namespace {

std::function<bool(const QUrl&)>& opener()
{
    static std::function<bool(const QUrl&)> f;
    return f;
}

} // namespace

bool ShellOpen(const QUrl& url)
{
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

void SetShellOpener(std::function<bool(const QUrl& url)> opener)
{
    ::opener() = std::move(opener);
}
