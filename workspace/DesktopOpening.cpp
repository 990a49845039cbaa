#include "DesktopOpening.h"

#include "PageSupport.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void openWithDesktop(const QString &path)
{
    if (path.isEmpty() || QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return;
    const QString question =
        QFileInfo(path).isDir() ? QStringLiteral("无法打开文件夹") : QStringLiteral("无法打开文件");
    PageSupport::tell(question, PageSupport::shownPath(path));
}
