#include "QuorvaneItemWidget.h"
#include "ui_QuorvaneItemWidget.h"

#include "ConversionRowCore.h"
#include "OutputFormats.h"
#include "PdfToFileJobEntity.h"
#include "WorkspaceResources.h"

QuorvaneItemWidget::QuorvaneItemWidget(QWidget *parent, bool buildFormNow)
    : QWidget(parent), ui(new Ui::QuorvaneItemWidget)
{
    initWorkspaceResources();
    m_core = std::make_unique<Core>(this, ui);
    if (buildFormNow)
        buildForm();
}

QuorvaneItemWidget::~QuorvaneItemWidget()
{
    // The page releases a row before deleting it, but a row that goes away with its page
    // at exit must not leave an engine running either.
    m_core->releaseItem();
    m_core.reset();
    delete ui;
}

void QuorvaneItemWidget::buildForm()
{
    if (m_core->isBuilt())
        return;
    ui->setupUi(this);
    initItem();
    if (!m_formatBeforeForm.isEmpty())
        ui->widget_dropdown->setFormat(m_formatBeforeForm);
}

void QuorvaneItemWidget::initItem()
{
    m_core->init();
    connect(ui->widget_dropdown, SIGNAL(FormatChangedSignal(QString)), this,
            SLOT(FormatChangedSlot(QString)));
}

void QuorvaneItemWidget::setFilePath(const QString &path)
{
    m_core->setFilePath(path, true);
    m_outputSuffix = QStringLiteral(".") + currentFormat();
}

QString QuorvaneItemWidget::currentFormat() const
{
    if (m_core->isBuilt())
        return ui->widget_dropdown->format();
    return m_formatBeforeForm.isEmpty() ? defaultOutputFormat() : m_formatBeforeForm;
}

void QuorvaneItemWidget::setTaskId(int taskId)
{
    m_taskId = taskId;
}

int QuorvaneItemWidget::taskId() const
{
    return m_taskId;
}

void QuorvaneItemWidget::setOutputFormat(const QString &format)
{
    if (!m_core->isBuilt()) {
        m_formatBeforeForm = format;
        setOutputSuffix(format);
    } else if (ui->widget_dropdown->isEnabled()) {
        ui->widget_dropdown->setFormat(format);
    }
}

void QuorvaneItemWidget::startConversion()
{
    buildForm();
    if (m_core->start(m_outputSuffix))
        setDropDownEnabled(false);
}

void QuorvaneItemWidget::releaseItem()
{
    m_core->releaseItem();
}

QString QuorvaneItemWidget::filePath() const
{
    return m_core->sourcePath();
}

QString QuorvaneItemWidget::pageCountText() const
{
    return m_core->pageCountText();
}

QString QuorvaneItemWidget::outputPath() const
{
    return m_core->outputPath();
}

void QuorvaneItemWidget::PageCountResultSlots(QString pageCount)
{
    m_core->showPageCount(pageCount);
}

void QuorvaneItemWidget::on_btn_ConvertReady_clicked()
{
    startConversion();
}

void QuorvaneItemWidget::ProcessResultSlot(bool result, QString outputFilePath)
{
    m_core->holdResult(result, outputFilePath);
}

void QuorvaneItemWidget::ProcessStateSlot(int state)
{
    m_core->showProgress(state);
}

void QuorvaneItemWidget::on_btn_DeleteItem_Converting_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void QuorvaneItemWidget::on_btn_DeleteItem_Wait_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void QuorvaneItemWidget::on_btn_DeleteItem_Successed_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void QuorvaneItemWidget::on_btn_DeleteItemRetry_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void QuorvaneItemWidget::on_btn_DeleteItemReady_clicked()
{
    emit DeleteMeSignal(m_taskId);
}

void QuorvaneItemWidget::DelayEffectTimeOut()
{
    // A succeeded row keeps its format; a failed one may choose another.
    if (!m_core->showHeldResult())
        setDropDownEnabled(true);
}

void QuorvaneItemWidget::on_btn_ConvertRetry_clicked()
{
    if (m_core->retry(m_outputSuffix))
        setDropDownEnabled(false);
}

void QuorvaneItemWidget::on_btn_ConvertEnd_Converting_clicked()
{
    setDropDownEnabled(true);
    m_core->endConversion();
}

void QuorvaneItemWidget::on_btn_ConvertEnd_Wait_clicked()
{
    m_core->endConversion();
}

void QuorvaneItemWidget::on_btn_OpenConvertedFile_clicked()
{
    m_core->openOutputFile();
}

void QuorvaneItemWidget::on_btn_OpenConvertedFolder_clicked()
{
    m_core->openOutputFolder();
}

void QuorvaneItemWidget::on_btn_ChangeOutputFileName_clicked()
{
    m_core->openNameEditor();
}

void QuorvaneItemWidget::FormatChangedSlot(QString format)
{
    if (!format.isEmpty())
        setOutputSuffix(format);
}

void QuorvaneItemWidget::on_btn_openSourceFile_clicked()
{
    m_core->openSourceFile();
}

bool QuorvaneItemWidget::eventFilter(QObject *watched, QEvent *event)
{
    m_core->filter(watched, event);
    return QWidget::eventFilter(watched, event);
}

void QuorvaneItemWidget::enterEvent(QEvent *)
{
    m_core->pointerEntered();
}

void QuorvaneItemWidget::leaveEvent(QEvent *)
{
    m_core->pointerLeft();
}

void QuorvaneItemWidget::setOutputSuffix(const QString &format)
{
    m_outputSuffix = QStringLiteral(".") + format;
}

void QuorvaneItemWidget::setDropDownEnabled(bool enabled)
{
    ui->widget_dropdown->setEnabled(enabled);
    ui->widget_dropdown->setEnabledLook(enabled);
}
