#include "registrystore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

#include <unistd.h>

namespace {

const char StoreHeader[] = "Windows Registry Editor Version 5.00";
const char DefaultRoot[] = "/var/lib/cloudgamevela-installer/registry";
const int LockTimeoutMs = 30000;

struct RegistryKey
{
    QString path;
    QVector<Platform::RegistryValue> values;
};
using Hive = QVector<RegistryKey>;

template <typename Item, typename Name>
int indexOf(const QVector<Item> &items, const QString &name, Name nameOf)
{
    for (int i = 0; i < items.size(); ++i) {
        if (nameOf(items.at(i)).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int findKey(const Hive &hive, const QString &path)
{
    return indexOf(hive, path, [](const RegistryKey &key) { return key.path; });
}

int findValue(const QVector<Platform::RegistryValue> &values, const QString &name)
{
    return indexOf(values, name, [](const Platform::RegistryValue &value) { return value.first; });
}

// ---- writing ----

QString quoted(QString text)
{
    text.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + text + '"';
}

bool hasControlCharacters(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
}

// A text with line breaks or other control characters cannot stand between
// quotes; it is written as its UTF-16 bytes, as the system's export does.
QString hexString(const QString &text)
{
    const QByteArray bytes(reinterpret_cast<const char *>(text.utf16()), (text.size() + 1) * 2);
    QStringList pairs;
    for (const char byte : bytes)
        pairs << QString::number(quint8(byte), 16).rightJustified(2, '0');
    return "hex(1):" + pairs.join(',');
}

QString formatData(const QVariant &data)
{
    if (data.userType() == QMetaType::UInt)
        return "dword:" + QString::number(data.toUInt(), 16).rightJustified(8, '0');
    const QString text = data.toString();
    return hasControlCharacters(text) ? hexString(text) : quoted(text);
}

QByteArray formatHive(const Hive &hive)
{
    QString text;
    QTextStream out(&text);
    out << StoreHeader << "\n";
    for (const RegistryKey &key : hive) {
        out << "\n[" << key.path << "]\n";
        for (const Platform::RegistryValue &value : key.values)
            out << (value.first.isEmpty() ? "@" : quoted(value.first)) << '=' << formatData(value.second) << "\n";
    }
    out.flush();
    return text.toUtf8();
}

// ---- reading ----

// Reads a quoted text starting at pos; pos ends after the closing quote.
bool parseQuoted(const QString &line, int &pos, QString &text)
{
    if (pos >= line.size() || line.at(pos) != '"')
        return false;
    text.clear();
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (++pos >= line.size() || (line.at(pos) != '\\' && line.at(pos) != '"'))
                return false;
        }
        text.append(line.at(pos));
    }
    return false;
}

bool parseDword(const QString &digits, QVariant &data)
{
    bool ok = false;
    const uint number = digits.toUInt(&ok, 16);
    if (!ok || digits.isEmpty() || digits.size() > 8)
        return false;
    data = QVariant(number);
    return true;
}

bool parseHexString(const QString &list, QVariant &data)
{
    QByteArray bytes;
    for (const QString &pair : list.split(',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint byte = pair.trimmed().toUInt(&ok, 16);
        if (!ok || byte > 0xFF)
            return false;
        bytes.append(char(byte));
    }
    if (bytes.size() % 2 != 0)
        return false;
    QString text = QString::fromUtf16(reinterpret_cast<const ushort *>(bytes.constData()), bytes.size() / 2);
    data = text.left(text.indexOf(QChar(0)));
    return true;
}

bool parseData(const QString &text, QVariant &data)
{
    if (text.startsWith("dword:"))
        return parseDword(text.mid(6), data);
    if (text.startsWith("hex(1):"))
        return parseHexString(text.mid(7), data);
    int pos = 0;
    QString string;
    if (!parseQuoted(text, pos, string) || pos != text.size())
        return false;
    data = string;
    return true;
}

bool parseValueLine(const QString &line, Platform::RegistryValue &value)
{
    int pos = 0;
    if (line.startsWith("@="))
        pos = 1;
    else if (!parseQuoted(line, pos, value.first))
        return false;
    if (pos >= line.size() || line.at(pos) != '=')
        return false;
    return parseData(line.mid(pos + 1), value.second);
}

// The logical lines of the file: a line ending in "\" goes on in the next one.
QStringList logicalLines(const QString &text)
{
    QStringList lines;
    QString pending;
    for (QString line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        pending += pending.isEmpty() ? line : line.trimmed();
        if (pending.endsWith('\\') && !pending.startsWith('[')) {
            pending.chop(1);
            continue;
        }
        lines << pending;
        pending.clear();
    }
    if (!pending.isEmpty())
        lines << pending;
    return lines;
}

bool parseHive(const QByteArray &content, Hive &hive)
{
    QString text = QString::fromUtf8(content);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines = logicalLines(text);
    if (lines.isEmpty() || lines.takeFirst().trimmed() != StoreHeader)
        return false;
    for (const QString &line : qAsConst(lines)) {
        if (line.trimmed().isEmpty() || line.startsWith(';'))
            continue;
        if (line.startsWith('[') && line.endsWith(']') && line.size() > 2 && line.at(1) != '-') {
            hive.append({line.mid(1, line.size() - 2), {}});
            continue;
        }
        Platform::RegistryValue value;
        if (hive.isEmpty() || !parseValueLine(line, value))
            return false;
        hive.last().values.append(value);
    }
    return true;
}

long loadHive(Hive &hive)
{
    QFile file(Platform::registryFile());
    if (!file.exists())
        return Platform::RegistrySuccess;
    if (!file.open(QIODevice::ReadOnly))
        return Platform::RegistryAccessDenied;
    return parseHive(file.readAll(), hive) ? Platform::RegistrySuccess : Platform::RegistryCorrupt;
}

void setValues(Hive &hive, const QString &path, const QVector<Platform::RegistryValue> &values)
{
    int key = findKey(hive, path);
    if (key < 0) {
        hive.append({path, {}});
        key = hive.size() - 1;
    }
    QVector<Platform::RegistryValue> &stored = hive[key].values;
    for (const Platform::RegistryValue &value : values) {
        const int index = findValue(stored, value.first);
        if (index < 0)
            stored.append(value);
        else
            stored[index].second = value.second;
    }
}

// Whether the effective user may write path (access() would ask for the real one).
bool mayWrite(const QString &path)
{
    return eaccess(QFile::encodeName(path).constData(), W_OK) == 0;
}

// The folder itself, or the nearest folder above it that exists.
QString nearestExistingFolder(QString folder)
{
    folder = QFileInfo(folder).absoluteFilePath();
    while (!QFileInfo::exists(folder) && folder != "/")
        folder = QFileInfo(folder).absolutePath();
    return folder;
}

} // namespace

namespace Platform {

QString registryRoot()
{
    const QString root = qEnvironmentVariable("INSTALLER_REGISTRY_ROOT");
    return root.isEmpty() ? QString(DefaultRoot) : root;
}

QString registryFile()
{
    return registryRoot() + "/HKEY_LOCAL_MACHINE.reg";
}

long openRegistryKey(const QString &key)
{
    Hive hive;
    const long error = loadHive(hive);
    if (error != RegistrySuccess)
        return error;
    return findKey(hive, key) < 0 ? RegistryFileNotFound : RegistrySuccess;
}

long readRegistryValue(const QString &key, const QString &valueName, QVariant &value)
{
    Hive hive;
    const long error = loadHive(hive);
    if (error != RegistrySuccess)
        return error;
    const int keyIndex = findKey(hive, key);
    const int valueIndex = keyIndex < 0 ? -1 : findValue(hive.at(keyIndex).values, valueName);
    if (valueIndex < 0)
        return RegistryFileNotFound;
    value = hive.at(keyIndex).values.at(valueIndex).second;
    return RegistrySuccess;
}

bool isRegistryWritable()
{
    const QString folder = nearestExistingFolder(registryRoot());
    if (!QFileInfo(folder).isDir() || !mayWrite(folder))
        return false;
    const QFileInfo file(registryFile());
    return !file.exists() || mayWrite(file.filePath());
}

long writeRegistryValues(const QString &key, const QVector<RegistryValue> &values)
{
    // Names are written between quotes or brackets on a line of their own.
    const bool badName = std::any_of(values.begin(), values.end(), [](const RegistryValue &value) {
        return hasControlCharacters(value.first);
    });
    if (badName || key.isEmpty() || hasControlCharacters(key))
        return RegistryInvalidParameter;
    if (!QDir().mkpath(registryRoot()))
        return RegistryAccessDenied;
    // Two writers must not both start from the same old store.
    QLockFile lock(registryFile() + ".lock");
    lock.setStaleLockTime(LockTimeoutMs);
    if (!lock.tryLock(LockTimeoutMs))
        return RegistryLockViolation;
    Hive hive;
    const long error = loadHive(hive);
    if (error != RegistrySuccess)
        return error;
    setValues(hive, key, values);
    QSaveFile file(registryFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(formatHive(hive)) < 0 || !file.commit())
        return RegistryWriteFault;
    return RegistrySuccess;
}

} // namespace Platform
