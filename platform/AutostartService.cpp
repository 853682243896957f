#include "platform/AutostartService.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString XdgAutostartService::entryPath(const QString& name)
{
    QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/") + name.toLower() + QStringLiteral(".desktop");
}

QString XdgAutostartService::escapeValue(const QString& text)
{
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

std::optional<QString> XdgAutostartService::unescapeValue(const QString& value)
{
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++i >= value.size())
            return std::nullopt;
        switch (value[i].unicode()) {
        case '\\': out += u'\\'; break;
        case 'n': out += u'\n'; break;
        case 't': out += u'\t'; break;
        case 'r': out += u'\r'; break;
        case 's': out += u' '; break;
        default: return std::nullopt;
        }
    }
    return out;
}

bool XdgAutostartService::write(const QString& name, const QString& commandLine)
{
    const QString path = entryPath(name);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=") + escapeValue(name) + u'\n';
    text += QStringLiteral("Exec=") + escapeValue(commandLine) + u'\n';
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return WriteFileAtomically(path, text.toUtf8());
}

bool XdgAutostartService::remove(const QString& name)
{
    const QString path = entryPath(name);
    if (!QFileInfo::exists(path))
        return true;
    return QFile::remove(path);
}

std::optional<QString> XdgAutostartService::read(const QString& name)
{
    QFile f(entryPath(name));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray raw = f.readAll();
    if (raw.contains('\0'))
        return std::nullopt;
    std::optional<QString> exec;
    bool inEntry = false;
    bool enabled = true;
    for (QString line : QString::fromUtf8(raw).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString t = line.trimmed();
        if (t.startsWith(u'[')) {
            inEntry = t == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || t.isEmpty() || t.startsWith(u'#'))
            continue;
        const int eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Exec"))
            exec = unescapeValue(value);
        else if (key == QLatin1String("Hidden") && value == QLatin1String("true"))
            enabled = false;
        else if (key == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false"))
            enabled = false;
    }
    if (!enabled)
        return std::nullopt;
    return exec;
}
