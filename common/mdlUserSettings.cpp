// The per-user settings store: one INI file per application name.
#include "common/mdlUserSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

QString UserSettingsFile(const QString& AppName)
{
    // Read from the environment each time: Qt's own default paths are fixed once per
    // process, and tests move the configuration folder.
    QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/velmaro/") + AppName + QStringLiteral(".ini");
}

QString GetSetting(const QString& AppName, const QString& Section, const QString& Key, const QString& Default)
{
    QSettings s(UserSettingsFile(AppName), QSettings::IniFormat);
    return s.value(Section + u'/' + Key, Default).toString();
}

void SaveSetting(const QString& AppName, const QString& Section, const QString& Key, const QString& Setting)
{
    QDir().mkpath(QFileInfo(UserSettingsFile(AppName)).absolutePath());
    QSettings s(UserSettingsFile(AppName), QSettings::IniFormat);
    s.setValue(Section + u'/' + Key, Setting);
    s.sync();
}
