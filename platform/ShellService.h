// Opening files, folders and addresses with the desktop's programs, and starting
// programs (always without a shell).
#pragma once

#include <QString>
#include <QStringList>

class ShellService
{
public:
    virtual ~ShellService() = default;
    // Opens a file or folder with its associated program, or a web address. False when
    // nothing could be asked to open it.
    virtual bool open(const QString& pathOrUrl, const QString& workingFolder) = 0;
    // Starts a program with its arguments, detached. False when it could not start.
    virtual bool start(const QString& program, const QStringList& arguments, const QString& workingFolder) = 0;
};

class DesktopShellService : public ShellService
{
public:
    bool open(const QString& pathOrUrl, const QString& workingFolder) override;
    bool start(const QString& program, const QStringList& arguments, const QString& workingFolder) override;
};
