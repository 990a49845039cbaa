#pragma once

#include "PageSupport.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QStackedWidget>

// What the PDF-to-file and the file-to-PDF pages do alike: the output folder of the bottom
// bar, adding rows by dialog or drop, and deleting, clearing and starting rows. Page is the
// page widget whose slots and setPage are used, Form its generated form (both forms name
// their widgets alike) and Row its row class. The page keeps its own slots and forwards
// them here; what differs (its file types, the set-all format) stays in the page.
template <typename Page, typename Form, typename Row> class ConversionPageCore
{
public:
    ConversionPageCore(Page *page, Form *ui) : m_page(page), ui(ui) {}
    ConversionPageCore(const ConversionPageCore &) = delete;
    ConversionPageCore &operator=(const ConversionPageCore &) = delete;

    // Shows the output folder and gives the add, clear-list and convert-all buttons their
    // looks and slots.
    void init(const QString &fileFilter)
    {
        using namespace PageSupport;
        m_fileFilter = fileFilter;
        ui->lineEdit_OutPutDir->setText(initialOutputDir());
        applyLook(ui->imgbutton_AddFile, addButtonLook());
        QObject::connect(ui->imgbutton_AddFile, SIGNAL(ClickButtonSignal()), m_page,
                         SLOT(on_MainBtn_AddFile_clicked()));
        applyLook(ui->imgbutton_ClearList, clearListButtonLook());
        QObject::connect(ui->imgbutton_ClearList, SIGNAL(ClickButtonSignal()), m_page,
                         SLOT(on_MainBtn_ClearList_clicked()));
        applyLook(ui->imgbtn_allconvert, convertAllButtonLook());
        QObject::connect(ui->imgbtn_allconvert, SIGNAL(ClickButtonSignal()), m_page,
                         SLOT(on_btn_AllConvert_clicked()));
    }

    // Shows page index of the stack; convert-all shows only with the list.
    void setPage(int index)
    {
        ui->stackedWidget->setCurrentIndex(index);
        if (index == 0)
            ui->imgbtn_allconvert->hide();
        else if (index == 1)
            ui->imgbtn_allconvert->show();
    }

    void refreshOutputDir()
    {
        const QString folder = PageSupport::storedOutputDir();
        if (!folder.isEmpty())
            ui->lineEdit_OutPutDir->setText(folder);
    }

    void changeOutputDir()
    {
        const QString folder = PageSupport::chooseOutputDir(m_page, ui->lineEdit_OutPutDir->text());
        if (!folder.isEmpty())
            ui->lineEdit_OutPutDir->setText(folder);
    }

    void openOutputDir() { PageSupport::openOutputDir(ui->lineEdit_OutPutDir->text()); }

    void addConverterRow(const QString &path)
    {
        if (path.isEmpty())
            return;
        auto *row = new Row(m_page);
        QObject::connect(row, SIGNAL(DeleteMeSignal(int)), m_page, SLOT(DeleteItemSlot(int)));
        row->setFilePath(path);
        row->setTaskId(m_nextTaskId++);
        auto *item = new QListWidgetItem(nullptr, 0);
        item->setData(Qt::SizeHintRole, QSize(880, 115));
        ui->MainListWidget->insertItem(ui->MainListWidget->count(), item);
        ui->MainListWidget->setItemWidget(item, row);
    }

    void addFilesDialog()
    {
        for (const QString &path : PageSupport::pickFiles(m_page, m_fileFilter))
            addConverterRow(path);
    }

    // The empty page's large add button: the list shows once there is a row.
    void addFilesFromEmptyPage()
    {
        addFilesDialog();
        showListWhenRows();
    }

    // Adds a row for every dropped file whose suffix is one of suffixes, dropped folders
    // searched at any depth; a drop without files changes nothing.
    void drop(const QDropEvent *event, const QStringList &suffixes)
    {
        const QMimeData *data = event->mimeData();
        if (!data || data->urls().isEmpty())
            return;
        for (const QString &path : PageSupport::droppedFiles(data, suffixes))
            addConverterRow(path);
        showListWhenRows();
    }

    // Removes the row of taskId once the user confirms; the file stays on disk.
    void deleteRow(int taskId)
    {
        for (int i = 0; i < rowCount(); ++i) {
            Row *row = rowAt(i);
            if (!row || row->taskId() != taskId)
                continue;
            if (!PageSupport::confirm(QStringLiteral("确定删除吗？"),
                                      QStringLiteral("只会删除该条记录，本地文件不会删除")))
                return;
            removeRowAt(i);
            // Task ids are unique: no other row can match.
            break;
        }
        showEmptyPageWhenNoRows();
    }

    // Removes every row, running ones included, once the user confirms; the files stay.
    void clearList()
    {
        if (!PageSupport::confirm(QStringLiteral("确定清空吗？"),
                                  QStringLiteral("只会清空记录，本地文件不会删除")))
            return;
        while (rowCount() > 0)
            removeRowAt(0);
        showEmptyPageWhenNoRows();
    }

    // Asks every row to start; converting and finished rows stay as they are.
    void convertAll()
    {
        for (int i = 0; i < rowCount(); ++i) {
            if (Row *row = rowAt(i))
                row->startConversion();
        }
    }

    int rowCount() const { return ui->MainListWidget->count(); }

    Row *rowAt(int index) const
    {
        return qobject_cast<Row *>(ui->MainListWidget->itemWidget(ui->MainListWidget->item(index)));
    }

private:
    void removeRowAt(int index)
    {
        if (Row *row = rowAt(index))
            row->releaseItem();
        // The list lets the row widget go with its item.
        delete ui->MainListWidget->takeItem(index);
    }

    void showListWhenRows()
    {
        if (rowCount() > 0)
            m_page->setPage(1);
    }

    void showEmptyPageWhenNoRows()
    {
        if (rowCount() == 0)
            m_page->setPage(0);
    }

    Page *m_page;
    Form *ui;
    QString m_fileFilter;
    int m_nextTaskId = 0;
};
