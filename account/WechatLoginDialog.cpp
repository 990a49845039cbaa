#include "WechatLoginDialog.h"
#include "ui_WechatLoginDialog.h"

#include "QHttpNetRequest.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "UserInfoManage.h"

#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTimer>

namespace {

constexpr int loadingFrameIntervalMs = 50;
constexpr int loadingFrameCount = 9;
// Far beyond any QR code; a picture that claims more is a trap that decodes into gigabytes.
constexpr int largestQrPictureSide = 4096;

// The picture, decoded only when the size its header declares is that of a QR code.
QImage loadQrPicture(const QString &path)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > largestQrPictureSide ||
        size.height() > largestQrPictureSide)
        return QImage();
    return reader.read();
}

} // namespace

WechatLoginDialog::WechatLoginDialog(QWidget *parent)
    : BaseDialog(parent, false), ui(new Ui::WechatLoginDialog), request(new QHttpNetRequest),
      loadingTimer(new QTimer)
{
    Q_INIT_RESOURCE(account);
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    enableShadow(true);
    connect(this, &WechatLoginDialog::StartGetUserInfoSignal, this,
            &WechatLoginDialog::StartGetUserInfoSlot);

    connect(request, &QHttpNetRequest::DownloadResultSignal, this,
            &WechatLoginDialog::DownloadResultSlot);
    connect(request, &QHttpNetRequest::LoginSuccessSignal, this,
            &WechatLoginDialog::LoginSuccessSlot);
    connect(request, &QHttpNetRequest::QrCodeFailedSignal, this,
            &WechatLoginDialog::QrCodeFailedSlot);
    request->setParams(serviceUrl(QStringLiteral("/v1/user/getVxLoginQrcode")),
                       QStringLiteral("30000"), installChannel());
    request->start(QThread::InheritPriority);

    ui->widget_failed->hide();
    ui->widget_login->show();
    connect(loadingTimer, &QTimer::timeout, this, &WechatLoginDialog::CheckLoginState);
    loadingTimer->start(loadingFrameIntervalMs);
}

WechatLoginDialog::~WechatLoginDialog()
{
    loadingTimer->stop();
    delete loadingTimer;
    delete ui;
    delete request;
}

QWidget *WechatLoginDialog::titleWidget()
{
    return ui->widget;
}

void WechatLoginDialog::on_btn_close_clicked()
{
    close();
}

void WechatLoginDialog::on_btn_refrash_clicked()
{
    ui->widget_failed->hide();
    ui->widget_login->show();
    request->start(QThread::InheritPriority);
}

void WechatLoginDialog::on_btn_retry_clicked()
{
    on_btn_refrash_clicked();
}

void WechatLoginDialog::QrCodeFailedSlot()
{
    showFailure();
}

void WechatLoginDialog::showFailure()
{
    ui->widget_login->hide();
    ui->widget_failed->show();
}

void WechatLoginDialog::DownloadResultSlot(bool result, QString filepath)
{
    if (!result) {
        showFailure();
        return;
    }
    const QImage image = loadQrPicture(filepath);
    if (image.isNull())
        return;
    ui->img_qrcode->setPixmap(QPixmap::fromImage(
        image.scaled(ui->img_qrcode->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    ui->img_qrcode->show();
    ui->widget_login->hide();
    ui->widget_failed->hide();
}

void WechatLoginDialog::LoginSuccessSlot(QString token)
{
    // A token the settings store refuses (one far beyond any real token) is no sign-in.
    if (!writeConfigValue(QStringLiteral("user"), QStringLiteral("token"), token)) {
        showFailure();
        return;
    }
    emit StartGetUserInfoSignal();
}

void WechatLoginDialog::StartGetUserInfoSlot()
{
    loadingTimer->stop();
    UserInfoManage *store = UserInfoManage::instance();
    if (!store)
        return;
    // Unique: a second sign-in after a failed fetch must not close the dialog twice.
    connect(store, &UserInfoManage::GetUserInfoResultSignal, this,
            &WechatLoginDialog::GetUserInfoSlot, Qt::UniqueConnection);
    store->refresh();
}

void WechatLoginDialog::GetUserInfoSlot(bool result)
{
    if (!result)
        return;
    emit LoginSuccessSignal();
    close();
}

void WechatLoginDialog::CheckLoginState()
{
    ui->img_loadding->setStyleSheet(
        QStringLiteral("#img_loadding{border-image: "
                       "url(:/Resources/gif/login_load/icon_login_load_00%1.png);}")
            .arg(loadingFrame));
    loadingFrame = loadingFrame >= loadingFrameCount ? 1 : loadingFrame + 1;
}
