// Small helpers the tests share: whole-file reads and writes, the half-written outputs left
// in a folder, the bytes this process has read, and the product's settings key in the store.
#pragma once

#include "common/mdlModes.h"
#include "common/RegistryRoutines.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace TestFiles {

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The half-written outputs ("*.part") a job left in a folder.
inline QStringList PartFiles(const QString& dir)
{
    return QDir(dir).entryList(QStringList{QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
}

// The bytes this process has read from files and pipes so far (the kernel's count), or -1
// where the system does not tell. A test that bounds what a step reads of a huge file
// compares it before and after the step: reading too much is what makes a step slow, and
// time itself varies with the machine's load.
inline qint64 BytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

// The product's key below HKEY_LOCAL_MACHINE with a sub-key ("General", "Formats\MP3" ...).
inline RegistryRoutines ProductKey(const QString& subkey)
{
    RegistryRoutines r;
    r.setHkey(HKEY_LOCAL_MACHINE);
    r.setKeyRoot(ProductKeyRoot());
    r.setSubkey(subkey);
    return r;
}

inline QString StoredText(const QString& subkey, const QString& name)
{
    return ProductKey(subkey).GetRegistryValue(name).toString();
}

inline bool StoreText(const QString& subkey, const QString& name, const QString& value)
{
    return ProductKey(subkey).SetRegistryValue(name, value, 1);
}

// Removes every value of a product sub-key: the store as an older version laid it down,
// with its keys and no values in them.
inline void ClearStoredValues(const QString& subkey)
{
    const RegistryRoutines key = ProductKey(subkey);
    for (const QString& name :
         key.EnumRegistryValues(HKEY_LOCAL_MACHINE, ProductKeyRoot() + QStringLiteral("\\") + subkey))
        key.DeleteValue(name);
}

} // namespace TestFiles
