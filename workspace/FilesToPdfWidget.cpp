#include "FilesToPdfWidget.h"
#include "ui_FilesToPdfWidget.h"

#include "ConverterItemWidget.h"
#include "PageSupport.h"
#include "WorkspaceResources.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

using namespace PageSupport;

namespace {
const QSize kRowSize(880, 115);
const QStringList kOfficeSuffixes = {QStringLiteral("docx"), QStringLiteral("doc"),
                                     QStringLiteral("xlsx"), QStringLiteral("xls"),
                                     QStringLiteral("pptx"), QStringLiteral("ppt")};
} // namespace

FilesToPdfWidget::FilesToPdfWidget(QWidget *parent) : QWidget(parent), ui(new Ui::FilesToPdfWidget)
{
    initWorkspaceResources();
    ui->setupUi(this);
    setAcceptDrops(true);
    initPage();
}

FilesToPdfWidget::~FilesToPdfWidget()
{
    delete ui;
}

void FilesToPdfWidget::initPage()
{
    m_fileFilter = QStringLiteral("*.doc *.docx *.ppt *.pptx *.xls *.xlsx");
    ui->lineEdit_OutPutDir->setText(initialOutputDir());

    applyLook(ui->imgbutton_AddFile, addButtonLook());
    connect(ui->imgbutton_AddFile, SIGNAL(ClickButtonSignal()), this,
            SLOT(on_MainBtn_AddFile_clicked()));
    applyLook(ui->imgbutton_ClearList, clearListButtonLook());
    connect(ui->imgbutton_ClearList, SIGNAL(ClickButtonSignal()), this,
            SLOT(on_MainBtn_ClearList_clicked()));
    applyLook(ui->imgbtn_allconvert, convertAllButtonLook());
    connect(ui->imgbtn_allconvert, SIGNAL(ClickButtonSignal()), this,
            SLOT(on_btn_AllConvert_clicked()));

    setPage(0);
}

void FilesToPdfWidget::setPage(int index)
{
    ui->stackedWidget->setCurrentIndex(index);
    if (index == 0)
        ui->imgbtn_allconvert->hide();
    else if (index == 1)
        ui->imgbtn_allconvert->show();
}

void FilesToPdfWidget::refreshOutputDir()
{
    const QString folder = storedOutputDir();
    if (!folder.isEmpty())
        ui->lineEdit_OutPutDir->setText(folder);
}

void FilesToPdfWidget::addConverterRow(const QString &path)
{
    if (path.isEmpty())
        return;
    auto *rowWidget = new ConverterItemWidget(this);
    connect(rowWidget, SIGNAL(DeleteMeSignal(int)), this, SLOT(DeleteItemSlot(int)));
    rowWidget->setFilePath(path);
    rowWidget->setTaskId(m_nextTaskId++);
    auto *item = new QListWidgetItem(nullptr, 0);
    item->setData(Qt::SizeHintRole, kRowSize);
    ui->MainListWidget->insertItem(ui->MainListWidget->count(), item);
    ui->MainListWidget->setItemWidget(item, rowWidget);
}

void FilesToPdfWidget::addFilesDialog()
{
    for (const QString &path : pickFiles(this, m_fileFilter))
        addConverterRow(path);
}

void FilesToPdfWidget::addFolderFiles(const QString &folder, QStringList &files)
{
    appendFolderFiles(folder, files);
}

int FilesToPdfWidget::rowCount() const
{
    return ui->MainListWidget->count();
}

ConverterItemWidget *FilesToPdfWidget::row(int index) const
{
    return qobject_cast<ConverterItemWidget *>(
        ui->MainListWidget->itemWidget(ui->MainListWidget->item(index)));
}

void FilesToPdfWidget::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
}

void FilesToPdfWidget::dropEvent(QDropEvent *event)
{
    if (!event->mimeData() || event->mimeData()->urls().isEmpty())
        return;
    for (const QString &path : droppedFiles(event->mimeData(), kOfficeSuffixes))
        addConverterRow(path);
    if (rowCount() > 0)
        setPage(1);
}

void FilesToPdfWidget::DeleteItemSlot(int taskId)
{
    for (int i = 0; i < rowCount(); ++i) {
        ConverterItemWidget *rowWidget = row(i);
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

void FilesToPdfWidget::on_AddFileBtn_AddFile_clicked()
{
    addFilesDialog();
    if (rowCount() > 0)
        setPage(1);
}

void FilesToPdfWidget::on_MainBtn_AddFile_clicked()
{
    addFilesDialog();
}

void FilesToPdfWidget::on_MainBtn_ClearList_clicked()
{
    if (!confirm(QStringLiteral("确定清空吗？"), QStringLiteral("只会清空记录，本地文件不会删除")))
        return;
    while (rowCount() > 0)
        removeRowAt(0);
    showEmptyStateWhenNoRows();
}

void FilesToPdfWidget::on_btn_AllConvert_clicked()
{
    for (int i = 0; i < rowCount(); ++i) {
        if (ConverterItemWidget *rowWidget = row(i))
            rowWidget->startConversion();
    }
}

void FilesToPdfWidget::on_btn_ChangeOutPutDir_clicked()
{
    const QString folder = chooseOutputDir(this, ui->lineEdit_OutPutDir->text());
    if (!folder.isEmpty())
        ui->lineEdit_OutPutDir->setText(folder);
}

void FilesToPdfWidget::on_btn_OpenOutPutDir_clicked()
{
    openOutputDir(ui->lineEdit_OutPutDir->text());
}

void FilesToPdfWidget::removeRowAt(int index)
{
    if (ConverterItemWidget *rowWidget = row(index))
        rowWidget->releaseItem();
    delete ui->MainListWidget->takeItem(index);
}

void FilesToPdfWidget::showEmptyStateWhenNoRows()
{
    if (rowCount() == 0)
        setPage(0);
}
