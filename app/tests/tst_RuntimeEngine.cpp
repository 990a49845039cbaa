#include "EngineFolders.h"
#include "FilePageCount.h"
#include "FileToPdfJobEntity.h"
#include "FileUtils.h"
#include "PdfToFileJobEntity.h"
#include "ProcessTree.h"
#include "ProfileStringReader.h"
#include "RunOwnedFiles.h"
#include "TinyPdf.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include <csignal>

namespace {

// Safety nets only, many times what a run takes on a loaded machine: LibreOffice has taken
// over 90 s to convert a small file at a load of 30.
constexpr int kToolsBoundMs = 120000;
constexpr int kOfficeBoundMs = 900000;
// The busy processes a processor that a test of a busy machine adds beside itself.
constexpr int kLoadPerProcessor = 3;

// The arguments the program gives the engine for a conversion, with the tail of the kind.
QStringList conversionArguments(const QString &kind, const QString &source, const QString &output,
                                const QString &state, const QString &suffix)
{
    QStringList tail{"", "", ""};
    if (kind == "file2img")
        tail += QStringList{"576", "3"};
    else if (kind == "file2excel")
        tail += QStringList{"", "", "0"};
    else if (kind == "file2pdf")
        tail += QStringList{"", "", "1", "0", "0", "0", "0"};
    return QStringList{"", kind, source, QDir::toNativeSeparators(output), state, "", suffix} +
           tail;
}

// LibreOffice lies outside the system (and is not installed on every machine): a stand-in
// that logs its arguments and, unless told to fail, writes a file the way it does: for a
// PDF the one named by FAKE_OFFICE_PDF, else "converted by office" and the input's content.
// Like LibreOffice it leaves a file of its own in the temporary folder. With
// FAKE_OFFICE_STATE it notes the progress that state file reports when it starts, in
// FAKE_OFFICE_PROGRESS. With FAKE_OFFICE_HANG it starts a helper of its own and hangs, both
// noting their process ids (the file appears with both in it).
const char fakeOffice[] = R"(#!/bin/sh
printf '%s\n' "$@" >>"$FAKE_OFFICE_LOG"
: >"${TMPDIR:-/tmp}/office-temp.$$"
if [ -n "$FAKE_OFFICE_STATE" ]; then
    while IFS= read -r line; do
        case "$line" in progress=*) progress=${line#progress=} ;; esac
    done <"$FAKE_OFFICE_STATE"
    printf '%s\n' "$progress" >"$FAKE_OFFICE_PROGRESS"
fi
if [ -n "$FAKE_OFFICE_HANG" ]; then
    sleep 600 &
    printf '%s\n' $$ $! >"$FAKE_OFFICE_HANG.part"
    mv "$FAKE_OFFICE_HANG.part" "$FAKE_OFFICE_HANG"
    wait
fi
[ -z "$FAKE_OFFICE_FAIL" ] || exit 1
while [ $# -gt 1 ]; do
    case "$1" in
    --convert-to) format=$2 ;;
    --outdir) outdir=$2 ;;
    esac
    shift
done
name=$(basename "$1")
if [ "$format" = pdf ] && [ -n "$FAKE_OFFICE_PDF" ]; then
    cp "$FAKE_OFFICE_PDF" "$outdir/${name%.*}.pdf"
else
    { printf 'converted by office\n'; cat "$1"; } >"$outdir/${name%.*}.$format"
fi
)";

// An Office Open XML package holding only the document's properties (docProps/app.xml).
QByteArray officePackage(const QByteArray &appProperties)
{
    QTemporaryDir folder;
    QDir().mkpath(folder.filePath("docProps"));
    QFile properties(folder.filePath("docProps/app.xml"));
    if (!properties.open(QIODevice::WriteOnly))
        return QByteArray();
    properties.write("<?xml version=\"1.0\"?><Properties><Application>Word</Application>" +
                     appProperties + "</Properties>");
    properties.close();
    QProcess zip;
    zip.setWorkingDirectory(folder.path());
    zip.start("zip", {"-q", "-r", "package.zip", "docProps"});
    if (!zip.waitForFinished(kToolsBoundMs) || zip.exitCode() != 0)
        return QByteArray();
    QFile package(folder.filePath("package.zip"));
    return package.open(QIODevice::ReadOnly) ? package.readAll() : QByteArray();
}

