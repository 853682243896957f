#include "common/mdlFunctions.h"

#include "components/cBalloonTip/cBalloonTip.h"
#include "platform/App.h"
#include "platform/AtomicFile.h"
#include "platform/Services.h"
#include "platform/ShellService.h"
#include "platform/TextCodec.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTime>

#include <cerrno>
#include <cmath>
#include <sys/stat.h>

QString GetFileName(const QString& path)
{
    const int slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QString GetFolder(const QString& path)
{
    // Everything up to and including the last separator; the root of an absolute path
    // stays ("/a.wav" gives "/").
    const int slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString GetPathOfFile(const QString& path)
{
    const QString name = GetFileName(path);
    if (name.isEmpty())
        return QString();
    return path.left(path.size() - name.size());
}

QString GetNameNoExt(const QString& name)
{
    QStringList pieces = name.split(u'.');
    pieces.removeLast();
    return pieces.join(QString());
}

QString GetFileExt(const QString& name)
{
    const int dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString GetFileExt12(const QString& name)
{
    return GetFileExt(name).left(12);
}

bool IsFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isDir();
}

int MakePath(const QString& path)
{
    QString p = path;
    if (p.endsWith(u'/'))
        p.chop(1);
    if (p.isEmpty())
        return path.isEmpty() ? ENOENT : 0;  // "/" itself exists
    const QStringList pieces = p.split(u'/');
    QString prefix;
    for (int i = 0; i < pieces.size(); ++i) {
        prefix += pieces[i] + u'/';
        if (prefix == QLatin1String("/"))
            continue;  // the root of an absolute path
        const QByteArray native = QFile::encodeName(prefix);
        struct stat st {};
        if (::stat(native.constData(), &st) == 0) {
            if (!S_ISDIR(st.st_mode) && i + 1 < pieces.size())
                return ENOTDIR;
            if (!S_ISDIR(st.st_mode))
                return EEXIST;
            continue;
        }
        if (::mkdir(native.constData(), 0777) != 0)
            return errno ? errno : EIO;
    }
    return 0;
}

void OpenWithShell(QWidget* owner, const QString& file)
{
    Q_UNUSED(owner)
    Services::shell().open(file, AppPath());
}

QString HelpFilePath()
{
    return AppPath() + QStringLiteral("/Help.chm");
}

QString PathHistoryFile()
{
    return AppPath() + QStringLiteral("/PathHistory");
}

namespace {

// The lines of a text file (LF or CR LF); false when it cannot be read. A file that is
// not UTF-8 (written by an older copy or a Windows editor) reads as Windows-1252.
bool readLines(const QString& path, QStringList& lines)
{
    lines.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString text = DecodeText(f.readAll());
    if (text.isEmpty())
        return true;
    lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();  // the break after the last line
    for (QString& l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    return true;
}

// A missing history file is created empty; false when it cannot be made.
bool ensureFile(const QString& path)
{
    if (QFileInfo::exists(path))
        return true;
    QFile f(path);
    return f.open(QIODevice::WriteOnly);
}

} // namespace

void SavePathHistory(QComboBox* cbo)
{
    if (!cbo)
        return;
    const QString path = PathHistoryFile();
    if (!ensureFile(path))
        return;
    QStringList old;
    if (!readLines(path, old))
        return;
    const QString text = cbo->currentText();
    QStringList lines{text};
    for (const QString& l : old)
        if (l != text)
            lines.append(l);
    while (lines.size() > 16)
        lines.removeLast();
    QByteArray bytes;
    for (const QString& l : lines)
        bytes += l.toUtf8() + '\n';
    WriteFileAtomically(path, bytes);
}

void LoadPathHistory(QComboBox* cbo)
{
    if (!cbo)
        return;
    cbo->clear();
    const QString path = PathHistoryFile();
    if (!ensureFile(path))
        return;
    QStringList lines;
    if (!readLines(path, lines))
        return;
    cbo->addItems(lines);
    if (cbo->count() > 0)
        cbo->setCurrentIndex(0);
}

QString MakeSafeName(const QString& text)
{
    static const char16_t chars[] = {u'!', u'/',      u'\\',     u';',      u':', u',',      u' ', u'$',
                                     u'+', u'&',      u'[',      u']',      u'(', u')',      u'{', u'}',
                                     u'?', u'*',      u'|',      u'<',      u'>', u'\u05D6', u'\uF893', u'\u20AC',
                                     u'@', u'\u00A8', u'~',      u'\u00B4', u'`', u'=',      u'%', u'\u00BD',
                                     u'#', u'\u00A3', u'\'',     u'"',      u'\u05D9'};
    static_assert(sizeof(chars) / sizeof(chars[0]) == 37);
    QString out = text;
    for (char16_t c : chars)
        out.replace(QChar(c), QChar(u'-'));
    return out;
}

bool IsLegalFileName(const QString& name)
{
    for (QChar c : kIllegalNameChars)
        if (name.contains(c))
            return false;
    return true;
}

QString IllegalNameTipText()
{
    return QStringLiteral("Illegal name.\n\nThe chars:   /\\:?*<>\"|   are not legal.");
}

void ValidateNameKey(QLineEdit* txt, int& KeyAscii)
{
    if (KeyAscii <= 0 || KeyAscii > 0xFFFF || !kIllegalNameChars.contains(QChar(KeyAscii)))
        return;
    cBalloonTip tip;
    tip.SetTipStyle(1);
    tip.SetTipText(IllegalNameTipText());
    tip.AttachTo(txt);
    tip.ShowTip();
    KeyAscii = 0;
}

QString LogTimeText()
{
    // The locale's long time format without the time zone. The pattern is made once: a
    // log line is written for every part of a job.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(zone);
    return QLocale().toString(QTime::currentTime(), format.trimmed());
}

void AddLog(const QString& message, QPlainTextEdit* txt)
{
    if (!txt)
        return;
    QTextCursor cursor = txt->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(LogTimeText() + u':' + message + u'\n');
    cursor.movePosition(QTextCursor::End);
    txt->setTextCursor(cursor);
    txt->ensureCursorVisible();
}

QString SecondsToTime(qint32 seconds)
{
    const qint64 s = seconds;
    const qint64 h = s / 3600;
    const qint64 m = s / 60 - 60 * h;
    const qint64 sec = s % 60;
    return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QChar(u'0')).arg(sec, 2, 10, QChar(u'0'));
}

namespace {

bool readNumber(const QString& piece, double& out)
{
    const QString t = piece.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    out = QLocale().toDouble(t, &ok);
    if (!ok)
        out = QLocale::c().toDouble(t, &ok);
    return ok;
}

} // namespace

qint32 TimeToSeconds(const QString& text)
{
    QString t = text;
    // A time of day (hours 0..23, or 1..12 with AM/PM) is first written out as hh:mm:ss.
    static const QRegularExpression timeOfDay(
        QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*([AaPp][Mm])?\\s*$"));
    const auto m = timeOfDay.match(text);
    if (m.hasMatch()) {
        int h = m.captured(1).toInt();
        const int mi = m.captured(2).toInt();
        const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
        const QString ampm = m.captured(4).toUpper();
        bool valid = mi < 60 && s < 60;
        if (ampm.isEmpty()) {
            valid = valid && h < 24;
        } else {
            valid = valid && h >= 1 && h <= 12;
            if (ampm == QLatin1String("PM") && h < 12)
                h += 12;
            if (ampm == QLatin1String("AM") && h == 12)
                h = 0;
        }
        if (valid)
            t = QStringLiteral("%1:%2:%3").arg(h, 2, 10, QChar(u'0')).arg(mi, 2, 10, QChar(u'0')).arg(s, 2, 10, QChar(u'0'));
    }
    const QStringList pieces = t.split(u':');
    if (pieces.size() < 3)
        return 0;
    double h = 0, mi = 0, s = 0;
    if (!readNumber(pieces[0], h) || !readNumber(pieces[1], mi) || !readNumber(pieces[2], s))
        return 0;
    const double total = std::nearbyint(h * 3600 + mi * 60 + s);
    if (!(total >= -2147483648.0 && total <= 2147483647.0))
        return 0;
    return static_cast<qint32>(total);
}

QString ReadTextFile(const QString& path)
{
    QFileInfo fi(path);
    if (path.isEmpty() || !fi.isFile())
        return QString();
    QStringList lines;
    if (!readLines(path, lines))
        return QString();
    QString result;
    for (const QString& l : lines)
        result += l + QStringLiteral("\r\n");
    if (result.size() > 2)
        result.chop(2);
    return result;
}

bool WriteTextFile(const QString& text, const QString& path, QString* error)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("no file name was given");
        return false;
    }
    return WriteFileAtomically(path, (text + u'\n').toUtf8(), error);
}

void FillComboFromFile(const QString& path, QComboBox* cbo)
{
    if (!cbo)
        return;
    const QString text = ReadTextFile(path);
    cbo->clear();
    for (const QString& piece : text.split(QStringLiteral("\r\n")))
        if (!piece.isEmpty())
            cbo->addItem(piece);
}
