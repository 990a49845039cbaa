#pragma once

#include "ConverterItemWidget.h"
#include "FilesToPdfWidget.h"
#include "PdfToFileWidget.h"
#include "QuorvaneItemWidget.h"

#include <QMetaType>
#include <QStringList>
#include <QWidget>

#include <memory>

// One of the two conversion pages with its row class behind one face, so that one suite runs
// every flow on both: the pages share their core but no base class. What differs between
// them (the files they take, their file dialog's filter, the set-all format of the PDF-to-file
// page, the suffix a row writes) is data here.
class PageKind
{
public:
    virtual ~PageKind() = default;

    // "PDF to file" or "file to PDF".
    const char *name;
    // What the page lists: the lower-case suffixes a drop is filtered by, and the file
    // dialog's name filter.
    QStringList takenSuffixes;
    QString nameFilter;
    // A suffix of the sort the page takes, and one of the sort the other page takes.
    QString sourceSuffix;
    QString otherSuffix;
    // The suffix a new row writes and the engine's kind for it.
    QString outputSuffix;
    QString conversionKind;
    bool hasFormats; // the format drop-downs and the set-all button

    virtual std::unique_ptr<QWidget> makePage() const = 0;
    virtual int rowCount(QWidget *page) const = 0;
    virtual QWidget *row(QWidget *page, int index) const = 0;
    virtual void addRow(QWidget *page, const QString &path) const = 0;
    virtual void setPage(QWidget *page, int index) const = 0;
    virtual void refreshOutputDir(QWidget *page) const = 0;

    virtual std::unique_ptr<QWidget> makeRow() const = 0;
    virtual void setFilePath(QWidget *row, const QString &path) const = 0;
    virtual int taskId(QWidget *row) const = 0;
    virtual QString filePath(QWidget *row) const = 0;
    virtual QString outputPath(QWidget *row) const = 0;
    virtual QString pageCountText(QWidget *row) const = 0;
    virtual void startConversion(QWidget *row) const = 0;
    // The suffix the row writes, with its dot.
    virtual QString rowOutputSuffix(QWidget *row) const = 0;

    PageKind(const char *name, QStringList takenSuffixes, QString nameFilter, QString sourceSuffix,
             QString otherSuffix, QString outputSuffix, QString conversionKind, bool hasFormats)
        : name(name), takenSuffixes(std::move(takenSuffixes)), nameFilter(std::move(nameFilter)),
          sourceSuffix(std::move(sourceSuffix)), otherSuffix(std::move(otherSuffix)),
          outputSuffix(std::move(outputSuffix)), conversionKind(std::move(conversionKind)),
          hasFormats(hasFormats)
    {
    }
};
Q_DECLARE_METATYPE(const PageKind *)

template <typename Page, typename Row> class PageKindOf : public PageKind
{
public:
    using PageKind::PageKind;

    std::unique_ptr<QWidget> makePage() const override { return std::make_unique<Page>(); }
    int rowCount(QWidget *page) const override { return as(page)->rowCount(); }
    QWidget *row(QWidget *page, int index) const override { return as(page)->row(index); }
    void addRow(QWidget *page, const QString &path) const override
    {
        as(page)->addConverterRow(path);
    }
    void setPage(QWidget *page, int index) const override { as(page)->setPage(index); }
    void refreshOutputDir(QWidget *page) const override { as(page)->refreshOutputDir(); }

    std::unique_ptr<QWidget> makeRow() const override { return std::make_unique<Row>(); }
    void setFilePath(QWidget *row, const QString &path) const override
    {
        rowOf(row)->setFilePath(path);
    }
    int taskId(QWidget *row) const override { return rowOf(row)->taskId(); }
    QString filePath(QWidget *row) const override { return rowOf(row)->filePath(); }
    QString outputPath(QWidget *row) const override { return rowOf(row)->outputPath(); }
    QString pageCountText(QWidget *row) const override { return rowOf(row)->pageCountText(); }
    void startConversion(QWidget *row) const override { rowOf(row)->startConversion(); }
    QString rowOutputSuffix(QWidget *row) const override;

private:
    static Page *as(QWidget *page) { return qobject_cast<Page *>(page); }
    static Row *rowOf(QWidget *row) { return qobject_cast<Row *>(row); }
};

template <>
inline QString PageKindOf<PdfToFileWidget, QuorvaneItemWidget>::rowOutputSuffix(QWidget *row) const
{
    return rowOf(row)->outputSuffix();
}

template <>
inline QString PageKindOf<FilesToPdfWidget, ConverterItemWidget>::rowOutputSuffix(QWidget *) const
{
    return QStringLiteral(".pdf");
}

inline const PageKind *pdfToFilePage()
{
    static const PageKindOf<PdfToFileWidget, QuorvaneItemWidget> kind(
        "PDF to file", {"pdf"}, "*.pdf", "pdf", "docx", ".docx", "file2word", true);
    return &kind;
}

inline const PageKind *filesToPdfPage()
{
    static const PageKindOf<FilesToPdfWidget, ConverterItemWidget> kind(
        "file to PDF", {"docx", "doc", "xlsx", "xls", "pptx", "ppt"},
        "*.doc *.docx *.ppt *.pptx *.xls *.xlsx", "docx", "pdf", ".pdf", "file2pdf", false);
    return &kind;
}

inline QList<const PageKind *> bothPages()
{
    return {pdfToFilePage(), filesToPdfPage()};
}
