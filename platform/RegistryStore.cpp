#include "platform/RegistryStore.h"

#include "platform/App.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QStringDecoder>

#include <map>
#include <sys/stat.h>

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";

QString lowerKey(const QString& key)
{
    return NormaliseRegKey(key).toLower();
}

QByteArray escapeQuoted(const QString& s)
{
    QByteArray out;
    const QByteArray u = s.toUtf8();
    out.reserve(u.size() + 2);
    for (char c : u) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

// A REG_SZ value is written as a quoted string when its text survives the round trip.
bool fitsQuoted(const RegValue& v)
{
    if (v.type != REG_SZ || v.data.isEmpty() || v.data.back() != '\0')
        return false;
    const QByteArray body = v.data.left(v.data.size() - 1);
    if (body.contains('\0') || body.contains('\r') || body.contains('\n'))
        return false;
    QStringDecoder dec(QStringDecoder::Utf8);
    const QString text = dec.decode(body);
    return !dec.hasError() && text.toUtf8() == body;
}

QByteArray hexList(const QByteArray& data)
{
    QByteArray out;
    out.reserve(data.size() * 3);
    for (int i = 0; i < data.size(); ++i) {
        if (i)
            out += ',';
        out += QByteArray::number(static_cast<unsigned char>(data[i]), 16).rightJustified(2, '0');
    }
    return out;
}

bool parseHexList(const QByteArray& text, QByteArray& out)
{
    out.clear();
    const QByteArray t = text.trimmed();
    if (t.isEmpty())
        return true;
    for (const QByteArray& part : t.split(',')) {
        const QByteArray p = part.trimmed();
        if (p.isEmpty() || p.size() > 2)
            return false;
        bool ok = false;
        const uint b = p.toUInt(&ok, 16);
        if (!ok)
            return false;
        out += static_cast<char>(b);
    }
    return true;
}

// Reads a quoted text at pos (which points at the opening quote). On success pos is
// just past the closing quote.
bool readQuoted(const QByteArray& line, int& pos, QByteArray& out)
{
    out.clear();
    if (pos >= line.size() || line[pos] != '"')
        return false;
    ++pos;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '\\') {
            if (pos >= line.size())
                return false;
            const char e = line[pos++];
            if (e != '\\' && e != '"')
                return false;
            out += e;
        } else if (c == '"') {
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

// True for a value line whose data is in hex form ("name"=hex...).
bool isHexValueLine(const QByteArray& line)
{
    int pos = 0;
    QByteArray name;
    if (line.startsWith('@'))
        pos = 1;
    else if (!readQuoted(line, pos, name))
        return false;
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    if (pos >= line.size() || line[pos] != '=')
        return false;
    ++pos;
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    return line.mid(pos).startsWith("hex");
}

QByteArray fileSignature(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return QByteArray::number(qulonglong(st.st_ino)) + ':' + QByteArray::number(qlonglong(st.st_size)) + ':'
        + QByteArray::number(qlonglong(st.st_mtim.tv_sec)) + '.' + QByteArray::number(qlonglong(st.st_mtim.tv_nsec));
}

} // namespace

QString NormaliseRegKey(const QString& key)
{
    const QStringList parts = key.split(u'\\', Qt::SkipEmptyParts);
    return parts.join(u'\\');
}

RegValue RegValue::fromString(const QString& text, int type)
{
    RegValue v;
    v.type = type;
    v.data = text.toUtf8();
    v.data += '\0';
    return v;
}

RegValue RegValue::fromDword(qint32 value)
{
    RegValue v;
    v.type = REG_DWORD;
    const quint32 u = static_cast<quint32>(value);
    for (int i = 0; i < 4; ++i)
        v.data += static_cast<char>((u >> (8 * i)) & 0xFF);
    return v;
}

RegValue RegValue::fromBinary(const QByteArray& bytes)
{
    RegValue v;
    v.type = REG_BINARY;
    v.data = bytes;
    return v;
}

int RegistryStore::Data::indexOf(const QString& key) const
{
    const QString k = lowerKey(key);
    for (int i = 0; i < keys.size(); ++i)
        if (keys[i].path.toLower() == k)
            return i;
    return -1;
}

bool RegistryStore::Data::exists(const QString& key) const
{
    const QString k = lowerKey(key);
    if (k.isEmpty())
        return true;  // the root itself
    const QString prefix = k + u'\\';
    for (const Key& entry : keys) {
        const QString p = entry.path.toLower();
        if (p == k || p.startsWith(prefix))
            return true;
    }
    return false;
}

RegistryStore::Data::Key& RegistryStore::Data::ensure(const QString& key)
{
    const int i = indexOf(key);
    if (i >= 0)
        return keys[i];
    keys.append(Key{NormaliseRegKey(key), {}});
    return keys.back();
}

bool RegistryStore::parse(const QByteArray& raw, const QString& rootName, Data& out, QString* error)
{
    out.keys.clear();
    QByteArray text = raw;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);

    // Join continuation lines: hex data may go on over several lines, each but the last
    // ending in "\".
    QList<QPair<int, QByteArray>> lines;
    {
        const QList<QByteArray> rawLines = text.split('\n');
        QByteArray pending;
        int pendingLine = 0;
        for (int i = 0; i < rawLines.size(); ++i) {
            QByteArray l = rawLines[i];
            if (l.endsWith('\r'))
                l.chop(1);
            if (pending.isEmpty())
                pendingLine = i + 1;
            else
                l = l.trimmed();
            const QByteArray joined = pending + l;
            if (joined.endsWith('\\') && isHexValueLine(joined.trimmed())) {
                pending = joined.left(joined.size() - 1);
                continue;
            }
            lines.append({pendingLine, joined});
            pending.clear();
        }
        if (!pending.isEmpty())
            lines.append({pendingLine, pending});
    }

    auto fail = [&](int lineNo, const QString& why) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(lineNo).arg(why);
        return false;
    };

    const QString rootPrefix = rootName + u'\\';
    Data::Key* current = nullptr;
    bool sawHeader = false;
    for (const auto& [lineNo, rawLine] : lines) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        if (!sawHeader && (line == kHeader || line == "REGEDIT4")) {
            sawHeader = true;
            continue;
        }
        sawHeader = true;
        if (line.startsWith('[')) {
            if (!line.endsWith(']'))
                return fail(lineNo, QStringLiteral("key line without closing bracket"));
            const QString path = QString::fromUtf8(line.mid(1, line.size() - 2));
            if (path.startsWith(u'-'))
                return fail(lineNo, QStringLiteral("key deletions are not stored"));
            QString below;
            if (path.compare(rootName, Qt::CaseInsensitive) == 0)
                below.clear();
            else if (path.startsWith(rootPrefix, Qt::CaseInsensitive))
                below = path.mid(rootPrefix.size());
            else
                return fail(lineNo, QStringLiteral("key outside %1").arg(rootName));
            current = &out.ensure(below);
            continue;
        }
        if (!current)
            return fail(lineNo, QStringLiteral("value before any key"));

        int pos = 0;
        QByteArray nameBytes;
        if (line.startsWith('@')) {
            pos = 1;
        } else if (!readQuoted(line, pos, nameBytes)) {
            return fail(lineNo, QStringLiteral("unreadable value name"));
        }
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
        if (pos >= line.size() || line[pos] != '=')
            return fail(lineNo, QStringLiteral("missing \"=\""));
        ++pos;
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
        const QByteArray rest = line.mid(pos);
        RegValue v;
        if (rest.startsWith('"')) {
            int p = 0;
            QByteArray body;
            if (!readQuoted(rest, p, body) || !rest.mid(p).trimmed().isEmpty())
                return fail(lineNo, QStringLiteral("unreadable text value"));
            v.type = REG_SZ;
            v.data = body + '\0';
        } else if (rest.startsWith("dword:")) {
            bool ok = false;
            const QByteArray hex = rest.mid(6).trimmed();
            const uint u = hex.toUInt(&ok, 16);
            if (!ok || hex.size() > 8)
                return fail(lineNo, QStringLiteral("unreadable dword value"));
            v = RegValue::fromDword(static_cast<qint32>(u));
        } else if (rest.startsWith("hex:")) {
            v.type = REG_BINARY;
            if (!parseHexList(rest.mid(4), v.data))
                return fail(lineNo, QStringLiteral("unreadable hex value"));
        } else if (rest.startsWith("hex(")) {
            const int close = rest.indexOf("):");
            bool ok = false;
            const int type = close > 4 ? rest.mid(4, close - 4).toInt(&ok, 16) : 0;
            if (!ok)
                return fail(lineNo, QStringLiteral("unreadable value type"));
            v.type = type;
            if (!parseHexList(rest.mid(close + 2), v.data))
                return fail(lineNo, QStringLiteral("unreadable hex value"));
        } else {
            return fail(lineNo, QStringLiteral("unknown value form"));
        }
        const QString name = QString::fromUtf8(nameBytes);
        bool replaced = false;
        for (auto& pair : current->values) {
            if (pair.first.compare(name, Qt::CaseInsensitive) == 0) {
                pair.second = v;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            current->values.append({name, v});
    }
    return true;
}

