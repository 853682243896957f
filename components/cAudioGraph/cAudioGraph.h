// A live graph of the audio now playing: the amplitude graph draws the waveform with the
// peak level of each side, the frequency graph the spectrum in bands, each in one colour
// on a base colour.
#pragma once

#include "components/cAudioGraph/Spectrum.h"
#include "components/cPlayer/cPlayer.h"

#include <QWidget>

class QPainter;

class cAudioGraph : public QWidget
{
    Q_OBJECT
public:
    enum GraphKind { Amplitude, Frequency };
    static constexpr int kBands = 32;

    explicit cAudioGraph(GraphKind kind, QWidget* parent = nullptr);

    GraphKind Kind() const { return m_kind; }
    void SetBaseColor(const qint32& colour);
    void SetAmplitudeColor(const qint32& colour);
    void SetFrequencyColor(const qint32& colour);
    qint32 BaseColor() const { return m_base; }
    qint32 LineColor() const { return m_kind == Amplitude ? m_amplitude : m_frequency; }

    // Takes the player's audio data and analyses it; Draw shows it.
    void SetAudioData(const PlayerAudioData& Data);
    void Draw();
    // Empties the graph.
    void Clear();
    bool IsEmpty() const { return m_data.Left.isEmpty(); }

    // What the graph shows: the peak of each side (amplitude graph) and the spectrum bands
    // (frequency graph; empty on the amplitude graph).
    float LevelLeft() const { return m_levelLeft; }
    float LevelRight() const { return m_levelRight; }
    const SpectrumBands& Spectrum() const { return m_spectrum; }

signals:
    void Notify(qint32 Value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintAmplitude(QPainter& p, const QRectF& area, const QColor& line);
    void paintSpectrum(QPainter& p, const QRectF& area, const QColor& line);

    GraphKind m_kind;
    qint32 m_base = 0;
    qint32 m_amplitude = 0xFFFFFF;
    qint32 m_frequency = 0xFFFFFF;
    PlayerAudioData m_data;
    float m_levelLeft = 0;
    float m_levelRight = 0;
    SpectrumBands m_spectrum;
};
