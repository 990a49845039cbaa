#pragma once

#include <QString>
#include <QWidget>

#include <memory>

namespace Ui {
class ConverterItemWidget;
}
class FileToPdfJobEntity;
template <typename Row, typename Form, typename Job> class ConversionRowCore;

// One row of the file-to-PDF list: a Word, Excel or PowerPoint document with its size, name
// and page count, the name of the PDF to write, and the state of its conversion. The row
// owns its page-count worker and its conversion job.
class ConverterItemWidget : public QWidget
{
    Q_OBJECT

public:
    // buildFormNow false leaves the form to buildForm(), for a page that builds only the
    // rows in view.
    explicit ConverterItemWidget(QWidget *parent = nullptr, bool buildFormNow = true);
    ~ConverterItemWidget() override;

    void buildForm();
    void setFilePath(const QString &path);
    void setTaskId(int taskId);
    int taskId() const;
    // Starts unless the row is converting or finished.
    void startConversion();
    // Stops the page count and the conversion before the page removes the row.
    void releaseItem();

    QString filePath() const;
    // What the page-count label shows, or will show once the form is built.
    QString pageCountText() const;
    QString outputPath() const;

signals:
    void DeleteMeSignal(int taskId);

public slots:
    void PageCountResultSlots(QString pageCount);
    void on_btn_ConvertReady_clicked();
    void ProcessResultSlot(bool result, QString outputFilePath);
    void ProcessStateSlot(int state);
    void on_btn_DeleteItem_Converting_clicked();
    void on_btn_DeleteItem_Wait_clicked();
    void on_btn_DeleteItem_Successed_clicked();
    void on_btn_DeleteItemRetry_clicked();
    void on_btn_DeleteItemReady_clicked();
    void DelayEffectTimeOut();
    void on_btn_ConvertRetry_clicked();
    void on_btn_ConvertEnd_Converting_clicked();
    void on_btn_ConvertEnd_Wait_clicked();
    void on_btn_OpenConvertedFile_clicked();
    void on_btn_OpenConvertedFolder_clicked();
    void on_btn_ChangeOutputFileName_clicked();
    void on_btn_openSourceFile_clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    using Core =
        ConversionRowCore<ConverterItemWidget, Ui::ConverterItemWidget, FileToPdfJobEntity>;

    void initItem();

    Ui::ConverterItemWidget *ui;
    std::unique_ptr<Core> m_core;
    int m_taskId = 0;
};
