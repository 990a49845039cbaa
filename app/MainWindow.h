#pragma once

#include "BaseMainWindow.h"
#include "DimOverlayHost.h"

#include <QString>

namespace Ui {
class MainWindow;
}

class DimOverlay;
class HelpUrlRequest;
class ImageWordButton;
class MemberCenterDialog;
class MoreDialog;
class UserInfoManage;

// The one top-level window: navigation on the left, the header with the login state, the
// more menu and the window buttons, and the page stack with the two conversion pages.
class MainWindow : public BaseMainWindow, public DimOverlayHost
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void showDimOverlay() override;
    void hideDimOverlay() override;
    bool isLoggedIn() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    QWidget *titleWidget() override;
    QWidget *dropAreaWidget() override;

public slots:
    void on_btn_close_clicked();
    void on_btn_min_clicked();
    void on_btn_More_clicked();
    void on_PdfToFile_clicked();
    void on_FileToPdf_clicked();
    void on_btn_login_clicked();
    void ShowAboutWndSlot();
    void LoginSuccessSlot();
    void ExitLoginSlot();
    void GetUserInfoResultSlot(bool result);
    void GetHelpUrlSlot(QString url);

private:
    ImageWordButton *addNavigationButton(const QString &text, const QString &icon,
                                         const QString &selectedIcon,
                                         void (MainWindow::*clickSlot)());
    void showAccountPopup();

    Ui::MainWindow *ui = nullptr;
    ImageWordButton *fileToPdfButton = nullptr;
    ImageWordButton *pdfToFileButton = nullptr;
    MoreDialog *moreDialog = nullptr;
    MemberCenterDialog *accountPopup = nullptr;
    UserInfoManage *userInfoManage = nullptr;
    HelpUrlRequest *helpUrlRequest = nullptr;
    QString helpUrl;
    DimOverlay *dimOverlay = nullptr;
};
