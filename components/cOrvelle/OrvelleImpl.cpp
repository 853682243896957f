// The real speech component. Speak hands the text to the engine's worker and returns; the
// speech comes back to the GUI thread, is put into the chosen format and queued to the
// output, and a short timer reports each word once the output has played up to its first
// sample. SpeakToFile hands the text to the same worker, which writes the WAV file as the
// speech comes and tells the GUI thread how far it got and how it ended.
#include "components/cOrvelle/OrvelleImpl.h"

#include "components/audio/AudioPlayback.h"
#include "components/audio/PcmCopy.h"
#include "components/audio/SdlAudio.h"
#include "platform/TempFiles.h"

#include <QFile>
#include <QPointer>

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

extern "C" {
#include <libswresample/swresample.h>
}

namespace {

// The format the component speaks in until another is chosen.
constexpr qint32 kDefaultFormatId = 22;  // SAFT22kHz16BitMono

// How often the words are checked against what the output has played.
constexpr int kWordTickMs = 10;

}  // namespace

bool RenderSpeech(const Speech& speech, const OrvelleFormat& format, RenderedSpeech& out, bool forPlaying)
{
    const size_t frames = speech.samples.size();
    const int width = format.bits / 8;
    if (format.rate == speech.rate && format.channels == 1 && format.bits == 16) {
        out.bytes = QByteArray(reinterpret_cast<const char*>(speech.samples.data()), qsizetype(frames * 2));
    } else {
        SwrContext* swr = nullptr;
        AVChannelLayout outLayout{}, inLayout{};
        av_channel_layout_default(&outLayout, format.channels);
        av_channel_layout_default(&inLayout, 1);
        const bool ok = swr_alloc_set_opts2(&swr, &outLayout, format.bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16,
                                            format.rate, &inLayout, AV_SAMPLE_FMT_S16, speech.rate, 0, nullptr) >= 0 &&
                        swr_init(swr) >= 0;
        av_channel_layout_uninit(&inLayout);
        av_channel_layout_uninit(&outLayout);
        if (!ok) {
            swr_free(&swr);
            return false;
        }
        const int cap = swr_get_out_samples(swr, int(frames)) + 64;
        out.bytes.resize(qsizetype(cap) * width * format.channels);
        uint8_t* outp[1] = {reinterpret_cast<uint8_t*>(out.bytes.data())};
        const uint8_t* inp[1] = {reinterpret_cast<const uint8_t*>(speech.samples.data())};
        int got = swr_convert(swr, outp, cap, inp, int(frames));
        if (got >= 0) {
            outp[0] += qsizetype(got) * width * format.channels;
            const int tail = swr_convert(swr, outp, cap - got, nullptr, 0);
            got = tail >= 0 ? got + tail : -1;
        }
        swr_free(&swr);
        if (got < 0)
            return false;
        out.bytes.resize(qsizetype(got) * width * format.channels);
    }
    out.words = speech.words;
    for (SpeechWord& w : out.words)
        w.sample = speech.rate > 0 ? w.sample * format.rate / speech.rate : 0;
    if (forPlaying) {
        // The output plays 16-bit samples: 8-bit ones are widened, so it plays exactly what
        // the format holds.
        auto play = std::make_shared<std::vector<qint16>>(size_t(out.bytes.size()) / size_t(width));
        if (width == 2) {
            memcpy(play->data(), out.bytes.constData(), play->size() * 2);
        } else {
            for (size_t i = 0; i < play->size(); ++i)
                (*play)[i] = qint16((int(quint8(out.bytes[qsizetype(i)])) - 128) * 256);
        }
        out.play = std::move(play);
    }
    return true;
}

OrvelleImpl::OrvelleImpl(QObject* parent) : cOrvelle(parent)
{
    m_wordTimer.setInterval(kWordTickMs);
    connect(&m_wordTimer, &QTimer::timeout, this, &OrvelleImpl::WordTick);
}

OrvelleImpl::~OrvelleImpl()
{
    CloseSpeech();
}

SpeechWorker& OrvelleImpl::worker()
{
    if (!m_worker)
        m_worker = std::make_unique<SpeechWorker>();
    return *m_worker;
}

qint32 OrvelleImpl::Fail(qint32 code, const QString& why)
{
    m_error = why;
    return code;
}

