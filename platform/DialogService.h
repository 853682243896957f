// The system's standard dialogs (open, save, folder, colour). Real ones are Qt dialogs;
// tests install a fake that answers from a script.
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

struct FileRequest {
    QWidget* owner = nullptr;
    QString title;
    QString filter;          // Qt form: "Audio (*.wav *.mp3);;All (*)"
    QString initialPath;     // folder or file to start in
    QString defaultSuffix;   // save only, without dot
    bool multiSelect = false;     // open only
    bool confirmOverwrite = true; // save only
    bool centreOnOwner = true;
};

class DialogService
{
public:
    virtual ~DialogService() = default;
    // Full paths of the chosen files; empty when cancelled.
    virtual QStringList getOpenFileNames(const FileRequest& request) = 0;
    // Full path; empty when cancelled.
    virtual QString getSaveFileName(const FileRequest& request) = 0;
    // Chosen folder; empty when cancelled.
    virtual QString getExistingDirectory(QWidget* owner, const QString& prompt, const QString& initialFolder) = 0;
    // Chosen colour, nullopt when cancelled. customColours (16 entries) are offered and
    // updated with what the user left there.
    virtual std::optional<QColor> getColor(QWidget* owner, const QColor& initial, QList<QColor>& customColours,
                                           bool centreOnOwner) = 0;
};

class QtDialogService : public DialogService
{
public:
    QStringList getOpenFileNames(const FileRequest& request) override;
    QString getSaveFileName(const FileRequest& request) override;
    QString getExistingDirectory(QWidget* owner, const QString& prompt, const QString& initialFolder) override;
    std::optional<QColor> getColor(QWidget* owner, const QColor& initial, QList<QColor>& customColours,
                                   bool centreOnOwner) override;
};
