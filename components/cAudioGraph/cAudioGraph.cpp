// The audio graphs: analysis when the data arrives, drawing at the next paint.
#include "components/cAudioGraph/cAudioGraph.h"

#include "platform/Controls.h"

#include <QPainter>

#include <algorithm>

cAudioGraph::cAudioGraph(GraphKind kind, QWidget* parent) : QWidget(parent), m_kind(kind)
{
    setMinimumHeight(16);
}

void cAudioGraph::SetBaseColor(const qint32& colour)
{
    m_base = colour;
    update();
}

void cAudioGraph::SetAmplitudeColor(const qint32& colour)
{
    m_amplitude = colour;
    update();
}

void cAudioGraph::SetFrequencyColor(const qint32& colour)
{
    m_frequency = colour;
    update();
}

void cAudioGraph::SetAudioData(const PlayerAudioData& Data)
{
    m_data = Data;
    if (m_kind == Amplitude) {
        m_levelLeft = PeakLevel(Data.Left);
        m_levelRight = PeakLevel(Data.Right);
        return;
    }
    // The spectrum of what both sides play together.
    QVector<float> mix(Data.Left.size());
    for (qsizetype i = 0; i < mix.size(); ++i)
        mix[i] = (Data.Left[i] + (i < Data.Right.size() ? Data.Right[i] : Data.Left[i])) / 2;
    m_spectrum = AnalyseSpectrum(mix, Data.SampleRate, kBands);
}

void cAudioGraph::Draw()
{
    update();
}

void cAudioGraph::Clear()
{
    m_data = PlayerAudioData();
    m_levelLeft = m_levelRight = 0;
    m_spectrum = SpectrumBands();
    update();
}

void cAudioGraph::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF area = rect();
    p.fillRect(area, VbColor(m_base));
    const QColor line = VbColor(LineColor());
    if (m_kind == Amplitude)
        paintAmplitude(p, area, line);
    else
        paintSpectrum(p, area, line);
}

void cAudioGraph::paintAmplitude(QPainter& p, const QRectF& area, const QColor& line)
{
    // Two thin bars on the right give the peak of each side; the waveform fills the rest
    // as the span of samples under each pixel column around the middle line.
    const qreal barWidth = std::max<qreal>(2, area.width() / 16);
    const qreal waveWidth = std::max<qreal>(1, area.width() - 2 * barWidth - 2);
    const qreal mid = area.height() / 2;
    p.setPen(QPen(line, 1));
    const QVector<float>& left = m_data.Left;
    if (left.isEmpty()) {
        p.drawLine(QPointF(0, mid), QPointF(waveWidth, mid));
    } else {
        const int columns = int(waveWidth);
        for (int x = 0; x < columns; ++x) {
            const qsizetype from = left.size() * x / columns;
            const qsizetype to = std::max(from + 1, left.size() * (x + 1) / columns);
            float lo = 1, hi = -1;
            for (qsizetype i = from; i < to && i < left.size(); ++i) {
                const float r = i < m_data.Right.size() ? m_data.Right[i] : left[i];
                const float s = (left[i] + r) / 2;
                lo = std::min(lo, s);
                hi = std::max(hi, s);
            }
            p.drawLine(QPointF(x + 0.5, mid - std::clamp<qreal>(hi, -1, 1) * (mid - 1)),
                       QPointF(x + 0.5, mid - std::clamp<qreal>(lo, -1, 1) * (mid - 1)));
        }
    }
    const qreal h = area.height();
    p.fillRect(QRectF(area.width() - 2 * barWidth - 1, h - m_levelLeft * h, barWidth, m_levelLeft * h), line);
    p.fillRect(QRectF(area.width() - barWidth, h - m_levelRight * h, barWidth, m_levelRight * h), line);
}

void cAudioGraph::paintSpectrum(QPainter& p, const QRectF& area, const QColor& line)
{
    // Bars from the bottom edge, low frequencies on the left.
    const QVector<float>& bands = m_spectrum.Level;
    if (bands.isEmpty())
        return;
    const qreal width = area.width() / bands.size();
    for (int i = 0; i < bands.size(); ++i) {
        const qreal h = std::clamp<qreal>(bands[i], 0, 1) * area.height();
        p.fillRect(QRectF(i * width, area.height() - h, std::max<qreal>(1, width - 1), h), line);
    }
}
