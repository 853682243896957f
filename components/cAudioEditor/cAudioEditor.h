// The audio editor control: the waveform of one WAV file with a time ruler, a selection made
// with the mouse, playback of the selection on the output device, zoom to the selection,
// and the selected samples written to a new WAV file. Opening a file reads its peaks once
// in a background pass; drawing works from those, so long files open and redraw fast.
#pragma once

#include "components/audio/JobRunner.h"
#include "components/cAudioEditor/WavePeaks.h"

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>

class AudioPlayback;
class QScrollBar;

class cAudioEditor : public QWidget
{
    Q_OBJECT
public:
    explicit cAudioEditor(QWidget* parent = nullptr);
    ~cAudioEditor() override;

    // Loads and draws a file: FileLoaded when its peaks are read, Error when it cannot be
    // read. A playback of the previous file stops.
    void OpenFile(const QString& FileName);

    // Plays the selection (from the selection start to the end of the file when nothing is
    // selected) and returns at once: 0 when playing, else an EditorPlayError. PlayDone when
    // the end is reached.
    qint32 Play();
    void Pause();
    void Resume();
    bool IsPaused() const;
    bool IsPlaying() const { return bool(m_play); }
    // Stops a playback (no PlayDone).
    void StopPlay();

    void ZoomToSelection();
    void ZoomRestore();

    // The next save: its source file, output file and range in milliseconds. A range that
    // is the one the last SelectionChanged (or FileLoaded, for the whole file) reported for
    // this file stands for exactly the selected samples; any other is taken to the nearest
    // sample. Unset, the current selection is saved.
    void SetSourceFile(const QString& FileName);
    void SetOutputFile(const QString& FileName) { m_outputFile = FileName; }
    void SetSelectionStart(qint64 Milliseconds) { m_saveStartMs = Milliseconds; }
    void SetSelectionLength(qint64 Milliseconds) { m_saveLengthMs = Milliseconds; }
    // The file the next save may replace under the output's name: the one that had the
    // name when the user agreed to replace it, as it was then (none: nothing is replaced).
    // Another file that has the name when the save ends is left as it is and the save fails.
    void SetOverwriteAgreed(const FileIdentity& File) { m_overwriteAgreed = File; }
    // Writes the range of the source into the output file as a WAV file of the source's
    // sample format, on a worker thread: Progress, then SaveDone, Aborted or Error. A
    // failed or aborted save leaves no file behind, and the source is never written.
    void SaveSelection();
    bool IsSaving() const { return m_saveRunner.busy(); }

    // Stops a playback and aborts a save or the reading of a file; Aborted follows.
    void Abort();

    // Colours as 0x00BBGGRR numbers: the waveform, the selection, and the ruler, centre
    // lines and play cursor.
    void SetDisplayColor1(qint32 colour);
    void SetDisplayColor2(qint32 colour);
    void SetDisplayColor3(qint32 colour);

    // What the control shows.
    QString FileName() const { return m_fileName; }
    bool IsLoaded() const { return m_loaded; }
    const WaveFacts& Facts() const { return m_facts; }
    qint64 SelectionStartSample() const { return m_selStart; }
    qint64 SelectionEndSample() const { return m_selEnd; }
    qint64 ViewFirstSample() const { return m_viewFirst; }
    qint64 ViewSampleCount() const { return m_viewCount; }
    qint64 PlayPosition() const;
    // Selects the frames [start, end) (put in order and clipped to the file), as a drag
    // with the mouse does; SelectionChanged follows when the selection changed.
    void SetSelection(qint64 start, qint64 end);
    // The frame under a point of the waveform, and the point of a frame.
    qint64 SampleAtX(int x) const;
    int XOfSample(qint64 sample) const;

signals:
    // SampleCount in frames, LengthSeconds in whole seconds.
    void FileLoaded(qint32 SamplesPerSec, qint32 Bits, qint32 Channels, qint32 LengthSeconds, qint64 SampleCount);
    // The selection [StartSample, EndSample) and its bounds in milliseconds.
    void SelectionChanged(qint64 StartSample, qint64 EndSample, qint64 StartMs, qint64 EndMs);
    void Progress(qint32 Percent);
    void SaveDone();
    void Aborted();
    void Error(qint32 Code, QString Description);
    void PlayDone();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class PeakPass;
    void startPeakPass();
    void peakPassEnded(PeakPass* pass, const JobOutcome& outcome);
    int readingPercent() const;  // -1 when no file is being read
    void stopPlayback();
    void playbackEnded(quint64 generation);
    void setView(qint64 first, qint64 count);
    void syncScrollBar();
    qint64 msOf(qint64 sample) const;
    QRect waveRect() const;
    // Drawing (cAudioEditor_Paint.cpp).
    void paintRuler(class QPainter& p, const QRect& area);
    void paintLanes(class QPainter& p, const QRect& area);
    bool detailFrames(qint64 first, qint64 count);

    QString m_fileName;
    WaveFacts m_facts;
    WavePeaks m_peaks;
    bool m_loaded = false;
    QString m_errorText;  // why the file cannot be shown
    std::unique_ptr<PeakPass> m_pass;
    PcmFrameReader m_reader;  // close views of PCM files draw the frames themselves
    std::vector<qint16> m_detail;
    qint64 m_detailFirst = -1, m_detailCount = 0;

    qint64 m_selStart = 0, m_selEnd = 0;
    qint64 m_reportedStartMs = 0, m_reportedEndMs = 0;  // what the last event told the window
    qint64 m_anchor = 0;
    bool m_dragging = false;
    qint64 m_viewFirst = 0, m_viewCount = 0;
    QScrollBar* m_scroll = nullptr;
    qint64 m_scrollUnit = 1;

    std::unique_ptr<AudioPlayback> m_play;
    quint64 m_playGeneration = 0;
    QTimer m_cursorTimer;

    QString m_sourceFile;
    QString m_outputFile;
    qint64 m_saveStartMs = -1, m_saveLengthMs = -1;
    FileIdentity m_overwriteAgreed;
    JobRunner m_saveRunner;

    qint32 m_colour1 = 0x00C080;
    qint32 m_colour2 = 0xD77800;
    qint32 m_colour3 = 0xE0E0E0;
};

// Results of Play.
enum EditorPlayError : qint32 {
    kEditPlayNoFile = 1,    // no file is loaded
    kEditPlayNoDevice = 2,  // no audio output device can be opened
};
