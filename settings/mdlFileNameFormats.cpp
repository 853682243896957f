#include "settings/mdlFileNameFormats.h"

#include "common/mdlFunctions.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

const QStringList& BuiltInFileNameFormats()
{
    static const QStringList formats{
        QStringLiteral("[file_name].[dest_extension]"),
        QStringLiteral("[file_name].[source_extension].[dest_extension]"),
        QStringLiteral("[file_name]_[123].[dest_extension]"),
        QStringLiteral("[file_name]_[123].[source_extension].[dest_extension]"),
        QStringLiteral("[123].[dest_extension]"),
        QStringLiteral("[123].[source_extension].[dest_extension]"),
    };
    return formats;
}

QString FileNameFormatsFile()
{
    return AppPath() + QStringLiteral("/FileNameFormats.txt");
}

void FillBuiltInFileNameFormats(QComboBox* cboFileName)
{
    if (!cboFileName)
        return;
    cboFileName->clear();
    cboFileName->addItems(BuiltInFileNameFormats());
    cboFileName->setCurrentIndex(-1);
}

void LoadFileNameFormats(QComboBox* cboFileName)
{
    const QString path = FileNameFormatsFile();
    if (cboFileName && QFileInfo(path).isFile())
        FillComboFromFile(path, cboFileName);
}

void SelectDefaultFileNameFormat(QComboBox* cboFileName)
{
    if (!cboFileName)
        return;
    if (!g_sFileNameFormat.isEmpty()) {
        if (!SelectListText(cboFileName, g_sFileNameFormat))
            cboFileName->setCurrentIndex(-1);
        return;
    }
    cboFileName->setCurrentIndex(cboFileName->count() >= 2 ? 1 : -1);
}

namespace {

// A value put into a name: it may not name a folder, nor end the name early.
QString nameSafe(QString value)
{
    value.replace(u'/', u'-');
    value.replace(QChar(u'\0'), u'-');
    return value;
}

void put(QString& name, const char* placeholder, const QString& value)
{
    name.replace(QLatin1String(placeholder), nameSafe(value));
}

// An extension put in for its placeholder; when there is none, the placeholder takes the
// dot before it (or, at the start, the one after it) along, so the name holds no two dots
// in a row.
void putExtension(QString& name, const char* placeholder, const QString& extension)
{
    if (extension.isEmpty()) {
        const QLatin1String p(placeholder);
        name.replace(u'.' + p, QString());
        name.replace(p + u'.', QString());
    }
    put(name, placeholder, extension);
}

// The locale's separator between hours and minutes, as its short time format writes it.
QString timeSeparator(const QLocale& locale)
{
    static const QRegularExpression between(QStringLiteral("[hH]+([^hHmMsSaApPt]*)m"));
    const auto match = between.match(locale.timeFormat(QLocale::ShortFormat));
    QString separator = match.hasMatch() ? match.captured(1) : QString();
    separator.remove(u'\'');
    return separator.isEmpty() ? QStringLiteral(":") : separator;
}

QDateTime moment(const QDateTime& now)
{
    return now.isValid() ? now : QDateTime::currentDateTime();
}

// The time as hours, minutes and seconds of two digits each, joined by the locale's
// separator, with every ":" made "-".
QString timeText(const QDateTime& now)
{
    const QLocale locale;
    const QTime t = moment(now).time();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); };
    QString text = QStringList{two(t.hour()), two(t.minute()), two(t.second())}.join(timeSeparator(locale));
    return text.replace(u':', u'-');
}

// The date in the locale's short format, with every "/" made "-".
QString dateText(const QDateTime& now)
{
    return QLocale().toString(moment(now).date(), QLocale::ShortFormat).replace(u'/', u'-');
}

void putTimeAndDate(QString& name, const QDateTime& now)
{
    put(name, "[time]", timeText(now));
    put(name, "[date]", dateText(now));
}

} // namespace

bool TargetFormatExtension(const QString& targetFormatText, QString& extension)
{
    const int dash = targetFormatText.indexOf(QLatin1String(" -"));
    if (dash < 0)
        return false;
    extension = targetFormatText.left(dash).toLower();
    return true;
}

QString FileNameWithoutExtension(const QString& fileName)
{
    const int dot = fileName.lastIndexOf(u'.');
    return dot > 0 ? fileName.left(dot) : fileName;
}

QString ExpandFileNameFormat(const QString& Template, const FileNameValues& values)
{
    QString name = Template;
    put(name, "[123]", QString::number(values.row));
    put(name, "[file_name]", FileNameWithoutExtension(GetFileName(values.sourceFile)));
    putExtension(name, "[source_extension]", GetFileExt(values.itemName).toLower());
    QString extension = values.fixedExtension;
    if (values.copiedAsIs) {
        // A copy keeps its bytes, so it keeps the extension that says what they are.
        const QString own = GetFileExt(GetFileName(values.sourceFile)).toLower();
        putExtension(name, "[dest_extension]", own);
        putExtension(name, "[convert_extension]", own);
    } else if (!extension.isEmpty() || TargetFormatExtension(values.targetFormatText, extension)) {
        put(name, "[dest_extension]", extension);
        put(name, "[convert_extension]", extension);
    }
    putTimeAndDate(name, values.now);
    put(name, "[item_name]", values.itemName);
    return name;
}

QString ExpandJoinedFileName(const QString& Template, const QString& targetFormatText, const QDateTime& now)
{
    QString name = Template;
    putExtension(name, "[source_extension]", GetFileExt(Template).toLower());
    QString extension;
    if (TargetFormatExtension(targetFormatText, extension))
        put(name, "[dest_extension]", extension);
    putTimeAndDate(name, now);
    return name;
}
