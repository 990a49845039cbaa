#pragma once

#include <QString>
#include <QStringList>

class ImageWordButton;
class QMimeData;
class QWidget;

// What the PDF-to-file and the file-to-PDF pages do alike: the shared output folder, the
// add-files dialog, collecting dropped files, the confirmation box and the button looks.
namespace PageSupport {

// The stored output folder; when none is stored, the desktop folder + "/Quorvane" is
// created and stored.
QString initialOutputDir();
// The stored output folder, or "" when none is stored.
QString storedOutputDir();
// The folder a row writes into: the stored output folder, or, when none can be read, the
// desktop folder + "/Quorvane", made when missing. Never "": no output lands in the root.
QString rowOutputDir();
// Lets the user pick a new output folder starting at current; stores and returns it, or
// returns "" when the dialog was cancelled. A folder that cannot be written into, or that the
// settings store refuses to take, is not taken: the user is told why.
QString chooseOutputDir(QWidget *parent, const QString &current);
// Whether a file can be made in folder: it exists, and neither its permissions nor its file
// system keep this user from writing there.
bool canWriteInto(const QString &folder);
// Tells the user, once the current event has been handled, that rows cannot write into
// folder; while that notice is pending or shown, further calls add none, so that converting
// every row of a list tells it once.
void tellCannotWriteInto(const QString &folder);
// Opens the folder in the desktop's file manager; a missing folder opens nothing, a folder
// that the desktop cannot open is reported.
void openOutputDir(const QString &folder);

// The add-files dialog: starts in the folder of the last picked file, remembers the first
// picked file, and returns the picked paths in the dialog's order ("" when cancelled).
QStringList pickFiles(QWidget *parent, const QString &nameFilter);

// Every file below folder at any depth, hidden ones and symbolic links to folders left out.
void appendFolderFiles(const QString &folder, QStringList &files);
// The dropped files, each dropped folder replaced by the files below it, kept when their
// lower-cased suffix is one of suffixes.
QStringList droppedFiles(const QMimeData *data, const QStringList &suffixes);

// Asks question over the main window's dim overlay; true when the user pressed OK.
bool confirm(const QString &question, const QString &tips);
// Tells the user something in the same box, with 确定 alone.
void tell(const QString &message, const QString &tips);
// A path as the explanation line of the box shows it: shortened in the middle to fit.
QString shownPath(const QString &path);
// The owner of modal dialogs: the registered main window, or null before there is one.
QWidget *modalOwner();

struct ImageButtonLook
{
    QString text;
    QString normal;
    QString hover;
    QString pressed;
};
// One style sheet of an image button: its icon rule, text colour and frame rule.
QString imageButtonStyle(const QString &iconRule, const QString &textColour,
                         const QString &frameRule);
void applyLook(ImageWordButton *button, const ImageButtonLook &look);
ImageButtonLook addButtonLook();
ImageButtonLook clearListButtonLook();
ImageButtonLook convertAllButtonLook();

} // namespace PageSupport
