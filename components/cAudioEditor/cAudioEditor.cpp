// The audio editor control: opening a file (the peak pass on a worker thread), selection,
// zoom, playback through the shared device playback, and saving the selected samples
// through the conversion pipeline on a worker thread of its own.
#include "components/cAudioEditor/cAudioEditor.h"

#include "components/audio/AudioPlayback.h"
#include "components/audio/Transcoder.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QScrollBar>

#include <cmath>
#include <utility>

// One reading of a file's peaks. A new file gets a new pass; the pass it replaces is
// aborted and goes away once its thread has ended, and whatever it still reports is
// dropped.
class cAudioEditor::PeakPass : public QObject
{
public:
    PeakPass() : runner(this) {}
    WaveFacts facts;
    WavePeaks peaks;
    int percent = 0;
    bool abortAsked = false;
    // Declared last so it is destroyed first: its destructor stops the worker and waits
    // for it, and the worker writes into facts and peaks until then.
    JobRunner runner;
};

namespace {

constexpr qint64 kMinViewFrames = 16;

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

}  // namespace

cAudioEditor::cAudioEditor(QWidget* parent) : QWidget(parent), m_saveRunner(this)
{
    setMinimumSize(120, 80);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->hide();
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_loaded)
            setView(qint64(value) * m_scrollUnit, m_viewCount);
    });
    m_cursorTimer.setInterval(40);
    connect(&m_cursorTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

cAudioEditor::~cAudioEditor()
{
    ++m_playGeneration;
    m_play.reset();
}

void cAudioEditor::OpenFile(const QString& FileName)
{
    stopPlayback();
    m_fileName = FileName;
    m_loaded = false;
    m_facts = WaveFacts();
    m_peaks = WavePeaks();
    m_reader.close();
    m_detail.clear();
    m_detailFirst = -1;
    m_selStart = m_selEnd = 0;
    m_viewFirst = m_viewCount = 0;
    m_errorText.clear();
    syncScrollBar();
    startPeakPass();
    update();
}

void cAudioEditor::startPeakPass()
{
    if (m_pass) {
        m_pass->runner.abort();
        m_pass.release()->deleteLater();
    }
    m_pass = std::make_unique<PeakPass>();
    PeakPass* pass = m_pass.get();
    QPointer<cAudioEditor> self(this);
    const QString path = m_fileName;
    pass->runner.start([path, pass](JobControl& control) { return BuildWavePeaks(path, pass->facts, pass->peaks, control); },
                       [self, pass](int percent) {
                           if (self && self->m_pass.get() == pass) {
                               pass->percent = percent;
                               self->update();
                           }
                       },
                       [self, pass](const JobOutcome& outcome) {
                           if (self && self->m_pass.get() == pass)
                               self->peakPassEnded(pass, outcome);
                       });
}

void cAudioEditor::peakPassEnded(PeakPass* pass, const JobOutcome& outcome)
{
    switch (outcome.kind) {
    case JobOutcome::Done: {
        m_facts = pass->facts;
        m_peaks = std::move(pass->peaks);
        m_loaded = true;
        if (m_facts.pcm)
            m_reader.open(m_fileName);
        m_viewFirst = 0;
        m_viewCount = m_facts.frames;
        syncScrollBar();
        // The whole file is selected, as the window shows it: from 0 to its length in
        // whole seconds, which stands for every sample of it.
        const qint32 seconds = qint32(std::min<qint64>(m_facts.frames / m_facts.sampleRate, INT32_MAX / 1000));
        m_selStart = 0;
        m_selEnd = m_facts.frames;
        m_anchor = 0;
        m_reportedStartMs = 0;
        m_reportedEndMs = qint64(seconds) * 1000;
        update();
        emit FileLoaded(m_facts.sampleRate, m_facts.bitsPerSample, m_facts.channels, seconds, m_facts.frames);
        break;
    }
    case JobOutcome::Aborted:
        update();
        emit Aborted();
        break;
    case JobOutcome::Failed:
        m_errorText = outcome.description;
        update();
        emit Error(outcome.code, outcome.description);
        break;
    }
}

int cAudioEditor::readingPercent() const
{
    return m_pass && m_pass->runner.busy() ? m_pass->percent : -1;
}

qint32 cAudioEditor::Play()
{
    if (!m_loaded)
        return kEditPlayNoFile;
    stopPlayback();
    AudioPlayback::Request request;
    request.path = m_fileName;
    request.sampleRate = m_facts.sampleRate;
    request.channels = m_facts.channels;
    request.firstSample = m_selStart;
    request.endSample = m_selEnd > m_selStart ? m_selEnd : -1;
    request.onEnd = QueuedPlaybackEnd(this, &cAudioEditor::playbackEnded, ++m_playGeneration);
    m_play = AudioPlayback::start(request);
    if (!m_play)
        return kEditPlayNoDevice;
    m_cursorTimer.start();
    return 0;
}

void cAudioEditor::playbackEnded(quint64 generation)
{
    if (generation != m_playGeneration || !m_play)
        return;
    stopPlayback();
    emit PlayDone();
}

void cAudioEditor::stopPlayback()
{
    ++m_playGeneration;  // an end already on its way is dropped
    m_play.reset();
    m_cursorTimer.stop();
    update();
}

void cAudioEditor::Pause()
{
    if (m_play)
        m_play->pause();
}

void cAudioEditor::Resume()
{
    if (m_play)
        m_play->resume();
}

bool cAudioEditor::IsPaused() const
{
    return m_play && m_play->paused();
}

void cAudioEditor::StopPlay()
{
    stopPlayback();
}

qint64 cAudioEditor::PlayPosition() const
{
    return m_play ? m_play->positionSample() : -1;
}

void cAudioEditor::Abort()
{
    const bool saving = m_saveRunner.busy();
    const bool reading = m_pass && m_pass->runner.busy();
    stopPlayback();
    if (saving)
        m_saveRunner.abort();  // its end is the Aborted event
    if (reading)
        m_pass->runner.abort();
    if (!saving && !reading) {
        QPointer<cAudioEditor> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self)
                    emit self->Aborted();
            },
            Qt::QueuedConnection);
    }
}

