#include "FileUtils.h"
#include "UtilsProbeRun.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// File and folder utilities against real folders in a throwaway directory.
class FileUtilsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
    }

    void tempWorkDirIsMadeOnDemand()
    {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        QVERIFY(!runtime.isEmpty());
        const QString expected = runtime + "/TzQuorvane/";
        QDir(expected).removeRecursively();
        QFile::remove(runtime + "/TzQuorvane");
        QCOMPARE(tempWorkDir(), expected);
        QVERIFY(isOwnPrivateFolder(expected));

        // An own folder that others could read is kept, but closed to them.
        QVERIFY(QFile::setPermissions(expected, QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadOther |
                                                    QFile::ExeOther));
        QCOMPARE(tempWorkDir(), expected);
        QVERIFY(isOwnPrivateFolder(expected));
    }

    // Another user may have made "TzQuorvane" first, in the shared temp folder or wherever
    // the folder is looked for: such a folder is never used.
    void tempWorkDirRefusesAFolderNotItsOwn_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::newRow("another user's folder") << "foreign";
        QTest::newRow("own folder others may write into") << "open";
        QTest::newRow("own folder its group may write into") << "group";
        QTest::newRow("link to a folder") << "link";
        QTest::newRow("link to an own private folder") << "own link";
        QTest::newRow("file") << "file";
    }

    void tempWorkDirRefusesAFolderNotItsOwn()
    {
        QFETCH(QString, planted);
        if (planted == "foreign")
            skipUnlessRoot();
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        const QStringList places = {QDir::tempPath() + "/TzQuorvane", runtime + "/TzQuorvane"};
        for (const QString &place : places) {
            QDir(place).removeRecursively();
            QFile::remove(place);
            QVERIFY(plant(planted, place));
        }

        const QString workDir = tempWorkDir();
        QVERIFY(workDir.endsWith('/'));
        for (const QString &place : places) {
            QVERIFY2(!(QFileInfo(workDir).canonicalFilePath() + "/")
                          .startsWith(QFileInfo(place).canonicalFilePath() + "/"),
                     qPrintable(workDir));
        }
        QVERIFY2(isOwnPrivateFolder(workDir), qPrintable(workDir));
        QCOMPARE(tempWorkDir(), workDir);
        if (planted == "link")
            QCOMPARE(QFileInfo(m_dir->path()).permissions() & QFile::WriteOther,
                     QFile::WriteOther); // the link's target was left alone

        for (const QString &place : places) {
            QFile::remove(place);
            QDir(place).removeRecursively();
        }
    }

    // The fresh folder made when the usual one is refused is this run's alone and goes, with
    // what the run left in it, when the program quits; the usual folder stays for the next run.
    void freshWorkFolderGoesWhenTheProgramQuits_data()
    {
        QTest::addColumn<bool>("usualRefused");
        QTest::newRow("usual folder refused") << true;
        QTest::newRow("usual folder") << false;
    }

    void freshWorkFolderGoesWhenTheProgramQuits()
    {
        QFETCH(bool, usualRefused);
        const QString runtime = m_dir->filePath("runtime");
        const QString temp = m_dir->filePath("temp");
        QVERIFY(QDir().mkpath(runtime) && QDir().mkpath(temp));
        QCOMPARE(::chmod(QFile::encodeName(runtime).constData(), 0700), 0);
        if (usualRefused)
            writeFile("runtime/TzQuorvane", "not a folder");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime);
        environment.insert("TMPDIR", temp);

        const QStringList lines = runUtilsProbe({"workdir"}, environment);
        QCOMPARE(lines.size(), 1);
        const QString workDir = lines.first();
        if (usualRefused) {
            QVERIFY2(
                QRegularExpression("^" + QRegularExpression::escape(temp) + "/TzQuorvane-\\w{6}/$")
                    .match(workDir)
                    .hasMatch(),
                qPrintable(workDir));
            QVERIFY2(!QFileInfo::exists(workDir), qPrintable(workDir));
            QVERIFY(QDir(temp).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System));
        } else {
            QCOMPARE(workDir, runtime + "/TzQuorvane/");
            QVERIFY(QFileInfo::exists(workDir + "state"));
        }
    }

    // A runtime folder that is not (or no longer) the user's own is not used for the work
    // folder.
    void tempWorkDirBesideAForeignRuntimeFolder()
    {
        skipUnlessRoot();
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        const QByteArray name = QFile::encodeName(runtime);
        QCOMPARE(privateRuntimeDir(), runtime);
        QCOMPARE(::chown(name.constData(), 12345, 12345), 0);
        const QString workDir = tempWorkDir();
        const QString runtimeDir = privateRuntimeDir();
        QCOMPARE(::chown(name.constData(), ::geteuid(), ::getegid()), 0);
        QCOMPARE(runtimeDir, QString());
        QVERIFY2(!workDir.startsWith(runtime + "/"), qPrintable(workDir));
        QCOMPARE(workDir, QDir::tempPath() + "/TzQuorvane/");
        QVERIFY(isOwnPrivateFolder(workDir));
    }

    void folderMaking_data()
    {
        QTest::addColumn<QString>("relative"); // "<empty>": the empty path
        QTest::addColumn<bool>("ensureResult");
        QTest::addColumn<bool>("makeDirResult");
        QTest::newRow("empty path") << "<empty>" << false << false;
        QTest::newRow("one level") << "a" << true << true;
        QTest::newRow("missing parents") << "a/b/c" << true << false;
        QTest::newRow("existing") << "." << true << true;
    }

    void folderMaking()
    {
        QFETCH(QString, relative);
        QFETCH(bool, ensureResult);
        QFETCH(bool, makeDirResult);
        const QString path = relative == "<empty>" ? QString() : m_dir->filePath(relative);
        QCOMPARE(makeDir(path), makeDirResult);
        QCOMPARE(ensureDirExists(path), ensureResult);
        if (ensureResult)
            QVERIFY(QDir(path).exists());
    }

    void clearDirectoryOfMissingOrEmptyPath()
    {
        QVERIFY(!clearDirectory(QString(), true));
        const QString missing = m_dir->filePath("missing");
        QVERIFY(clearDirectory(missing, true));
        QVERIFY(!QFileInfo::exists(missing));
    }

    void clearDirectoryKeepsSubfoldersUnlessRemovingSelf()
    {
        const QString root = makeTree("tree");
        QVERIFY(clearDirectory(root, false));
        QVERIFY(QDir(root).exists());
        QVERIFY(QDir(root + "/sub/deeper").exists());
        QVERIFY(!QFileInfo::exists(root + "/top.txt"));
        QVERIFY(!QFileInfo::exists(root + "/sub/deeper/leaf.txt"));
    }

    void clearDirectoryRemovesOnlyTheFolderAskedFor()
    {
        const QString parent = m_dir->filePath("only/child");
        QVERIFY(QDir().mkpath(parent));
        const QString root = makeTree("only/child/tree");
        QVERIFY(clearDirectory(root, true));
        QVERIFY(!QFileInfo::exists(root));
        QVERIFY(QDir(parent).exists());
    }

    void clearDirectoryDoesNotFollowLinks()
    {
        const QString outside = makeTree("outside");
        const QString root = m_dir->filePath("linked");
        QVERIFY(QDir().mkpath(root));
        QVERIFY(QFile::link(outside, root + "/link"));
        QVERIFY(clearDirectory(root, true));
        QVERIFY(!QFileInfo::exists(root));
        QVERIFY(QFileInfo::exists(outside + "/top.txt"));
        QVERIFY(QFileInfo::exists(outside + "/sub/deeper/leaf.txt"));
    }

    void emptyDirectoryKeepsTheFolderOnly()
    {
        const QString root = makeTree("tree");
        emptyDirectory(root);
        QVERIFY(QDir(root).exists());
        QVERIFY(QDir(root).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
    }

    void fileSize()
    {
        QCOMPARE(::fileSize(QString()), qint64(0));
        QCOMPARE(::fileSize(m_dir->filePath("missing")), qint64(0));
        QCOMPARE(::fileSize(writeFile("five.bin", "12345")), qint64(5));
        QCOMPARE(::fileSize(m_dir->path()), qint64(0));
    }

    // A FIFO without a writer would keep an opening reader waiting for ever. Should the size
    // open it after all, the test opens the writing end itself to let it go, and fails.
    void fileSizeOfAFifoAnswersAtOnce()
    {
        const QString fifo = m_dir->filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        auto size = std::async(std::launch::async, [&fifo] { return ::fileSize(fifo); });
        const bool answered = size.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        if (!answered) {
            const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        QVERIFY2(answered, "the size of a FIFO waited for a writer");
        QCOMPARE(size.get(), qint64(0));
    }

    void pathPredicates_data()
    {
        QTest::addColumn<QString>("predicate");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("image jpg") << "image"
                                   << "/a/B.JPG" << true;
        QTest::newRow("image tiff") << "image"
                                    << "/a/b.tiff" << true;
        QTest::newRow("image webp") << "image"
                                    << "/a/b.webp" << false;
        QTest::newRow("image empty") << "image"
                                     << "" << false;
        QTest::newRow("pdf upper") << "pdf"
                                   << "/a/b.PDF" << true;
        QTest::newRow("pdf in folder name") << "pdf"
                                            << "/a.pdf/b.txt" << false;
        QTest::newRow("office wps") << "office"
                                    << "/a/b.WPS" << true;
        QTest::newRow("office et") << "office"
                                   << "/a/b.et" << true;
        QTest::newRow("office pdf") << "office"
                                    << "/a/b.pdf" << false;
        QTest::newRow("drive root C:") << "driveRoot"
                                       << "C:" << true;
        QTest::newRow("drive root C:/") << "driveRoot"
                                        << "C:/" << true;
        QTest::newRow("drive root C:/a") << "driveRoot"
                                         << "C:/a" << false;
        QTest::newRow("drive root /") << "driveRoot"
                                      << "/" << false;
        QTest::newRow("drive letter C:/a") << "driveLetter"
                                           << "C:/a" << true;
        QTest::newRow("drive letter /a:") << "driveLetter"
                                          << "/a" << false;
        QTest::newRow("drive letter C") << "driveLetter"
                                        << "C" << false;
    }

    void pathPredicates()
    {
        static const QMap<QString, std::function<bool(const QString &)>> predicates = {
            {"image", isImageFile},          {"pdf", isPdfFile},
            {"office", isOfficeFile},        {"driveRoot", isDriveRoot},
            {"driveLetter", hasDriveLetter},
        };
        QFETCH(QString, predicate);
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(predicates.value(predicate)(text), expected);
    }

    void copyToSpaceFreeName()
    {
        const QString plain = writeFile("plain.pdf", "pdf");
        QCOMPARE(::copyToSpaceFreeName(plain), plain);

        const QString spaced = writeFile("with space.pdf", "spaced pdf");
        const QString outputDir = applicationDataDir() + "/output";
        QDir(outputDir).removeRecursively();
        QCOMPARE(::copyToSpaceFreeName(spaced), spaced); // the folder is not made here

        QVERIFY(QDir().mkpath(outputDir));
        const QString copy = ::copyToSpaceFreeName(spaced);
        QVERIFY(QRegularExpression("/output/\\d{4}(-\\d+){6}\\.pdf$").match(copy).hasMatch());
        QCOMPARE(readFile(copy), QByteArray("spaced pdf"));
    }

    void copyToTempIfChineseLeavesAsciiPaths()
    {
        const QString source = writeFile("report 2024 (x4e00).docx", "ascii");
        QString path, name, suffix;
        copyToTempIfChinese(source, path, name, suffix);
        QCOMPARE(path, source);
        QCOMPARE(name, QString("report 2024 (x4e00)"));
        QCOMPARE(suffix, QString("docx"));
    }

    void copyToTempIfChineseCopiesChinesePaths()
    {
        const QString source = writeFile("年度报告.docx", "chinese");
        QString path, name, suffix;
        copyToTempIfChinese(source, path, name, suffix);
        QCOMPARE(suffix, QString("docx"));
        QVERIFY(QRegularExpression("^\\{[0-9a-f-]{36}\\}$").match(name).hasMatch());
        QCOMPARE(path, tempWorkDir() + name + ".docx");
        QCOMPARE(readFile(path), QByteArray("chinese"));
        QFile::remove(path);
    }

    void copyToTempIfChineseFallsBackWhenCopyFails()
    {
        const QString missing = m_dir->filePath("不存在.pdf");
        QString path, name, suffix;
        copyToTempIfChinese(missing, path, name, suffix);
        QCOMPARE(path, missing);
        QCOMPARE(name, QString("不存在"));
        QCOMPARE(suffix, QString("pdf"));
    }

    void copyFileTo_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<QByteArray>("targetContent");
        QTest::newRow("new target") << false << false << true << QByteArray("source");
        QTest::newRow("existing, keep") << true << false << false << QByteArray("old");
        QTest::newRow("existing, overwrite") << true << true << true << QByteArray("source");
    }

    void copyFileTo()
    {
        QFETCH(bool, targetExists);
        QFETCH(bool, overwrite);
        QFETCH(bool, expected);
        QFETCH(QByteArray, targetContent);
        const QString source = writeFile("source.txt", "source");
        const QString target = m_dir->filePath("target.txt");
        if (targetExists)
            writeFile("target.txt", "old");
        QCOMPARE(::copyFileTo(source, QDir::toNativeSeparators(target), overwrite), expected);
        QCOMPARE(readFile(target), targetContent);
    }

    void copyFileToEdgeCases()
    {
        const QString source = writeFile("same.txt", "same");
        QVERIFY(::copyFileTo(source, QDir::toNativeSeparators(source), true));
        QCOMPARE(readFile(source), QByteArray("same"));
        QVERIFY(!::copyFileTo(m_dir->filePath("missing"), m_dir->filePath("t"), true));

        // Where it is no separator, a backslash stays part of the name.
        const QString named = m_dir->filePath("back\\slash.txt");
        QVERIFY(::copyFileTo(source, named, false));
        QCOMPARE(readFile(named), QByteArray("same"));
    }

    void copyDirectoryTreeSkipsConfigBelowTheTop()
    {
        const QString source = makeTree("src");
        writeFile("src/CONFIG", "top config");
        writeFile("src/sub/CONFIG", "sub config");
        const QString target = m_dir->filePath("copy");
        QVERIFY(copyDirectoryTree(source, target, false));
        QCOMPARE(readFile(target + "/sub/deeper/leaf.txt"), QByteArray("leaf"));
        QVERIFY(!QFileInfo::exists(target + "/CONFIG"));
        QVERIFY(!QFileInfo::exists(target + "/sub/CONFIG"));

        const QString checked = m_dir->filePath("checked");
        QVERIFY(copyDirectoryTreeChecked(source, checked, false));
        QCOMPARE(readFile(checked + "/CONFIG"), QByteArray("top config"));
        QVERIFY(!QFileInfo::exists(checked + "/sub/CONFIG"));
    }

    void copyDirectoryTreeOverwriteRules()
    {
        const QString source = makeTree("src");
        const QString target = makeTree("dst");
        writeFile("dst/top.txt", "stale");
        QVERIFY(copyDirectoryTree(source, target, false)); // failures are ignored
        QCOMPARE(readFile(target + "/top.txt"), QByteArray("stale"));
        QVERIFY(!copyDirectoryTreeChecked(source, target, false));
        QVERIFY(copyDirectoryTreeChecked(source, target, true));
        QCOMPARE(readFile(target + "/top.txt"), QByteArray("top"));
    }

    void copyDirectoryTreeFailsWhenTargetCannotBeMade()
    {
        const QString source = makeTree("src");
        QVERIFY(!copyDirectoryTree(source, m_dir->filePath("no/such/parent"), true));
        QVERIFY(!copyDirectoryTreeChecked(source, m_dir->filePath("no/such/parent"), true));
    }

private:
    // Giving a folder to another user takes root, as the tests have here.
    static void skipUnlessRoot()
    {
        if (::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
    }

    static bool isOwnPrivateFolder(const QString &path)
    {
        struct stat status = {};
        return ::lstat(QFile::encodeName(path).constData(), &status) == 0 &&
               S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
               (status.st_mode & 0777) == 0700;
    }

    // Puts what another user (or an accident) may have left where Quorvane makes its folder.
    bool plant(const QString &kind, const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        if (kind == "file")
            return QFile(path).open(QIODevice::WriteOnly);
        if (kind == "link") {
            ::chmod(QFile::encodeName(m_dir->path()).constData(), 0777);
            return QFile::link(m_dir->path(), path);
        }
        if (kind == "own link") {
            const QString own = m_dir->filePath("own");
            return QDir().mkpath(own) && ::chmod(QFile::encodeName(own).constData(), 0700) == 0 &&
                   QFile::link(own, path);
        }
        if (::mkdir(name.constData(), 0700) != 0)
            return false;
        if (kind == "open")
            return ::chmod(name.constData(), 0777) == 0;
        if (kind == "group")
            return ::chmod(name.constData(), 0770) == 0;
        // Only its owner tells it apart: no one else may write into it.
        return ::chown(name.constData(), 12345, 12345) == 0 && ::chmod(name.constData(), 0755) == 0;
    }

    QString writeFile(const QString &relative, const QByteArray &content)
    {
        const QString path = m_dir->filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(content);
        return path;
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // relative/top.txt, relative/sub/deeper/leaf.txt
    QString makeTree(const QString &relative)
    {
        writeFile(relative + "/top.txt", "top");
        writeFile(relative + "/sub/deeper/leaf.txt", "leaf");
        return m_dir->filePath(relative);
    }

    QScopedPointer<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(FileUtilsTest)
#include "tst_FileUtils.moc"