// Busy processes beside the test, each in a session of its own as the programs of a busy
// machine are, so that the scheduler gives each its own share; ended with the test.
class MachineLoad
{
public:
    explicit MachineLoad(int processes)
    {
        for (int i = 0; i < processes; ++i) {
            m_processes.push_back(std::make_unique<QProcess>());
            m_processes.back()->start("setsid", {"sh", "-c", "while :; do :; done"});
        }
    }
    ~MachineLoad()
    {
        for (auto &process : m_processes) {
            process->kill();
            process->waitForFinished(kToolsBoundMs);
        }
    }
    bool isRunning() const
    {
        return std::all_of(m_processes.begin(), m_processes.end(),
                           [](auto &process) { return process->waitForStarted(kToolsBoundMs); });
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// A spreadsheet of one page with nothing that gives its page count: a count takes
// LibreOffice. Empty when zip failed.
QByteArray workbook()
{
    QTemporaryDir folder;
    const QMap<QString, QByteArray> parts{{"[Content_Types].xml",
                                           R"(<?xml version="1.0" encoding="UTF-8"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>)"},
                                          {"_rels/.rels",
                                           R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
                                          {"xl/workbook.xml",
                                           R"(<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
                                          {"xl/_rels/workbook.xml.rels",
                                           R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)"},
                                          {"xl/worksheets/sheet1.xml",
                                           R"(<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>One page</t></is></c></row></sheetData></worksheet>)"}};
    for (auto part = parts.begin(); part != parts.end(); ++part) {
        QDir().mkpath(QFileInfo(folder.filePath(part.key())).absolutePath());
        QFile file(folder.filePath(part.key()));
        if (!file.open(QIODevice::WriteOnly) || file.write(part.value()) != part.value().size())
            return QByteArray();
    }
    QProcess zip;
    zip.setWorkingDirectory(folder.path());
    zip.start("zip", QStringList{"-q", "-X", "book.xlsx"} + parts.keys());
    if (!zip.waitForFinished(kToolsBoundMs) || zip.exitCode() != 0)
        return QByteArray();
    QFile book(folder.filePath("book.xlsx"));
    return book.open(QIODevice::ReadOnly) ? book.readAll() : QByteArray();
}

} // namespace

// The engine stand-in that ships beside the program for a first run ("Morvex", a shell
// script over poppler-utils), run the way the program runs it, on a real two-page PDF.
class RuntimeEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const char *tool : {"pdfinfo", "pdftotext", "pdftoppm"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(QString("%1 is not installed").arg(tool)));
        }
        QVERIFY(QFileInfo(QStringLiteral(QUORVANE_RUNTIME_ENGINE)).isExecutable());
        QVERIFY(m_dir.isValid());
        QVERIFY(ProcessTree::keepOrphans());
        m_pdf = m_dir.filePath("two pages.pdf");
        QVERIFY(writeFile(m_pdf, tinyPdf({"First page", "Second page"})));

        m_tools = m_dir.filePath("office-tools");
        QVERIFY(QDir().mkpath(m_tools));
        QFile office(m_tools + "/soffice");
        QVERIFY(office.open(QIODevice::WriteOnly));
        office.write(fakeOffice);
        office.close();
        office.setPermissions(office.permissions() | QFileDevice::ExeOwner);
        m_engineTemp = m_dir.filePath("engine-temp");
        QVERIFY(QDir().mkpath(m_engineTemp));

        // The machine's own tools, without a LibreOffice that may be installed beside them.
        m_systemTools = m_dir.filePath("system-tools");
        QVERIFY(QDir().mkpath(m_systemTools));
        for (const char *tool :
             {"awk",       "basename", "cat",    "cp",    "dirname", "head",      "ln",
              "ls",        "mkdir",    "mktemp", "mv",    "pdfinfo", "pdftohtml", "pdftoppm",
              "pdftotext", "rm",       "sed",    "sleep", "sort",    "tr",        "unzip"}) {
            const QString path = QStandardPaths::findExecutable(tool);
            QVERIFY2(!path.isEmpty(), tool);
            QVERIFY(QFile::link(path, m_systemTools + "/" + tool));
        }
    }

    void init()
    {
        // What a failed check left behind must not fail the checks of the next run.
        QDir(m_engineTemp).removeRecursively();
        QVERIFY(QDir().mkpath(m_engineTemp));
        m_state = m_dir.filePath(QStringLiteral("state/%1.ini").arg(m_run++));
        // A comma and a semicolon in every output path: the state file must keep them.
        m_out = m_dir.filePath(QStringLiteral("out %1, a;b").arg(m_run));
        QVERIFY(QDir().mkpath(m_out));
        QVERIFY(QDir().mkpath(QFileInfo(m_state).absolutePath()));
    }