void cAudioEditor::ZoomToSelection()
{
    if (m_loaded && m_selEnd > m_selStart)
        setView(m_selStart, m_selEnd - m_selStart);
}

void cAudioEditor::ZoomRestore()
{
    if (m_loaded)
        setView(0, m_facts.frames);
}

void cAudioEditor::setView(qint64 first, qint64 count)
{
    const qint64 frames = m_facts.frames;
    count = std::clamp<qint64>(count, std::min(frames, kMinViewFrames), frames);
    first = std::clamp<qint64>(first, 0, frames - count);
    if (first == m_viewFirst && count == m_viewCount)
        return;
    m_viewFirst = first;
    m_viewCount = count;
    syncScrollBar();
    update();
}

void cAudioEditor::syncScrollBar()
{
    const bool zoomed = m_loaded && m_viewCount < m_facts.frames;
    if (zoomed) {
        // The bar counts in units small enough for its int range.
        m_scrollUnit = std::max<qint64>(1, m_facts.frames / 1000000);
        const QSignalBlocker block(m_scroll);
        m_scroll->setRange(0, int((m_facts.frames - m_viewCount) / m_scrollUnit));
        m_scroll->setPageStep(int(std::max<qint64>(1, m_viewCount / m_scrollUnit)));
        m_scroll->setSingleStep(int(std::max<qint64>(1, m_viewCount / m_scrollUnit / 20)));
        m_scroll->setValue(int(m_viewFirst / m_scrollUnit));
    }
    if (m_scroll->isVisibleTo(this) != zoomed) {
        m_scroll->setVisible(zoomed);
        update();
    }
}

void cAudioEditor::SetSelection(qint64 start, qint64 end)
{
    if (!m_loaded)
        return;
    if (end < start)
        std::swap(start, end);
    start = std::clamp<qint64>(start, 0, m_facts.frames);
    end = std::clamp<qint64>(end, 0, m_facts.frames);
    if (start == m_selStart && end == m_selEnd)
        return;
    m_selStart = start;
    m_selEnd = end;
    m_reportedStartMs = msOf(start);
    m_reportedEndMs = msOf(end);
    update();
    emit SelectionChanged(start, end, m_reportedStartMs, m_reportedEndMs);
}

