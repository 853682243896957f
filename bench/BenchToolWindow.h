// What the benchmarks of the tool windows share: the program set up as a launch finds it,
// the window's job run from its start button to its end, the run's figures printed, and
// the main that starts the program without a display.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class ToolWindow;

// The program as a launch finds it: a program folder of its own (a window writes its path
// history there), the product profile and the option forms loaded. Kept while the run lasts.
// Nobody is there to answer a message box: each one's text goes to the error stream and
// it is answered as its close box would be (Cancel, No or OK), so the run never waits,
// and the run fails.
class BenchProgram
{
public:
    BenchProgram();

private:
    QTemporaryDir m_home;
};

// WAV at 44.1 kHz, 16 bits, stereo.
void UseCdWavSettings();
// MP3 at 128 kbit/s constant, 44.1 kHz, quality 5, without ABR and VBR tag, in the channel
// mode of the list's index `mode` (0 plain stereo, 1 joint stereo): `lame -b 128 -q 5`.
void UseLameMp3Settings(qint32 mode);

// The hand-over of a launch: each of `files` (names in `folder`) as a marked row of the
// window's grid, 1 upwards, with its path, its name, and the whole file as its range.
void HandOverFileRows(ToolWindow* window, const QString& folder, const QStringList& files);

// A window's job as it ended.
struct WindowJob {
    double seconds = 0;  // from the hand-over to the job's end
    QString log;         // the window's log
    bool done = false;   // the status line says "Done."
    int count(const QString& text) const { return int(log.count(text)); }
};

// Waits, handling the window's events, until the job just started has ended.
WindowJob WaitForWindowJob(ToolWindow* window, const QElapsedTimer& sinceHandOver);

// Presses the window's start button and waits until its job has ended.
template <class Window>
WindowJob RunWindowJob(Window* window, const QElapsedTimer& sinceHandOver)
{
    window->cmdConvert_Click();
    return WaitForWindowJob(window, sinceHandOver);
}

// The end of a run: the log to the error stream when the job failed or a message box came
// up, the start-up (when not negative) and the figure line to the output, every window
// closed; the exit code (1 for such a run).
int EndWindowRun(const WindowJob& job, bool failed, double startUp, const QString& figure);

// The main of a window benchmark: the start-up clock started, the offscreen platform and
// the application; `run` gets the arguments (the program's name first) when there are
// `argCount` of them and the first is `command`; otherwise `usage` is printed.
int WindowBenchMain(int argc, char** argv, const QString& command, int argCount, const char* usage,
                    const std::function<int(const QStringList& args, const QElapsedTimer& sinceStart)>& run);
