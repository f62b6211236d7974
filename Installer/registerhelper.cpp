#include "registerhelper.h"

#include "platform/registrystore.h"
#include "utilities.h"

#include <QDebug>
#include <QSettings>
#include <QtEndian>

#include <functional>

namespace {

const QString UninstallKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CloudGameVela");
const QString MachineRoot = QStringLiteral("HKEY_LOCAL_MACHINE\\");
const QString ProductUrl = QStringLiteral("https://vela.orvane.com/");
const int ValueBufferBytes = 520;

// The bytes the system hands out for a value: UTF-16 with its terminating
// zero for a text, four little-endian bytes for a number.
QByteArray registryData(const QVariant &value)
{
    if (value.userType() == QMetaType::UInt) {
        const quint32 number = qToLittleEndian(value.toUInt());
        return QByteArray(reinterpret_cast<const char *>(&number), sizeof number);
    }
    const QString text = value.toString();
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), (text.size() + 1) * 2);
}

// The text in a value buffer, up to its first zero code unit.
QString bufferText(const QByteArray &buffer)
{
    const QString text = QString::fromUtf16(reinterpret_cast<const ushort *>(buffer.constData()), buffer.size() / 2);
    return text.left(text.indexOf(QChar(0)));
}

QString readUninstallEntry()
{
    QVariant value;
    if (Platform::readRegistryValue(UninstallKey, "InstallLocation", value) != Platform::RegistrySuccess)
        return {};
    return value.toString();
}

// The application's own settings; without an organisation name they cannot be
// read, and then there is nothing to find.
QString readApplicationSettings()
{
    QSettings settings;
    if (settings.status() != QSettings::NoError)
        return {};
    return settings.value("path").toString();
}

} // namespace

namespace RegisterHelper {

bool addInstallerReg(const QString &installDir, const QString &version,
                     const QString &displayName, int estimatedSizeKB)
{
    const bool writable = Platform::isRegistryWritable();
    qDebug() << UninstallKey << installDir << writable;
    if (!writable) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << UninstallKey;
        return false;
    }
    QVector<Platform::RegistryValue> values = {
        {"DisplayName", displayName},
        {"UninstallString", Utilities::getQuotedPath(installDir + "uninstaller.exe", true)},
        {"DisplayIcon", Utilities::getQuotedPath(installDir + "CloudGameVela.exe", true)},
        {"URLInfoAbout", ProductUrl},
        {"HelpLink", ProductUrl},
        {"Publisher", "Orvane"},
        {"InstallLocation", installDir},
    };
    if (estimatedSizeKB > 0)
        values.append({"EstimatedSize", quint32(estimatedSizeKB)});
    else
        qDebug() << "++++++++++++++++++++++++++++" << "EstimatedSize 0 ";
    if (!version.isEmpty())
        values.append({"DisplayVersion", version});
    const long error = Platform::writeRegistryValues(UninstallKey, values);
    if (error != Platform::RegistrySuccess) {
        qCritical() << __LINE__ << __FILE__ << Q_FUNC_INFO << "registry write failed" << error << UninstallKey;
        return false;
    }
    return true;
}

QString getInstallLocation()
{
    QString location = getRegisteredInstallLocation();
    if (!location.isEmpty())
        return location;
    location = getProgramPath() + "CloudGameVela" + "/";
    qDebug() << "getInstallLocation, using def val" << location;
    return location;
}

QString getRegisteredInstallLocation()
{
    struct Place
    {
        const char *hitText;
        std::function<QString()> read;
    };
    const Place places[] = {
        {"getInstallLocation, using native val", readUninstallEntry},
        {"getInstallLocation, using API 32 val",
         [] { return readRegValue("InstallLocation", "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                                     + QStringLiteral("CloudGameVela")); }},
        {"getInstallLocation, using API 64 val",
         [] { return readRegValue("InstallLocation", "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                                     + QStringLiteral("CloudGameVela")); }},
        {"getInstallLocation, using compatible val", readApplicationSettings},
    };
    for (const Place &place : places) {
        const QString location = place.read();
        if (!location.isEmpty()) {
            qDebug() << place.hitText << location;
            return location;
        }
    }
    return {};
}

QString readRegValue(const QString &valueName, const QString &keyPath)
{
    const QString key = MachineRoot + keyPath;
    long error = Platform::openRegistryKey(key);
    if (error != Platform::RegistrySuccess) {
        qDebug().noquote() << "RegOpenKey failed" << error << valueName;
        return {};
    }
    QVariant value;
    error = Platform::readRegistryValue(key, valueName, value);
    const QByteArray data = registryData(value);
    if (error == Platform::RegistrySuccess && data.size() > ValueBufferBytes)
        error = Platform::RegistryMoreData;
    if (error != Platform::RegistrySuccess) {
        qDebug().noquote() << "RegQueryValueEx failed" << error << valueName << keyPath;
        return {};
    }
    QByteArray buffer(ValueBufferBytes, '\0');
    buffer.replace(0, data.size(), data);
    const QString result = bufferText(buffer);
    qDebug() << "got reg val" << result;
    return result;
}

} // namespace RegisterHelper
