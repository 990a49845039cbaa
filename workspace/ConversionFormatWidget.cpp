#include "ConversionFormatWidget.h"
#include "ui_ConversionFormatWidget.h"

#include "ConversionFormatListItemWidget.h"
#include "OutputFormats.h"
#include "WorkspaceResources.h"

ConversionFormatWidget::ConversionFormatWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::ConversionFormatWidget)
{
    initWorkspaceResources();
    ui->setupUi(this);
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    for (const OutputFormat &format : outputFormats())
        addFormatItem(format.identifier, format.description);
}

ConversionFormatWidget::~ConversionFormatWidget()
{
    delete ui;
}

void ConversionFormatWidget::addFormatItem(const QString &format, const QString &description)
{
    if (format.isEmpty() || description.isEmpty())
        return;
    auto *row = new ConversionFormatListItemWidget(this);
    connect(row, SIGNAL(ClickButtonSignal(QString)), this, SLOT(ClickFromatButtonSlot(QString)));
    row->setFormatTexts(format, description);
    auto *item = new QListWidgetItem(nullptr, 0);
    item->setData(Qt::SizeHintRole, QSize(116, 42));
    ui->listWidget->insertItem(ui->listWidget->count(), item);
    ui->listWidget->setItemWidget(item, row);
}

void ConversionFormatWidget::selectFormat(const QString &format)
{
    m_selectedFormat = format;
    for (int i = 0; i < ui->listWidget->count(); ++i) {
        auto *row = item(i);
        if (row)
            row->setSelected(row->format() == format);
    }
}

int ConversionFormatWidget::itemCount() const
{
    return ui->listWidget->count();
}

ConversionFormatListItemWidget *ConversionFormatWidget::item(int row) const
{
    return qobject_cast<ConversionFormatListItemWidget *>(
        ui->listWidget->itemWidget(ui->listWidget->item(row)));
}

void ConversionFormatWidget::ClickFromatButtonSlot(QString format)
{
    if (format.isEmpty())
        return;
    selectFormat(format);
    emit ClickFormatSignal(format);
    hide();
}
