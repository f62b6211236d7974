#pragma once

#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

// The machine-wide registry (HKEY_LOCAL_MACHINE) kept as one text file in the
// regedit export format. Keys and value names compare without regard to case,
// like the system registry. A value is a text (REG_SZ, a QString) or a 32-bit
// number (REG_DWORD, a quint32).
namespace Platform {

using RegistryValue = QPair<QString, QVariant>;

// The system's own error codes, so that callers report failures as the
// registry interface would.
enum RegistryError : long {
    RegistrySuccess = 0,
    RegistryFileNotFound = 2,     // ERROR_FILE_NOT_FOUND
    RegistryAccessDenied = 5,     // ERROR_ACCESS_DENIED
    RegistryWriteFault = 29,      // ERROR_WRITE_FAULT
    RegistryLockViolation = 33,   // ERROR_LOCK_VIOLATION
    RegistryInvalidParameter = 87, // ERROR_INVALID_PARAMETER
    RegistryMoreData = 234,       // ERROR_MORE_DATA
    RegistryCorrupt = 1009,       // ERROR_BADDB
};

// The folder that holds the store: $INSTALLER_REGISTRY_ROOT, else
// /var/lib/cloudgamevela-installer/registry.
QString registryRoot();
// The store file inside registryRoot().
QString registryFile();

// Whether key (a full path such as "HKEY_LOCAL_MACHINE\Software\...") exists.
long openRegistryKey(const QString &key);
// The value valueName of key.
long readRegistryValue(const QString &key, const QString &valueName, QVariant &value);
// Whether this process may write the store.
bool isRegistryWritable();
// Sets the given values of key, creating the key; other values keep theirs.
// The store file is replaced as a whole, so a crash leaves the old or the new
// store and never half an entry.
long writeRegistryValues(const QString &key, const QVector<RegistryValue> &values);

} // namespace Platform
