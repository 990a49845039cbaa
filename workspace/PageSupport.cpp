#include "PageSupport.h"

#include "DesktopOpening.h"
#include "FileUtils.h"
#include "ImageWordButton.h"
#include "MainWindow.h"
#include "MessageBoxDialog.h"
#include "ModalDialog.h"
#include "SettingsStore.h"
#include "UserInfoManage.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>

namespace PageSupport {

namespace {
const QString kOutputDirKey = QStringLiteral("convert/FileConvertOutPutDir");
const QString kOpenFileKey = QStringLiteral("convert/openfilepath");

QString desktopDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString defaultOutputDir()
{
    return desktopDir() + QStringLiteral("/Quorvane");
}

QString addFilesStartDir()
{
    const QString remembered = readConfigValue(kOpenFileKey);
    if (remembered.isEmpty())
        return desktopDir();
    if (QFileInfo(remembered).isFile())
        return remembered.left(remembered.lastIndexOf(QLatin1Char('/')));
    return remembered;
}
} // namespace

QString storedOutputDir()
{
    return readConfigValue(kOutputDirKey);
}

QString initialOutputDir()
{
    QString folder = storedOutputDir();
    if (folder.isEmpty()) {
        folder = defaultOutputDir();
        ensureDirExists(folder);
        // A refusal changes nothing: rows fall back to this folder all the same.
        writeConfigValue(QStringLiteral("convert"), QStringLiteral("FileConvertOutPutDir"), folder);
    }
    return folder;
}

QString rowOutputDir()
{
    const QString stored = storedOutputDir();
    if (!stored.isEmpty())
        return stored;
    const QString folder = defaultOutputDir();
    ensureDirExists(folder);
    return folder;
}

QString chooseOutputDir(QWidget *parent, const QString &current)
{
    const QString start = QFileInfo(current).isDir() ? current : QString();
    const QString folder = QFileDialog::getExistingDirectory(parent, QStringLiteral("选择目录"),
                                                             start, QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return folder;
    if (!canWriteInto(folder)) {
        tell(QStringLiteral("无法写入文件夹"), shownPath(folder));
        return QString();
    }
    if (!writeConfigValue(QStringLiteral("convert"), QStringLiteral("FileConvertOutPutDir"),
                          folder)) {
        tell(QStringLiteral("无法保存输出文件夹"), QStringLiteral("设置文件已达到大小上限"));
        return QString();
    }
    return folder;
}

bool canWriteInto(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    // Only making a file tells: a read-only file system, access lists and the rights of an
    // administrator all decide besides the folder's permissions.
    QTemporaryFile probe(folder + QStringLiteral("/.Quorvane-XXXXXX"));
    return probe.open();
}

void tellCannotWriteInto(const QString &folder)
{
    static bool told = false; // the window's thread alone
    if (told)
        return;
    told = true;
    // Not from inside the start of a row: the box's own event loop would let the next rows
    // of a convert-all start beneath it.
    QTimer::singleShot(0, qApp, [folder] {
        tell(QStringLiteral("无法写入文件夹"), shownPath(folder));
        told = false;
    });
}

void openOutputDir(const QString &folder)
{
    // A folder that is not there is handed over as the empty address, which opens nothing
    // and is not worth a message.
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        openWithDesktop(folder);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString()));
}

QStringList pickFiles(QWidget *parent, const QString &nameFilter)
{
    QFileDialog dialog(parent, QString(), QString(), QString());
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setDirectory(addFilesStartDir());
    dialog.setNameFilter(nameFilter);
    if (dialog.exec() != QDialog::Accepted)
        return QStringList();
    const QStringList picked = dialog.selectedFiles();
    if (!picked.isEmpty())
        writeConfigValue(QStringLiteral("convert"), QStringLiteral("openfilepath"), picked.first());
    return picked;
}

void appendFolderFiles(const QString &folder, QStringList &files)
{
    if (!QFileInfo(folder).isDir())
        return;
    QDirIterator walk(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        walk.next();
        files.append(walk.fileInfo().absoluteFilePath());
    }
}

