#include "common/RegistryRoutines.h"

#include "platform/MessageService.h"
#include "platform/RegistryStore.h"

#include <QHostInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>

namespace {

RegistryStore* storeFor(qint32 hkey)
{
    const QString root = RegistryRoutines::RootName(hkey);
    return root.isEmpty() ? nullptr : &RegistryStore::forRoot(root);
}

QString textOf(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

// %NAME% references replaced by the environment's values; unknown names stay.
QString expandEnvironment(const QString& text)
{
    static const QRegularExpression ref(QStringLiteral("%([^%]+)%"));
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString out;
    qsizetype last = 0;
    auto it = ref.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        out += env.contains(m.captured(1)) ? env.value(m.captured(1)) : m.captured(0);
        last = m.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

QVariant decode(const RegValue& v, const QVariant& fallback)
{
    const qsizetype n = v.data.size();
    switch (v.type) {
    case REG_SZ:
        return n > 0 ? QVariant(textOf(v.data.left(n - 1))) : fallback;
    case REG_EXPAND_SZ:
        return n > 0 ? QVariant(expandEnvironment(textOf(v.data.left(n - 1)))) : fallback;
    case REG_BINARY:
        return QVariant(v.data);
    case REG_DWORD: {
        quint32 u = 0;
        for (int i = 0; i < 4 && i < n; ++i)
            u |= quint32(static_cast<unsigned char>(v.data[i])) << (8 * i);
        return QVariant(static_cast<qint32>(u));
    }
    case REG_MULTI_SZ: {
        if (n < 2)
            return fallback;
        const QByteArray body = v.data.left(n - 2);
        if (body.isEmpty() || body.startsWith('\0'))
            return fallback;
        return QVariant(textOf(body));
    }
    default:
        return fallback;
    }
}

bool encode(const QVariant& value, qint32 type, RegValue& out)
{
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
        out = RegValue::fromString(value.toString(), type);
        return true;
    case REG_BINARY:
        out = RegValue::fromBinary(value.toByteArray());
        return true;
    case REG_DWORD: {
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        if (!ok)
            return false;
        out = RegValue::fromDword(static_cast<qint32>(static_cast<quint32>(n)));
        return true;
    }
    default:
        return false;
    }
}

bool isThisMachine(const QString& computer)
{
    QString name = computer;
    while (name.startsWith(u'\\'))
        name.remove(0, 1);
    return name.isEmpty() || name == QLatin1String(".") || name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
        || name.compare(QHostInfo::localHostName(), Qt::CaseInsensitive) == 0;
}

} // namespace

QString RegistryRoutines::RootName(qint32 hkey)
{
    switch (static_cast<quint32>(hkey)) {
    case 0x80000000u: return QStringLiteral("HKEY_CLASSES_ROOT");
    case 0x80000001u: return QStringLiteral("HKEY_CURRENT_USER");
    case 0x80000002u: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case 0x80000003u: return QStringLiteral("HKEY_USERS");
    default: return QString();
    }
}

bool RegistryRoutines::KeyExists() const
{
    RegistryStore* s = storeFor(m_hkey);
    return s && s->keyExists(workingKey());
}

QString RegistryRoutines::CreateKey(const QString& KeyName) const
{
    RegistryStore* s = storeFor(m_hkey);
    const QString key = m_keyRoot + u'\\' + (KeyName.isNull() ? m_subkey : KeyName);
    return s && s->createKey(key) ? QStringLiteral("0") : QString();
}

qint32 RegistryRoutines::DeleteKey(const QString& KeyName) const
{
    if (RegistryStore* s = storeFor(m_hkey))
        s->deleteKey(m_keyRoot + u'\\' + KeyName);
    return 0;
}

qint32 RegistryRoutines::DeleteValue(const QString& ValueName) const
{
    RegistryStore* s = storeFor(m_hkey);
    if (!s)
        return ERROR_INVALID_DATA;
    if (!s->keyExists(workingKey()))
        return ERROR_FILE_NOT_FOUND;
    return s->deleteValue(workingKey(), ValueName);
}

QStringList RegistryRoutines::EnumRegistryKeys(qint32 hkey, const QString& KeyName) const
{
    RegistryStore* s = storeFor(hkey);
    if (!s || !s->keyExists(KeyName))
        return {};
    return s->subKeys(KeyName);
}

QStringList RegistryRoutines::EnumRegistryValues(qint32 hkey, const QString& KeyName) const
{
    QStringList names;
    RegistryStore* s = storeFor(hkey);
    if (!s)
        return names;
    for (const auto& pair : s->values(KeyName))
        names.append(pair.first);
    return names;
}

QVariant RegistryRoutines::GetRegistryValue(const QString& ValueName, const QVariant& DefaultValue) const
{
    RegistryStore* s = storeFor(m_hkey);
    if (!s)
        return DefaultValue;
    const auto v = s->value(workingKey(), ValueName);
    if (!v)
        return DefaultValue;
    return decode(*v, DefaultValue);
}

bool RegistryRoutines::SetRegistryValue(const QString& ValueName, const QVariant& value, qint32 DType) const
{
    RegistryStore* s = storeFor(m_hkey);
    RegValue v;
    if (!s) {
        m_lastWriteError = QStringLiteral("no settings store for the root key %1").arg(m_hkey);
        return false;
    }
    if (!encode(value, DType, v)) {
        m_lastWriteError = QStringLiteral("the value is not of type %1").arg(DType);
        return false;
    }
    if (!s->setValue(workingKey(), ValueName, v)) {
        // The program creates none of its keys: a write into a missing one is lost by
        // design, and is no failure of the store to report.
        const bool keyMissing = s->status() == RegistryStore::Status::Ok && !s->keyExists(workingKey());
        m_lastWriteError = keyMissing ? QString() : s->lastError();
        return false;
    }
    m_lastWriteError.clear();
    return true;
}

QVariant RegistryRoutines::ReadRemoteRegistryValue(const QString& sRemoteComputer, qint32 hkey,
                                                   const QString& ValueName, const QString& KeyPath) const
{
    if (!isThisMachine(sRemoteComputer) || RootName(hkey).isEmpty())
        return QStringLiteral("Error!");
    RegistryStore& s = RegistryStore::forRoot(RootName(hkey));
    const auto v = s.value(KeyPath.isNull() ? workingKey() : KeyPath, ValueName);
    return v ? decode(*v, QVariant()) : QVariant();
}

bool RegistryRoutines::WriteRemoteRegistryValue(const QString& sRemoteComputer, qint32 hkey, const QString& ValueName,
                                                const QVariant& value, qint32 DType, const QString& KeyPath) const
{
    RegValue v;
    if (!isThisMachine(sRemoteComputer) || RootName(hkey).isEmpty() || !encode(value, DType, v))
        return false;
    return RegistryStore::forRoot(RootName(hkey)).setValue(KeyPath.isNull() ? workingKey() : KeyPath, ValueName, v);
}

QString RegistryRoutines::TrimNull(QString& item)
{
    const qsizetype nul = item.indexOf(QChar(u'\0'));
    if (nul >= 0)
        item.truncate(nul);
    return item;
}

bool SettingsWriteCheck::Note(bool written, const RegistryRoutines& reg, const QString& valueName)
{
    if (!written && !reg.LastWriteError().isEmpty()) {
        m_failed.append(valueName);
        if (m_why.isEmpty())
            m_why = reg.LastWriteError();
    }
    return written;
}

bool SettingsWriteCheck::Tell(const QString& what) const
{
    if (m_failed.isEmpty())
        return true;
    MsgBox(what + QStringLiteral(" could not be saved: ") + m_why + QStringLiteral(".\r\n\r\nNot saved: ")
               + m_failed.join(QStringLiteral(", ")) + u'.',
           vbInformation + vbOKOnly);
    return false;
}

bool SaveSettingOrSay(const RegistryRoutines& reg, const QString& valueName, const QString& text, const QString& what)
{
    SettingsWriteCheck check;
    check.Note(reg.SetRegistryValue(valueName, text, 1), reg, valueName);
    return check.Tell(what);
}
