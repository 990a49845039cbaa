#include "FilesToPdfWidget.h"
#include "ui_FilesToPdfWidget.h"

#include "ConversionPageCore.h"
#include "ConverterItemWidget.h"
#include "WorkspaceResources.h"

#include <QDragEnterEvent>

FilesToPdfWidget::FilesToPdfWidget(QWidget *parent) : QWidget(parent), ui(new Ui::FilesToPdfWidget)
{
    initWorkspaceResources();
    ui->setupUi(this);
    m_core = std::make_unique<Core>(this, ui);
    setAcceptDrops(true);
    initPage();
}

FilesToPdfWidget::~FilesToPdfWidget()
{
    m_core.reset();
    delete ui;
}

void FilesToPdfWidget::initPage()
{
    m_core->init(QStringLiteral("*.doc *.docx *.ppt *.pptx *.xls *.xlsx"));
    setPage(0);
}

void FilesToPdfWidget::setPage(int index)
{
    m_core->setPage(index);
}

void FilesToPdfWidget::refreshOutputDir()
{
    m_core->refreshOutputDir();
}

void FilesToPdfWidget::addConverterRow(const QString &path)
{
    m_core->addConverterRow(path);
}

void FilesToPdfWidget::addFilesDialog()
{
    m_core->addFilesDialog();
}

void FilesToPdfWidget::addFolderFiles(const QString &folder, QStringList &files)
{
    PageSupport::appendFolderFiles(folder, files);
}

int FilesToPdfWidget::rowCount() const
{
    return m_core->rowCount();
}

ConverterItemWidget *FilesToPdfWidget::row(int index) const
{
    return m_core->builtRowAt(index);
}

void FilesToPdfWidget::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
}

void FilesToPdfWidget::dropEvent(QDropEvent *event)
{
    m_core->drop(event, {QStringLiteral("docx"), QStringLiteral("doc"), QStringLiteral("xlsx"),
                         QStringLiteral("xls"), QStringLiteral("pptx"), QStringLiteral("ppt")});
}

void FilesToPdfWidget::DeleteItemSlot(int taskId)
{
    m_core->deleteRow(taskId);
}

void FilesToPdfWidget::on_AddFileBtn_AddFile_clicked()
{
    m_core->addFilesFromEmptyPage();
}

void FilesToPdfWidget::on_MainBtn_AddFile_clicked()
{
    m_core->addFilesDialog();
}

void FilesToPdfWidget::on_MainBtn_ClearList_clicked()
{
    m_core->clearList();
}

void FilesToPdfWidget::on_btn_AllConvert_clicked()
{
    m_core->convertAll();
}

void FilesToPdfWidget::on_btn_ChangeOutPutDir_clicked()
{
    m_core->changeOutputDir();
}

void FilesToPdfWidget::on_btn_OpenOutPutDir_clicked()
{
    m_core->openOutputDir();
}
