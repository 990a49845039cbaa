#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui {
class FilesToPdfWidget;
}
class ConverterItemWidget;
template <typename Page, typename Form, typename Row> class ConversionPageCore;

// The page on which the user collects Word, Excel and PowerPoint files and converts them to
// PDF: an empty state with a large add button, a list state with one row per file, and the
// output folder below both.
class FilesToPdfWidget : public QWidget
{
    Q_OBJECT

public:
    explicit FilesToPdfWidget(QWidget *parent = nullptr);
    ~FilesToPdfWidget() override;

    void setPage(int index);
    void refreshOutputDir();
    void addConverterRow(const QString &path);
    void addFilesDialog();
    static void addFolderFiles(const QString &folder, QStringList &files);

    int rowCount() const;
    ConverterItemWidget *row(int index) const;

public slots:
    void on_MainBtn_AddFile_clicked();
    void on_MainBtn_ClearList_clicked();
    void on_btn_AllConvert_clicked();
    void on_btn_ChangeOutPutDir_clicked();
    void on_btn_OpenOutPutDir_clicked();
    void on_AddFileBtn_AddFile_clicked();
    void DeleteItemSlot(int taskId);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    using Core = ConversionPageCore<FilesToPdfWidget, Ui::FilesToPdfWidget, ConverterItemWidget>;

    void initPage();

    Ui::FilesToPdfWidget *ui;
    std::unique_ptr<Core> m_core;
};
