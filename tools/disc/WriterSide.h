// The writer side the CD windows share (the audio burner, the duplicator and the data
// burner): the list of writers, the speeds of the chosen one, the facts of the disc in it,
// and the listing of the files of a burn.
#pragma once

#include "components/cAudioBurner/cAudioBurner.h"

#include <QString>
#include <QStringList>

#include <functional>

class cGrid;
class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace WriterSide {

// The speed number of the fastest choice, "Max.".
constexpr qint32 kFastest = 65535;

// Fills `cboDrv` with the burner's writers; true when there is one (the first is then
// selected, and the caller runs its own choice handler).
bool LoadWriters(cAudioBurner* burner, QComboBox* cboDrv);
// The drive letter of the chosen writer: the first character of its entry ("" for none).
QString DriveLetter(const QComboBox* cboDrv);
// Rebuilds the speed list of a writer: "<KB/s> KB/s (<KB/s div 176>x)" per speed, then
// "Max." (selected); each item's data is its speed in KB/s.
void LoadSpeeds(cAudioBurner* burner, QComboBox* cboSpeed, const QString& drive);
// The same list from the speeds (KB/s, as text) a writer gave.
void FillSpeeds(QComboBox* cboSpeed, const QStringList& speeds);
// With no writer listed, says so in a box and in the log before a job does any work, and
// returns true: the job must not start.
bool SayNoWriter(const QComboBox* cboDrv, QPlainTextEdit* log);
// Puts the file of each grid row ("COL_FILE") into the burner's track list, in grid order;
// a row without a file is passed over. The burner decodes each file while the window
// answers, so Abort may come meanwhile: `aborted` is read after each file, and once it is
// set the listing stops, the track list is emptied and the answer is false. A file the
// burner refuses is logged ("Cannot add " and its name) and its row handed to `refused`.
bool AddTracks(cAudioBurner* burner, cGrid* grid, QPlainTextEdit* log, const bool& aborted,
               const std::function<void(qint32 row)>& refused);
// The chosen speed in KB/s (the fastest when nothing is chosen).
qint32 ChosenSpeed(const QComboBox* cboSpeed);
// The disc in the writer: its size, its capacity in minutes (halves to even), and its
// state, "OK - Ready to be burn." in green when it can be burned, else why not in red bold.
void ShowDisc(cAudioBurner* burner, const QString& drive, QLabel* size, QLabel* capacity, QLabel* state);

// Connects the burner's events to the window's handlers of the same names
// (cAudioBurner1_Progress ... cAudioBurner1_Error): the audio burner and the duplicator
// hear the same events.
template <class Window>
void ConnectBurnerEvents(cAudioBurner* burner, Window* w)
{
    QObject::connect(burner, &cAudioBurner::Progress, w, &Window::cAudioBurner1_Progress);
    QObject::connect(burner, &cAudioBurner::TrackProgress, w, &Window::cAudioBurner1_TrackProgress);
    QObject::connect(burner, &cAudioBurner::ClosingSession, w, &Window::cAudioBurner1_ClosingSession);
    QObject::connect(burner, &cAudioBurner::ClosingTrack, w, &Window::cAudioBurner1_ClosingTrack);
    QObject::connect(burner, &cAudioBurner::CachingTrack, w, &Window::cAudioBurner1_CachingTrack);
    QObject::connect(burner, &cAudioBurner::WritingTrack, w, &Window::cAudioBurner1_WritingTrack);
    QObject::connect(burner, &cAudioBurner::Finished, w, &Window::cAudioBurner1_Finished);
    QObject::connect(burner, &cAudioBurner::Error, w, &Window::cAudioBurner1_Error);
}

} // namespace WriterSide
