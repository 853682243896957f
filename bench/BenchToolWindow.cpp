#include "bench/BenchToolWindow.h"

#include "common/mdlModes.h"
#include "lists/mdlItemsGrid.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "tools/frame/ToolWindow.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>

#include <cstdio>
#include <memory>

namespace {

int s_boxes = 0;  // message boxes shown during the run

class UnattendedMessages : public MessageService
{
public:
    int show(const QString& prompt, int buttons, const QString& title) override
    {
        ++s_boxes;
        std::fprintf(stderr, "message box \"%s\": %s\n", qPrintable(title),
                     qPrintable(QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))));
        switch (buttons & 0x7) {
        case vbOKCancel:
        case vbYesNoCancel:
        case vbRetryCancel:
            return vbCancel;
        case vbYesNo:
            return vbNo;
        case vbAbortRetryIgnore:
            return vbIgnore;
        default:
            return vbOK;
        }
    }
};

}  // namespace

BenchProgram::BenchProgram()
{
    Services::setMessage(std::make_unique<UnattendedMessages>());
    qputenv("VELMARO_HOME", QFile::encodeName(m_home.path()));
    InitProductProfile();
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
}

void UseCdWavSettings()
{
    g_lSamplesWAV = 44100;
    g_lChannelsWAV = 1;  // stereo
    g_lBitrateWAV = 16;
}

void UseLameMp3Settings(qint32 mode)
{
    g_lMP3Bitrate = 128;
    g_lMP3Samplerate = 44100;
    g_lMP3Quality = 5;
    g_lMP3Mode = mode;
    g_bMP3ABR = g_bMP3VBRTag = false;
}

void HandOverFileRows(ToolWindow* window, const QString& folder, const QStringList& files)
{
    for (int i = 0; i < files.size(); ++i) {
        const qint32 row = i + 1;
        SetRowText(window->cGrid1, row, QStringLiteral("COL_FILE"), QDir(folder).absoluteFilePath(files[i]));
        SetRowText(window->cGrid1, row, QStringLiteral("Item Name"), files[i]);
        SetRowText(window->cGrid1, row, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("1"));
    }
}

WindowJob WaitForWindowJob(ToolWindow* window, const QElapsedTimer& sinceHandOver)
{
    while (window->IsBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    WindowJob job;
    job.seconds = sinceHandOver.elapsed() / 1000.0;
    job.log = window->txtLog->toPlainText();
    job.done = window->lblCurrentTrack->text() == QLatin1String("Done.");
    return job;
}

int EndWindowRun(const WindowJob& job, bool failed, double startUp, const QString& figure)
{
    failed = failed || s_boxes > 0;
    if (failed)
        std::fprintf(stderr, "%s", qPrintable(job.log));
    if (startUp >= 0)
        std::printf("start-up %.3f s\n", startUp);
    std::printf("%s\n", qPrintable(figure));
    Forms::DestroyAll();
    return failed ? 1 : 0;
}

int WindowBenchMain(int argc, char** argv, const QString& command, int argCount, const char* usage,
                    const std::function<int(const QStringList& args, const QElapsedTimer& sinceStart)>& run)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == argCount && args[1] == command)
        return run(args, sinceStart);
    std::fprintf(stderr, "%s\n", usage);
    return 2;
}