QByteArray RegistryStore::serialize(const Data& data, const QString& rootName)
{
    QByteArray out = kHeader;
    out += "\n";
    for (const Data::Key& key : data.keys) {
        out += "\n[";
        out += rootName.toUtf8();
        if (!key.path.isEmpty()) {
            out += '\\';
            out += key.path.toUtf8();
        }
        out += "]\n";
        for (const auto& [name, v] : key.values) {
            if (name.isEmpty())
                out += '@';
            else
                out += '"' + escapeQuoted(name) + '"';
            out += '=';
            if (fitsQuoted(v)) {
                out += '"' + escapeQuoted(QString::fromUtf8(v.data.left(v.data.size() - 1))) + '"';
            } else if (v.type == REG_DWORD && v.data.size() == 4) {
                quint32 u = 0;
                for (int i = 0; i < 4; ++i)
                    u |= quint32(static_cast<unsigned char>(v.data[i])) << (8 * i);
                out += "dword:" + QByteArray::number(u, 16).rightJustified(8, '0');
            } else if (v.type == REG_BINARY) {
                out += "hex:" + hexList(v.data);
            } else {
                out += "hex(" + QByteArray::number(v.type, 16) + "):" + hexList(v.data);
            }
            out += '\n';
        }
    }
    return out;
}

