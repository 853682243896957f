// The real speech component: speech from the engine's worker thread, resampled to the
// chosen format, played on an SDL output through the shared playback (each word reported
// when the output has played up to it), or written as a WAV file on that thread.
#pragma once

#include "components/cOrvelle/SpeechEngine.h"
#include "components/cOrvelle/cOrvelle.h"

#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class AudioPlayback;

// The speech in a format: its sample bytes as a WAV file holds them, the samples the
// output plays (16 bits, same rate and channels) and the words in the format's frames.
struct RenderedSpeech {
    QByteArray bytes;
    std::shared_ptr<std::vector<qint16>> play;
    std::vector<SpeechWord> words;
};
bool RenderSpeech(const Speech& speech, const OrvelleFormat& format, RenderedSpeech& out, bool forPlaying);

class OrvelleImpl : public cOrvelle
{
    Q_OBJECT
public:
    explicit OrvelleImpl(QObject* parent = nullptr);
    ~OrvelleImpl() override;

    qint32 GetVoiceCount() override;
    QString GetVoiceName(qint32& Index) override;
    qint32 GetOutputCount() override;
    QString GetOutputName(qint32& Index) override;
    void EnumFormats() override;
    bool BusyState() override { return m_busy; }
    void SetOutputIndex(qint32 Index) override { m_output = Index; }
    void SetVoiceIndex(qint32 Index) override { m_voice = Index; }
    void SetRate(qint32 Rate) override { m_rate = Rate; }
    void SetVolume(qint32 Volume) override { m_volume = Volume; }
    void SetSpeakFlags(qint32 Flags) override { m_flags = Flags; }
    void SetFormatId(qint32 Id) override { m_formatId = Id; }
    void Speak(const QString& Text) override;
    void StopSpeech() override;
    void Pause(bool State) override;
    qint32 SpeakToFile(const QString& Text, QString& FileName) override;
    QString LastErrorText() override { return m_error; }
    void CloseSpeech() override;

private:
    SpeechWorker& worker();
    SpeechRequest request(const QString& text) const;
    const OrvelleFormat& format() const;
    qint32 Fail(qint32 code, const QString& why);
    // On the GUI thread, once the speech of Speak number `generation` is ready.
    void SpeechReady(quint64 generation, const SpeechRequest& asked, std::shared_ptr<const Speech> speech);
    void PlaybackEnded(quint64 generation);
    void WordTick();
    // Keeps a speech that came out whole as the last one.
    void Remember(const SpeechRequest& request, std::shared_ptr<const Speech> speech);
    // Calls `event` on the GUI thread, queued, unless the component is gone or has been
    // closed since `session`; from any thread.
    static void Deliver(const QPointer<OrvelleImpl>& self, quint64 session, std::function<void(OrvelleImpl*)> event);

    std::unique_ptr<SpeechWorker> m_worker;
    QList<SpeechVoice> m_voices;
    bool m_voicesRead = false;
    qint32 m_output = -1, m_voice = -1, m_rate = 0, m_volume = 100, m_flags = 0, m_formatId = 0;

    bool m_busy = false;
    bool m_paused = false;
    quint64 m_generation = 0;  // counts the speeches; a stale result or end is dropped
    std::unique_ptr<AudioPlayback> m_play;
    std::vector<SpeechWord> m_words;  // of the speech playing, in the format's frames
    size_t m_nextWord = 0;
    QTimer m_wordTimer;
    QString m_error;
    // Counts the closings: events of a speech file asked for before one are dropped.
    quint64 m_session = 0;
    // The last whole speech and what it was asked as. The engine carries a little of each
    // speech into the next (its voice's pitch wobble runs on), so the same text spoken
    // twice differs by a few samples; asked again, the kept speech is used, and a file
    // saved after hearing a text holds exactly what was heard.
    SpeechRequest m_lastRequest;
    std::shared_ptr<const Speech> m_lastSpeech;
};