qint32 OrvelleImpl::GetVoiceCount()
{
    if (!m_voicesRead) {
        m_voices = worker().voices();
        m_voicesRead = true;
    }
    return qint32(m_voices.size());
}

QString OrvelleImpl::GetVoiceName(qint32& Index)
{
    if (Index < 1 || Index > GetVoiceCount())
        return QString();
    return m_voices.at(Index - 1).name;
}

qint32 OrvelleImpl::GetOutputCount()
{
    if (!InitSdlAudio())
        return 0;
    return std::max(0, SDL_GetNumAudioDevices(0));
}

QString OrvelleImpl::GetOutputName(qint32& Index)
{
    if (Index < 1 || Index > GetOutputCount())
        return QString();
    return QString::fromUtf8(SDL_GetAudioDeviceName(Index - 1, 0));
}

void OrvelleImpl::EnumFormats()
{
    for (const OrvelleFormat& f : Formats())
        emit FormatFound(f.name, f.id);
}

const OrvelleFormat& OrvelleImpl::format() const
{
    const OrvelleFormat* f = FindFormat(m_formatId);
    return f ? *f : *FindFormat(kDefaultFormatId);
}

SpeechRequest OrvelleImpl::request(const QString& text) const
{
    SpeechRequest r;
    r.text = text;
    // Voices are chosen from 0; none (or one past the list) takes the first.
    if (!m_voices.isEmpty())
        r.voice = m_voices.value(m_voice >= 0 && m_voice < m_voices.size() ? m_voice : 0).identifier;
    r.wordsPerMinute = SpeechWorker::WordsPerMinute(m_rate);
    r.volume = std::clamp(m_volume, 0, 100);
    return r;
}

void OrvelleImpl::Speak(const QString& Text)
{
    StopSpeech();
    GetVoiceCount();
    m_busy = true;
    const quint64 generation = ++m_generation;
    const SpeechRequest r = request(Text);
    QPointer<OrvelleImpl> self(this);
    auto ready = [self, generation, r](std::shared_ptr<const Speech> s) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, r, s] {
                if (self)
                    self->SpeechReady(generation, r, s);
            },
            Qt::QueuedConnection);
    };
    // A speech at hand still starts from the event loop, as any other.
    if (m_lastSpeech && r == m_lastRequest)
        ready(m_lastSpeech);
    else
        worker().post(r, [ready](Speech&& s) { ready(std::make_shared<const Speech>(std::move(s))); });
}

void OrvelleImpl::Remember(const SpeechRequest& request, std::shared_ptr<const Speech> speech)
{
    m_lastRequest = request;
    m_lastSpeech = std::move(speech);
}

void OrvelleImpl::SpeechReady(quint64 generation, const SpeechRequest& asked, std::shared_ptr<const Speech> speech)
{
    if (generation != m_generation || !m_busy)
        return;
    RenderedSpeech r;
    const OrvelleFormat& f = format();
    if (!speech->ok || !RenderSpeech(*speech, f, r, true)) {
        m_busy = false;
        Fail(kOrvelleErrEngine, speech->ok ? QStringLiteral("The speech cannot be put into the format %1.").arg(f.name)
                                           : speech->error);
        return;
    }
    Remember(asked, speech);
    m_words = std::move(r.words);
    m_nextWord = 0;
    AudioPlayback::Request play;
    play.pcm = r.play;
    play.sampleRate = f.rate;
    play.channels = f.channels;
    play.deviceIndex = m_output;
    play.onEnd = QueuedPlaybackEnd(this, &OrvelleImpl::PlaybackEnded, generation);
    m_play = AudioPlayback::start(play, m_paused);
    if (!m_play) {
        m_busy = false;
        Fail(kOrvelleErrDevice, QStringLiteral("The audio output cannot be opened: %1").arg(SdlAudioError()));
        return;
    }
    m_wordTimer.start();
}

void OrvelleImpl::WordTick()
{
    if (!m_play)
        return;
    const qint64 played = m_play->positionSample();
    while (m_nextWord < m_words.size() && m_words[m_nextWord].sample <= played) {
        const SpeechWord& w = m_words[m_nextWord++];
        emit WordPosition(w.start, w.length);
        // A handler may have stopped the speech.
        if (!m_play)
            return;
    }
}