QStringList droppedFiles(const QMimeData *data, const QStringList &suffixes)
{
    QStringList candidates;
    if (!data)
        return candidates;
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir())
            appendFolderFiles(path, candidates);
        else
            candidates.append(path);
    }
    QStringList accepted;
    for (const QString &path : candidates) {
        if (suffixes.contains(QFileInfo(path).suffix().toLower()))
            accepted.append(path);
    }
    return accepted;
}

QWidget *modalOwner()
{
    return UserInfoManage::instance()->mainWindow();
}

bool confirm(const QString &question, const QString &tips)
{
    QWidget *owner = modalOwner();
    MessageBoxDialog box(owner);
    box.setMessage(question, tips);
    return execModalDialog(&box, owner) == QDialog::Accepted;
}

void tell(const QString &message, const QString &tips)
{
    QWidget *owner = modalOwner();
    MessageBoxDialog box(owner);
    box.setMessage(message, tips);
    box.setCancelButtonVisible(false);
    execModalDialog(&box, owner);
}

QString shownPath(const QString &path)
{
    // What fits the explanation line of the box, in its font.
    constexpr int kShownPathWidth = 330;
    QFont font(QStringLiteral("Microsoft YaHei UI"));
    font.setPixelSize(14);
    // Shortened in the middle: the file's own name at the end is what tells it apart.
    return QFontMetrics(font).elidedText(path, Qt::ElideMiddle, kShownPathWidth);
}

QString imageButtonStyle(const QString &iconRule, const QString &textColour,
                         const QString &frameRule)
{
    return QStringLiteral("#label_icon{%1}#label_text{font: 14px \"Microsoft YaHei UI\";color: "
                          "%2;}#widget{%3border-radius: 4px;}")
        .arg(iconRule, textColour, frameRule);
}

namespace {
QString image(const QString &resource)
{
    return QStringLiteral("image: url(:/Resources/%1);").arg(resource);
}

QString borderImage(const QString &resource)
{
    return QStringLiteral("border-image: url(:/Resources/%1);").arg(resource);
}

QString filled(const QString &colour)
{
    return QStringLiteral("background-color: %1;").arg(colour);
}

QString outlined(const QString &colour)
{
    return QStringLiteral("border: 1px solid %1;").arg(colour);
}
} // namespace

void applyLook(ImageWordButton *button, const ImageButtonLook &look)
{
    button->setText(look.text);
    button->setNormalStyle(look.normal);
    button->setHoverStyle(look.hover);
    button->setPressedStyle(look.pressed);
}

ImageButtonLook addButtonLook()
{
    return {QStringLiteral("添加"),
            imageButtonStyle(image("logo/btn_add.png"), "#FFFFFF", filled("#389BFD")),
            imageButtonStyle(image("logo/btn_add_hover.png"), "#FFFFFF", filled("#5FAFFD")),
            imageButtonStyle(image("logo/btn_add_press.png"), "#CCCCCC", filled("#2C7CCA"))};
}

ImageButtonLook clearListButtonLook()
{
    return {QStringLiteral("清空列表"),
            imageButtonStyle(borderImage("png/btn_clear_list.png"), "#333333", outlined("#E0E0E0")),
            imageButtonStyle(borderImage("png/btn_clear_list_hover.png"), "#389BFD",
                             outlined("#389BFD")),
            imageButtonStyle(borderImage("png/btn_clear_list_press.png"), "#2C7CCA",
                             outlined("#2C7CCA"))};
}

ImageButtonLook convertAllButtonLook()
{
    return {
        QStringLiteral("全部转换"),
        imageButtonStyle(image("icon/icon_convert_all.png"), "#FFFFFF", filled("#389BFD")),
        imageButtonStyle(image("icon/icon_convert_all.png"), "#FFFFFF", filled("#5FAFFD")),
        imageButtonStyle(image("icon/icon_convert_all_press.png"), "#CCCCCC", filled("#2C7CCA"))};
}

} // namespace PageSupport
