#include "DesktopOpening.h"

#include "PageSupport.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QUrl>

namespace {
// What fits the explanation line of the message box.
constexpr int kShownPathWidth = 330;

QString shownPath(const QString &path)
{
    QFont font(QStringLiteral("Microsoft YaHei UI"));
    font.setPixelSize(14);
    // Shortened in the middle: the file's own name at the end is what tells it apart.
    return QFontMetrics(font).elidedText(path, Qt::ElideMiddle, kShownPathWidth);
}
} // namespace

void openWithDesktop(const QString &path)
{
    if (path.isEmpty() || QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return;
    const QString question =
        QFileInfo(path).isDir() ? QStringLiteral("无法打开文件夹") : QStringLiteral("无法打开文件");
    PageSupport::tell(question, shownPath(path));
}
