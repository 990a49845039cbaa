#include "ConverterItemWidget.h"
#include "ui_ConverterItemWidget.h"

#include "AnimationEffectData.h"
#include "BackgroundProcessAnimationEffect.h"
#include "FilePageCount.h"
#include "FileToPdfJobEntity.h"
#include "RowPresentation.h"
#include "SettingsStore.h"
#include "WidgetUtils.h"
#include "WorkspaceResources.h"

#include <QEvent>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

using namespace RowPresentation;

ConverterItemWidget::ConverterItemWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::ConverterItemWidget)
{
    initWorkspaceResources();
    ui->setupUi(this);
    initItem();
    ui->stackedWidget->setCurrentIndex(ReadyPage);
}

ConverterItemWidget::~ConverterItemWidget()
{
    // The page releases a row before deleting it, but a row that goes away with its page
    // at exit must not leave an engine running either.
    releasePageCount();
    releaseJob();
    delete ui;
}

void ConverterItemWidget::initItem()
{
    m_effect = new BackgroundProcessAnimationEffect(ui->widget);
    m_effect->install(ui->widget);
    m_effectData = new AnimationEffectData(nullptr);
    m_effectData->setEffect(m_effect, 2);
    ui->widget->setProperty("RoleEffectData", QVariant::fromValue(m_effectData));
    setProgress(0);

    m_delayTimer = new QTimer(this);
    m_delayTimer->setSingleShot(true);
    connect(m_delayTimer, &QTimer::timeout, this, &ConverterItemWidget::DelayEffectTimeOut);

    ui->lineEdit_EditName->installEventFilter(this);
    setDeleteButtonsEnabled(false);
    ui->widget_opensource->hide();
    ui->widget_Filemsg->installEventFilter(this);
}

void ConverterItemWidget::setFilePath(const QString &path)
{
    m_sourcePath = path;
    releasePageCount();
    m_pageCount = new FilePageCount(path);
    m_pageCount->start(QThread::InheritPriority);
    connect(m_pageCount, SIGNAL(PageCountResultSignal(QString)), this,
            SLOT(PageCountResultSlots(QString)));

    const QFileInfo info(path);
    ui->widget_FileIcon->setStyleSheet(fileIconStyle(info.suffix().toLower(), false));
    const QString name = info.completeBaseName();
    ui->label_InputFileName->setText(elideText(ui->label_InputFileName->font(), name, kNameWidth));
    ui->label_InputFileFormat->setText(info.suffix());
    ui->label_FileSize->setText(m_pageCount->fileSizeText());
    ui->label_OutputFileName->setText(
        elideText(ui->label_OutputFileName->font(), name, kNameWidth));
    ui->lineEdit_EditName->setText(name);
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
    const int page = ui->stackedWidget->currentIndex();
    if (page == ConvertingPage || page == SucceededPage || page == FailedPage)
        return;
    createJob();
    if (!m_job)
        return;
    const QString outputPath = readConfigValue(QStringLiteral("convert/FileConvertOutPutDir")) +
                               QStringLiteral("/") + ui->lineEdit_EditName->text() +
                               QStringLiteral(".pdf");
    m_job->setJobParams(m_sourcePath, outputPath);
    m_job->start(QThread::InheritPriority);
    ui->stackedWidget->setCurrentIndex(ConvertingPage);
}

void ConverterItemWidget::releaseItem()
{
    setProgress(0);
    releasePageCount();
    releaseJob();
}

void ConverterItemWidget::PageCountResultSlots(QString pageCount)
{
    ui->label_InputFilePages->setText(pageCountText(pageCount));
    if (m_pageCount) {
        m_pageCount->deleteLater();
        m_pageCount = nullptr;
    }
}

void ConverterItemWidget::on_btn_ConvertReady_clicked()
{
    startConversion();
}

void ConverterItemWidget::ProcessResultSlot(bool result, QString outputFilePath)
{
    if (!isConverting())
        return;
    m_outputPath = outputFilePath;
    m_result = result;
    setProgress(100);
    m_delayTimer->start(kResultHoldMs);
}

void ConverterItemWidget::ProcessStateSlot(int state)
{
    // Once the result is in, a late poll of the state file must not pull the fill back.
    if (!isConverting() || m_delayTimer->isActive())
        return;
    ui->label_ConvertProcess->setText(QString::number(state) + QStringLiteral("%"));
    setProgress(state);
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
    if (!m_delayTimer)
        return;
    m_delayTimer->stop();
    setProgress(0);
    ui->label_ConvertProcess->setText(QStringLiteral("100%"));
    ui->stackedWidget->setCurrentIndex(m_result ? SucceededPage : FailedPage);
    releaseJob();
}