RegistryStore& RegistryStore::forRoot(const QString& rootName)
{
    static std::map<QString, std::unique_ptr<RegistryStore>> stores;
    const QString path = rootFilePath(rootName);
    auto& slot = stores[path];
    if (!slot)
        slot = std::make_unique<RegistryStore>(path, rootName);
    return *slot;
}

QString RegistryStore::rootFilePath(const QString& rootName)
{
    return AppPath() + QStringLiteral("/Registry/") + rootName + QStringLiteral(".reg");
}

RegistryStore::RegistryStore(QString filePath, QString rootName)
    : m_path(std::move(filePath)), m_root(std::move(rootName)), m_data(std::make_unique<Data>())
{
}

RegistryStore::~RegistryStore() = default;

bool RegistryStore::refresh()
{
    const QByteArray sig = fileSignature(m_path);
    if (!sig.isEmpty() && sig == m_signature)
        return m_status == Status::Ok;
    m_signature = sig;
    m_data->keys.clear();
    if (sig.isEmpty()) {
        m_status = QFileInfo::exists(m_path) ? Status::Unreadable : Status::Missing;
        m_error = m_status == Status::Missing ? QStringLiteral("%1 does not exist").arg(m_path)
                                              : QStringLiteral("%1 cannot be read").arg(m_path);
        return false;
    }
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) {
        m_status = Status::Unreadable;
        m_error = QStringLiteral("%1 cannot be read: %2").arg(m_path, f.errorString());
        m_signature.clear();
        return false;
    }
    const QByteArray text = f.readAll();
    QString why;
    if (!parse(text, m_root, *m_data, &why)) {
        m_data->keys.clear();
        m_status = Status::Malformed;
        m_error = QStringLiteral("%1 is not a valid settings store (%2)").arg(m_path, why);
        return false;
    }
    m_status = Status::Ok;
    m_error.clear();
    return true;
}

RegistryStore::Status RegistryStore::status()
{
    refresh();
    return m_status;
}

bool RegistryStore::keyExists(const QString& key)
{
    return refresh() && m_data->exists(key);
}

std::optional<RegValue> RegistryStore::value(const QString& key, const QString& name)
{
    if (!refresh())
        return std::nullopt;
    const int i = m_data->indexOf(key);
    if (i < 0)
        return std::nullopt;
    for (const auto& [n, v] : m_data->keys[i].values)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    return std::nullopt;
}