void OrvelleImpl::PlaybackEnded(quint64 generation)
{
    if (generation != m_generation || !m_play)
        return;
    // Every word has been heard by now.
    m_play->pause();
    WordTick();
    if (generation != m_generation)
        return;
    m_wordTimer.stop();
    m_play.reset();  // an output left open would go on playing silence
    m_busy = false;
    emit Done();
}

void OrvelleImpl::StopSpeech()
{
    ++m_generation;
    if (m_worker)
        m_worker->cancelAll();
    m_wordTimer.stop();
    m_play.reset();
    m_words.clear();
    m_busy = false;
}

void OrvelleImpl::Pause(bool State)
{
    m_paused = State;
    if (m_play) {
        if (State)
            m_play->pause();
        else
            m_play->resume();
    }
}

namespace {

// A WAV file written as the speech comes: the samples put into the format chunk by chunk
// into a temporary file beside the target, which takes the target's name once its header
// is complete. Until then the target is untouched; a file not finished is removed.
class SpeechFileWriter
{
public:
    SpeechFileWriter(const QString& path, const OrvelleFormat& format, int engineRate)
        : m_target(QFile::encodeName(path)), m_format(format)
    {
        m_fd = CreateTempBeside(m_target, QByteArrayLiteral(".part"), 0666, m_temp);
        if (m_fd < 0) {
            m_error = errno;
            return;
        }
        const QByteArray placeholder(PcmWavHeader(format.rate, format.channels, format.bits, 0, {}).size(), '\0');
        if (!put(placeholder.constData(), placeholder.size()))
            return;
        if (format.rate != engineRate || format.channels != 1 || format.bits != 16) {
            AVChannelLayout outLayout{}, inLayout{};
            av_channel_layout_default(&outLayout, format.channels);
            av_channel_layout_default(&inLayout, 1);
            if (swr_alloc_set_opts2(&m_swr, &outLayout, format.bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16,
                                    format.rate, &inLayout, AV_SAMPLE_FMT_S16, engineRate, 0, nullptr) < 0 ||
                swr_init(m_swr) < 0) {
                swr_free(&m_swr);
                m_error = EINVAL;
            }
            av_channel_layout_uninit(&inLayout);
            av_channel_layout_uninit(&outLayout);
        }
    }

    ~SpeechFileWriter() { discard(); }

    // Removes the temporary file of a file not finished; the target is left as it was.
    void discard()
    {
        swr_free(&m_swr);
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        if (!m_done && !m_temp.isEmpty())
            ::unlink(m_temp.constData());
        m_temp.clear();
    }

    bool ok() const { return m_error == 0; }

    // The engine's samples (mono, 16 bits) in the file's format.
    bool write(const qint16* samples, int count)
    {
        if (!ok())
            return false;
        if (!m_swr)
            return data(reinterpret_cast<const char*>(samples), qint64(count) * 2);
        const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(samples)};
        return convert(in, count);
    }

    // The resampler's tail, the header and the file in place under its name; false with
    // why() when it could not be done.
    bool finish()
    {
        if (ok() && m_swr)
            convert(nullptr, 0);
        if (!ok())
            return false;
        const QByteArray header = PcmWavHeader(m_format.rate, m_format.channels, m_format.bits, m_data, {});
        if (::pwrite(m_fd, header.constData(), size_t(header.size()), 0) != header.size() || ::fsync(m_fd) != 0) {
            m_error = errno ? errno : EIO;
            return false;
        }
        ::close(m_fd);
        m_fd = -1;
        if (!RenameIntoPlace(m_temp, m_target, true)) {
            m_error = errno;
            return false;
        }
        m_done = true;
        return true;
    }

    QString why() const { return QString::fromLocal8Bit(std::strerror(m_error)); }

private:
    bool convert(const uint8_t* const* in, int count)
    {
        const int width = m_format.bits / 8 * m_format.channels;
        const int cap = swr_get_out_samples(m_swr, count) + 64;
        if (m_buffer.size() < qsizetype(cap) * width)
            m_buffer.resize(qsizetype(cap) * width);
        uint8_t* out[1] = {reinterpret_cast<uint8_t*>(m_buffer.data())};
        const int got = swr_convert(m_swr, out, cap, const_cast<const uint8_t**>(in), count);
        if (got < 0) {
            m_error = EINVAL;
            return false;
        }
        return data(m_buffer.constData(), qint64(got) * width);
    }

