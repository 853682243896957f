// A scriptable fake of the speech component for window tests: it records every setting
// and call in order, answers from a script, writes a short tone as the WAV file of
// SpeakToFile (or fails as scripted) and tells its end queued, as the component does, or
// holds the file until the test ends it; and lets the test deliver the word and end events.
#pragma once

#include "components/cOrvelle/cOrvelle.h"

#include <QPointer>
#include <QStringList>

class FakeOrvelle : public cOrvelle
{
    Q_OBJECT
public:
    explicit FakeOrvelle(QObject* parent = nullptr) : cOrvelle(parent) {}

    // Script.
    QStringList voices{QStringLiteral("Voice One"), QStringLiteral("Voice Two")};
    QStringList outputs{QStringLiteral("Speakers")};
    QList<QPair<QString, qint32>> formats{{QStringLiteral("SAFT8kHz16BitMono"), 6},
                                          {QStringLiteral("SAFT22kHz16BitMono"), 22},
                                          {QStringLiteral("SAFT44kHz16BitStereo"), 35}};
    bool busy = false;
    qint32 fileResult = 0;  // what SpeakToFile returns; not 0: it writes nothing
    QString fileError = QStringLiteral("The speech engine could not speak the text.");
    double fileSeconds = 0.5;  // length of the tone written
    bool holdFile = false;     // SpeakToFile waits for finishFile(), fileProgress() or StopSpeech

    // Record: "OutputIndex 0", "VoiceIndex 1", "Rate 0", "Volume 100", "SpeakFlags 11",
    // "FormatId 22", "Speak <text>", "SpeakToFile <text>|<file>", "StopSpeech",
    // "Pause 1", "CloseSpeech", "EnumFormats".
    QStringList calls;
    // Whether the file named to SpeakToFile existed when it was called.
    QList<bool> fileExistedBefore;

    qint32 GetVoiceCount() override { return qint32(voices.size()); }
    QString GetVoiceName(qint32& Index) override { return voices.value(Index - 1); }
    qint32 GetOutputCount() override { return qint32(outputs.size()); }
    QString GetOutputName(qint32& Index) override { return outputs.value(Index - 1); }
    void EnumFormats() override;
    bool BusyState() override { return busy; }
    void SetOutputIndex(qint32 Index) override { calls << QStringLiteral("OutputIndex %1").arg(Index); }
    void SetVoiceIndex(qint32 Index) override { calls << QStringLiteral("VoiceIndex %1").arg(Index); }
    void SetRate(qint32 Rate) override { calls << QStringLiteral("Rate %1").arg(Rate); }
    void SetVolume(qint32 Volume) override { calls << QStringLiteral("Volume %1").arg(Volume); }
    void SetSpeakFlags(qint32 Flags) override { calls << QStringLiteral("SpeakFlags %1").arg(Flags); }
    void SetFormatId(qint32 Id) override { calls << QStringLiteral("FormatId %1").arg(Id); }
    void Speak(const QString& Text) override { calls << QStringLiteral("Speak ") + Text; }
    void StopSpeech() override;
    void Pause(bool State) override { calls << QStringLiteral("Pause %1").arg(State ? 1 : 0); }
    qint32 SpeakToFile(const QString& Text, QString& FileName) override;
    QString LastErrorText() override { return fileResult ? fileError : QString(); }
    void CloseSpeech() override
    {
        calls << QStringLiteral("CloseSpeech");
        m_heldFile.clear();
    }

    // Deliver the component's events.
    void word(qint32 start, qint32 length) { emit WordPosition(start, length); }
    void done() { emit Done(); }
    // A held speech file: how far it has come, and its end as scripted.
    bool fileHeld() const { return !m_heldFile.isEmpty(); }
    void fileProgress(qint32 percent) { emit FileProgress(percent); }
    void finishFile();

private:
    QString m_heldFile;
};

// Installs the fake as the component every window creates while it lives.
class FakeOrvelleFactory
{
public:
    FakeOrvelleFactory();
    ~FakeOrvelleFactory();
    QList<QPointer<FakeOrvelle>> made;
    std::function<void(FakeOrvelle*)> setup;  // runs on each new fake
    FakeOrvelle* last() const { return made.isEmpty() ? nullptr : made.last().data(); }
};
