#pragma once

#include "PageSupport.h"
#include "RowWidgetDisposal.h"

#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QVector>

#include <deque>
#include <memory>

// What the PDF-to-file and the file-to-PDF pages do alike: the output folder of the bottom
// bar, adding rows by dialog or drop, and deleting, clearing and starting rows. Page is the
// page widget whose slots and setPage are used, Form its generated form (both forms name
// their widgets alike) and Row its row class. The page keeps its own slots and forwards
// them here; what differs (its file types, the set-all format) stays in the page.
//
// A large folder is listed over several turns of the event loop, a slice at a time, so the
// window keeps painting and answering while it fills; a row builds its form only once it
// comes into view, which keeps a list of thousands of files quick to fill and to clear.
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
        // Every row has the same size: the list then lays out thousands of rows without
        // asking each one.
        ui->MainListWidget->setUniformItemSizes(true);
        m_disposal = new RowWidgetDisposal(ui->MainListWidget);
        watchListView();
        makeConvertAllTimer();
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
        if (Row *row = newRow(path))
            appendRows({row});
    }

    void addFilesDialog() { addInSlices(PageSupport::pickFiles(m_page, m_fileFilter)); }

    // The empty page's large add button: the list shows once there is a row.
    void addFilesFromEmptyPage() { addFilesDialog(); }

    // Adds a row for every dropped file whose suffix is one of suffixes, dropped folders
    // searched at any depth; a drop without files changes nothing.
    void drop(const QDropEvent *event, const QStringList &suffixes)
    {
        const QMimeData *data = event->mimeData();
        if (!data || data->urls().isEmpty())
            return;
        addInSlices(PageSupport::droppedFiles(data, suffixes));
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
        m_pending.clear();
        stopConvertingAll();
        // From the last row on, so that page counts still waiting for an engine leave the
        // queue before a running one frees its place. Every job ends here; the row widgets
        // are only hidden, and destroyed over later turns of the event loop.
        for (int i = rowCount() - 1; i >= 0; --i) {
            if (Row *row = rowAt(i)) {
                row->releaseItem();
                if (!isPlaced(i))
                    m_disposal->dispose(row);
            }
        }
        // One reset of the list rather than one removal per row, each of which would walk
        // every row left; the list hands the rows in it to the disposal.
        ui->MainListWidget->clear();
        showEmptyPageWhenNoRows();
    }

    // Calls visit for every row, in list order, without building its form.
    template <typename Visit> void forEachRow(Visit visit) const
    {
        for (int i = 0; i < rowCount(); ++i) {
            if (Row *row = rowAt(i))
                visit(row);
        }
    }

    // Asks every row listed now to start, a slice of about kSliceMs at a time: a row's start
    // builds its form and its job, and a hundred at once would hold the window for seconds.
    // Converting and finished rows stay as they are; rows listed later are not started.
    void convertAll()
    {
        m_convertFrom = 0;
        m_convertUntil = m_nextTaskId;
        convertNextSlice();
    }

    int rowCount() const { return ui->MainListWidget->count(); }

    // The row at index, its form built and in the list.
    Row *builtRowAt(int index) const
    {
        Row *row = rowAt(index);
        if (row)
            placeRow(index, row);
        return row;
    }

