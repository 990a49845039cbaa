#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "MainWindowResources.h"

#include "AboutDialog.h"
#include "DimOverlay.h"
#include "FilesToPdfWidget.h"
#include "HelpUrlRequest.h"
#include "ImageWordButton.h"
#include "MemberCenterDialog.h"
#include "MessageBoxDialog.h"
#include "ModalDialog.h"
#include "MoreDialog.h"
#include "PdfToFileWidget.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "UserInfoManage.h"
#include "WechatLoginDialog.h"
#include "WidgetUtils.h"

#include <QDebug>
#include <QEvent>
#include <QListWidgetItem>

namespace {

const char *const applicationId = "30000";

QString navigationStyle(const QString &icon, const QString &textColour, const QString &background)
{
    return QStringLiteral("#label_icon{image: url(%1);}"
                          "#label_text{font: 14px \"Microsoft YaHei UI\";color: %2;}"
                          "#widget{background-color: %3;border-radius: 4px;}")
        .arg(icon, textColour, background);
}

const char *const loggedInLoginStyle = "#btn_login{background:transparent;border-image: "
                                       "url(:/Resources/table/table_head_portrait_small.png);}";
const char *const loggedOutLoginStyle =
    "#btn_login{background:transparent;font: 14px \"Microsoft YaHei UI\";color: "
    "#333333;}#btn_login:hover{color:#389BFD;}#btn_login:pressed{color:#2C7CCA;}";

} // namespace

MainWindow::MainWindow(QWidget *parent) : BaseMainWindow(parent), ui(new Ui::MainWindow)
{
    initMainWindowResources();
    ui->setupUi(this);
    auto *pdfPage = new PdfToFileWidget(nullptr);
    pdfPage->setObjectName(QStringLiteral("PagePdf2File"));
    ui->stackedWidget->addWidget(pdfPage);
    auto *officePage = new FilesToPdfWidget(nullptr);
    officePage->setObjectName(QStringLiteral("PageFile2Pdf"));
    ui->stackedWidget->addWidget(officePage);
    ui->stackedWidget->setCurrentIndex(0);

    dimOverlay = new DimOverlay(this);

    userInfoManage = UserInfoManage::instance();
    userInfoManage->setMainWindow(this);
    connect(userInfoManage, &UserInfoManage::GetUserInfoResultSignal, this,
            &MainWindow::GetUserInfoResultSlot);

    pdfToFileButton = addNavigationButton(
        QStringLiteral("PDF转文件"), ":/Resources/icon/icon_pdf_to_file.png",
        ":/Resources/icon/icon_pdf_to_file_select.png", &MainWindow::on_PdfToFile_clicked);
    fileToPdfButton = addNavigationButton(
        QStringLiteral("文件转PDF"), ":/Resources/icon/icon_file_to_pdf.png",
        ":/Resources/icon/icon_file_to_pdf_select.png", &MainWindow::on_FileToPdf_clicked);

    helpUrlRequest = new HelpUrlRequest();
    helpUrlRequest->setParams(secureServiceUrl(QStringLiteral("/v1/config")),
                              QString::fromLatin1(applicationId), installChannel());
    connect(helpUrlRequest, &HelpUrlRequest::GetHelpUrlSignal, this, &MainWindow::GetHelpUrlSlot);
    helpUrlRequest->start(QThread::InheritPriority);
    helpUrl = readConfigValue(QStringLiteral("user/help"));

    on_PdfToFile_clicked();
    ui->btn_login->installEventFilter(this);
    ui->label_username->installEventFilter(this);
    deviceId();

    if (!readConfigValue(QStringLiteral("user/token")).isEmpty()) {
        LoginSuccessSlot();
        userInfoManage->refresh();
    } else {
        ExitLoginSlot();
    }
}

MainWindow::~MainWindow()
{
    // The account popup and the pages' dialogs outlive this window and take their owner
    // from the store; they must find none rather than a destroyed window.
    if (userInfoManage && userInfoManage->mainWindow() == this)
        userInfoManage->setMainWindow(nullptr);
    delete moreDialog;
    delete ui;
}

ImageWordButton *MainWindow::addNavigationButton(const QString &text, const QString &icon,
                                                 const QString &selectedIcon,
                                                 void (MainWindow::*clickSlot)())
{
    auto *button = new ImageWordButton(this);
    button->setText(text);
    button->setNormalStyle(navigationStyle(icon, "#5C5C5C", "#F0F5FF"));
    button->setHoverStyle(navigationStyle(icon, "#5C5C5C", "#FFFFFF"));
    button->setPressedStyle(navigationStyle(icon, "#5C5C5C", "#FFFFFF"));
    button->setSelectedStyle(navigationStyle(selectedIcon, "#389BFD", "rgba(56, 155, 253, 51)"));
    connect(button, &ImageWordButton::ClickButtonSignal, this, clickSlot);

    auto *item = new QListWidgetItem();
    item->setData(Qt::SizeHintRole, QSize(120, 40));
    ui->listWidget_LeftFunction->insertItem(ui->listWidget_LeftFunction->count(), item);
    ui->listWidget_LeftFunction->setItemWidget(item, button);
    return button;
}

