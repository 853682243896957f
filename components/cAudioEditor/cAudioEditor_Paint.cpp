// Drawing the audio editor control (time ruler, one lane per channel, the selection and
// the play cursor) and selecting with the mouse.
#include "components/cAudioEditor/cAudioEditor.h"

#include "components/audio/AudioPlayback.h"
#include "platform/Controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace {

constexpr int kRulerHeight = 18;
constexpr qint64 kMaxDetailFrames = 1 << 22;
constexpr double kJoinedFramesPerPixel = 3.0;
const QColor kBackground(0x1B, 0x1B, 0x1B);

QString rulerLabel(qint64 ms, qint64 step)
{
    const qint64 s = ms / 1000;
    QString text = QStringLiteral("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
    if (step < 1000)
        text += QStringLiteral(".%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
    return text;
}

}  // namespace

QRect cAudioEditor::waveRect() const
{
    const int bottom = m_scroll->isVisibleTo(this) ? m_scroll->height() : 0;
    return QRect(0, kRulerHeight, width(), std::max(0, height() - kRulerHeight - bottom));
}

void cAudioEditor::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int h = m_scroll->sizeHint().height();
    m_scroll->setGeometry(0, height() - h, width(), h);
}

qint64 cAudioEditor::SampleAtX(int x) const
{
    const QRect r = waveRect();
    if (!m_loaded || r.width() <= 0)
        return 0;
    const double at = double(x - r.left()) / r.width();
    return std::clamp<qint64>(m_viewFirst + std::llround(at * double(m_viewCount)), 0, m_facts.frames);
}

int cAudioEditor::XOfSample(qint64 sample) const
{
    const QRect r = waveRect();
    if (m_viewCount <= 0)
        return r.left();
    const double x = r.left() + double(sample - m_viewFirst) * r.width() / double(m_viewCount);
    return int(std::clamp(std::floor(x), -1e6, 1e6));
}

// Frames of the view read from the file into m_detail (PCM files only).
bool cAudioEditor::detailFrames(qint64 first, qint64 count)
{
    if (!m_reader.isOpen() || count > kMaxDetailFrames)
        return false;
    if (first >= m_detailFirst && first + count <= m_detailFirst + m_detailCount && m_detailFirst >= 0)
        return true;
    m_detailFirst = first;
    m_detailCount = m_reader.read(first, count, m_detail);
    return m_detailCount > 0;
}

void cAudioEditor::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    const QColor text = VbColor(m_colour3);
    if (!m_loaded) {
        QString status = m_errorText;
        if (const int percent = readingPercent(); percent >= 0)
            status = QStringLiteral("Reading the waveform... %1%").arg(percent);
        p.setPen(text);
        p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, status);
        return;
    }
    paintRuler(p, QRect(0, 0, width(), kRulerHeight));
    paintLanes(p, waveRect());
    if (m_play) {
        const qint64 at = m_play->positionSample();
        if (at >= m_viewFirst && at <= m_viewFirst + m_viewCount) {
            p.setPen(text);
            const int x = XOfSample(at);
            p.drawLine(x, 0, x, waveRect().bottom());
        }
    }
}

void cAudioEditor::paintRuler(QPainter& p, const QRect& area)
{
    const QColor text = VbColor(m_colour3);
    p.setPen(QColor(text.red(), text.green(), text.blue(), 90));
    p.drawLine(area.bottomLeft(), area.bottomRight());
    if (m_facts.sampleRate <= 0 || area.width() <= 0)
        return;
    // The tick step: the first of the usual steps that leaves room for a label.
    const double pxPerMs = area.width() / (double(m_viewCount) * 1000.0 / m_facts.sampleRate);
    static const qint64 steps[] = {1,    2,    5,     10,    20,    50,     100,    200,    500,    1000,   2000,
                                   5000, 10000, 15000, 30000, 60000, 120000, 300000, 600000, 900000, 1800000, 3600000};
    qint64 step = 3600000;
    for (qint64 s : steps)
        if (s * pxPerMs >= 90) {
            step = s;
            break;
        }
    QFont f = font();
    f.setPointSizeF(std::max(6.0, f.pointSizeF() * 0.8));
    p.setFont(f);
    const qint64 firstMs = m_viewFirst * 1000 / m_facts.sampleRate;
    const qint64 lastMs = (m_viewFirst + m_viewCount) * 1000 / m_facts.sampleRate;
    for (qint64 t = (firstMs + step - 1) / step * step; t <= lastMs; t += step) {
        const int x = XOfSample(t * m_facts.sampleRate / 1000);
        p.setPen(QColor(text.red(), text.green(), text.blue(), 90));
        p.drawLine(x, area.bottom() - 5, x, area.bottom());
        p.setPen(text);
        p.drawText(QRect(x + 3, area.top(), 120, area.height() - 2), Qt::AlignLeft | Qt::AlignVCenter, rulerLabel(t, step));
    }
}

