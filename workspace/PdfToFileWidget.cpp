#include "PdfToFileWidget.h"
#include "ui_PdfToFileWidget.h"

#include "AllOutFormatSettingDialog.h"
#include "ConversionPageCore.h"
#include "ModalDialog.h"
#include "QuorvaneItemWidget.h"
#include "WorkspaceResources.h"

#include <QDragEnterEvent>

namespace {
PageSupport::ImageButtonLook setAllButtonLook()
{
    auto style = [](const QString &iconRule, const QString &colour) {
        return PageSupport::imageButtonStyle(iconRule, colour,
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
    m_core = std::make_unique<Core>(this, ui);
    setAcceptDrops(true);
    initPage();
}

PdfToFileWidget::~PdfToFileWidget()
{
    m_core.reset();
    delete ui;
}

void PdfToFileWidget::initPage()
{
    m_core->init(QStringLiteral("*.pdf"));
    PageSupport::applyLook(ui->imgbtn_allsets, setAllButtonLook());
    connect(ui->imgbtn_allsets, SIGNAL(ClickButtonSignal()), this, SLOT(on_btn_AllSets_clicked()));
    setPage(0);
}

void PdfToFileWidget::setPage(int index)
{
    m_core->setPage(index);
    if (index == 0)
        ui->imgbtn_allsets->hide();
    else if (index == 1)
        ui->imgbtn_allsets->show();
}

void PdfToFileWidget::refreshOutputDir()
{
    m_core->refreshOutputDir();
}

void PdfToFileWidget::addConverterRow(const QString &path)
{
    m_core->addConverterRow(path);
}

void PdfToFileWidget::addFilesDialog()
{
    m_core->addFilesDialog();
}

void PdfToFileWidget::addFolderFiles(const QString &folder, QStringList &files)
{
    PageSupport::appendFolderFiles(folder, files);
}

int PdfToFileWidget::rowCount() const
{
    return m_core->rowCount();
}

QuorvaneItemWidget *PdfToFileWidget::row(int index) const
{
    return m_core->builtRowAt(index);
}

void PdfToFileWidget::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
}

void PdfToFileWidget::dropEvent(QDropEvent *event)
{
    m_core->drop(event, {QStringLiteral("pdf")});
}

void PdfToFileWidget::DeleteItemSlot(int taskId)
{
    m_core->deleteRow(taskId);
}

void PdfToFileWidget::ClickAllSettingFormatSlot(QString format)
{
    if (format.isEmpty())
        return;
    // Rows whose form is not built yet keep the format for it.
    m_core->forEachRow([&format](QuorvaneItemWidget *row) { row->setOutputFormat(format); });
}

void PdfToFileWidget::on_AddFileBtn_AddFile_clicked()
{
    m_core->addFilesFromEmptyPage();
}

void PdfToFileWidget::on_btn_AllSets_clicked()
{
    QWidget *owner = PageSupport::modalOwner();
    if (!owner)
        return;
    AllOutFormatSettingDialog dialog(owner);
    connect(&dialog, SIGNAL(ClickAllSettingFormatSignal(QString)), this,
            SLOT(ClickAllSettingFormatSlot(QString)));
    execModalDialog(&dialog, owner);
}

void PdfToFileWidget::on_MainBtn_AddFile_clicked()
{
    m_core->addFilesDialog();
}

void PdfToFileWidget::on_MainBtn_ClearList_clicked()
{
    m_core->clearList();
}

void PdfToFileWidget::on_btn_AllConvert_clicked()
{
    m_core->convertAll();
}

void PdfToFileWidget::on_btn_ChangeOutPutDir_clicked()
{
    m_core->changeOutputDir();
}

void PdfToFileWidget::on_btn_OpenOutPutDir_clicked()
{
    m_core->openOutputDir();
}
