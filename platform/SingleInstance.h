// One running copy per program folder. The copy that starts first takes a lock file in the
// folder and listens on a local socket named after the folder; a later start finds the
// lock taken, asks the running copy over the socket to come to the front, and ends.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this copy now owns the folder (and listens for later starts); false when
    // another running copy owns it, which has then been asked to show itself. A lock left
    // by a copy that is no longer running is taken over.
    bool Claim();

    const QString& ProgramFolder() const { return m_folder; }

    // The lock file in the program folder, and the socket a later start connects to (in
    // the user's runtime folder, named after the program folder's real path).
    static QString LockFilePath(const QString& programFolder);
    static QString ServerName(const QString& programFolder);

signals:
    // A later start of the program asked this copy to come to the front.
    void ShowRequested();

private:
    void readRequest(QLocalSocket* socket);
    bool askRunningCopy();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
