#pragma once

#include "AnimationEffectData.h"
#include "BackgroundProcessAnimationEffect.h"
#include "DesktopOpening.h"
#include "FilePageCount.h"
#include "FinishedThreadDisposal.h"
#include "OutputFormats.h"
#include "PageSupport.h"
#include "ReservedOutputName.h"
#include "RowPresentation.h"
#include "SettingsStore.h"
#include "WidgetUtils.h"

#include <QCursor>
#include <QEvent>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <memory>

// What the PDF-to-file and the file-to-PDF rows do alike: the page count, the progress fill,
// the life of the conversion job with its 600 ms result hold, the name editor and the open
// buttons. Row is the row widget whose slots receive the workers' answers, Form its generated
// form (both forms name their widgets alike) and Job its conversion job class. The row keeps
// its own slots and forwards them here; what differs (the format drop-down, the output
// suffix) stays in the row.
//
// A row's form (some eighty widgets) may be built later than the row itself: a page listing
// thousands of files builds only the forms that come into view. Until then the row keeps what
// its labels will show, and its page count runs all the same.
template <typename Row, typename Form, typename Job> class ConversionRowCore
{
public:
    ConversionRowCore(Row *row, Form *ui) : m_row(row), ui(ui) {}
    ConversionRowCore(const ConversionRowCore &) = delete;
    ConversionRowCore &operator=(const ConversionRowCore &) = delete;

    bool isBuilt() const { return m_built; }

    // Called once the row has built its form: sets it up and shows what the row holds.
    void init()
    {
        m_built = true;
        m_effect = new BackgroundProcessAnimationEffect(ui->widget);
        m_effect->install(ui->widget);
        m_effectData = new AnimationEffectData(nullptr);
        m_effectData->setEffect(m_effect, 2);
        ui->widget->setProperty("RoleEffectData", QVariant::fromValue(m_effectData));
        setProgress(0);

        // Kept for the row's whole life, so a retried conversion holds its result too.
        m_delayTimer = new QTimer(m_row);
        m_delayTimer->setSingleShot(true);
        QObject::connect(m_delayTimer, SIGNAL(timeout()), m_row, SLOT(DelayEffectTimeOut()));

        ui->lineEdit_EditName->installEventFilter(m_row);
        ui->widget_Filemsg->installEventFilter(m_row);
        m_row->installEventFilter(m_row); // its moves and its window's activation

        setDeleteButtonsEnabled(false);
        ui->widget_opensource->hide();
        ui->stackedWidget->setCurrentIndex(RowPresentation::ReadyPage);
        if (!m_sourcePath.isEmpty())
            showFileDetails();
        if (!m_pageCountText.isEmpty())
            ui->label_InputFilePages->setText(m_pageCountText);
    }

    void setFilePath(const QString &path, bool acceptPdfIcon)
    {
        m_sourcePath = path;
        m_acceptPdfIcon = acceptPdfIcon;
        releasePageCount();
        m_pageCount = new FilePageCount(path);
        m_pageCount->start(QThread::InheritPriority);
        QObject::connect(m_pageCount, SIGNAL(PageCountResultSignal(QString)), m_row,
                         SLOT(PageCountResultSlots(QString)));
        m_fileSizeText = m_pageCount->fileSizeText();
        if (m_built)
            showFileDetails();
    }

    // The page count as the row shows it: "读取中" until the answer is in.
    QString pageCountText() const
    {
        return m_pageCountText.isEmpty() ? QStringLiteral("读取中") : m_pageCountText;
    }

    void showPageCount(const QString &pageCount)
    {
        m_pageCountText = RowPresentation::pageCountText(pageCount);
        if (m_built)
            ui->label_InputFilePages->setText(m_pageCountText);
        if (m_pageCount) {
            m_pageCount->deleteLater();
            m_pageCount = nullptr;
        }
    }

    // Starts a job writing the edited name with suffix into the output folder, under the
    // first free name beside it when a file is there already, and shows that name; false
    // when the row is converting or finished and so stays as it is. A source that has gone
    // since it was listed fails at once, without an engine. An output folder that cannot be
    // written into leaves the row ready, and the user is told.
    bool start(const QString &suffix)
    {
        using namespace RowPresentation;
        const int page = ui->stackedWidget->currentIndex();
        if (page == ConvertingPage || page == SucceededPage || page == FailedPage)
            return false;
        const QFileInfo source(m_sourcePath);
        if (!source.exists() || source.isDir()) {
            ui->stackedWidget->setCurrentIndex(FailedPage);
            return false;
        }
        const QString folder = PageSupport::rowOutputDir();
        if (!PageSupport::canWriteInto(folder)) {
            PageSupport::tellCannotWriteInto(folder);
            return false;
        }
        createJob();
        m_outputName = std::make_unique<ReservedOutputName>(folder, ui->lineEdit_EditName->text(),
                                                            suffix, writesPagePictures(suffix));
        showOutputName(m_outputName->name());
        m_job->setJobParams(m_sourcePath, m_outputName->path());
        m_job->start(QThread::InheritPriority);
        ui->stackedWidget->setCurrentIndex(ConvertingPage);
        return true;
    }

    // The failed page is final for convert-all, but the row's own retry starts it afresh.
    bool retry(const QString &suffix)
    {
        if (ui->stackedWidget->currentIndex() != RowPresentation::FailedPage)
            return false;
        ui->stackedWidget->setCurrentIndex(RowPresentation::ReadyPage);
        return start(suffix);
    }

    void showProgress(int state)
    {
        // Once the result is in, a late poll of the state file must not pull the fill back.
        if (!isConverting() || m_delayTimer->isActive())
            return;
        ui->label_ConvertProcess->setText(QString::number(state) + QStringLiteral("%"));
        setProgress(state);
    }

    void holdResult(bool result, const QString &outputFilePath)
    {
        if (!isConverting())
            return;
        m_outputPath = outputFilePath;
        m_result = result;
        setProgress(100);
        m_delayTimer->start(RowPresentation::kResultHoldMs);
    }

    // Shows the held result on its final page; true when it was a success.
    bool showHeldResult()
    {
        m_delayTimer->stop();
        setProgress(0);
        ui->label_ConvertProcess->setText(QStringLiteral("100%"));
        ui->stackedWidget->setCurrentIndex(m_result ? RowPresentation::SucceededPage
                                                    : RowPresentation::FailedPage);
        releaseJob();
        return m_result;
    }

    void endConversion()
    {
        ui->stackedWidget->setCurrentIndex(RowPresentation::ReadyPage);
        releaseJob();
        showOutputName(ui->lineEdit_EditName->text());
    }

    void releaseItem()
    {
        setProgress(0);
        releasePageCount();
        releaseJob();
    }

    void releaseJob()
    {
        if (!m_built)
            return; // no form, so no job and no effect yet
        // A result still on hold belongs to the job being let go: it must neither show
        // later nor release a job started after it.
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
            Job *job = m_job;
            m_job = nullptr;
            job->stopJob();
            QObject::disconnect(job, nullptr, m_row, nullptr);
            deleteWhenFinished(job);
        }
        // A result is in its file by now, where the next name taken sees it; a name that
        // holds none is free again.
        m_outputName.reset();
    }

    void releasePageCount()
    {
        delete m_pageCount;
        m_pageCount = nullptr;
    }

    void openOutputFile() const { openWithDesktop(m_outputPath); }
    void openOutputFolder() const
    {
        if (!m_outputPath.isEmpty())
            openWithDesktop(QFileInfo(m_outputPath).absolutePath());
    }
    void openSourceFile() const { openWithDesktop(m_sourcePath); }

    void openNameEditor() { ui->stackedWidget_Edit->setCurrentIndex(1); }

    // The row's event filter: takes the edited name when the editor loses the focus, shows
    // the "打开" overlay while the pointer is over the file icon, and drops the hover look
    // when the pointer is no longer over the row without a leave event to say so.
    void filter(QObject *watched, QEvent *event)
    {
        if (!m_built)
            return;
        if (watched == m_row &&
            (event->type() == QEvent::Move || event->type() == QEvent::WindowActivate))
            dropHoverLookIfPointerLeft();
        if (watched == ui->lineEdit_EditName && event->type() == QEvent::FocusOut)
            commitOutputFileName();
        if (watched == ui->widget_Filemsg) {
            if (event->type() == QEvent::Enter)
                ui->widget_opensource->show();
            else if (event->type() == QEvent::Leave)
                ui->widget_opensource->hide();
        }
    }

    void pointerEntered()
    {
        if (!m_built)
            return;
        m_hovered = true;
        setDeleteButtonsEnabled(true);
        ui->widget->setStyleSheet(
            QStringLiteral("#widget{background-color: rgba(244, 244, 244, 80);}"));
    }

    void pointerLeft()
    {
        if (!m_built)
            return;
        m_hovered = false;
        setDeleteButtonsEnabled(false);
        ui->widget->setStyleSheet(QStringLiteral("#widget{background-color: #FFFFFF;}"));
    }

    void setProgress(double percent)
    {
        if (!m_effect)
            return;
        const int range = m_effect->maximum() - m_effect->minimum();
        m_effect->setProcessValue(static_cast<int>(percent * range / 100));
    }

    QString sourcePath() const { return m_sourcePath; }
    QString outputPath() const { return m_outputPath; }

