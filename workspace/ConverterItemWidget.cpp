#include "ConverterItemWidget.h"
#include "ui_ConverterItemWidget.h"

#include "ConversionRowCore.h"
#include "FileToPdfJobEntity.h"
#include "WorkspaceResources.h"

namespace {
const QString kPdfSuffix = QStringLiteral(".pdf");
}

ConverterItemWidget::ConverterItemWidget(QWidget *parent, bool buildFormNow)
    : QWidget(parent), ui(new Ui::ConverterItemWidget)
{
    initWorkspaceResources();
    m_core = std::make_unique<Core>(this, ui);
    if (buildFormNow)
        buildForm();
}

void ConverterItemWidget::buildForm()
{
    if (m_core->isBuilt())
        return;
    ui->setupUi(this);
    initItem();
}

ConverterItemWidget::~ConverterItemWidget()
{
    // The page releases a row before deleting it, but a row that goes away with its page
    // at exit must not leave an engine running either.
    m_core->releaseItem();
    m_core.reset();
    delete ui;
}

void ConverterItemWidget::initItem()
{
    m_core->init();
}

void ConverterItemWidget::setFilePath(const QString &path)
{
    m_core->setFilePath(path, false);
}

void ConverterItemWidget::setTaskId(int taskId)
{
    m_taskId = taskId;
}

int ConverterItemWidget::taskId() const
{
    return m_taskId;
}

void ConverterItemWidget::startConversion()
{
    buildForm();
    m_core->start(kPdfSuffix);
}

void ConverterItemWidget::releaseItem()
{
    m_core->releaseItem();
}

QString ConverterItemWidget::filePath() const
{
    return m_core->sourcePath();
}

QString ConverterItemWidget::pageCountText() const
{
    return m_core->pageCountText();
}

QString ConverterItemWidget::outputPath() const
{
    return m_core->outputPath();
}

void ConverterItemWidget::PageCountResultSlots(QString pageCount)
{
    m_core->showPageCount(pageCount);
}

void ConverterItemWidget::on_btn_ConvertReady_clicked()
{
    startConversion();
}

void ConverterItemWidget::ProcessResultSlot(bool result, QString outputFilePath)
{
    m_core->holdResult(result, outputFilePath);
}

void ConverterItemWidget::ProcessStateSlot(int state)
{
    m_core->showProgress(state);
}

void ConverterItemWidget::on_btn_DeleteItem_Converting_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void ConverterItemWidget::on_btn_DeleteItem_Wait_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void ConverterItemWidget::on_btn_DeleteItem_Successed_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void ConverterItemWidget::on_btn_DeleteItemRetry_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void ConverterItemWidget::on_btn_DeleteItemReady_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void ConverterItemWidget::DelayEffectTimeOut()
{
    m_core->showHeldResult();
}

void ConverterItemWidget::on_btn_ConvertRetry_clicked()
{
    m_core->retry(kPdfSuffix);
}

void ConverterItemWidget::on_btn_ConvertEnd_Converting_clicked()
{
    m_core->endConversion();
}

void ConverterItemWidget::on_btn_ConvertEnd_Wait_clicked()
{
    m_core->endConversion();
}

void ConverterItemWidget::on_btn_OpenConvertedFile_clicked()
{
    m_core->openOutputFile();
}

void ConverterItemWidget::on_btn_OpenConvertedFolder_clicked()
{
    m_core->openOutputFolder();
}

void ConverterItemWidget::on_btn_ChangeOutputFileName_clicked()
{
    m_core->openNameEditor();
}

void ConverterItemWidget::on_btn_openSourceFile_clicked()
{
    m_core->openSourceFile();
}

bool ConverterItemWidget::eventFilter(QObject *watched, QEvent *event)
{
    m_core->filter(watched, event);
    return QWidget::eventFilter(watched, event);
}

void ConverterItemWidget::enterEvent(QEvent *)
{
    m_core->pointerEntered();
}

void ConverterItemWidget::leaveEvent(QEvent *)
{
    m_core->pointerLeft();
}
