// The speech engine behind one process-wide lock: started on first use, then voice,
// rate and volume set and the text spoken, the synthesis callback gathering the samples
// and the words' positions, converted from the engine's code points to UTF-16 indexes,
// and telling how far into the text it has come.
#include "components/cOrvelle/SpeechEngine.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <future>

namespace {

// Every call into the engine holds this lock: the engine has one global state.
std::mutex g_engine;
bool g_started = false;
std::atomic<int> g_rate{0};
QString g_startError;

// The speech the synthesis callback is filling (only while g_engine is held).
struct Current {
    Speech* speech = nullptr;
    const QString* text = nullptr;
    const std::vector<qint32>* utf16At = nullptr;  // code point index -> UTF-16 index
    std::function<bool()> cancelled;
    const SpeechSink* sink = nullptr;
    bool sinkFailed = false;
    const SpeechProgress* progress = nullptr;
    int percent = 0;  // how far the progress has been told
};
Current g_current;

int synthCallback(short* wav, int count, espeak_EVENT* events)
{
    Speech* s = g_current.speech;
    if (!s)
        return 1;
    if (wav && count > 0) {
        if (!g_current.sink) {
            s->samples.insert(s->samples.end(), wav, wav + count);
        } else if (!(*g_current.sink)(wav, count)) {
            g_current.sinkFailed = true;
            return 1;
        }
    }
    const std::vector<qint32>& at = *g_current.utf16At;
    for (espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        // Every event names the place in the text the sound has come to.
        if (g_current.progress && at.size() > 1) {
            const int percent = int(std::clamp<qint64>(qint64(e->text_position) * 100 / qint64(at.size() - 1), 0, 100));
            if (percent > g_current.percent) {
                g_current.percent = percent;
                (*g_current.progress)(percent);
            }
        }
        if (e->type != espeakEVENT_WORD)
            continue;
        // Positions count code points from 1.
        const qint64 first = std::clamp<qint64>(qint64(e->text_position) - 1, 0, qint64(at.size()) - 1);
        const qint64 last = std::clamp<qint64>(first + std::max(0, e->length), 0, qint64(at.size()) - 1);
        const SpeechWord w{qint64(e->audio_position) * g_rate.load() / 1000, at[size_t(first)],
                           at[size_t(last)] - at[size_t(first)]};
        // The engine reports some words twice, or in parts, or on the blank after a
        // symbol it reads out: only a word of its own, after the last one, is kept.
        const bool afterLast = s->words.empty() || w.start >= s->words.back().start + s->words.back().length;
        if (afterLast && w.length > 0 && !g_current.text->mid(w.start, w.length).trimmed().isEmpty())
            s->words.push_back(w);
    }
    return g_current.cancelled() ? 1 : 0;
}

// Starts the engine once; false (with g_startError) when it cannot run. Holds g_engine.
bool startEngine()
{
    if (g_started)
        return true;
    if (!g_startError.isEmpty())
        return false;
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
        g_startError = QStringLiteral("The speech engine cannot start: its voice data is missing.");
        return false;
    }
    espeak_SetSynthCallback(&synthCallback);
    g_rate = rate;
    g_started = true;
    return true;
}