void ConverterItemWidget::on_btn_ConvertRetry_clicked()
{
    // A failed row is final for convert-all, but its own retry button starts it afresh.
    if (ui->stackedWidget->currentIndex() != FailedPage)
        return;
    ui->stackedWidget->setCurrentIndex(ReadyPage);
    startConversion();
}

void ConverterItemWidget::on_btn_ConvertEnd_Converting_clicked()
{
    ui->stackedWidget->setCurrentIndex(ReadyPage);
    releaseJob();
}

void ConverterItemWidget::on_btn_ConvertEnd_Wait_clicked()
{
    ui->stackedWidget->setCurrentIndex(ReadyPage);
    releaseJob();
}

void ConverterItemWidget::on_btn_OpenConvertedFile_clicked()
{
    openLocalPath(m_outputPath);
}

void ConverterItemWidget::on_btn_OpenConvertedFolder_clicked()
{
    if (!m_outputPath.isEmpty())
        openLocalPath(QFileInfo(m_outputPath).absolutePath());
}

void ConverterItemWidget::on_btn_ChangeOutputFileName_clicked()
{
    ui->stackedWidget_Edit->setCurrentIndex(1);
}

void ConverterItemWidget::on_btn_openSourceFile_clicked()
{
    openLocalPath(m_sourcePath);
}

bool ConverterItemWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->lineEdit_EditName && event->type() == QEvent::FocusOut)
        commitOutputFileName();
    if (watched == ui->widget_Filemsg) {
        if (event->type() == QEvent::Enter)
            ui->widget_opensource->show();
        else if (event->type() == QEvent::Leave)
            ui->widget_opensource->hide();
    }
    return QWidget::eventFilter(watched, event);
}

void ConverterItemWidget::enterEvent(QEvent *)
{
    setDeleteButtonsEnabled(true);
    ui->widget->setStyleSheet(
        QStringLiteral("#widget{background-color: rgba(244, 244, 244, 80);}"));
}

void ConverterItemWidget::leaveEvent(QEvent *)
{
    setDeleteButtonsEnabled(false);
    ui->widget->setStyleSheet(QStringLiteral("#widget{background-color: #FFFFFF;}"));
}

void ConverterItemWidget::setProgress(double percent)
{
    if (!m_effect)
        return;
    const int range = m_effect->maximum() - m_effect->minimum();
    m_effect->setProcessValue(static_cast<int>(percent * range / 100));
}

void ConverterItemWidget::createJob()
{
    if (m_job)
        return;
    m_job = new FileToPdfJobEntity();
    // Signals already queued by an ended job must not reach a later one, even if the new
    // job happens to reuse the old one's address.
    const QPointer<FileToPdfJobEntity> job(m_job);
    connect(m_job, &FileToPdfJobEntity::ProcessResult, this,
            [this, job](bool result, QString path) {
                if (job && job == m_job)
                    ProcessResultSlot(result, path);
            });
    connect(m_job, &FileToPdfJobEntity::ProcessState, this, [this, job](int state) {
        if (job && job == m_job)
            ProcessStateSlot(state);
    });
    ui->btn_ChangeOutputFileName->hide();
}

void ConverterItemWidget::releaseJob()
{
    // A result still on hold belongs to the job being let go; it must not reach the row.
    m_delayTimer->stop();
    ui->btn_ChangeOutputFileName->show();
    setProgress(0);
    if (m_effectData) {
        // Nothing may find the holder through the widget once it is gone.
        ui->widget->setProperty("RoleEffectData",
                                QVariant::fromValue<AnimationEffectData *>(nullptr));
        delete m_effectData;
        m_effectData = nullptr;
    }
    if (m_job) {
        FileToPdfJobEntity *job = m_job;
        m_job = nullptr;
        job->stopJob();
        delete job;
    }
}

void ConverterItemWidget::releasePageCount()
{
    delete m_pageCount;
    m_pageCount = nullptr;
}

void ConverterItemWidget::commitOutputFileName()
{
    ui->stackedWidget_Edit->setCurrentIndex(0);
    ui->label_OutputFileName->setText(
        elideText(ui->label_OutputFileName->font(), ui->lineEdit_EditName->text(), kNameWidth));
}

void ConverterItemWidget::setDeleteButtonsEnabled(bool enabled)
{
    for (QPushButton *button :
         {ui->btn_DeleteItem_Converting, ui->btn_DeleteItem_Wait, ui->btn_DeleteItem_Successed,
          ui->btn_DeleteItemRetry, ui->btn_DeleteItemReady})
        button->setEnabled(enabled);
}

bool ConverterItemWidget::isConverting() const
{
    return m_job && ui->stackedWidget->currentIndex() == ConvertingPage;
}