void MainWindow::showDimOverlay()
{
    if (dimOverlay)
        dimOverlay->showOverWindow();
}

void MainWindow::hideDimOverlay()
{
    if (dimOverlay)
        dimOverlay->hideOverlay();
}

bool MainWindow::isLoggedIn() const
{
    return ui->btn_login->text().isEmpty();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter &&
        (watched == ui->btn_login || watched == ui->label_username) && isLoggedIn())
        showAccountPopup();
    return BaseMainWindow::eventFilter(watched, event);
}

void MainWindow::showAccountPopup()
{
    if (!accountPopup) {
        accountPopup = new MemberCenterDialog(nullptr);
        connect(accountPopup, &MemberCenterDialog::ExitLoginSignal, this,
                &MainWindow::ExitLoginSlot);
    }
    if (accountPopup->isVisible())
        return;
    qDebug() << "enter";
    accountPopup->refreshUserInfo();
    accountPopup->move(ui->btn_login->mapToGlobal(QPoint(0, 0)) + QPoint(-52, 28));
    accountPopup->setFocus(Qt::OtherFocusReason);
    accountPopup->raise();
    accountPopup->show();
}

QWidget *MainWindow::titleWidget()
{
    return ui->centralwidget;
}

QWidget *MainWindow::dropAreaWidget()
{
    return nullptr;
}

void MainWindow::on_btn_close_clicked()
{
    MessageBoxDialog box(this);
    box.setMessage(QStringLiteral("确定退出软件吗？"),
                   QStringLiteral("如有任务在执行中，会自动取消"));
    if (execModalDialog(&box, this))
        close();
}

void MainWindow::on_btn_min_clicked()
{
    showMinimized();
}

void MainWindow::on_btn_More_clicked()
{
    if (!moreDialog) {
        moreDialog = new MoreDialog(nullptr, helpUrl);
        connect(moreDialog, &MoreDialog::ShowAboutWndSignal, this, &MainWindow::ShowAboutWndSlot);
    }
    moreDialog->move(ui->btn_More->mapToGlobal(QPoint(0, 0)) + QPoint(0, 25));
    moreDialog->setFocus(Qt::OtherFocusReason);
    moreDialog->raise();
    moreDialog->show();
}

void MainWindow::on_PdfToFile_clicked()
{
    pdfToFileButton->setHoverEnabled(false);
    fileToPdfButton->setHoverEnabled(true);
    ui->stackedWidget->setCurrentIndex(0);
    if (auto *page = qobject_cast<PdfToFileWidget *>(ui->stackedWidget->widget(0)))
        page->refreshOutputDir();
}

void MainWindow::on_FileToPdf_clicked()
{
    fileToPdfButton->setHoverEnabled(false);
    pdfToFileButton->setHoverEnabled(true);
    ui->stackedWidget->setCurrentIndex(1);
    if (auto *page = qobject_cast<FilesToPdfWidget *>(ui->stackedWidget->widget(1)))
        page->refreshOutputDir();
}

void MainWindow::on_btn_login_clicked()
{
    if (isLoggedIn())
        return;
    showDimOverlay();
    auto *dialog = new WechatLoginDialog(this);
    connect(dialog, &WechatLoginDialog::LoginSuccessSignal, this, &MainWindow::LoginSuccessSlot);
    centerOnWidget(dialog, this, true);
    dialog->setFocus(Qt::OtherFocusReason);
    dialog->raise();
    dialog->exec();
    delete dialog;
    hideDimOverlay();
}

void MainWindow::ShowAboutWndSlot()
{
    AboutDialog about(this);
    execModalDialog(&about, this);
}

void MainWindow::LoginSuccessSlot()
{
    ui->btn_login->setText(QString());
    ui->label_username->show();
    ui->btn_login->setStyleSheet(QString::fromLatin1(loggedInLoginStyle));
}

void MainWindow::ExitLoginSlot()
{
    userInfoManage->clearUserInfo();
    ui->label_username->hide();
    ui->btn_login->setText(QStringLiteral("登录"));
    ui->btn_login->setStyleSheet(QString::fromLatin1(loggedOutLoginStyle));
    writeConfigValue(QStringLiteral("user"), QStringLiteral("token"), QString());
}

void MainWindow::GetUserInfoResultSlot(bool result)
{
    if (result)
        ui->label_username->setText(userInfoManage->userInfo().nickname);
}

void MainWindow::GetHelpUrlSlot(QString url)
{
    helpUrl = url;
    if (!url.isEmpty())
        writeConfigValue(QStringLiteral("user"), QStringLiteral("help"), url);
}