QStringList RegistryStore::subKeys(const QString& key)
{
    QStringList out;
    if (!refresh())
        return out;
    const QString k = lowerKey(key);
    const QString prefix = k.isEmpty() ? QString() : k + u'\\';
    for (const Data::Key& entry : m_data->keys) {
        const QString lower = entry.path.toLower();
        if (!lower.startsWith(prefix) || lower.size() == prefix.size())
            continue;
        const QString child = entry.path.mid(prefix.size()).section(u'\\', 0, 0);
        bool seen = false;
        for (const QString& c : out)
            seen = seen || c.compare(child, Qt::CaseInsensitive) == 0;
        if (!seen)
            out.append(child);
    }
    return out;
}

QList<QPair<QString, RegValue>> RegistryStore::values(const QString& key)
{
    if (!refresh())
        return {};
    const int i = m_data->indexOf(key);
    return i < 0 ? QList<QPair<QString, RegValue>>() : m_data->keys[i].values;
}

template <class Fn>
bool RegistryStore::modify(Fn&& change, bool createIfMissing)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(15000)) {
        m_error = QStringLiteral("%1 is locked by another writer").arg(m_path);
        return false;
    }
    // Whatever a killed writer left behind is ours to clear while we hold the lock.
    RemoveStaleTempFiles(m_path);

    m_signature.clear();
    if (!refresh()) {
        if (!(m_status == Status::Missing && createIfMissing))
            return false;
        m_data->keys.clear();
    }
    Data copy = *m_data;
    if (!change(copy))
        return false;
    QString why;
    if (!WriteFileAtomically(m_path, serialize(copy, m_root), &why)) {
        m_error = QStringLiteral("%1 cannot be written: %2").arg(m_path, why);
        return false;
    }
    *m_data = std::move(copy);
    m_status = Status::Ok;
    m_signature = fileSignature(m_path);
    return true;
}

bool RegistryStore::setValue(const QString& key, const QString& name, const RegValue& value)
{
    if (name.contains(u'\n') || name.contains(u'\r'))
        return false;
    return modify(
        [&](Data& d) {
            if (!d.exists(key))
                return false;
            d.ensure(key);
            return setValueIn(d, key, name, value);
        },
        false);
}

bool RegistryStore::setValueIn(Data& d, const QString& key, const QString& name, const RegValue& value)
{
    Data::Key& k = d.keys[d.indexOf(key)];
    for (auto& pair : k.values) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0) {
            pair.second = value;
            return true;
        }
    }
    k.values.append({name, value});
    return true;
}

int RegistryStore::deleteValue(const QString& key, const QString& name)
{
    int result = ERROR_SUCCESS;
    const bool ok = modify(
        [&](Data& d) {
            const int i = d.indexOf(key);
            if (i < 0) {
                result = ERROR_FILE_NOT_FOUND;
                return false;
            }
            auto& vals = d.keys[i].values;
            for (int j = 0; j < vals.size(); ++j) {
                if (vals[j].first.compare(name, Qt::CaseInsensitive) == 0) {
                    vals.removeAt(j);
                    return true;
                }
            }
            result = ERROR_FILE_NOT_FOUND;
            return false;
        },
        false);
    if (ok)
        return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS)
        return result;
    return m_status == Status::Missing ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
}

bool RegistryStore::createKey(const QString& key)
{
    return modify(
        [&](Data& d) {
            if (d.indexOf(key) < 0)
                d.ensure(key);
            return true;
        },
        true);
}

int RegistryStore::deleteKey(const QString& key)
{
    int result = ERROR_SUCCESS;
    const bool ok = modify(
        [&](Data& d) {
            const QString k = lowerKey(key);
            if (k.isEmpty() || !d.exists(key)) {
                result = ERROR_FILE_NOT_FOUND;
                return false;
            }
            const QString prefix = k + u'\\';
            for (const Data::Key& entry : d.keys) {
                if (entry.path.toLower().startsWith(prefix)) {
                    result = ERROR_ACCESS_DENIED;  // has sub-keys
                    return false;
                }
            }
            const int i = d.indexOf(key);
            if (i >= 0)
                d.keys.removeAt(i);
            return true;
        },
        false);
    if (ok)
        return ERROR_SUCCESS;
    return result != ERROR_SUCCESS ? result : ERROR_ACCESS_DENIED;
}
