// The copy behind the file mover: what it promises about existing targets,
// permission bits and half-written files.

#include "enginefixture.h"
#include "platform/filecopy.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestFileCopy : public QObject
{
    Q_OBJECT

private slots:
    void copiesContentAndPermissions_data();
    void copiesContentAndPermissions();
    void neverReplacesAnExistingTarget();
    void refusesWhatCannotWork_data();
    void refusesWhatCannotWork();
    void syncsTheFileSystem();
};

void TestFileCopy::copiesContentAndPermissions_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("mode");

    QTest::newRow("empty file") << 0 << 0644;
    QTest::newRow("small executable") << 5 << 0755;
    QTest::newRow("owner only") << 4096 << 0600;
    QTest::newRow("several megabytes") << 5 * 1024 * 1024 + 17 << 0640;
    QTest::newRow("set-id bits are dropped") << 10 << 04755;
}

void TestFileCopy::copiesContentAndPermissions()
{
    QFETCH(int, size);
    QFETCH(int, mode);

    QTemporaryDir work;
    const QString source = work.path() + "/source";
    const QString target = work.path() + "/target folder/copy";
    QByteArray content(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        content[i] = char((i * 131) ^ (i >> 9));
    QVERIFY(writeFile(source, content));
    QVERIFY(QDir().mkpath(work.path() + "/target folder"));
    QVERIFY(::chmod(QFile::encodeName(source).constData(), mode_t(mode)) == 0);
    // A restrictive umask must not change what arrives.
    const mode_t oldMask = ::umask(077);

    const bool copied = Platform::copyNewFile(source, target);

    ::umask(oldMask);
    QVERIFY(copied);
    QCOMPARE(readFile(target), content);
    struct stat targetStat;
    QVERIFY(::stat(QFile::encodeName(target).constData(), &targetStat) == 0);
    QCOMPARE(int(targetStat.st_mode & 07777), mode & 0777);
    // Nothing else is left in the target folder (no temporary files).
    QCOMPARE(QDir(work.path() + "/target folder").entryList(QDir::AllEntries | QDir::Hidden
                                                            | QDir::NoDotAndDotDot),
             QStringList{"copy"});
}

void TestFileCopy::neverReplacesAnExistingTarget()
{
    QTemporaryDir work;
    QVERIFY(writeFile(work.path() + "/source", "new"));
    QVERIFY(writeFile(work.path() + "/target", "old"));
    QVERIFY(QFile::link(work.path() + "/nowhere", work.path() + "/dangling"));

    QVERIFY(!Platform::copyNewFile(work.path() + "/source", work.path() + "/target"));
    QVERIFY(!Platform::copyNewFile(work.path() + "/source", work.path() + "/dangling"));

    QCOMPARE(readFile(work.path() + "/target"), QByteArray("old"));
    QVERIFY(!QFileInfo::exists(work.path() + "/nowhere"));
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                         | QDir::NoDotAndDotDot),
             QStringList({"dangling", "source", "target"}));
}

void TestFileCopy::refusesWhatCannotWork_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");

    QTest::newRow("missing source") << "missing" << "copy";
    QTest::newRow("missing target folder") << "source" << "no folder/copy";
    QTest::newRow("source is a folder") << "folder" << "copy";
}

void TestFileCopy::refusesWhatCannotWork()
{
    QFETCH(QString, source);
    QFETCH(QString, target);

    QTemporaryDir work;
    QVERIFY(writeFile(work.path() + "/source", "content"));
    QVERIFY(QDir().mkpath(work.path() + "/folder"));

    QVERIFY(!Platform::copyNewFile(work.path() + "/" + source, work.path() + "/" + target));
    QVERIFY(!QFileInfo::exists(work.path() + "/" + target));
}

void TestFileCopy::syncsTheFileSystem()
{
    QTemporaryDir work;
    QVERIFY(Platform::syncFileSystem(work.path()));
    QVERIFY(!Platform::syncFileSystem(work.path() + "/missing"));
}

INSTALLER_TEST_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