// For each code point of the text, its UTF-16 index; one more entry for the text's end.
std::vector<qint32> utf16Indexes(const QString& text)
{
    std::vector<qint32> at;
    at.reserve(size_t(text.size()) + 1);
    for (qint32 i = 0; i < text.size(); ++i) {
        at.push_back(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    at.push_back(qint32(text.size()));
    return at;
}

Speech synthesize(const SpeechRequest& r, const SpeechCancelled& cancelled, const SpeechSink& sink,
                  const SpeechProgress& progress)
{
    Speech s;
    std::lock_guard<std::mutex> g(g_engine);
    if (!startEngine()) {
        s.error = g_startError;
        return s;
    }
    s.rate = g_rate;
    const QByteArray voice = r.voice.isEmpty() ? QByteArrayLiteral("en") : r.voice;
    if (espeak_SetVoiceByName(voice.constData()) != EE_OK) {
        s.error = QStringLiteral("The voice \"%1\" cannot be loaded.").arg(QString::fromUtf8(voice));
        return s;
    }
    espeak_SetParameter(espeakRATE, r.wordsPerMinute, 0);
    espeak_SetParameter(espeakVOLUME, r.volume, 0);
    // The engine reads the text as a C string, so a NUL would end it there: it is a blank,
    // as the engine takes every other control character. Positions do not move.
    QString text = r.text;
    text.replace(QChar(0), QChar(u' '));
    const QByteArray utf8 = text.toUtf8();
    const std::vector<qint32> at = utf16Indexes(r.text);
    g_current = {&s, &r.text, &at, cancelled, sink ? &sink : nullptr, false, progress ? &progress : nullptr, 0};
    const espeak_ERROR e = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                                        espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, nullptr);
    const bool sinkFailed = g_current.sinkFailed;
    g_current = {};
    s.cancelled = cancelled();
    if (sinkFailed) {
        s.error = QStringLiteral("The speech could not be written.");
        return s;
    }
    if (e != EE_OK && !s.cancelled) {
        s.error = QStringLiteral("The speech engine could not speak the text (error %1).").arg(int(e));
        return s;
    }
    s.ok = !s.cancelled;
    if (s.ok && progress)
        progress(100);
    return s;
}

}  // namespace

SpeechWorker::SpeechWorker() : m_thread([this] { run(); }) {}

SpeechWorker::~SpeechWorker()
{
    cancelAll();
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void SpeechWorker::run()
{
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> g(m_lock);
            m_wake.wait(g, [this] { return m_quit || !m_tasks.empty(); });
            if (m_tasks.empty())
                return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}

void SpeechWorker::enqueue(std::function<void()> task)
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_one();
}

void SpeechWorker::post(const SpeechRequest& request, std::function<void(Speech&&)> done, SpeechSink sink,
                        SpeechProgress progress)
{
    postTask([request, done = std::move(done), sink = std::move(sink),
              progress = std::move(progress)](const SpeechCancelled& cancelled) {
        done(synthesize(request, cancelled, sink, progress));
    });
}

void SpeechWorker::postTask(std::function<void(const SpeechCancelled& cancelled)> task)
{
    const quint64 number = ++m_posted;
    enqueue([this, task = std::move(task), number] { task([this, number] { return number <= m_cancelTo.load(); }); });
}

Speech SpeechWorker::speak(const SpeechRequest& request, SpeechSink sink)
{
    std::promise<Speech> result;
    std::future<Speech> speech = result.get_future();
    post(request, [&result](Speech&& s) { result.set_value(std::move(s)); }, std::move(sink));
    return speech.get();
}

void SpeechWorker::cancelAll()
{
    m_cancelTo = m_posted.load();
}

QList<SpeechVoice> SpeechWorker::voices()
{
    std::promise<QList<SpeechVoice>> result;
    std::future<QList<SpeechVoice>> list = result.get_future();
    enqueue([&result] {
        QList<SpeechVoice> voices;
        {
            std::lock_guard<std::mutex> g(g_engine);
            if (startEngine())
                for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v) {
                    // The voices of the separate diphone synthesiser need data of their
                    // own, which the engine does not carry: they could not speak.
                    const QByteArray id((*v)->identifier);
                    if (!id.startsWith("mb/"))
                        voices << SpeechVoice{QString::fromUtf8((*v)->name), id};
                }
        }
        std::stable_sort(voices.begin(), voices.end(), [](const SpeechVoice& a, const SpeechVoice& b) {
            const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
            return byName != 0 ? byName < 0 : a.identifier < b.identifier;
        });
        result.set_value(voices);
    });
    return list.get();
}

int SpeechWorker::EngineRate()
{
    return g_rate;
}

int SpeechWorker::WordsPerMinute(int rate)
{
    const int r = std::clamp(rate, -10, 10);
    if (r < 0)
        return espeakRATE_NORMAL + r * (espeakRATE_NORMAL - espeakRATE_MINIMUM) / 10;
    return espeakRATE_NORMAL + r * (espeakRATE_MAXIMUM - espeakRATE_NORMAL) / 10;
}
