#include "PdfToFileJobEntity.h"
#include "TinyPdf.h"

#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QStringList conversionArguments(const QString &kind, const QString &source, const QString &output,
                                const QString &state, const QString &suffix,
                                const QStringList &tail)
{
    return QStringList{"", kind, source, QDir::toNativeSeparators(output), state, "", suffix} +
           tail;
}

// LibreOffice lies outside the system (and is not installed on every machine): a stand-in
// that logs its arguments and, unless told to fail, writes a file the way it does.
const char fakeOffice[] = R"(#!/bin/sh
printf '%s\n' "$@" >>"$FAKE_OFFICE_LOG"
[ -z "$FAKE_OFFICE_FAIL" ] || exit 1
while [ $# -gt 1 ]; do
    case "$1" in
    --convert-to) format=$2 ;;
    --outdir) outdir=$2 ;;
    esac
    shift
done
name=$(basename "$1")
printf 'converted by office' >"$outdir/${name%.*}.$format"
)";

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
        m_pdf = m_dir.filePath("two pages.pdf");
        QFile file(m_pdf);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(tinyPdf({"First page", "Second page"}));
    }

    void init()
    {
        m_state = m_dir.filePath(QStringLiteral("state/%1.ini").arg(m_run++));
        // A comma and a semicolon in every output path: the state file must keep them.
        m_out = m_dir.filePath(QStringLiteral("out %1, a;b").arg(m_run));
        QVERIFY(QDir().mkpath(m_out));
        QVERIFY(QDir().mkpath(QFileInfo(m_state).absolutePath()));
    }

    void countsPages()
    {
        QCOMPARE(runEngine({"getfilepagenum", m_pdf, m_state}), 0);
        QCOMPARE(state().value("filepagenum/pagenum").toString(), QString("2"));
    }

    void convertsOneFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("text") << "file2txt"
                              << "txt";
        QTest::newRow("web page") << "file2html"
                                  << "html";
    }

    void convertsOneFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        const QString output = m_out + "/two pages." + suffix;
        QCOMPARE(runEngine(conversionArguments(kind, m_pdf, output, m_state, suffix, {"", "", ""})),
                 0);
        QFile converted(output);
        QVERIFY(converted.open(QIODevice::ReadOnly));
        const QByteArray content = converted.readAll();
        QVERIFY2(content.contains("First") && content.contains("Second"), content.constData());
        QCOMPARE(state().value("progress").toString(), QString("100"));
        QCOMPARE(state().value("outputfiles/filecount").toString(), QString("1"));
        QCOMPARE(state().value("outputfiles/file_0").toString(), output);
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
        QVERIFY(result.wait(30000));
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
    }

    void convertsToImages()
    {
        QFETCH(QString, suffix);
        const QString output = m_out + "/two pages." + suffix;
        QCOMPARE(runEngine(conversionArguments("file2img", m_pdf, output, m_state, suffix,
                                               {"", "", "", "576", "3"})),
                 0);
        QCOMPARE(state().value("outputfiles/filecount").toString(), QString("2"));
        for (int page = 1; page <= 2; ++page) {
            const QString image = m_out + QStringLiteral("/two pages-%1.%2").arg(page).arg(suffix);
            QCOMPARE(state().value(QStringLiteral("outputfiles/file_%1").arg(page - 1)).toString(),
                     image);
            const QImage picture(image);
            QVERIFY2(!picture.isNull(), qPrintable(image));
            QVERIFY(picture.width() > 100 && picture.height() > 30);
        }
    }

    void convertsWithOffice_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("officeFails");
        QTest::newRow("pdf to word") << "file2word"
                                     << "docx" << false;
        QTest::newRow("word to pdf") << "file2pdf"
                                     << "pdf" << false;
        QTest::newRow("failure does not pass off an old result") << "file2pdf"
                                                                 << "pdf" << true;
    }

    void convertsWithOffice()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        QFETCH(bool, officeFails);
        const QString tools = m_dir.filePath("office-tools");
        QVERIFY(QDir().mkpath(tools));
        QFile office(tools + "/soffice");
        QVERIFY(office.open(QIODevice::WriteOnly));
        office.write(fakeOffice);
        office.close();
        office.setPermissions(office.permissions() | QFileDevice::ExeOwner);
        const QString log = m_out + "/office.log";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", tools + ":" + environment.value("PATH"));
        environment.insert("FAKE_OFFICE_LOG", log);
        if (officeFails)
            environment.insert("FAKE_OFFICE_FAIL", "1");

        const QString output = m_out + "/result." + suffix;
        QFile earlier(output);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier result");
        earlier.close();
        const QStringList tail = kind == "file2pdf"
                                     ? QStringList{"", "", "", "", "", "1", "0", "0", "0", "0"}
                                     : QStringList{"", "", ""};
        const int exitCode =
            runEngine(conversionArguments(kind, m_pdf, output, m_state, suffix, tail), environment);

        QFile logFile(log);
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const QStringList arguments = QString::fromUtf8(logFile.readAll()).split('\n');
        QVERIFY(arguments.contains("--headless"));
        QCOMPARE(arguments.at(arguments.indexOf("--convert-to") + 1), suffix);
        QCOMPARE(arguments.contains("--infilter=writer_pdf_import"), kind == "file2word");
        // Each run brings a profile of its own and takes it away again.
        const QString profile = arguments.filter("-env:UserInstallation=file://").value(0);
        QVERIFY(!profile.isEmpty());
        QVERIFY(!QFileInfo::exists(profile.section("file://", 1)));

        if (officeFails) {
            QCOMPARE(exitCode, 1);
            QVERIFY(!state().contains("outputfiles/filecount"));
            return;
        }
        QCOMPARE(exitCode, 0);
        QFile converted(output);
        QVERIFY(converted.open(QIODevice::ReadOnly));
        QCOMPARE(converted.readAll(), QByteArray("converted by office"));
        QCOMPARE(state().value("outputfiles/filecount").toString(), QString("1"));
        QCOMPARE(state().value("outputfiles/file_0").toString(), output);
    }

    void failsWithOne_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("brokenSource");
        QTest::newRow("no converter for the kind") << "file2excel"
                                                   << "xlsx" << false;
        QTest::newRow("image format it cannot write") << "file2img"
                                                      << "bmp" << false;
        QTest::newRow("not a PDF") << "file2txt"
                                   << "txt" << true;
    }

    void failsWithOne()
    {
        QFETCH(QString, kind);
        QFETCH(QString, suffix);
        QFETCH(bool, brokenSource);
        QString source = m_pdf;
        if (brokenSource) {
            source = m_dir.filePath("broken.pdf");
            QFile broken(source);
            QVERIFY(broken.open(QIODevice::WriteOnly));
            broken.write("not a pdf at all");
        }
        const QString output = m_out + "/result." + suffix;
        QCOMPARE(
            runEngine(conversionArguments(kind, source, output, m_state, suffix, {"", "", ""})), 1);
        QVERIFY(!state().contains("outputfiles/filecount"));
    }

private:
    int runEngine(const QStringList &arguments,
                  const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess engine;
        engine.setProcessEnvironment(environment);
        engine.setWorkingDirectory(
            QFileInfo(QStringLiteral(QUORVANE_RUNTIME_ENGINE)).absolutePath());
        engine.start(QStringLiteral(QUORVANE_RUNTIME_ENGINE), arguments);
        if (!engine.waitForFinished(30000)) {
            engine.kill();
            engine.waitForFinished(5000);
            return -1;
        }
        return engine.exitStatus() == QProcess::NormalExit ? engine.exitCode() : -1;
    }

    QSettings &state()
    {
        m_stateFile = std::make_unique<QSettings>(m_state, QSettings::IniFormat);
        return *m_stateFile;
    }

    QTemporaryDir m_dir;
    QString m_pdf;
    QString m_state;
    QString m_out;
    int m_run = 0;
    std::unique_ptr<QSettings> m_stateFile;
};

QTEST_GUILESS_MAIN(RuntimeEngineTest)
#include "tst_RuntimeEngine.moc"
