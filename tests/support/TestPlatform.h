// Test fixture: a temporary program folder with the default settings store, and fakes
// for every platform service (message boxes, modal windows, dialogs, shell, sound,
// shutdown). Message boxes and modal windows that a test did not script fail the test.
#pragma once

#include "platform/AutostartService.h"
#include "platform/DialogService.h"
#include "platform/MessageService.h"
#include "platform/ModalRunner.h"
#include "platform/ShellService.h"
#include "platform/ShutdownService.h"
#include "platform/SoundService.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class VForm;

struct FakeMessageService : MessageService {
    struct Box {
        QString prompt;
        int buttons = 0;
        QString title;
    };
    QList<Box> shown;
    QQueue<int> answers;  // answers for the next boxes, in order
    int answerAll = 0;     // when set, the answer to every box without a scripted one
    // When set, runs while the next box is open, as the events a modal box lets through
    // (then cleared).
    std::function<void()> whileShown;
    int show(const QString& prompt, int buttons, const QString& title) override;
};

struct FakeModalRunner : ModalRunner {
    QQueue<std::function<void(VForm*)>> handlers;  // drive the next modal window, then return
    QStringList shown;                              // class names of the windows shown modally
    bool allowAny = false;                          // unscripted windows are just hidden
    void run(VForm* form) override;
};

struct FakeDialogService : DialogService {
    QQueue<QStringList> openAnswers;
    QQueue<QString> saveAnswers;
    QQueue<QString> folderAnswers;
    QQueue<std::optional<QColor>> colourAnswers;
    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QStringList folderPrompts;
    QStringList folderInitials;
    struct ColourRequest {
        QColor initial;
        QList<QColor> customColours;  // as offered
        bool centreOnOwner = false;
    };
    QList<ColourRequest> colourRequests;
    QList<QColor> customColoursAfter;  // when set, what the user leaves as custom colours
    QStringList getOpenFileNames(const FileRequest& request) override;
    QString getSaveFileName(const FileRequest& request) override;
    QString getExistingDirectory(QWidget* owner, const QString& prompt, const QString& initialFolder) override;
    std::optional<QColor> getColor(QWidget* owner, const QColor& initial, QList<QColor>& customColours,
                                   bool centreOnOwner) override;
};

struct FakeShellService : ShellService {
    QStringList opened;
    struct Start {
        QString program;
        QStringList arguments;
    };
    QList<Start> started;
    bool result = true;
    bool open(const QString& pathOrUrl, const QString& workingFolder) override;
    bool start(const QString& program, const QStringList& arguments, const QString& workingFolder) override;
};

struct FakeSoundService : SoundService {
    QStringList played;
    int stops = 0;
    bool play(const QString& wavFile) override;
    void stop() override { ++stops; }
};

struct FakeShutdownService : ShutdownService {
    int calls = 0;
    bool result = true;
    QString refusal = QStringLiteral("The system refused to turn off: Access denied");  // why, when result is false
    bool powerOff(QString& why) override;
};

class TestPlatform
{
public:
    // withStore: lay the default settings store into the program folder.
    explicit TestPlatform(bool withStore = true);
    ~TestPlatform();

    QString home() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.path() + u'/' + relative; }

    FakeMessageService& messages() { return *m_messages; }
    FakeModalRunner& modal() { return *m_modal; }
    FakeDialogService& dialogs() { return *m_dialogs; }
    FakeShellService& shell() { return *m_shell; }
    FakeSoundService& sound() { return *m_sound; }
    FakeShutdownService& shutdown() { return *m_shutdown; }

    // The settings store the build lays down, copied to dest.
    static bool InstallDefaultStore(const QString& programFolder);
    static QString SourceDir();

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
    FakeMessageService* m_messages;
    FakeModalRunner* m_modal;
    FakeDialogService* m_dialogs;
    FakeShellService* m_shell;
    FakeSoundService* m_sound;
    FakeShutdownService* m_shutdown;
};