private:
    // The row at index as it is: its form may not be built yet, nor the row put in the list.
    Row *rowAt(int index) const
    {
        const QListWidgetItem *item = ui->MainListWidget->item(index);
        return item ? qobject_cast<Row *>(item->data(kRowRole).value<QObject *>()) : nullptr;
    }

    bool isPlaced(int index) const
    {
        return ui->MainListWidget->itemWidget(ui->MainListWidget->item(index)) != nullptr;
    }

    // Only rows that have come into view are the list's item widgets: the list lays out and
    // moves every item widget it has whenever a row is added.
    void placeRow(int index, Row *row) const
    {
        row->buildForm();
        if (isPlaced(index))
            return;
        // The row itself was styled before it had its form, so showing it would leave the
        // form's widgets to be styled in a later turn of the event loop, together with those
        // of every other row placed meanwhile; styled here, they cost their time in the turn
        // that places the row.
        for (QWidget *widget : row->template findChildren<QWidget *>())
            widget->ensurePolished();
        ui->MainListWidget->setItemWidget(ui->MainListWidget->item(index), row);
    }

    // Adds a row for every path, a slice of about kSliceMs at a time; the list shows once
    // there is a row.
    void addInSlices(const QStringList &paths)
    {
        if (paths.isEmpty())
            return;
        m_pending.insert(m_pending.end(), paths.begin(), paths.end());
        addNextSlice();
    }

    void addNextSlice()
    {
        QElapsedTimer slice;
        slice.start();
        QVector<Row *> rows;
        while (!m_pending.empty() &&
               (slice.elapsed() < kSliceMs || (rowCount() == 0 && rows.isEmpty()))) {
            if (Row *row = newRow(m_pending.front()))
                rows.append(row);
            m_pending.pop_front();
        }
        appendRows(rows);
        showListWhenRows();
        if (!m_pending.empty())
            QTimer::singleShot(0, m_page, [this] { addNextSlice(); });
    }

    // Rows keep the order of their task ids, so a slice goes on from the next id whatever was
    // deleted meanwhile.
    void convertNextSlice()
    {
        QElapsedTimer slice;
        slice.start();
        for (int i = firstRowFrom(m_convertFrom); i < rowCount(); ++i) {
            Row *row = rowAt(i);
            if (!row)
                continue;
            if (row->taskId() >= m_convertUntil)
                break;
            if (slice.elapsed() >= kSliceMs) {
                m_convertFrom = row->taskId();
                m_convertNext->start();
                return;
            }
            row->startConversion();
        }
        stopConvertingAll();
    }

    void stopConvertingAll()
    {
        m_convertNext->stop();
        m_convertFrom = m_convertUntil = 0;
    }

    // The index of the first row whose task id is taskId or later.
    int firstRowFrom(int taskId) const
    {
        int low = 0;
        int high = rowCount();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            const Row *row = rowAt(middle);
            if (row && row->taskId() < taskId)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

    // A row for path with its page count started, not yet in the list; null for no path.
    Row *newRow(const QString &path)
    {
        if (path.isEmpty())
            return nullptr;
        // Made hidden in the list's viewport, where the list would move it anyway (moving a
        // row restyles every widget in it); it becomes the item's widget once in view.
        auto *row = new Row(ui->MainListWidget->viewport(), false);
        QObject::connect(row, SIGNAL(DeleteMeSignal(int)), m_page, SLOT(DeleteItemSlot(int)));
        row->setFilePath(path);
        row->setTaskId(m_nextTaskId++);
        return row;
    }

    // Appends one item for each row in a single insertion: once the list has item widgets,
    // every insertion lays out all its items at once, so inserting the rows one by one
    // would cost time in proportion to the square of the rows.
    void appendRows(const QVector<Row *> &rows)
    {
        if (rows.isEmpty())
            return;
        QListWidget *list = ui->MainListWidget;
        const int first = list->count();
        list->model()->insertRows(first, rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            QListWidgetItem *item = list->item(first + i);
            item->setData(Qt::SizeHintRole, QSize(880, 115));
            item->setData(kRowRole, QVariant::fromValue<QObject *>(rows[i]));
        }
        m_buildInView->start();
    }

    // Puts the rows that are in view, and those of the next screenful, into the list. A
    // row's form takes some milliseconds to build and style, so only a few are built in one
    // turn of the event loop; the timer brings the rest in the turns after.
    void buildRowsInView()
    {
        QElapsedTimer turn;
        turn.start();
        QListWidget *list = ui->MainListWidget;
        const QRect area = list->viewport()->rect();
        const QModelIndex top = list->indexAt(area.topLeft());
        const int last = area.bottom() + area.height();
        for (int i = top.isValid() ? top.row() : 0; i < rowCount(); ++i) {
            if (list->visualItemRect(list->item(i)).top() > last)
                break;
            if (isPlaced(i))
                continue;
            if (turn.elapsed() >= kBuildMs) {
                m_buildInView->start();
                break;
            }
            if (Row *row = rowAt(i))
                placeRow(i, row);
        }
    }

    void watchListView()
    {
        m_buildInView = new QTimer(m_page);
        m_buildInView->setSingleShot(true);
        m_buildInView->setInterval(0);
        QObject::connect(m_buildInView, &QTimer::timeout, m_page, [this] { buildRowsInView(); });
        QObject::connect(ui->MainListWidget->verticalScrollBar(), &QScrollBar::valueChanged,
                         m_buildInView, QOverload<>::of(&QTimer::start));
        m_viewportResized.reset(new ResizeWatch(ui->MainListWidget->viewport(), m_buildInView));
    }

    void makeConvertAllTimer()
    {
        m_convertNext = new QTimer(m_page);
        m_convertNext->setSingleShot(true);
        m_convertNext->setInterval(0);
        QObject::connect(m_convertNext, &QTimer::timeout, m_page, [this] { convertNextSlice(); });
    }

    // Starts a timer whenever the watched widget changes its size.
    class ResizeWatch : public QObject
    {
    public:
        ResizeWatch(QWidget *watched, QTimer *timer) : m_timer(timer)
        {
            watched->installEventFilter(this);
        }
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
                m_timer->start();
            return false;
        }

    private:
        QTimer *m_timer;
    };

    void removeRowAt(int index)
    {
        if (Row *row = rowAt(index)) {
            row->releaseItem();
            if (!isPlaced(index))
                m_disposal->dispose(row);
        }
        // The list hands a row that is its item widget to the disposal with the item.
        delete ui->MainListWidget->takeItem(index);
        m_buildInView->start(); // rows below move up into view
    }

    void showListWhenRows()
    {
        if (rowCount() > 0)
            m_page->setPage(1);
    }

    // The emptied list also forgets where it was scrolled to: hidden, it would not lay itself
    // out, and the next rows added would open it as far down as it was.
    void showEmptyPageWhenNoRows()
    {
        if (rowCount() > 0)
            return;
        ui->MainListWidget->verticalScrollBar()->setValue(0);
        m_page->setPage(0);
    }

    static constexpr int kSliceMs = 8;
    static constexpr int kBuildMs = 4;
    static constexpr int kRowRole = Qt::UserRole + 1;

    Page *m_page;
    Form *ui;
    QString m_fileFilter;
    int m_nextTaskId = 0;
    std::deque<QString> m_pending; // dropped or picked files not listed yet
    QTimer *m_buildInView = nullptr;
    // Convert-all goes on with the rows of task ids from m_convertFrom up to m_convertUntil.
    QTimer *m_convertNext = nullptr;
    int m_convertFrom = 0;
    int m_convertUntil = 0;
    RowWidgetDisposal *m_disposal = nullptr; // owned by the list
    std::unique_ptr<ResizeWatch> m_viewportResized;
};
