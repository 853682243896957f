#include "components/cAudioGraph/cAudioGraph.h"

#include "platform/Controls.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

cAudioGraph::cAudioGraph(GraphKind kind, QWidget* parent) : QWidget(parent), m_kind(kind)
{
    setMinimumHeight(24);
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
}

void cAudioGraph::Draw()
{
    update();
}

void cAudioGraph::Clear()
{
    m_data = PlayerAudioData();
    update();
}

void cAudioGraph::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF area = rect();
    p.fillRect(area, VbColor(m_base));
    const QColor line = VbColor(LineColor());
    if (m_kind == Amplitude) {
        // The waveform around the middle line; silence is the middle line alone.
        const qreal mid = area.height() / 2;
        p.setPen(QPen(line, 1));
        const QVector<float>& wave = m_data.Waveform;
        if (wave.size() < 2) {
            p.drawLine(QPointF(0, mid), QPointF(area.width(), mid));
            return;
        }
        QPainterPath path;
        for (int i = 0; i < wave.size(); ++i) {
            const qreal x = area.width() * i / (wave.size() - 1);
            const qreal y = mid - std::clamp<qreal>(wave[i], -1, 1) * (mid - 1);
            if (i == 0)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.drawPath(path);
        return;
    }
    // The spectrum as bars from the bottom edge, low frequencies on the left.
    const QVector<float>& bands = m_data.Spectrum;
    if (bands.isEmpty())
        return;
    const qreal width = area.width() / bands.size();
    for (int i = 0; i < bands.size(); ++i) {
        const qreal h = std::clamp<qreal>(bands[i], 0, 1) * area.height();
        p.fillRect(QRectF(i * width, area.height() - h, std::max<qreal>(1, width - 1), h), line);
    }
}
