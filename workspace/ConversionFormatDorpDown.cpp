#include "ConversionFormatDorpDown.h"
#include "ui_ConversionFormatDorpDown.h"

#include "ConversionFormatWidget.h"
#include "WorkspaceResources.h"

namespace {

QString dropDownLook(const QString &background, const QString &border, const QString &arrow,
                     const QString &labelColour)
{
    return QStringLiteral("#widget{background-color: %1;border-radius: 2px;border: 1px solid %2;}"
                          "#img_arraw{border-image: url(:/Resources/btn/%3);}"
                          "#label{font: 12px \"Microsoft YaHei UI\";color: %4;}")
        .arg(background, border, arrow, labelColour);
}

const QString kWhite = QStringLiteral("rgba(255, 255, 255, 255)");
const QString kDarkArrow = QStringLiteral("btn_choice.png");
const QString kGreyArrow = QStringLiteral("btn_choice_undisable.png");

QString enabledLook()
{
    return dropDownLook(kWhite, "#E0E0E0", kDarkArrow, "rgba(51, 51, 51, 255)");
}

QString disabledLook()
{
    return dropDownLook("rgba(255, 255, 255, 150)", "#E0E0E0", kGreyArrow, "rgba(51, 51, 51, 150)");
}

QString hoveredLook()
{
    return dropDownLook(kWhite, "#389BFD", kGreyArrow, "rgba(56, 155, 253, 255)");
}

QString leftLook()
{
    return dropDownLook(kWhite, "#E0E0E0", kGreyArrow, "rgba(51, 51, 51, 255)");
}

QString pressedLook()
{
    return dropDownLook(kWhite, "#2C7CCA", kGreyArrow, "rgba(44, 124, 202, 255)");
}

} // namespace

ConversionFormatDorpDown::ConversionFormatDorpDown(QWidget *parent)
    : QWidget(parent), ui(new Ui::ConversionFormatDorpDown)
{
    initWorkspaceResources();
    ui->setupUi(this);
    applyLook(enabledLook());
}

ConversionFormatDorpDown::~ConversionFormatDorpDown()
{
    delete m_popup;
    delete ui;
}

QString ConversionFormatDorpDown::format() const
{
    return ui->label->text();
}

void ConversionFormatDorpDown::setFormat(const QString &format)
{
    ui->label->setText(format);
    emit FormatChangedSignal(format);
}

void ConversionFormatDorpDown::setEnabledLook(bool enabled)
{
    ui->widget->setEnabled(enabled);
    applyLook(enabled ? enabledLook() : disabledLook());
}

void ConversionFormatDorpDown::ClickFormatSlots(QString format)
{
    setFormat(format);
}

void ConversionFormatDorpDown::mousePressEvent(QMouseEvent *)
{
    if (ui->widget->isEnabled())
        applyLook(pressedLook());
}

void ConversionFormatDorpDown::mouseReleaseEvent(QMouseEvent *)
{
    openPopup();
}

void ConversionFormatDorpDown::enterEvent(QEvent *)
{
    if (ui->widget->isEnabled())
        applyLook(hoveredLook());
}

void ConversionFormatDorpDown::leaveEvent(QEvent *)
{
    if (ui->widget->isEnabled())
        applyLook(leftLook());
}

void ConversionFormatDorpDown::applyLook(const QString &look)
{
    ui->widget->setStyleSheet(look);
}

void ConversionFormatDorpDown::openPopup()
{
    if (!m_popup) {
        m_popup = new ConversionFormatWidget(nullptr);
        connect(m_popup, SIGNAL(ClickFormatSignal(QString)), this, SLOT(ClickFormatSlots(QString)));
    }
    // The popup's list sits 4 px inside its drop-shadow frame, so shift it left by that
    // much and put it right under the 20 px field.
    const QPoint corner = mapToGlobal(QPoint(0, 0));
    m_popup->move(corner.x() - 4, corner.y() + 18);
    m_popup->setFocus(Qt::OtherFocusReason);
    m_popup->raise();
    m_popup->show();
    m_popup->selectFormat(ui->label->text());
}
