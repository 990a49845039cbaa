#include "DesktopSize.h"
#include "EngineFolders.h"
#include "EngineProcess.h"
#include "HighDpiSetup.h"
#include "MainWindow.h"
#include "QtChineseTranslation.h"
#include "QtSingleApplication.h"
#include "SecondInstanceHandOff.h"
#include "ServiceEndpoints.h"
#include "SettingsStore.h"
#include "StartDialog.h"
#include "StartNetRequest.h"
#include "StartupMode.h"

#include <QThreadPool>

namespace {

void sendReport(const QString &path, int replyTimeoutMs = 0)
{
    auto *request = new StartNetRequest();
    request->setParams(serviceUrl(path), QStringLiteral("30000"), installChannel());
    request->setReplyTimeoutMs(replyTimeoutMs);
    request->sendReport(StartNetRequest::headedReportMode);
    delete request;
}

} // namespace

int main(int argc, char *argv[])
{
    QSize desktopSize;
    const bool haveDesktopSize = queryDesktopSize(desktopSize);
    applyHighDpiAttributes(haveDesktopSize, desktopSize);

    QtSingleApplication app(argc, argv, true);
    if (app.isRunning()) {
        handOffToRunningInstance();
        return 0;
    }

    installQtChineseTranslation(app);

    switch (startupModeFromArguments(QCoreApplication::arguments())) {
    case StartupMode::Uninstall:
        return 0;
    case StartupMode::Install:
        sendReport(QStringLiteral("/v1/report/activateV2"));
        return 0;
    case StartupMode::Normal:
        break;
    }

    // What earlier runs that were killed left of their engines goes, away from the window.
    QThreadPool::globalInstance()->start([] { removeEngineFilesOfEndedRuns(); });

    // Sent before anything is shown: a silent service may hold the first window back only
    // briefly.
    sendReport(QStringLiteral("/v1/report/start"), StartNetRequest::startReportTimeoutMs);

    auto *splash = new StartDialog(nullptr);
    splash->setFocus(Qt::OtherFocusReason);
    splash->raise();
    splash->exec();
    delete splash;

    int exitCode = 0;
    {
        MainWindow window(nullptr);
        window.show();
        exitCode = QApplication::exec();
    } // the rows go with the window and hand their engines on to be ended
    EngineProcess::finishEnding();
    return exitCode;
}
