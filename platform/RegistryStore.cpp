#include "platform/RegistryStore.h"

#include "platform/App.h"
#include "platform/AtomicFile.h"
#include "platform/WriterLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";

QString lowerKey(const QString& key)
{
    return NormaliseRegKey(key).toLower();
}

QByteArray escapeQuoted(const QByteArray& u)
{
    QByteArray out;
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
    static const char digits[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(data.size() * 3);
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i)
            out += ',';
        const auto b = static_cast<unsigned char>(data[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
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

QByteArray fileSignature(const struct stat& st)
{
    return QByteArray::number(qulonglong(st.st_ino)) + ':' + QByteArray::number(qlonglong(st.st_size)) + ':'
        + QByteArray::number(qlonglong(st.st_mtim.tv_sec)) + '.' + QByteArray::number(qlonglong(st.st_mtim.tv_nsec));
}

QByteArray fileSignature(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return fileSignature(st);
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// How long a writer waits for another one to finish its write.
constexpr int kLockWaitMs = 15000;

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
    Key added;
    added.path = NormaliseRegKey(key);
    added.rawPath = added.path.toUtf8();
    keys.append(added);
    return keys.back();
}

namespace {

// One value line (continuation lines joined) and the bytes it was read from.
struct ValueLine {
    int lineNo = 0;
    QByteArray content;  // the line without its breaks, continuations joined
    QByteArray text;     // the raw bytes of all its lines
    QByteArray lead;
};

} // namespace

bool RegistryStore::parse(const QByteArray& raw, const QString& rootName, Data& out, QString* error)
{
    out = Data();
    out.head.clear();

    auto fail = [&](int lineNo, const QString& why) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(lineNo).arg(why);
        return false;
    };

    const QByteArray rootBytes = rootName.toUtf8();
    QHash<QString, int> keyIndex;  // lower-case path -> index in out.keys
    Data::Key* current = nullptr;
    bool sawHeader = false;
    bool sawAnything = false;
    QByteArray lead;  // blank and comment lines not yet given to an element

    auto addValue = [&](const ValueLine& vl) -> bool {
        const QByteArray& line = vl.content;
        if (!current)
            return fail(vl.lineNo, QStringLiteral("value before any key"));
        int pos = 0;
        QByteArray nameBytes;
        if (line.startsWith('@')) {
            pos = 1;
        } else if (!readQuoted(line, pos, nameBytes)) {
            return fail(vl.lineNo, QStringLiteral("unreadable value name"));
        }
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
        if (pos >= line.size() || line[pos] != '=')
            return fail(vl.lineNo, QStringLiteral("missing \"=\""));
        ++pos;
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
        const QByteArray rest = line.mid(pos);
        RegValue v;
        if (rest.startsWith('"')) {
            int p = 0;
            QByteArray body;
            if (!readQuoted(rest, p, body) || !rest.mid(p).trimmed().isEmpty())
                return fail(vl.lineNo, QStringLiteral("unreadable text value"));
            v.type = REG_SZ;
            v.data = body + '\0';
        } else if (rest.startsWith("dword:")) {
            bool ok = false;
            const QByteArray hex = rest.mid(6).trimmed();
            const uint u = hex.toUInt(&ok, 16);
            if (!ok || hex.size() > 8)
                return fail(vl.lineNo, QStringLiteral("unreadable dword value"));
            v = RegValue::fromDword(static_cast<qint32>(u));
        } else if (rest.startsWith("hex:")) {
            v.type = REG_BINARY;
            if (!parseHexList(rest.mid(4), v.data))
                return fail(vl.lineNo, QStringLiteral("unreadable hex value"));
        } else if (rest.startsWith("hex(")) {
            const int close = rest.indexOf("):");
            bool ok = false;
            const int type = close > 4 ? rest.mid(4, close - 4).toInt(&ok, 16) : 0;
            if (!ok)
                return fail(vl.lineNo, QStringLiteral("unreadable value type"));
            v.type = type;
            if (!parseHexList(rest.mid(close + 2), v.data))
                return fail(vl.lineNo, QStringLiteral("unreadable hex value"));
        } else {
            return fail(vl.lineNo, QStringLiteral("unknown value form"));
        }
        Data::Value entry{QString::fromUtf8(nameBytes), nameBytes, v, vl.lead, vl.text};
        for (auto& existing : current->values) {
            if (existing.name.compare(entry.name, Qt::CaseInsensitive) == 0) {
                existing = entry;  // the later line wins
                return true;
            }
        }
        current->values.append(entry);
        return true;
    };

    // Hex data may go on over several lines, each but the last ending in "\"; such a
    // value is gathered here until its last line.
    std::optional<ValueLine> continued;

    qsizetype pos = 0;
    int lineNo = 0;
    while (pos < raw.size()) {
        ++lineNo;
        const qsizetype nl = raw.indexOf('\n', pos);
        const qsizetype end = nl < 0 ? raw.size() : nl + 1;
        const QByteArray rawLine = raw.mid(pos, end - pos);
        pos = end;
        QByteArray content = rawLine;
        if (content.endsWith('\n'))
            content.chop(1);
        if (content.endsWith('\r'))
            content.chop(1);
        if (lineNo == 1) {
            if (content.startsWith("\xEF\xBB\xBF"))
                content.remove(0, 3);
            if (rawLine.endsWith("\r\n"))
                out.eol = "\r\n";
        }
        QByteArray line = content.trimmed();

        if (continued) {
            continued->text += rawLine;
            const bool more = line.endsWith('\\');
            if (more)
                line.chop(1);
            continued->content += line;
            if (!more) {
                if (!addValue(*continued))
                    return false;
                continued.reset();
            }
            continue;
        }
        if (line.isEmpty() || line.startsWith(';')) {
            lead += rawLine;
            continue;
        }
        if (!sawAnything) {
            sawAnything = true;
            if (line == kHeader || line == "REGEDIT4") {
                sawHeader = true;
                out.head = lead + rawLine;
                lead.clear();
                continue;
            }
        }
        if (line.startsWith('[')) {
            if (!line.endsWith(']'))
                return fail(lineNo, QStringLiteral("key line without closing bracket"));
            const QByteArray path = line.mid(1, line.size() - 2);
            if (path.startsWith('-'))
                return fail(lineNo, QStringLiteral("key deletions are not stored"));
            QByteArray below;
            if (path.size() == rootBytes.size() && qstrnicmp(path.constData(), rootBytes.constData(), rootBytes.size()) == 0)
                below.clear();
            else if (path.size() > rootBytes.size() && path[rootBytes.size()] == '\\'
                     && qstrnicmp(path.constData(), rootBytes.constData(), rootBytes.size()) == 0)
                below = path.mid(rootBytes.size() + 1);
            else
                return fail(lineNo, QStringLiteral("key outside %1").arg(rootName));
            const QString decoded = NormaliseRegKey(QString::fromUtf8(below));
            const QString lower = decoded.toLower();
            const auto found = keyIndex.constFind(lower);
            if (found != keyIndex.constEnd()) {
                // The same key a second time: its values join those of the first.
                current = &out.keys[*found];
            } else {
                keyIndex.insert(lower, int(out.keys.size()));
                out.keys.append(Data::Key{decoded, below, {}, lead, rawLine});
                current = &out.keys.back();
            }
            lead.clear();
            continue;
        }
        ValueLine vl{lineNo, line, rawLine, lead};
        lead.clear();
        if (line.endsWith('\\') && isHexValueLine(line)) {
            vl.content.chop(1);
            continued = vl;
            continue;
        }
        if (!addValue(vl))
            return false;
    }
    if (continued && !addValue(*continued))
        return false;
    out.tail = lead;
    // A file without a header line is written back without one; an empty file gets one.
    if (!sawHeader && !sawAnything && out.tail.isEmpty())
        out.head = Data().head;
    return true;
}

QByteArray RegistryStore::serialize(const Data& data, const QString& rootName)
{
    QByteArray out = data.head;
    // A line the program writes starts on a line of its own, also after a last line
    // that had no line break.
    auto startLine = [&] {
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += data.eol;
    };
    for (const Data::Key& key : data.keys) {
        if (!key.text.isEmpty()) {
            out += key.lead;
            out += key.text;
        } else {
            // A key the program added: a blank line before it, as an exported file has.
            startLine();
            out += key.lead;
            out += data.eol;
            out += '[';
            out += rootName.toUtf8();
            if (!key.rawPath.isEmpty()) {
                out += '\\';
                out += key.rawPath;
            }
            out += ']';
            out += data.eol;
        }
        for (const Data::Value& value : key.values) {
            if (!value.text.isEmpty()) {
                out += value.lead;
                out += value.text;
                continue;
            }
            startLine();
            out += value.lead;
            const RegValue& v = value.value;
            if (value.rawName.isEmpty())
                out += '@';
            else
                out += '"' + escapeQuoted(value.rawName) + '"';
            out += '=';
            if (fitsQuoted(v)) {
                out += '"' + escapeQuoted(v.data.left(v.data.size() - 1)) + '"';
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
            out += data.eol;
        }
    }
    out += data.tail;
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
    const QByteArray native = QFile::encodeName(m_path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        const int e = errno;
        m_signature.clear();
        m_data->keys.clear();
        m_bytes.clear();
        m_status = e == ENOENT || e == ENOTDIR ? Status::Missing : Status::Unreadable;
        m_error = m_status == Status::Missing ? QStringLiteral("%1 does not exist").arg(m_path)
                                              : QStringLiteral("%1 cannot be read: %2").arg(m_path, systemText(e));
        return false;
    }
    const QByteArray sig = fileSignature(st);
    if (sig == m_signature)
        return m_status == Status::Ok;
    m_signature = sig;
    *m_data = Data();
    m_bytes.clear();
    // Only a plain file is read: a pipe or a device under the store's name would block
    // the program, or never end.
    QByteArray text;
    QString why;
    const FileReadResult read = ReadRegularFile(native, text, &why);
    if (read != FileReadResult::Ok) {
        m_signature.clear();
        m_status = read == FileReadResult::Missing ? Status::Missing : Status::Unreadable;
        m_error = m_status == Status::Missing ? QStringLiteral("%1 does not exist").arg(m_path)
                                              : QStringLiteral("%1 cannot be read: %2").arg(m_path, why);
        return false;
    }
    if (!parse(text, m_root, *m_data, &why)) {
        *m_data = Data();
        m_status = Status::Malformed;
        m_error = QStringLiteral("%1 is not a valid settings store (%2)").arg(m_path, why);
        return false;
    }
    m_bytes = text;
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
    for (const Data::Value& v : m_data->keys[i].values)
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return v.value;
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
    QList<QPair<QString, RegValue>> out;
    const int i = m_data->indexOf(key);
    if (i >= 0)
        for (const Data::Value& v : m_data->keys[i].values)
            out.append({v.name, v.value});
    return out;
}

template <class Fn>
bool RegistryStore::modify(Fn&& change, bool createIfMissing)
{
    // A change that leaves the file as it is needs neither the lock nor a write, so it
    // also works where the folder cannot be written (the window size that did not change).
    if (refresh()) {
        Data unchanged = *m_data;
        if (change(unchanged) && serialize(unchanged, m_root) == m_bytes)
            return true;
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    WriterLock lock;
    QString why;
    if (!lock.take(m_path + QStringLiteral(".lock"), kLockWaitMs, why)) {
        m_error = QStringLiteral("%1 cannot be written: %2").arg(m_path, why);
        return false;
    }
    // Whatever a killed writer left behind is ours to clear while we hold the lock.
    RemoveStaleTempFiles(m_path);

    m_signature.clear();
    if (!refresh()) {
        if (!(m_status == Status::Missing && createIfMissing))
            return false;
        *m_data = Data();
    }
    Data copy = *m_data;
    if (!change(copy))
        return false;
    const QByteArray bytes = serialize(copy, m_root);
    if (m_status == Status::Ok && bytes == m_bytes)
        return true;
    if (!WriteFileAtomically(m_path, bytes, &why)) {
        m_error = QStringLiteral("%1 cannot be written: %2").arg(m_path, why);
        return false;
    }
    *m_data = std::move(copy);
    m_bytes = bytes;
    m_status = Status::Ok;
    m_error.clear();
    m_signature = fileSignature(m_path);
    return true;
}

bool RegistryStore::setValue(const QString& key, const QString& name, const RegValue& value)
{
    if (name.contains(u'\n') || name.contains(u'\r')) {
        m_error = QStringLiteral("a value name cannot hold a line break");
        return false;
    }
    return modify(
        [&](Data& d) {
            if (!d.exists(key)) {
                m_error = QStringLiteral("the key %1\\%2 does not exist in %3").arg(m_root, NormaliseRegKey(key), m_path);
                return false;
            }
            d.ensure(key);
            return setValueIn(d, key, name, value);
        },
        false);
}

bool RegistryStore::setValueIn(Data& d, const QString& key, const QString& name, const RegValue& value)
{
    Data::Key& k = d.keys[d.indexOf(key)];
    for (Data::Value& existing : k.values) {
        if (existing.name.compare(name, Qt::CaseInsensitive) == 0) {
            // The stored name keeps its bytes; a value that changes is written anew.
            if (existing.value != value) {
                existing.value = value;
                existing.text.clear();
            }
            return true;
        }
    }
    k.values.append(Data::Value{name, name.toUtf8(), value, {}, {}});
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
                if (vals[j].name.compare(name, Qt::CaseInsensitive) == 0) {
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
