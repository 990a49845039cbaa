#include "TinyPdf.h"

#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QString windowsSeparators(QString path)
{
    return path.replace('/', '\\');
}

QStringList conversionArguments(const QString &kind, const QString &source, const QString &output,
                                const QString &state, const QString &suffix,
                                const QStringList &tail)
{
    return QStringList{"", kind, source, windowsSeparators(output), state, "", suffix} + tail;
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
        m_pdf = m_dir.filePath("two pages.pdf");
        QFile file(m_pdf);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(tinyPdf({"First page", "Second page"}));
    }

    void init()
    {
        m_state = m_dir.filePath(QStringLiteral("state/%1.ini").arg(m_run++));
        m_out = m_dir.filePath(QStringLiteral("out%1").arg(m_run));
        QVERIFY(QDir().mkpath(m_out));
        QVERIFY(QDir().mkpath(QFileInfo(m_state).absolutePath()));
    }

    void countsPages()
    {
        QCOMPARE(runEngine({"getfilepagenum", m_pdf, m_state}), 0);
        QCOMPARE(state().value("filepagenum/pagenum").toString(), QString("2"));
    }

    void convertsToText()
    {
        const QString output = m_out + "/two pages.txt";
        QCOMPARE(
            runEngine(conversionArguments("file2txt", m_pdf, output, m_state, "txt", {"", "", ""})),
            0);
        QFile text(output);
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QByteArray content = text.readAll();
        QVERIFY2(content.contains("First page") && content.contains("Second page"),
                 content.constData());
        QCOMPARE(state().value("progress").toString(), QString("100"));
        QCOMPARE(state().value("outputfiles/filecount").toString(), QString("1"));
        QCOMPARE(state().value("outputfiles/file_0").toString(), output);
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
    int runEngine(const QStringList &arguments)
    {
        QProcess engine;
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