    bool data(const char* bytes, qint64 size)
    {
        m_data += size;
        return put(bytes, size);
    }

    bool put(const char* data, qint64 size)
    {
        qint64 done = 0;
        while (done < size) {
            const ssize_t n = ::write(m_fd, data + done, size_t(size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : ENOSPC;
                return false;
            }
            done += n;
        }
        return true;
    }

    QByteArray m_target, m_temp;
    OrvelleFormat m_format;
    int m_fd = -1;
    int m_error = 0;
    bool m_done = false;
    qint64 m_data = 0;
    SwrContext* m_swr = nullptr;
    QByteArray m_buffer;
};

// A file job's end as the worker tells it: 0 done, the error codes, or aborted.
constexpr qint32 kFileAborted = -1;

}  // namespace

void OrvelleImpl::Deliver(const QPointer<OrvelleImpl>& self, quint64 session, std::function<void(OrvelleImpl*)> event)
{
    QMetaObject::invokeMethod(
        self.data(),
        [self, session, event = std::move(event)] {
            if (self && self->m_session == session)
                event(self.data());
        },
        Qt::QueuedConnection);
}

qint32 OrvelleImpl::SpeakToFile(const QString& Text, QString& FileName)
{
    // Speech under way ends first: the file holds only its own text, and the engine is
    // never asked for two speeches at once.
    StopSpeech();
    m_error.clear();
    GetVoiceCount();
    const SpeechRequest asked = request(Text);
    // Run on the worker thread (which ends before the component does); the events follow
    // on the GUI thread, in order.
    const QPointer<OrvelleImpl> self(this);
    const quint64 session = m_session;
    auto progress = [self, session](int percent) {
        Deliver(self, session, [percent](OrvelleImpl* o) { emit o->FileProgress(percent); });
    };
    auto end = [self, session](qint32 code, const QString& why) {
        Deliver(self, session, [code, why](OrvelleImpl* o) {
            if (code == 0) {
                emit o->FileDone();
            } else if (code == kFileAborted) {
                emit o->FileAborted();
            } else {
                o->m_error = why;
                emit o->FileError(code, why);
            }
        });
    };
    if (SpeechWorker::EngineRate() <= 0) {  // the engine did not start: its speech says why
        worker().post(asked, [end](Speech&& s) { end(kOrvelleErrEngine, s.error); });
        return 0;
    }

    auto file = std::make_shared<SpeechFileWriter>(FileName, format(), SpeechWorker::EngineRate());
    // The file in place, or its temporary file gone before the end is told.
    auto conclude = [file, end, target = FileName](bool cancelled, const QString& engineError) {
        auto fail = [&](qint32 code, const QString& why) {
            file->discard();
            end(code, why);
        };
        const auto cannotWrite = [&] {
            return QStringLiteral("The file \"%1\" cannot be written: %2").arg(target, file->why());
        };
        if (cancelled)
            fail(kFileAborted, QString());
        else if (!file->ok())
            fail(kOrvelleErrWrite, cannotWrite());
        else if (!engineError.isEmpty())
            fail(kOrvelleErrEngine, engineError);
        else if (!file->finish())
            fail(kOrvelleErrWrite, cannotWrite());
        else
            end(0, QString());
    };

    if (m_lastSpeech && asked == m_lastRequest) {
        // The speech just heard, sample for sample.
        worker().postTask([speech = m_lastSpeech, file, progress, conclude](const SpeechCancelled& cancelled) {
            const size_t count = speech->samples.size();
            constexpr size_t kChunk = size_t(1) << 16;
            int told = 0;
            for (size_t at = 0; at < count && file->ok() && !cancelled(); at += kChunk) {
                const size_t n = std::min(kChunk, count - at);
                file->write(speech->samples.data() + at, int(n));
                const int percent = int((at + n) * 100 / count);
                if (percent > told)
                    progress(told = percent);
            }
            conclude(cancelled(), QString());
        });
    } else {
        // Written as the engine makes it, never held whole in memory.
        worker().post(
            asked,
            [conclude](Speech&& s) { conclude(s.cancelled, s.ok ? QString() : s.error); },
            [file](const qint16* samples, int count) { return file->write(samples, count); }, progress);
    }
    return 0;
}

void OrvelleImpl::CloseSpeech()
{
    ++m_session;
    StopSpeech();
    m_worker.reset();
}