qint64 cAudioEditor::msOf(qint64 sample) const
{
    return m_facts.sampleRate > 0 ? sample * 1000 / m_facts.sampleRate : 0;
}

void cAudioEditor::SetSourceFile(const QString& FileName)
{
    m_sourceFile = FileName;
}

void cAudioEditor::SaveSelection()
{
    QPointer<cAudioEditor> self(this);
    auto fail = [this, self](qint32 code, const QString& why) {
        QMetaObject::invokeMethod(
            this,
            [self, code, why] {
                if (self)
                    emit self->Error(code, why);
            },
            Qt::QueuedConnection);
    };
    if (m_saveRunner.busy())
        return fail(kErrBusy, QStringLiteral("A selection is being saved already."));
    const QString source = m_sourceFile.isEmpty() ? m_fileName : m_sourceFile;
    const qint64 startMs = m_saveStartMs, lengthMs = m_saveLengthMs;
    m_saveStartMs = m_saveLengthMs = -1;  // the next save sets its own range
    const FileIdentity replaceable = std::exchange(m_overwriteAgreed, FileIdentity());  // and its own agreement

    // The range in samples: exactly the selection when the window hands back what it was
    // told of it, else the milliseconds taken to the nearest sample.
    const bool shownFile = m_loaded && sameFile(source, m_fileName);
    const bool asReported = (startMs < 0 && lengthMs < 0) ||
                            (startMs == m_reportedStartMs && lengthMs >= 0 && startMs + lengthMs == m_reportedEndMs);
    qint64 first = 0, count = 0;
    int bits = 16;
    if (shownFile && asReported) {
        first = m_selStart;
        count = m_selEnd - m_selStart;
    } else {
        const int rate = shownFile ? m_facts.sampleRate : ProbeMedia(source).sampleRate;
        if (rate <= 0) {
            count = 1;  // a source that cannot be read: the conversion says why
        } else {
            first = std::llround(double(std::max<qint64>(0, startMs)) * rate / 1000.0);
            count = std::llround(double(std::max<qint64>(0, lengthMs)) * rate / 1000.0);
        }
    }
    if (shownFile) {
        if (m_facts.pcm)
            bits = m_facts.bitsPerSample;
    } else {
        const WavLayout w = ParseWavLayout(source);
        if (w.isWav && w.pcm && (w.bitsPerSample == 8 || w.bitsPerSample == 16 || w.bitsPerSample == 24 || w.bitsPerSample == 32))
            bits = w.bitsPerSample;
    }
    if (count <= 0)
        return fail(kErrBadRange, QStringLiteral("Nothing is selected: select the part of the file to save first."));
    if (!m_outputFile.isEmpty() && !m_fileName.isEmpty() && sameFile(m_outputFile, m_fileName))
        return fail(kErrOutputSameAsSource,
                    QStringLiteral("The output file \"%1\" is the file being edited; it is left untouched.").arg(m_outputFile));

    TranscodeRequest request;
    request.source = source;
    request.output = m_outputFile;
    request.replaceable = replaceable;
    request.settings.OutputFormat = kOutputWAV;
    request.settings.WAV = WAVSettings{0, 0, qint16(bits)};
    request.rangeFirstSample = first;
    request.rangeSampleCount = count;
    m_saveRunner.start([request](JobControl& control) { return RunTranscode(request, control, nullptr, true); },
                       ProgressEvent(this), [this](const JobOutcome& outcome) {
                           switch (outcome.kind) {
                           case JobOutcome::Done:
                               emit SaveDone();
                               break;
                           case JobOutcome::Aborted:
                               emit Aborted();
                               break;
                           case JobOutcome::Failed:
                               emit Error(outcome.code, outcome.description);
                               break;
                           }
                       });
}

void cAudioEditor::SetDisplayColor1(qint32 colour)
{
    m_colour1 = colour;
    update();
}

void cAudioEditor::SetDisplayColor2(qint32 colour)
{
    m_colour2 = colour;
    update();
}

void cAudioEditor::SetDisplayColor3(qint32 colour)
{
    m_colour3 = colour;
    update();
}
