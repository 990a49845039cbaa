#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui {
class PdfToFileWidget;
}
class QuorvaneItemWidget;
template <typename Page, typename Form, typename Row> class ConversionPageCore;

// The page on which the user collects PDF files and converts them into Word, Excel,
// PowerPoint, image, text or web-page files: an empty state with a large add button, a list
// state with one row per file, and the output folder below both.
class PdfToFileWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PdfToFileWidget(QWidget *parent = nullptr);
    ~PdfToFileWidget() override;

    void setPage(int index);
    void refreshOutputDir();
    void addConverterRow(const QString &path);
    void addFilesDialog();
    static void addFolderFiles(const QString &folder, QStringList &files);

    int rowCount() const;
    QuorvaneItemWidget *row(int index) const;

public slots:
    void on_btn_ChangeOutPutDir_clicked();
    void on_btn_OpenOutPutDir_clicked();
    void DeleteItemSlot(int taskId);
    void ClickAllSettingFormatSlot(QString format);
    void on_AddFileBtn_AddFile_clicked();
    void on_btn_AllSets_clicked();
    void on_MainBtn_AddFile_clicked();
    void on_MainBtn_ClearList_clicked();
    void on_btn_AllConvert_clicked();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    using Core = ConversionPageCore<PdfToFileWidget, Ui::PdfToFileWidget, QuorvaneItemWidget>;

    void initPage();

    Ui::PdfToFileWidget *ui;
    std::unique_ptr<Core> m_core;
};