void cAudioEditor::paintLanes(QPainter& p, const QRect& area)
{
    const int channels = std::max(1, m_facts.channels);
    if (area.width() <= 0 || area.height() < channels)
        return;
    const QColor line = VbColor(m_colour3);
    const QColor wave = VbColor(m_colour1);
    const QColor waveSelected = wave.lighter(170);
    QColor band = VbColor(m_colour2);
    band.setAlpha(90);

    // The selection: a band, or a cursor line when it is empty.
    const int xs0 = std::clamp(XOfSample(m_selStart), area.left() - 1, area.right() + 1);
    const int xs1 = std::clamp(XOfSample(m_selEnd), area.left() - 1, area.right() + 1);
    if (m_selEnd > m_selStart)
        p.fillRect(QRect(QPoint(xs0, area.top()), QPoint(std::max(xs0, xs1 - 1), area.bottom())), band);
    else {
        p.setPen(VbColor(m_colour2));
        p.drawLine(xs0, area.top(), xs0, area.bottom());
    }

    const double framesPerPixel = double(m_viewCount) / area.width();
    const bool detail = framesPerPixel < WavePeaks::kFramesPerBlock && detailFrames(m_viewFirst, m_viewCount + 1);
    const int laneHeight = area.height() / channels;
    for (int c = 0; c < channels; ++c) {
        const QRect lane(area.left(), area.top() + c * laneHeight, area.width(), laneHeight);
        const double mid = lane.top() + lane.height() / 2.0;
        const double scale = (lane.height() / 2.0 - 1) / 32768.0;
        p.setPen(QColor(line.red(), line.green(), line.blue(), 50));
        p.drawLine(lane.left(), int(mid), lane.right(), int(mid));
        auto sampleAt = [&](qint64 frame) { return int(m_detail[size_t((frame - m_detailFirst) * channels + c)]); };
        if (detail && framesPerPixel < kJoinedFramesPerPixel) {
            // Only a few frames per pixel: the frames joined by lines.
            QPolygonF points;
            for (qint64 f = m_viewFirst; f < m_viewFirst + m_viewCount + 1 && f < m_detailFirst + m_detailCount; ++f)
                points << QPointF(area.left() + double(f - m_viewFirst) / framesPerPixel, mid - sampleAt(f) * scale);
            p.setPen(wave);
            p.drawPolyline(points);
            continue;
        }
        QVector<QLineF> outside, inside;
        for (int x = 0; x < area.width(); ++x) {
            const qint64 a = m_viewFirst + qint64(std::floor(x * framesPerPixel));
            const qint64 b = std::max(a + 1, m_viewFirst + qint64(std::floor((x + 1) * framesPerPixel)));
            int lo = 0, hi = 0;
            if (detail) {
                lo = 32767;
                hi = -32768;
                for (qint64 f = a; f < b && f < m_detailFirst + m_detailCount; ++f) {
                    lo = std::min(lo, sampleAt(f));
                    hi = std::max(hi, sampleAt(f));
                }
                if (lo > hi)
                    continue;
            } else if (!m_peaks.range(c, a, b, lo, hi)) {
                continue;
            }
            const QLineF l(area.left() + x + 0.5, mid - hi * scale, area.left() + x + 0.5, mid - lo * scale + 0.5);
            (a >= m_selStart && a < m_selEnd ? inside : outside) << l;
        }
        p.setPen(wave);
        p.drawLines(outside);
        p.setPen(waveSelected);
        p.drawLines(inside);
    }
}

void cAudioEditor::mousePressEvent(QMouseEvent* event)
{
    if (!m_loaded || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const qint64 at = SampleAtX(int(event->position().x()));
    if (event->modifiers() & Qt::ShiftModifier)
        m_anchor = std::abs(at - m_selStart) < std::abs(at - m_selEnd) ? m_selEnd : m_selStart;
    else
        m_anchor = at;
    m_dragging = true;
    SetSelection(m_anchor, at);
}

void cAudioEditor::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        SetSelection(m_anchor, SampleAtX(int(event->position().x())));
}

void cAudioEditor::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging && event->button() == Qt::LeftButton) {
        SetSelection(m_anchor, SampleAtX(int(event->position().x())));
        m_dragging = false;
    }
}