private:
    void createJob()
    {
        if (m_job)
            return;
        m_job = new Job();
        // Signals already queued by an ended job must not reach a later one, even if the
        // new job happens to reuse the old one's address.
        const QPointer<Job> job(m_job);
        QObject::connect(m_job, &Job::ProcessResult, m_row, [this, job](bool result, QString path) {
            if (job && job == m_job)
                m_row->ProcessResultSlot(result, path);
        });
        QObject::connect(m_job, &Job::ProcessState, m_row, [this, job](int state) {
            if (job && job == m_job)
                m_row->ProcessStateSlot(state);
        });
        ui->btn_ChangeOutputFileName->hide();
    }

    // The list scrolled the row away from under the pointer, or the pointer moved while a
    // dialog held the window: no leave event comes for either.
    void dropHoverLookIfPointerLeft()
    {
        if (m_hovered && !m_row->rect().contains(m_row->mapFromGlobal(QCursor::pos())))
            pointerLeft();
    }

    void commitOutputFileName()
    {
        ui->stackedWidget_Edit->setCurrentIndex(0);
        showOutputName(ui->lineEdit_EditName->text());
    }

    void showOutputName(const QString &name)
    {
        ui->label_OutputFileName->setText(
            elideText(ui->label_OutputFileName->font(), name, RowPresentation::kNameWidth));
    }

    void showFileDetails()
    {
        using namespace RowPresentation;
        const QFileInfo info(m_sourcePath);
        ui->widget_FileIcon->setStyleSheet(fileIconStyle(info.suffix().toLower(), m_acceptPdfIcon));
        const QString name = info.completeBaseName();
        ui->label_InputFileName->setText(
            elideText(ui->label_InputFileName->font(), name, kNameWidth));
        ui->label_InputFileFormat->setText(info.suffix());
        ui->label_FileSize->setText(m_fileSizeText);
        showOutputName(name);
        ui->lineEdit_EditName->setText(name);
    }

    void setDeleteButtonsEnabled(bool enabled)
    {
        for (QPushButton *button :
             {ui->btn_DeleteItem_Converting, ui->btn_DeleteItem_Wait, ui->btn_DeleteItem_Successed,
              ui->btn_DeleteItemRetry, ui->btn_DeleteItemReady})
            button->setEnabled(enabled);
    }

    bool isConverting() const
    {
        return m_job && ui->stackedWidget->currentIndex() == RowPresentation::ConvertingPage;
    }

    Row *m_row;
    Form *ui;
    bool m_built = false;
    QString m_sourcePath;
    bool m_acceptPdfIcon = false;
    QString m_fileSizeText;
    QString m_pageCountText; // empty until the answer
    Job *m_job = nullptr;
    FilePageCount *m_pageCount = nullptr;
    BackgroundProcessAnimationEffect *m_effect = nullptr;
    AnimationEffectData *m_effectData = nullptr;
    QTimer *m_delayTimer = nullptr;
    std::unique_ptr<ReservedOutputName> m_outputName; // while a job may write under it
    bool m_result = false;
    bool m_hovered = false;
    QString m_outputPath;
};
