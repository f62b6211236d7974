// The file version read from the version resource of real PE files, made at
// test time from the small resource scripts in fixtures/ by the mingw-w64
// resource compiler and linker, 32- and 64-bit.
#include "platformtest.h"
#include "testenv.h"
#include "utilities.h"

#include <QDir>

namespace {

const QStringList Architectures = {"i686", "x86_64"};

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << program << arguments << process.readAllStandardError();
        return false;
    }
    return true;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

} // namespace

class TestFileVersion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void versionResource_data();
    void versionResource();
    void notAVersionedFile_data();
    void notAVersionedFile();
    void truncatedCopies_data();
    void truncatedCopies();
    void damagedBytes_data();
    void damagedBytes();

private:
    QString fixture(const QString &name, const QString &architecture) const
    {
        return folder + "/" + name + "-" + architecture + ".dll";
    }
    QByteArray fixtureBytes(const QString &name, const QString &architecture) const;

    QString folder;
};

void TestFileVersion::initTestCase()
{
    folder = QDir::tempPath() + "/pe";
    QVERIFY(QDir().mkpath(folder));
    const QStringList scripts = QDir(FIXTURE_DIR).entryList({"*.rc"}, QDir::Files);
    QVERIFY(!scripts.isEmpty());
    for (const QString &script : scripts) {
        for (const QString &architecture : Architectures) {
            const QString object = folder + "/" + QFileInfo(script).baseName() + "-" + architecture + ".o";
            QVERIFY2(run(architecture + "-w64-mingw32-windres",
                         {"--preprocessor=cat", QString(FIXTURE_DIR) + "/" + script, "-O", "coff", "-o", object}),
                     "the mingw-w64 binutils are needed (binutils-mingw-w64-i686, binutils-mingw-w64-x86-64)");
            QVERIFY(run(architecture + "-w64-mingw32-ld",
                        {"--dll", "-e", "0", "-o", fixture(QFileInfo(script).baseName(), architecture), object}));
        }
    }
}

QByteArray TestFileVersion::fixtureBytes(const QString &name, const QString &architecture) const
{
    QFile file(fixture(name, architecture));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestFileVersion::versionResource_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    for (const QString &architecture : Architectures) {
        const auto row = [&](const char *name, const char *expected) {
            QTest::addRow("%s %s", name, qPrintable(architecture)) << name << expected;
        };
        row("us_english", "1.2.3.4");
        row("first_translation", "8.0.4");
        row("padded_version", "  2.5.0 ");
        row("blank_version", "");
        row("no_file_version", "");
        row("no_translation", "");
        row("no_version_resource", "");
    }
}

void TestFileVersion::versionResource()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const QString architecture = QString(QTest::currentDataTag()).section(' ', -1);
    LogCapture log;
    QCOMPARE(Utilities::getAppVersion(fixture(name, architecture)), expected);
    QCOMPARE(log.lines().size(), expected.isEmpty() ? 1 : 0);
    QCOMPARE(log.criticalLines().size(), expected.isEmpty() ? 1 : 0);
    if (expected.isEmpty())
        QVERIFY(log.criticalLines().first().contains("getAppVersion"));
}

void TestFileVersion::notAVersionedFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing file") << QDir::tempPath() + "/missing.exe" << QByteArray();
    QTest::newRow("empty file") << QDir::tempPath() + "/empty.exe" << QByteArray("");
    QTest::newRow("text file") << QDir::tempPath() + "/text.exe" << QByteArray("MZ but nothing more\n");
    QTest::newRow("folder") << QDir::tempPath() << QByteArray();
    QTest::newRow("this platform's executable") << QString(INSTALLER_BIN) << QByteArray();
}

void TestFileVersion::notAVersionedFile()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, content);
    if (!content.isNull())
        writeFile(path, content);
    LogCapture log;
    QCOMPARE(Utilities::getAppVersion(path), QString());
    QCOMPARE(log.criticalLines().size(), 1);
}

void TestFileVersion::truncatedCopies_data()
{
    QTest::addColumn<QString>("architecture");
    for (const QString &architecture : Architectures)
        QTest::newRow(qPrintable(architecture)) << architecture;
}

// Every shorter copy either still holds the whole resource or fails cleanly;
// nothing is read beyond the end of the file.
void TestFileVersion::truncatedCopies()
{
    QFETCH(QString, architecture);
    const QByteArray whole = fixtureBytes("us_english", architecture);
    QVERIFY(whole.size() > 1024);
    const QString copy = folder + "/truncated.dll";
    int readable = 0;
    for (int length = 0; length < whole.size(); ++length) {
        writeFile(copy, whole.left(length));
        LogCapture log;
        const QString version = Utilities::getAppVersion(copy);
        QVERIFY2(version.isEmpty() || version == "1.2.3.4", qPrintable(QString::number(length)));
        QCOMPARE(log.criticalLines().size(), version.isEmpty() ? 1 : 0);
        readable += version.isEmpty() ? 0 : 1;
    }
    // Only the padding after the resource may go without losing the version.
    QVERIFY(readable < whole.size() / 2);
}

void TestFileVersion::damagedBytes_data()
{
    QTest::addColumn<QString>("architecture");
    QTest::addColumn<int>("damage");
    for (const QString &architecture : Architectures) {
        QTest::addRow("%s, byte set to 0xFF", qPrintable(architecture)) << architecture << 0xFF;
        QTest::addRow("%s, byte set to 0x80", qPrintable(architecture)) << architecture << 0x80;
        QTest::addRow("%s, byte cleared", qPrintable(architecture)) << architecture << 0x00;
    }
}

// Any single damaged byte, in a header, a resource directory, an offset or a
// length, gives some result and at most one critical line, never a crash.
void TestFileVersion::damagedBytes()
{
    QFETCH(QString, architecture);
    QFETCH(int, damage);
    const QByteArray whole = fixtureBytes("us_english", architecture);
    const QString copy = folder + "/damaged.dll";
    int failures = 0;
    for (int position = 0; position < whole.size(); ++position) {
        QByteArray damaged = whole;
        damaged[position] = char(damage);
        writeFile(copy, damaged);
        LogCapture log;
        const QString version = Utilities::getAppVersion(copy);
        QCOMPARE(log.criticalLines().size(), version.isEmpty() ? 1 : 0);
        failures += version.isEmpty() ? 1 : 0;
    }
    QVERIFY(failures > 0);
}

INSTALLER_TEST_MAIN(TestFileVersion)
#include "tst_fileversion.moc"
