#include "tests/support/TestPlatform.h"

#include "common/mdlFunctions.h"
#include "platform/App.h"
#include "platform/Forms.h"
#include "platform/Services.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTest>

#include <utility>

int FakeMessageService::show(const QString& prompt, int buttons, const QString& title)
{
    shown.append({prompt, buttons, title});
    if (whileShown)
        std::exchange(whileShown, nullptr)();
    if (!answers.isEmpty())
        return answers.dequeue();
    if (answerAll)
        return answerAll;
    QTest::qFail(qPrintable(QStringLiteral("unexpected message box: \"%1\"").arg(prompt)), __FILE__, __LINE__);
    return vbCancel;
}

void FakeModalRunner::run(VForm* form)
{
    shown.append(QString::fromLatin1(form->metaObject()->className()));
    enter(form);
    form->show();
    QPointer<VForm> guard(form);
    if (!handlers.isEmpty()) {
        handlers.dequeue()(form);
    } else if (!allowAny) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected modal window: %1").arg(shown.last())), __FILE__, __LINE__);
    }
    if (!guard)
        return;  // the script let the window close and be deleted
    // Whatever the script left open is closed, as the user would close it.
    if (!form->IsUnloading() && form->isVisible())
        form->hide();
    if (!form->IsUnloading())
        leave(form);
}

QStringList FakeDialogService::getOpenFileNames(const FileRequest& request)
{
    openRequests.append(request);
    return openAnswers.isEmpty() ? QStringList() : openAnswers.dequeue();
}

QString FakeDialogService::getSaveFileName(const FileRequest& request)
{
    saveRequests.append(request);
    return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
}

QString FakeDialogService::getExistingDirectory(QWidget*, const QString& prompt, const QString& initialFolder)
{
    folderPrompts.append(prompt);
    folderInitials.append(initialFolder);
    return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
}

std::optional<QColor> FakeDialogService::getColor(QWidget*, const QColor& initial, QList<QColor>& customColours,
                                                 bool centreOnOwner)
{
    colourRequests.append({initial, customColours, centreOnOwner});
    if (!customColoursAfter.isEmpty())
        customColours = customColoursAfter;
    return colourAnswers.isEmpty() ? std::nullopt : colourAnswers.dequeue();
}

bool FakeShellService::open(const QString& pathOrUrl, const QString&)
{
    opened.append(pathOrUrl);
    return result;
}

bool FakeShellService::start(const QString& program, const QStringList& arguments, const QString&)
{
    started.append({program, arguments});
    return result;
}

bool FakeSoundService::play(const QString& wavFile)
{
    played.append(wavFile);
    return QFile::exists(wavFile);
}

bool FakeShutdownService::powerOff(QString& why)
{
    ++calls;
    if (!result)
        why = refusal;
    return result;
}

QString TestPlatform::SourceDir()
{
    return QStringLiteral(VELMARO_SOURCE_DIR);
}

bool TestPlatform::InstallDefaultStore(const QString& programFolder)
{
    QDir().mkpath(programFolder + QStringLiteral("/Registry"));
    const QString dest = programFolder + QStringLiteral("/Registry/HKEY_LOCAL_MACHINE.reg");
    QFile::remove(dest);
    return QFile::copy(SourceDir() + QStringLiteral("/resources/Registry/HKEY_LOCAL_MACHINE.reg"), dest);
}

namespace {

QtMessageHandler g_nextHandler = nullptr;

// The headless platform cannot draw translucent windows and says so whenever a window's
// opacity changes; the window keeps the value all the same, which is what tests read.
void dropOpacityWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message == QLatin1String("This plugin does not support setting window opacity"))
        return;
    if (g_nextHandler)
        g_nextHandler(type, context, message);
}

} // namespace

TestPlatform::TestPlatform(bool withStore)
{
    static const bool quiet = [] {
        g_nextHandler = qInstallMessageHandler(dropOpacityWarning);
        return true;
    }();
    Q_UNUSED(quiet)
    m_oldHome = qgetenv("VELMARO_HOME");
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("VELMARO_HOME", QFile::encodeName(m_dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/.config")));
    if (withStore)
        InstallDefaultStore(m_dir.path());
    QDir().mkpath(m_dir.path() + QStringLiteral("/Main"));

    auto messages = std::make_unique<FakeMessageService>();
    auto modal = std::make_unique<FakeModalRunner>();
    auto dialogs = std::make_unique<FakeDialogService>();
    auto shell = std::make_unique<FakeShellService>();
    auto sound = std::make_unique<FakeSoundService>();
    auto shutdown = std::make_unique<FakeShutdownService>();
    m_messages = messages.get();
    m_modal = modal.get();
    m_dialogs = dialogs.get();
    m_shell = shell.get();
    m_sound = sound.get();
    m_shutdown = shutdown.get();
    Services::setMessage(std::move(messages));
    Services::setModal(std::move(modal));
    Services::setDialogs(std::move(dialogs));
    Services::setShell(std::move(shell));
    Services::setSound(std::move(sound));
    Services::setShutdown(std::move(shutdown));
    Services::setAutostart(nullptr);
    SetCommand(QString());
    g_bExitApp = false;
}

TestPlatform::~TestPlatform()
{
    Forms::DestroyAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Services::setMessage(nullptr);
    Services::setModal(nullptr);
    Services::setDialogs(nullptr);
    Services::setShell(nullptr);
    Services::setSound(nullptr);
    Services::setShutdown(nullptr);
    Services::setAutostart(nullptr);
    qputenv("VELMARO_HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    g_bExitApp = false;
}
