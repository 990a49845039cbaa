#include "PdfToFileWidget.h"
#include "ui_PdfToFileWidget.h"

#include "AllOutFormatSettingDialog.h"
#include "ModalDialog.h"
#include "PageSupport.h"
#include "QuorvaneItemWidget.h"
#include "WorkspaceResources.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

using namespace PageSupport;

namespace {
const QSize kRowSize(880, 115);

ImageButtonLook setAllButtonLook()
{
    auto style = [](const QString &iconRule, const QString &colour) {
        return imageButtonStyle(iconRule, colour,
                                QStringLiteral("border: 1px solid %1;").arg(colour));
    };
    return {
        QStringLiteral("全部设置"),
        style(QStringLiteral("image: url(:/Resources/icon/icon_set_all.png);"), "#389BFD"),
        style(QStringLiteral("image: url(:/Resources/icon/icon_set_all_hover.png);"), "#5FAFFD"),
        style(QStringLiteral("border-image: url(:/Resources/icon/icon_set_all_press.png);"),
              "#2C7CCA")};
}
} // namespace

PdfToFileWidget::PdfToFileWidget(QWidget *parent) : QWidget(parent), ui(new Ui::PdfToFileWidget)
{
    initWorkspaceResources();
    ui->setupUi(this);
    setAcceptDrops(true);
    initPage();
}

PdfToFileWidget::~PdfToFileWidget()
{
    delete ui;
}

void PdfToFileWidget::initPage()
{
    m_fileFilter = QStringLiteral("*.pdf");
    ui->lineEdit_OutPutDir->setText(initialOutputDir());

    applyLook(ui->imgbutton_AddFile, addButtonLook());
    connect(ui->imgbutton_AddFile, SIGNAL(ClickButtonSignal()), this,
            SLOT(on_MainBtn_AddFile_clicked()));
    applyLook(ui->imgbutton_ClearList, clearListButtonLook());
    connect(ui->imgbutton_ClearList, SIGNAL(ClickButtonSignal()), this,
            SLOT(on_MainBtn_ClearList_clicked()));
    applyLook(ui->imgbtn_allsets, setAllButtonLook());
    connect(ui->imgbtn_allsets, SIGNAL(ClickButtonSignal()), this, SLOT(on_btn_AllSets_clicked()));
    applyLook(ui->imgbtn_allconvert, convertAllButtonLook());
    connect(ui->imgbtn_allconvert, SIGNAL(ClickButtonSignal()), this,
            SLOT(on_btn_AllConvert_clicked()));

    setPage(0);
}

void PdfToFileWidget::setPage(int index)
{
    ui->stackedWidget->setCurrentIndex(index);
    if (index == 0) {
        ui->imgbtn_allsets->hide();
        ui->imgbtn_allconvert->hide();
    } else if (index == 1) {
        ui->imgbtn_allsets->show();
        ui->imgbtn_allconvert->show();
    }
}

void PdfToFileWidget::refreshOutputDir()
{
    const QString folder = storedOutputDir();
    if (!folder.isEmpty())
        ui->lineEdit_OutPutDir->setText(folder);
}

void PdfToFileWidget::addConverterRow(const QString &path)
{
    if (path.isEmpty())
        return;
    auto *rowWidget = new QuorvaneItemWidget(this);
    connect(rowWidget, SIGNAL(DeleteMeSignal(int)), this, SLOT(DeleteItemSlot(int)));
    rowWidget->setFilePath(path);
    rowWidget->setTaskId(m_nextTaskId++);
    auto *item = new QListWidgetItem(nullptr, 0);
    item->setData(Qt::SizeHintRole, kRowSize);
    ui->MainListWidget->insertItem(ui->MainListWidget->count(), item);
    ui->MainListWidget->setItemWidget(item, rowWidget);
}

void PdfToFileWidget::addFilesDialog()
{
    for (const QString &path : pickFiles(this, m_fileFilter))
        addConverterRow(path);
}

void PdfToFileWidget::addFolderFiles(const QString &folder, QStringList &files)
{
    appendFolderFiles(folder, files);
}

int PdfToFileWidget::rowCount() const
{
    return ui->MainListWidget->count();
}

QuorvaneItemWidget *PdfToFileWidget::row(int index) const
{
    return qobject_cast<QuorvaneItemWidget *>(
        ui->MainListWidget->itemWidget(ui->MainListWidget->item(index)));
}

void PdfToFileWidget::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
}

void PdfToFileWidget::dropEvent(QDropEvent *event)
{
    for (const QString &path : droppedFiles(event->mimeData(), {QStringLiteral("pdf")}))
        addConverterRow(path);
    if (rowCount() > 0)
        setPage(1);
}

void PdfToFileWidget::DeleteItemSlot(int taskId)
{
    for (int i = 0; i < rowCount(); ++i) {
        QuorvaneItemWidget *rowWidget = row(i);
        if (!rowWidget || rowWidget->taskId() != taskId)
            continue;
        if (confirm(QStringLiteral("确定删除吗？"),
                    QStringLiteral("只会删除该条记录，本地文件不会删除")))
            removeRowAt(i);
        // Task ids are unique: no other row can match.
        break;
    }
    showEmptyStateWhenNoRows();
}

void PdfToFileWidget::ClickAllSettingFormatSlot(QString format)
{
    if (format.isEmpty())
        return;
    for (int i = 0; i < rowCount(); ++i) {
        if (QuorvaneItemWidget *rowWidget = row(i))
            rowWidget->setOutputFormat(format);
    }
}

void PdfToFileWidget::on_AddFileBtn_AddFile_clicked()
{
    addFilesDialog();
    if (rowCount() > 0)
        setPage(1);
}

void PdfToFileWidget::on_btn_AllSets_clicked()
{
    QWidget *owner = modalOwner();
    if (!owner)
        return;
    AllOutFormatSettingDialog dialog(owner);
    connect(&dialog, SIGNAL(ClickAllSettingFormatSignal(QString)), this,
            SLOT(ClickAllSettingFormatSlot(QString)));
    execModalDialog(&dialog, owner);
}

void PdfToFileWidget::on_MainBtn_AddFile_clicked()
{
    addFilesDialog();
}

void PdfToFileWidget::on_MainBtn_ClearList_clicked()
{
    if (!confirm(QStringLiteral("确定清空吗？"), QStringLiteral("只会清空记录，本地文件不会删除")))
        return;
    while (rowCount() > 0)
        removeRowAt(0);
    showEmptyStateWhenNoRows();
}

void PdfToFileWidget::on_btn_AllConvert_clicked()
{
    for (int i = 0; i < rowCount(); ++i) {
        if (QuorvaneItemWidget *rowWidget = row(i))
            rowWidget->startConversion();
    }
}

void PdfToFileWidget::on_btn_ChangeOutPutDir_clicked()
{
    const QString folder = chooseOutputDir(this, ui->lineEdit_OutPutDir->text());
    if (!folder.isEmpty())
        ui->lineEdit_OutPutDir->setText(folder);
}

void PdfToFileWidget::on_btn_OpenOutPutDir_clicked()
{
    openOutputDir(ui->lineEdit_OutPutDir->text());
}

void PdfToFileWidget::removeRowAt(int index)
{
    if (QuorvaneItemWidget *rowWidget = row(index))
        rowWidget->releaseItem();
    delete ui->MainListWidget->takeItem(index);
}

void PdfToFileWidget::showEmptyStateWhenNoRows()
{
    if (rowCount() == 0)
        setPage(0);
}
