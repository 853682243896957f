// The registry access class: a root, a key path and a sub-key, and the values of the key
// they name. Every setting of the program is read and written through it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

inline constexpr qint32 HKEY_CLASSES_ROOT = qint32(0x80000000u);
inline constexpr qint32 HKEY_CURRENT_USER = qint32(0x80000001u);
inline constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002u);
inline constexpr qint32 HKEY_USERS = qint32(0x80000003u);

class RegistryRoutines
{
public:
    qint32 hkey() const { return m_hkey; }
    void setHkey(qint32 vData) { m_hkey = vData; }
    QString KeyRoot() const { return m_keyRoot; }
    void setKeyRoot(const QString& vData) { m_keyRoot = vData; }
    QString Subkey() const { return m_subkey; }
    void setSubkey(const QString& vData) { m_subkey = vData; }

    // The working key can be opened for reading.
    bool KeyExists() const;
    // "0" on success, "" otherwise. Without a name, the working key is created.
    QString CreateKey(const QString& KeyName = QString()) const;
    // Deletes KeyRoot\KeyName; always 0.
    qint32 DeleteKey(const QString& KeyName) const;
    // 0 on success, 2 when there is no such value, another code when the key cannot be opened.
    qint32 DeleteValue(const QString& ValueName) const;
    // The names of the sub-keys (values) of KeyName below the given root.
    QStringList EnumRegistryKeys(qint32 hkey, const QString& KeyName) const;
    QStringList EnumRegistryValues(qint32 hkey, const QString& KeyName) const;
    // The value, by its stored type: text (QString), number (qint32) or bytes (QByteArray);
    // the default (or an empty variant) when the key or value is missing.
    QVariant GetRegistryValue(const QString& ValueName, const QVariant& DefaultValue = QVariant()) const;
    // Writes into the existing working key; a missing key is not created.
    bool SetRegistryValue(const QString& ValueName, const QVariant& value, qint32 DType) const;
    // Why the last SetRegistryValue of this instance failed; empty after one that worked
    // and after a write into a key that does not exist (such a write is lost by design).
    QString LastWriteError() const { return m_lastWriteError; }
    // Remote registries: only this machine can be reached ("Error!" / false otherwise).
    QVariant ReadRemoteRegistryValue(const QString& sRemoteComputer, qint32 hkey, const QString& ValueName,
                                     const QString& KeyPath = QString()) const;
    bool WriteRemoteRegistryValue(const QString& sRemoteComputer, qint32 hkey, const QString& ValueName,
                                  const QVariant& value, qint32 DType, const QString& KeyPath = QString()) const;
    // Cuts item before its first NUL character (in place) and returns it.
    static QString TrimNull(QString& item);

    // The file name of a root ("HKEY_LOCAL_MACHINE"); empty for an unknown handle.
    static QString RootName(qint32 hkey);

private:
    QString workingKey() const { return m_keyRoot + u'\\' + m_subkey; }

    qint32 m_hkey = 0;
    QString m_keyRoot;
    QString m_subkey;
    mutable QString m_lastWriteError;
};

// The writes of one group of settings (a window's OK, the window size at exit): each is
// noted, and when any failed the user is told once what was not saved and why.
class SettingsWriteCheck
{
public:
    // Notes the outcome of a write made through reg; returns written. A write into a
    // missing key is not a failure to tell.
    bool Note(bool written, const RegistryRoutines& reg, const QString& valueName);
    // When a noted write failed, a message box: what (such as "The window size") could
    // not be saved, why, and the values that were not. True when there was nothing to tell.
    bool Tell(const QString& what) const;

private:
    QStringList m_failed;
    QString m_why;
};

// Writes one text value through reg; when that fails the user is told what (such as "The
// colour") was not saved and why. Returns whether it was written.
bool SaveSettingOrSay(const RegistryRoutines& reg, const QString& valueName, const QString& text, const QString& what);
