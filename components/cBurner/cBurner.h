// The CD/DVD data burner component: the registry's writers by 0-based index (a path such as
// "E:\" and a name), a compilation of files with its file systems and volume name, and the
// burn of that compilation as one data disc.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class cBurner : public QObject
{
    Q_OBJECT
public:
    explicit cBurner(QObject* parent = nullptr) : QObject(parent) {}
    ~cBurner() override = default;

    virtual qint32 DriveCount() = 0;
    virtual QString GetDrivePath(qint32 Index) = 0;
    virtual QString GetDriveName(qint32 Index) = 0;

    // Starts an empty compilation.
    virtual void NewCompilation() = 0;
    virtual void SetFileSystemISO(bool v) { m_iso = v; }
    virtual void SetFileSystemJoliet(bool v) { m_joliet = v; }
    virtual void SetFileSystemUDF(bool v) { m_udf = v; }
    virtual void SetVolumeName(const QString& v) { m_volumeName = v; }
    bool FileSystemISO() const { return m_iso; }
    bool FileSystemJoliet() const { return m_joliet; }
    bool FileSystemUDF() const { return m_udf; }
    QString VolumeName() const { return m_volumeName; }
    // Adds one file to the compilation (each path once); a file that cannot be read is
    // reported by the burn.
    virtual void AddFile(QString& FileName) = 0;
    // Burns the compilation and returns when the burn has ended. A burn that ends well
    // raises Initializing, FileCounts, AddingFile for each file, StartBurning, Progress,
    // Finalization, Completed, DoneBurn and last BurnEnd; any other ends with exactly one
    // Message, raised after the work has stopped, and no BurnEnd.
    virtual void Burn(qint32 DriveIndex) = 0;

signals:
    void Message(QString Detail, QString Text);
    void DoneBurn();
    void Canceled();
    void BurnEnd();
    void Progress(qint32 Percent);
    void Finalization();
    void Initializing();
    void Completed();
    void StartBurning();
    void FileCounts(qint32 FileCount, qint32 DirCount);
    void AddingFile(QString FileName);

private:
    bool m_iso = false;
    bool m_joliet = false;
    bool m_udf = false;
    QString m_volumeName;
};

using BurnerFactory = std::function<cBurner*(QObject* parent)>;
cBurner* CreateBurner(QObject* parent);
void SetBurnerFactory(BurnerFactory factory);  // an empty factory restores the real one
