// The speech engine (espeak-ng) as the speech component drives it: started once for the
// whole process in its synchronous mode (it never plays sound itself), and driven only
// from worker threads, one call at a time, so its global state is never shared by two
// threads at once. Each SpeechWorker is one such thread.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct SpeechVoice {
    QString name;           // as the engine names it
    QByteArray identifier;  // the engine's voice file, by which it is chosen
};

// A word of the speech: where its sound starts, and where it stands in the text.
struct SpeechWord {
    qint64 sample = 0;  // in the engine's samples
    qint32 start = 0;   // UTF-16 index in the text, from 0
    qint32 length = 0;  // UTF-16 code units
};

struct SpeechRequest {
    QString text;
    QByteArray voice;  // identifier; empty: the engine's default voice
    int wordsPerMinute = 175;
    int volume = 100;  // the engine's amplitude: 100 is its normal loudness
    bool operator==(const SpeechRequest&) const = default;
};

struct Speech {
    bool ok = false;
    bool cancelled = false;
    QString error;              // why, when not ok
    int rate = 0;               // samples per second (mono, 16 bits)
    std::vector<qint16> samples;  // empty when a sink took them
    std::vector<SpeechWord> words;
};

// Takes the samples as the engine makes them, in place of the speech keeping them; false
// ends the speech (which then is not ok).
using SpeechSink = std::function<bool(const qint16* samples, int count)>;
// Hears how far into the text the speech has come, 0 to 100, each time that grows.
using SpeechProgress = std::function<void(int percent)>;
// Tells a task run on the worker thread whether it has been cancelled since it was posted.
using SpeechCancelled = std::function<bool()>;

class SpeechWorker
{
public:
    SpeechWorker();
    ~SpeechWorker();  // ends the speech under way and waits for the thread

    // Speaks on the worker thread; `done` runs there with the speech.
    void post(const SpeechRequest& request, std::function<void(Speech&&)> done, SpeechSink sink = {},
              SpeechProgress progress = {});
    // Runs `task` on the worker thread, after everything posted before it; cancelAll
    // covers it as it covers a speech.
    void postTask(std::function<void(const SpeechCancelled& cancelled)> task);
    // Speaks and waits for the speech.
    Speech speak(const SpeechRequest& request, SpeechSink sink = {});
    // Ends the speech under way and drops the ones waiting; their `done` still runs, with
    // a cancelled speech (and each task still runs, told it is cancelled).
    void cancelAll();
    // The engine's voices, sorted by name (waits for the worker).
    QList<SpeechVoice> voices();

    // The samples per second the engine makes; 0 until it has started (voices() starts it).
    static int EngineRate();
    // The engine's rate for a rate of -10 (slowest) to 10 (fastest), 0 being its normal.
    static int WordsPerMinute(int rate);

private:
    void run();
    void enqueue(std::function<void()> task);

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    bool m_quit = false;
    std::atomic<quint64> m_posted{0};    // speeches posted so far
    std::atomic<quint64> m_cancelTo{0};  // speeches up to this one are cancelled
    std::thread m_thread;
};