    void countsPages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("properties"); // "<pdf>": the two-page PDF
        QTest::addColumn<bool>("office");           // LibreOffice at hand (the stand-in)
        QTest::addColumn<QString>("expected");
        QTest::newRow("pdf") << "a.pdf" << QByteArray("<pdf>") << false << "2";
        QTest::newRow("word, kept in the document")
            << "a.docx" << QByteArray("<Pages>3</Pages>") << false << "3";
        QTest::newRow("powerpoint, kept in the document")
            << "a.PPTX" << QByteArray("<Slides>5</Slides>") << false << "5";
        QTest::newRow("excel, counted by office") << "a.xlsx" << QByteArray() << true << "2";
        QTest::newRow("word without a count, by office") << "b.docx" << QByteArray() << true << "2";
        QTest::newRow("excel without office") << "a.xls" << QByteArray() << false << "-1";
        QTest::newRow("not a document") << "a.txt" << QByteArray() << true << "-1";
    }

    // PDFs by pdfinfo; Office files from their own properties, else by LibreOffice.
    void countsPages()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, properties);
        QFETCH(bool, office);
        QFETCH(QString, expected);
        QString file = m_pdf;
        if (properties != "<pdf>") {
            file = m_out + "/" + name;
            QFile document(file);
            QVERIFY(document.open(QIODevice::WriteOnly));
            document.write(properties.isEmpty() ? QByteArray("PK no properties")
                                                : officePackage(properties));
        }
        QProcessEnvironment environment = engineEnvironment(office);
        environment.insert("FAKE_OFFICE_PDF", m_pdf);
        QCOMPARE(runEngine({"getfilepagenum", file, m_state}, environment), 0);
        QCOMPARE(state().value("filepagenum/pagenum").toString(), expected);
        QVERIFY(QDir(m_engineTemp).isEmpty());
    }

    void convertsOneFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("text") << "file2txt"
                              << "txt";
        QTest::newRow("web page") << "file2html"
                                  << "html";
        QTest::newRow("backslash in the name") << "file2txt"
                                               << "txt";
    }

    void convertsOneFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        const QString name =
            QString(QTest::currentDataTag()).contains("backslash") ? "two\\pages." : "two pages.";
        const QString output = m_out + "/" + name + suffix;
        QCOMPARE(runEngine(conversionArguments(kind, m_pdf, output, m_state, suffix)), 0);
        QFile converted(output);
        QVERIFY(converted.open(QIODevice::ReadOnly));
        const QByteArray content = converted.readAll();
        QVERIFY2(content.contains("First") && content.contains("Second"), content.constData());
        QCOMPARE(state().value("progress").toString(), QString("100"));
        QCOMPARE(state().value("outputfiles/filecount").toString(), QString("1"));
        QCOMPARE(resultPath(0), output);
    }

    // The program's own conversion job, run against the stand-in beside it, must get back
    // the very path it asked for, even one that an INI reader could split or cut short.
    void jobGetsBackAnAwkwardOutputPath()
    {
        const QString folder = m_out + QStringLiteral("/结果, 第一; 批");
        QVERIFY(QDir().mkpath(folder));
        const QString output = folder + QStringLiteral("/两页.txt");
        PdfToFileJobEntity job;
        QSignalSpy result(&job, &PdfToFileJobEntity::ProcessResult);
        job.setJobParams(m_pdf, output);
        job.start(QThread::InheritPriority);
        QVERIFY(result.wait(kToolsBoundMs));
        QCOMPARE(result.first().at(0).toBool(), true);
        QCOMPARE(result.first().at(1).toString(), output);
        QVERIFY(QFileInfo(output).size() > 0);
        job.stopJob();
    }

    void convertsToImages_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("png") << "png";
        QTest::newRow("jpg") << "jpg";
        QTest::newRow("bmp") << "bmp";
    }

    void convertsToImages()
    {
        QFETCH(QString, suffix);
        const QString output = m_out + "/two pages." + suffix;
        QCOMPARE(runEngine(conversionArguments("file2img", m_pdf, output, m_state, suffix)), 0);
        QCOMPARE(state().value("outputfiles/filecount").toString(), QString("2"));
        for (int page = 1; page <= 2; ++page) {
            const QString image = m_out + QStringLiteral("/two pages-%1.%2").arg(page).arg(suffix);
            QCOMPARE(resultPath(page - 1), image);
            const QImage picture(image);
            QVERIFY2(!picture.isNull(), qPrintable(image));
            QVERIFY(picture.width() > 100 && picture.height() > 30);
        }
    }

    void convertsWithOffice_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("filter"); // the import filter LibreOffice is given
        QTest::addColumn<bool>("officeFails");
        QTest::newRow("pdf to word, its text as pages of paragraphs") << "file2word"
                                                                      << "docx"
                                                                      << "" << false;
        QTest::newRow("pdf to excel, its text as rows") << "file2excel"
                                                        << "xls"
                                                        << "--infilter=CSV:9,34,76,1" << false;
        QTest::newRow("pdf to powerpoint, a slide a page")
            << "file2ppt"
            << "pptx"
            << "--infilter=impress_pdf_import" << false;
        QTest::newRow("word to pdf") << "file2pdf"
                                     << "pdf"
                                     << "" << false;
        QTest::newRow("failure does not pass off an old result") << "file2pdf"
                                                                 << "pdf"
                                                                 << "" << true;
    }

    void convertsWithOffice()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        QFETCH(QString, filter);
        QFETCH(bool, officeFails);
        const QString log = m_out + "/office.log";
        QProcessEnvironment environment = engineEnvironment(true);
        environment.insert("FAKE_OFFICE_LOG", log);
        if (officeFails)
            environment.insert("FAKE_OFFICE_FAIL", "1");

        // A result of an earlier run at the target is never passed off as this run's. (A
        // run that succeeds needs a free name: the stand-in replaces no file.)
        const QString output = m_out + "/result." + suffix;
        if (officeFails)
            QVERIFY(writeFile(output, "an earlier result"));
        const int exitCode =
            runEngine(conversionArguments(kind, m_pdf, output, m_state, suffix), environment);

        QFile logFile(log);
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const QStringList arguments = QString::fromUtf8(logFile.readAll()).split('\n');
        QVERIFY(arguments.contains("--headless"));
        QCOMPARE(arguments.at(arguments.indexOf("--convert-to") + 1), suffix);
        QCOMPARE(arguments.filter("--infilter=").value(0), filter);
        // Each run brings a profile of its own and takes it away again.
        const QString profile = arguments.filter("-env:UserInstallation=file://").value(0);
        QVERIFY(!profile.isEmpty());
        QVERIFY(!QFileInfo::exists(profile.section("file://", 1)));
        QVERIFY(QDir(m_engineTemp).isEmpty());

        if (officeFails) {
            QCOMPARE(exitCode, 1);
            QVERIFY(!state().contains("outputfiles/filecount"));
            QCOMPARE(readFile(output), QByteArray("an earlier result"));
            return;
        }
        QCOMPARE(exitCode, 0);
        QFile converted(output);
        QVERIFY(converted.open(QIODevice::ReadOnly));
        const QByteArray content = converted.readAll();
        QVERIFY(content.startsWith("converted by office\n"));
        if (kind == "file2excel") { // one row a line of text
            const QList<QByteArray> rows = content.split('\n');
            QVERIFY2(rows.contains("\"First page\"") && rows.contains("\"Second page\""),
                     content.constData());
        }
        if (kind == "file2word") { // a text document of the pages' text, in order
            QVERIFY(content.contains("<office:document"));
            const int first = content.indexOf(">First page<");
            QVERIFY2(first > 0 && content.indexOf(">Second page<") > first, content.constData());
        }
        QCOMPARE(state().value("outputfiles/filecount").toString(), QString("1"));
        QCOMPARE(resultPath(0), output);
    }

    void reportsProgressAsItGoes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("steps"); // reports between the start's and the end's, at least
        QTest::newRow("pictures, a report a page") << "file2img"
                                                   << "png" << 3;
        QTest::newRow("word, a report a tool") << "file2word"
                                               << "docx" << 3;
        QTest::newRow("text") << "file2txt"
                              << "txt" << 1;
    }

    void reportsProgressAsItGoes()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        QFETCH(int, steps);
        const QString source = m_out + "/three pages.pdf";
        QVERIFY(writeFile(source, tinyPdf({"One", "Two", "Three"})));
        const QString officeProgress = m_out + "/office.progress";
        QProcessEnvironment environment = engineEnvironment(true);
        environment.insert("FAKE_OFFICE_LOG", m_out + "/office.log");
        environment.insert("FAKE_OFFICE_STATE", m_state);
        environment.insert("FAKE_OFFICE_PROGRESS", officeProgress);
        QCOMPARE(runEngine(conversionArguments(kind, source, m_out + "/result." + suffix, m_state,
                                               suffix),
                           environment),
                 0);

        // The state file keeps every report, in the order they were made.
        QList<int> reports;
        for (const QByteArray &line : readFile(m_state).split('\n')) {
            if (line.startsWith("progress="))
                reports << line.mid(int(qstrlen("progress="))).toInt();
        }
        QVERIFY2(reports.size() >= steps + 2, qPrintable(QTest::toString(reports)));
        QCOMPARE(reports.first(), 10);
        QCOMPARE(reports.last(), 100);
        QVERIFY2(std::adjacent_find(reports.begin(), reports.end(), std::greater_equal<int>()) ==
                     reports.end(),
                 qPrintable(QTest::toString(reports)));
        // LibreOffice, the longest step by far, starts when the steps before it are reported.
        if (kind == "file2word") {
            const int atOffice = readFile(officeProgress).trimmed().toInt();
            QVERIFY2(atOffice > 10 && atOffice < 100, qPrintable(QString::number(atOffice)));
        }
    }

    void wordHasAPageForEachPage_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("docx") << "docx";
        QTest::newRow("doc") << "doc";
    }

    // With the real LibreOffice: the Word file, laid out and printed back to a PDF (by the
    // stand-in again), has the PDF's pages, each with its own text: a full page of body text,
    // a short page, a blank page and a page of a single heading.
    void wordHasAPageForEachPage()
    {
        if (QStandardPaths::findExecutable("soffice").isEmpty())
            QSKIP("LibreOffice (soffice) is not installed: the stand-in makes no Word file "
                  "without it");
        QFETCH(QString, suffix);
        const QList<QStringList> pages = {
            linesOfPage(1, 60), linesOfPage(2, 3), {}, linesOfPage(4, 1)};
        const QString source = m_out + "/pages.pdf";
        QVERIFY(writeFile(source, linedPdf(pages)));
        const QString output = m_out + "/pages." + suffix;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", m_engineTemp);
        QCOMPARE(runEngine(conversionArguments("file2word", source, output, m_state, suffix),
                           environment, kOfficeBoundMs),
                 0);
        QCOMPARE(resultPath(0), output);

        const QString printedPdf = m_out + "/printed.pdf";
        QCOMPARE(
            runEngine(conversionArguments("file2pdf", output, printedPdf, m_state + ".pdf", "pdf"),
                      environment, kOfficeBoundMs),
            0);
        QVERIFY(QDir(m_engineTemp).isEmpty());
        QCOMPARE(pdfPageCount(printedPdf), pages.size());
        for (int page = 1; page <= pages.size(); ++page) {
            const QString text = pdfPageText(printedPdf, page);
            if (pages[page - 1].isEmpty()) {
                QVERIFY2(text.isEmpty(), qPrintable(text));
                continue;
            }
            const int first = text.indexOf(QStringLiteral("first-%1").arg(page));
            QVERIFY2(first == 0 && text.indexOf(QStringLiteral("last-%1").arg(page)) > first,
                     qPrintable(QStringLiteral("page %1: %2").arg(page).arg(text)));
        }
    }

    void fullDiskFailsAndLeavesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("workOnFullDisk"); // else the output on it
        QTest::newRow("text") << "file2txt"
                              << "txt" << false;
        QTest::newRow("web page") << "file2html"
                                  << "html" << false;
        QTest::newRow("pictures") << "file2img"
                                  << "png" << false;
        QTest::newRow("text, the work folder on the full disk") << "file2txt"
                                                                << "txt" << true;
    }

    // A small file system of the test's own, filled up, as a full disk: the tools' output is
    // cut short there while they still end with success.
    void fullDiskFailsAndLeavesNothing()
    {
        const QStringList mountNamespace = mountNamespaceCommand();
        if (mountNamespace.isEmpty())
            QSKIP("no mount namespace of its own can be made here for a small file system");
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        QFETCH(bool, workOnFullDisk);
        const QString full = m_dir.filePath(QStringLiteral("full %1").arg(m_run));
        const QString listing = m_dir.filePath(QStringLiteral("full %1 listing").arg(m_run));
        QVERIFY(QDir().mkpath(full));
        const QString output = (workOnFullDisk ? m_out : full) + "/result." + suffix;
        QProcessEnvironment environment = engineEnvironment(false);
        environment.insert("ENGINE_PATH", environment.value("PATH"));
        environment.insert("PATH", QProcessEnvironment::systemEnvironment().value("PATH"));
        if (workOnFullDisk)
            environment.insert("TMPDIR", full);
        // The file system goes with the run, so what it holds is listed before that.
        const QString script = R"(mount -t tmpfs -o size=64k tmpfs "$1" || exit 90
cat /dev/zero >"$1/filler" 2>/dev/null
full=$1 listing=$2
shift 2
PATH=$ENGINE_PATH "$@"
code=$?
ls -A "$full" >"$listing"
exit $code)";
        const int exitCode = runProgram(
            mountNamespace.first(),
            mountNamespace.mid(1) +
                QStringList{"sh", "-c", script, "sh", full, listing, QUORVANE_RUNTIME_ENGINE} +
                conversionArguments(kind, m_pdf, output, m_state, suffix),
            environment, kToolsBoundMs);
        if (exitCode == 90)
            QSKIP("no small file system can be mounted here");

        QCOMPARE(exitCode, 1);
        QVERIFY(!state().contains("outputfiles/filecount"));
        QCOMPARE(QString::fromUtf8(readFile(listing)).split('\n', Qt::SkipEmptyParts),
                 QStringList{"filler"});
        QCOMPARE(QDir(m_out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QVERIFY(QDir(m_engineTemp).isEmpty());
    }

    // Ended by a signal while a tool runs, the stand-in ends the tool and everything the tool
    // started, and leaves no work folder (nor LibreOffice profile) behind.
    void endedEngineEndsItsToolsAndCleansUp()
    {
        const QString pids = m_out + "/office.pids";
        QProcessEnvironment environment = engineEnvironment(true);
        environment.insert("FAKE_OFFICE_LOG", m_out + "/office.log");
        environment.insert("FAKE_OFFICE_HANG", pids);
        QProcess engine;
        engine.setProcessEnvironment(environment);
        engine.start(QStringLiteral(QUORVANE_RUNTIME_ENGINE),
                     conversionArguments("file2pdf", m_pdf, m_out + "/hung.pdf", m_state, "pdf"));
        QVERIFY(engine.waitForStarted(kToolsBoundMs));
        QVERIFY(QTest::qWaitFor([&] { return !hungToolIds(pids).isEmpty(); }, kToolsBoundMs));
        const QList<QByteArray> tools = hungToolIds(pids);
        QCOMPARE(tools.size(), 2);
        QVERIFY(!QDir(m_engineTemp).isEmpty());

        engine.terminate();
        QVERIFY(engine.waitForFinished(kToolsBoundMs));
        QCOMPARE(engine.exitStatus(), QProcess::NormalExit);
        QCOMPARE(engine.exitCode(), 143);
        for (const QByteArray &pid : tools)
            QTRY_VERIFY2_WITH_TIMEOUT(!processRuns(pid.toInt()), pid.constData(), kToolsBoundMs);
        QVERIFY(QDir(m_engineTemp).isEmpty());
    }

    // Quorvane ending a conversion (its row stopped, deleted or cleared), with the grace it
    // ships with, leaves nothing either: no converter runs on, and the stand-in's work folder
    // (with LibreOffice's profile) goes with the engine's temporary folder, which the program
    // removes once the engine's group has ended, whether the stand-in's own clean-up ran
    // within the grace on a busy machine or not.
    void stoppedJobLeavesNothingBehind()
    {
        const QString pids = m_out + "/office.pids";
        const QProcessEnvironment environment = engineEnvironment(true);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", environment.value("PATH").toLocal8Bit());
        qputenv("FAKE_OFFICE_LOG", QFile::encodeName(m_out + "/office.log"));
        qputenv("FAKE_OFFICE_HANG", QFile::encodeName(pids));
        FileToPdfJobEntity job;
        job.setJobParams(m_pdf, m_out + "/stopped.pdf");
        job.start(QThread::InheritPriority);
        const bool started =
            QTest::qWaitFor([&] { return !hungToolIds(pids).isEmpty(); }, kToolsBoundMs);
        qputenv("PATH", oldPath);
        qunsetenv("FAKE_OFFICE_HANG");
        QVERIFY(started);
        const QList<QByteArray> tools = hungToolIds(pids);
        const QStringList temporaryFolders = engineTemporaryFolders();
        QCOMPARE(temporaryFolders.size(), 1);
        QVERIFY(!QDir(temporaryFolders.first()).isEmpty());

        job.stopJob();
        for (const QByteArray &pid : tools)
            QTRY_VERIFY2_WITH_TIMEOUT(!processRuns(pid.toInt()), pid.constData(), kToolsBoundMs);
        // Nothing else the engine started runs on either, at any depth.
        QTRY_COMPARE_WITH_TIMEOUT(ProcessTree::runningDescendants(), 0, kToolsBoundMs);
        QTRY_COMPARE_WITH_TIMEOUT(engineTemporaryFolders(), QStringList(), kToolsBoundMs);
    }

    void resultNeverReplacesAFileThatTookItsName_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("tool"); // held until the name is taken
        QTest::newRow("text") << "file2txt"
                              << "txt"
                              << "pdftotext";
        QTest::newRow("word to pdf, by office") << "file2pdf"
                                                << "pdf"
                                                << "soffice";
    }

    // The program chose the output name as the conversion started; a file that takes that
    // name while the stand-in converts stays as it is, and the conversion fails.
    void resultNeverReplacesAFileThatTookItsName()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        QFETCH(QString, tool);
        const QString gate = m_dir.filePath(QStringLiteral("gate %1").arg(m_run));
        QProcessEnvironment environment = engineEnvironment(true);
        environment.insert("PATH", heldTool(tool, gate) + ":" + environment.value("PATH"));
        environment.insert("FAKE_OFFICE_LOG", m_dir.filePath("office.log"));
        const QString output = m_out + "/result." + suffix;
        QProcess engine;
        engine.setProcessEnvironment(environment);
        engine.start(QStringLiteral(QUORVANE_RUNTIME_ENGINE),
                     conversionArguments(kind, m_pdf, output, m_state, suffix));
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(gate + ".held"); }, kToolsBoundMs));
        QVERIFY(writeFile(output, "mine"));
        QVERIFY(writeFile(gate, ""));
        QVERIFY(engine.waitForFinished(kToolsBoundMs));

        QCOMPARE(engine.exitCode(), 1);
        QVERIFY(!state().contains("outputfiles/filecount"));
        QCOMPARE(readFile(output), QByteArray("mine"));
        QCOMPARE(QDir(m_out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"result." + suffix});
    }

    void longSourceNamesAreConverted_data()
    {
        QTest::addColumn<QString>("kind"); // or "getfilepagenum"
        QTest::addColumn<int>("bytes");    // of the source's name
        QTest::addColumn<QString>("sourceSuffix");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("text, 245 bytes") << "file2txt" << 245 << "pdf"
                                         << "txt";
        QTest::newRow("text, 255 bytes") << "file2txt" << 255 << "pdf"
                                         << "txt";
        QTest::newRow("pictures, 250 bytes") << "file2img" << 250 << "pdf"
                                             << "png";
        QTest::newRow("word to pdf, 255 bytes") << "file2pdf" << 255 << "docx"
                                                << "pdf";
        QTest::newRow("page count by office, 255 bytes") << "getfilepagenum" << 255 << "et"
                                                         << "";
    }

    // A source whose name takes the file system's limit of 255 bytes, or nearly, converts to
    // an output of a name within that limit, and an Office file of such a name is counted:
    // the stand-in's own names beside the output and for LibreOffice's input are short.
    void longSourceNamesAreConverted()
    {
        QFETCH(QString, kind);
        QFETCH(int, bytes);
        QFETCH(QString, sourceSuffix);
        QFETCH(QString, suffix);
        const QString stem(bytes - sourceSuffix.size() - 1, QLatin1Char('n'));
        const QString source = m_out + "/" + stem + "." + sourceSuffix;
        QVERIFY(QFile::copy(m_pdf, source));
        QProcessEnvironment environment = engineEnvironment(true);
        environment.insert("FAKE_OFFICE_LOG", m_dir.filePath("office.log"));
        environment.insert("FAKE_OFFICE_PDF", m_pdf);
        if (kind == "getfilepagenum") {
            QCOMPARE(runEngine({kind, source, m_state}, environment), 0);
            QCOMPARE(state().value("filepagenum/pagenum").toString(), QString("2"));
            return;
        }
        const QString output = m_out + "/" + stem + "." + suffix;
        QCOMPARE(runEngine(conversionArguments(kind, source, output, m_state, suffix), environment),
                 0);
        const QString first = kind == "file2img" ? m_out + "/" + stem + "-1." + suffix : output;
        QCOMPARE(resultPath(0), first);
        QVERIFY(QFileInfo(first).size() > 0);
        QVERIFY(QDir(m_engineTemp).isEmpty());
    }

    // Eight workbooks without a count of their own, added at once on a busy machine, all get
    // their counts, which go through LibreOffice: those run a few at a time, each with a time
    // that fits it from its own start.
    void officeCountsAllComeOnABusyMachine()
    {
        if (QStandardPaths::findExecutable("soffice").isEmpty())
            QSKIP("LibreOffice (soffice) is not installed: the stand-in counts no workbook "
                  "without it");
        const QByteArray book = workbook();
        QVERIFY(!book.isEmpty());
        std::vector<std::unique_ptr<FilePageCount>> counts;
        QStringList answers;
        const MachineLoad load(kLoadPerProcessor * QThread::idealThreadCount());
        QVERIFY(load.isRunning());
        for (int i = 0; i < 8; ++i) {
            const QString path = m_out + QStringLiteral("/book %1.xlsx").arg(i);
            QVERIFY(writeFile(path, book));
            counts.push_back(std::make_unique<FilePageCount>(path));
            connect(counts.back().get(), &FilePageCount::PageCountResultSignal,
                    [&answers](const QString &answer) { answers << answer; });
            counts.back()->start();
        }
        QVERIFY2(QTest::qWaitFor([&] { return answers.size() == 8; }, kOfficeBoundMs),
                 qPrintable(answers.join(' ')));
        QCOMPARE(answers, QStringList(QVector<QString>(8, "1").toList()));
    }

    void failsWithOne_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("brokenSource");
        QTest::newRow("no converter for the kind") << "file2gif"
                                                   << "gif" << false;
        QTest::newRow("image format it cannot write") << "file2img"
                                                      << "tif" << false;
        QTest::newRow("line break in the name") << "file2txt"
                                                << "txt" << false;
        QTest::newRow("not a PDF") << "file2txt"
                                   << "txt" << true;
        QTest::newRow("a page picture already there") << "file2img"
                                                      << "png" << false;
    }

    void failsWithOne()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        QFETCH(bool, brokenSource);
        QString source = m_pdf;
        if (brokenSource) {
            source = m_dir.filePath("broken.pdf");
            QVERIFY(writeFile(source, "not a pdf at all"));
        }
        const QString output =
            m_out +
            (QString(QTest::currentDataTag()).contains("line break") ? "/line\nbreak."
                                                                     : "/result.") +
            suffix;
        // The pictures are named after the result, which the caller did not name: the one of
        // the second page stays as it is, and the first page's goes again.
        const bool pictureThere = QString(QTest::currentDataTag()).contains("picture");
        if (pictureThere)
            QVERIFY(writeFile(m_out + "/result-2.png", "mine"));
        QCOMPARE(runEngine(conversionArguments(kind, source, output, m_state, suffix)), 1);
        QVERIFY(!state().contains("outputfiles/filecount"));
        QCOMPARE(QDir(m_out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 pictureThere ? QStringList{"result-2.png"} : QStringList());
        if (pictureThere)
            QCOMPARE(readFile(m_out + "/result-2.png"), QByteArray("mine"));
        QVERIFY(QDir(m_engineTemp).isEmpty());
    }

