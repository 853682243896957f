// The CD-only data burner component: the registry's writers (each name begins with its
// drive letter and a colon, and every call that takes a drive is given that letter), the
// files to burn, the disc's description, and the burn of one data disc.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class cAudioDataBurner : public QObject
{
    Q_OBJECT
public:
    explicit cAudioDataBurner(QObject* parent = nullptr) : QObject(parent) {}
    ~cAudioDataBurner() override = default;

    // Writers count from 1.
    virtual qint32 GetDriveCount() = 0;
    virtual QString GetDriveName(qint32 Index) = 0;
    // The write speeds of a writer in KB/s; GetSpeed counts from 1 over the last list read.
    virtual qint32 GetSpeedCount(QString& Drive) = 0;
    virtual qint32 GetSpeed(qint32 Index) = 0;
    // The writer exists and can be opened; its disc is blank.
    virtual bool IsDriveReady(const QString& Drive) = 0;
    virtual bool IsDiscEmpty(const QString& Drive) = 0;
    virtual void OpenTray(const QString& Drive) = 0;
    virtual void CloseTray(const QString& Drive) = 0;

    // True: the file is in the list to burn (each path once).
    virtual bool AddFile(QString& FileName) = 0;
    void SetVolumeName(const QString& v) { m_volumeName = v; }
    void SetFileSystemName(const QString& v) { m_fileSystemName = v; }
    void SetIdentityText1(QString& v) { m_identity1 = v; }
    void SetIdentityText2(QString& v) { m_identity2 = v; }
    void SetBurnOption(bool v) { m_burnOption = v; }
    QString VolumeName() const { return m_volumeName; }
    QString FileSystemName() const { return m_fileSystemName; }
    QString IdentityText1() const { return m_identity1; }
    QString IdentityText2() const { return m_identity2; }
    bool BurnOption() const { return m_burnOption; }
    // Burns the listed files and returns when the burn has ended. The events arrive while
    // it runs: Started, Progress, ClosingSession, then exactly one of Finished or Error
    // (only Error when the burn cannot start). The list is empty again afterwards.
    virtual void Burn(const QString& Drive, qint32 Speed) = 0;
    virtual void CloseBurner() = 0;

signals:
    void ClosingSession();
    void Finished();
    void Started();
    void Progress(qint16 Percent);
    void Error(qint32 Code, QString Description);

private:
    QString m_volumeName;
    QString m_fileSystemName;
    QString m_identity1;
    QString m_identity2;
    bool m_burnOption = false;
};

using AudioDataBurnerFactory = std::function<cAudioDataBurner*(QObject* parent)>;
cAudioDataBurner* CreateAudioDataBurner(QObject* parent);
void SetAudioDataBurnerFactory(AudioDataBurnerFactory factory);  // an empty factory restores the real one
