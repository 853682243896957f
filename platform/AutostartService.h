// Starting the program with the desktop session: an XDG autostart entry
// ($XDG_CONFIG_HOME/autostart/<name>.desktop) holding the command line.
#pragma once

#include <QString>

#include <optional>

class AutostartService
{
public:
    virtual ~AutostartService() = default;
    // Writes (or replaces) the entry called name with this command line.
    virtual bool write(const QString& name, const QString& commandLine) = 0;
    // Removes the entry; true when it is gone afterwards.
    virtual bool remove(const QString& name) = 0;
    // The command line of an enabled entry; nullopt when missing, disabled or unreadable.
    virtual std::optional<QString> read(const QString& name) = 0;
};

class XdgAutostartService : public AutostartService
{
public:
    bool write(const QString& name, const QString& commandLine) override;
    bool remove(const QString& name) override;
    std::optional<QString> read(const QString& name) override;

    static QString entryPath(const QString& name);
    // The Exec value for a command line, and back (desktop-entry string escapes).
    static QString escapeValue(const QString& text);
    static std::optional<QString> unescapeValue(const QString& value);
};
