// A live graph of the audio now playing: the waveform (amplitude graph) or the spectrum
// (frequency graph), drawn in one colour on a base colour.
#pragma once

#include "components/cPlayer/cPlayer.h"

#include <QWidget>

class cAudioGraph : public QWidget
{
    Q_OBJECT
public:
    enum GraphKind { Amplitude, Frequency };
    explicit cAudioGraph(GraphKind kind, QWidget* parent = nullptr);

    GraphKind Kind() const { return m_kind; }
    void SetBaseColor(const qint32& colour);
    void SetAmplitudeColor(const qint32& colour);
    void SetFrequencyColor(const qint32& colour);
    qint32 BaseColor() const { return m_base; }
    qint32 LineColor() const { return m_kind == Amplitude ? m_amplitude : m_frequency; }

    // The data to draw at the next Draw.
    void SetAudioData(const PlayerAudioData& Data);
    void Draw();
    // Empties the graph.
    void Clear();
    const PlayerAudioData& AudioData() const { return m_data; }
    bool IsEmpty() const { return m_data.Waveform.isEmpty() && m_data.Spectrum.isEmpty(); }

signals:
    void Notify(qint32 Value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GraphKind m_kind;
    qint32 m_base = 0;
    qint32 m_amplitude = 0xFFFFFF;
    qint32 m_frequency = 0xFFFFFF;
    PlayerAudioData m_data;
};
