// A small disk of its own for a test: a tmpfs mounted on a folder of the test, in a
// mount namespace of this process alone, so nothing outside the test ever sees it. It
// can be filled up or made read-only, to show what the program does on such disks.
#pragma once

#include <QByteArray>
#include <QString>

class SmallDisk
{
public:
    ~SmallDisk();

    // Mounts a 256 KB tmpfs on folder; false with why where the machine does not allow
    // the test a mount namespace or a mount.
    bool mount(const QString& folder, QString& why);
    // Writes one file until no byte more fits.
    void fill();
    // Removes what fill() wrote.
    void unfill();
    bool readOnly();

private:
    QByteArray m_folder;
};
