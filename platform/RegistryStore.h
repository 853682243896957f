// The settings store: one text file per registry root in the program folder
// ("Registry/HKEY_LOCAL_MACHINE.reg"), in the .reg export layout.
//
// Reads see the file as it is on disk (re-parsed when it changes). Every write takes the
// store's lock, re-reads the file, applies the change and replaces the file atomically
// (temporary file, fsync, rename), so a writer killed mid-write leaves the previous file
// and two processes writing at once lose nothing. A file that exists but cannot be read
// or parsed is never overwritten, and only a regular file is ever opened. A write that
// changes nothing leaves the file alone; what a write does not change keeps its bytes.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// Registry value types, by the registry's own codes.
enum RegType : int {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
};

// Registry result codes the program looks at.
inline constexpr int ERROR_SUCCESS = 0;
inline constexpr int ERROR_FILE_NOT_FOUND = 2;
inline constexpr int ERROR_ACCESS_DENIED = 5;
inline constexpr int ERROR_INVALID_DATA = 13;
inline constexpr int ERROR_LOCK_FAILED = 167;

// One value as the registry holds it: its type and raw data. String types keep their
// text as UTF-8 followed by the terminating NUL, so a value's data size is what the
// registry would report.
struct RegValue {
    int type = REG_NONE;
    QByteArray data;

    static RegValue fromString(const QString& text, int type = REG_SZ);
    static RegValue fromDword(qint32 v);
    static RegValue fromBinary(const QByteArray& bytes);
    bool operator==(const RegValue&) const = default;
};

class RegistryStore
{
public:
    enum class Status { Ok, Missing, Unreadable, Malformed };

    // The store of a root ("HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER") in the current
    // program folder. One instance per file is kept for the life of the process.
    static RegistryStore& forRoot(const QString& rootName);
    static QString rootFilePath(const QString& rootName);

    RegistryStore(QString filePath, QString rootName);
    ~RegistryStore();

    QString filePath() const { return m_path; }
    QString rootName() const { return m_root; }

    // State of the file at the last read; lastError() says what went wrong.
    Status status();
    QString lastError() const { return m_error; }

    // Key paths are below the root, with "\" between parts, compared without regard
    // to case; empty parts (a trailing "\") are ignored.
    bool keyExists(const QString& key);
    std::optional<RegValue> value(const QString& key, const QString& name);
    QStringList subKeys(const QString& key);
    QList<QPair<QString, RegValue>> values(const QString& key);

    // Writes. The key must exist (a missing key is not created).
    bool setValue(const QString& key, const QString& name, const RegValue& value);
    // 0 when deleted, ERROR_FILE_NOT_FOUND when key or value is missing, else another code.
    int deleteValue(const QString& key, const QString& name);
    // Creates the key and any missing parent; the file is created when it is missing.
    bool createKey(const QString& key);
    // Deletes a key without sub-keys. Returns a registry result code.
    int deleteKey(const QString& key);

    // Serialises and parses the file text (exposed for tests and for the program folder set-up).
    struct Data;
    static bool parse(const QByteArray& text, const QString& rootName, Data& out, QString* error);
    static QByteArray serialize(const Data& data, const QString& rootName);

private:
    bool refresh();
    static bool setValueIn(Data& d, const QString& key, const QString& name, const RegValue& value);
    template <class Fn>
    bool modify(Fn&& change, bool createIfMissing);

    QString m_path;
    QString m_root;
    QString m_error;
    std::unique_ptr<Data> m_data;
    Status m_status = Status::Missing;
    QByteArray m_signature;
    QByteArray m_bytes;  // the file's bytes at the last read or write
};

// The file as read: every key and value with the exact bytes it was read from, so that
// what the program does not change is written back byte for byte (names that are not
// valid UTF-8, comments, blank lines, line ends and the layout of long hex data included).
struct RegistryStore::Data {
    struct Value {
        QString name;       // for look-ups (bytes that are not UTF-8 read as U+FFFD)
        QByteArray rawName; // the name's own bytes, written back as they are
        RegValue value;
        QByteArray lead;    // blank and comment lines before the value
        QByteArray text;    // the value's lines as read; empty once the value changed
    };
    struct Key {
        QString path;       // below the root, for look-ups
        QByteArray rawPath; // below the root, the bytes as written
        QList<Value> values;
        QByteArray lead;    // blank and comment lines before the key line
        QByteArray text;    // the key line as read; empty for a key the program added
    };
    // Everything before the first key: the header line (and a byte-order mark).
    QByteArray head = QByteArrayLiteral("Windows Registry Editor Version 5.00\n");
    QList<Key> keys;
    QByteArray tail;  // blank and comment lines after the last value
    QByteArray eol = "\n";  // the line end of lines the program writes: the file's own

    int indexOf(const QString& key) const;
    bool exists(const QString& key) const;  // listed, or the parent of a listed key
    Key& ensure(const QString& key);
};

// Normalises a key path: no empty parts, "\" between parts.
QString NormaliseRegKey(const QString& key);