private:
    // A tool on the path in front of the stand-in's own, which notes gate + ".held" and holds
    // until the file gate exists; the folder to put in front of the path.
    QString heldTool(const QString &tool, const QString &gate) const
    {
        const QString folder = m_dir.filePath(QStringLiteral("held %1").arg(m_run));
        const QString real = QFileInfo::exists(m_tools + "/" + tool) ? m_tools + "/" + tool
                                                                     : m_systemTools + "/" + tool;
        QDir().mkpath(folder);
        const QString script = QStringLiteral("#!/bin/sh\n"
                                              ": >'%1.held'\n"
                                              "while [ ! -e '%1' ]; do sleep 0.05; done\n"
                                              "exec '%2' \"$@\"\n")
                                   .arg(gate, real);
        QFile held(folder + "/" + tool);
        if (held.open(QIODevice::WriteOnly)) {
            held.write(script.toUtf8());
            held.close();
            held.setPermissions(held.permissions() | QFileDevice::ExeOwner);
        }
        return folder;
    }

    // The temporary folders of the engines that this test's program runs.
    static QStringList engineTemporaryFolders()
    {
        const QString prefix = RunOwnedFiles::namePrefix(engineWorkFolder()) + "engine-";
        QStringList folders;
        for (const QFileInfo &entry :
             QDir(engineWorkFolder()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (entry.filePath().startsWith(prefix))
                folders << entry.filePath();
        }
        return folders;
    }

    // The stand-in's environment: its work folders in a folder of the test's, and the
    // LibreOffice stand-in on the path or no LibreOffice at all.
    QProcessEnvironment engineEnvironment(bool withOffice) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", m_engineTemp);
        environment.insert("PATH", (withOffice ? m_tools + ":" : QString()) + m_systemTools);
        return environment;
    }

    // As the program reads it: raw, so that a backslash stays what it is.
    QString resultPath(int index) const
    {
        return decodeUtf8UpToZero(
            readProfileString(m_state, "outputfiles", "file_" + QByteArray::number(index), 65536));
    }

    static bool writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // unshare with the options that make a mount namespace of the test's own here, with a user
    // namespace where one is needed; empty where none can be made.
    static QStringList mountNamespaceCommand()
    {
        const QString unshare = QStandardPaths::findExecutable("unshare");
        if (unshare.isEmpty())
            return {};
        for (const QStringList &options : {QStringList{"-r", "-m"}, QStringList{"-m"}}) {
            if (QProcess::execute(unshare, options + QStringList{"true"}) == 0)
                return QStringList{unshare} + options;
        }
        return {};
    }

    // The lines of page number page of a document: the first begins "first-<page>", the
    // last ends "last-<page>"; the body lines are as long as a document's.
    static QStringList linesOfPage(int page, int count)
    {
        QStringList lines{QStringLiteral("first-%1 heading of page %1").arg(page)};
        for (int line = 1; line < count; ++line)
            lines << QStringLiteral("Line %1 of page %2, set in ten point type across the page "
                                    "as the body of a document is set")
                         .arg(line)
                         .arg(page);
        lines.last() += QStringLiteral(" last-%1").arg(page);
        return lines;
    }

    static int pdfPageCount(const QString &pdf)
    {
        QProcess pdfinfo;
        pdfinfo.start("pdfinfo", {pdf});
        if (!pdfinfo.waitForFinished(kToolsBoundMs))
            return -1;
        const QRegularExpression pages(QStringLiteral("^Pages:\\s*(\\d+)"),
                                       QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match =
            pages.match(QString::fromUtf8(pdfinfo.readAllStandardOutput()));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }

    static QString pdfPageText(const QString &pdf, int page)
    {
        QProcess pdftotext;
        const QString number = QString::number(page);
        pdftotext.start("pdftotext", {"-f", number, "-l", number, pdf, "-"});
        if (!pdftotext.waitForFinished(kToolsBoundMs))
            return QStringLiteral("(pdftotext did not end)");
        return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    }

    // The process ids that the hung LibreOffice stand-in noted; none before it noted them.
    static QList<QByteArray> hungToolIds(const QString &path)
    {
        const QByteArray ids = readFile(path).trimmed();
        return ids.isEmpty() ? QList<QByteArray>() : ids.split('\n');
    }

    static bool processRuns(int pid)
    {
        QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        // A child ended but not yet reaped by its parent is a zombie, which runs no more.
        return !status.readAll().contains(") Z ");
    }

    int runEngine(const QStringList &arguments)
    {
        return runEngine(arguments, engineEnvironment(false));
    }

    int runEngine(const QStringList &arguments, const QProcessEnvironment &environment,
                  int boundMs = kToolsBoundMs)
    {
        return runProgram(QStringLiteral(QUORVANE_RUNTIME_ENGINE), arguments, environment, boundMs);
    }

    // Runs program from the engine's folder and waits for its end; -1 for an abnormal end.
    static int runProgram(const QString &program, const QStringList &arguments,
                          const QProcessEnvironment &environment, int boundMs)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(
            QFileInfo(QStringLiteral(QUORVANE_RUNTIME_ENGINE)).absolutePath());
        process.start(program, arguments);
        if (!process.waitForFinished(boundMs)) {
            process.kill();
            process.waitForFinished(kToolsBoundMs);
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QSettings &state()
    {
        m_stateFile = std::make_unique<QSettings>(m_state, QSettings::IniFormat);
        return *m_stateFile;
    }

    QTemporaryDir m_dir;
    QString m_tools;
    QString m_engineTemp;
    QString m_systemTools;
    QString m_pdf;
    QString m_state;
    QString m_out;
    int m_run = 0;
    std::unique_ptr<QSettings> m_stateFile;
};

QTEST_GUILESS_MAIN(RuntimeEngineTest)
#include "tst_RuntimeEngine.moc"
