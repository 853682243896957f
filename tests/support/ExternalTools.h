// Running the command-line audio tools (sox, lame, ffmpeg) that make fixtures in formats
// our own code should not be the only writer of.
#pragma once

#include <QString>
#include <QStringList>

namespace ExternalTools {

// Runs the program with its arguments (no shell) and waits up to a minute; false with
// the reason in *error when it is missing, fails or writes nothing to `output`.
bool Run(const QString& program, const QStringList& arguments, const QString& output, QString* error = nullptr);

// Runs the program likewise and returns what it wrote to its standard output; "" with the
// reason in *error when it is missing or fails.
QString Output(const QString& program, const QStringList& arguments, QString* error = nullptr);

// Makes `output` with sox from nothing: `seconds` of the sounds `sounds` names in sox's
// synth words ("sine 440 whitenoise": a tone on the first channel, noise on the second), at
// half volume, at `rate` Hz with `channels` channels of `bits` bits each. The output's
// ending chooses its format. False with the reason in *error, as Run.
bool SoxSynth(const QString& output, int rate, int channels, int bits, const QString& seconds, const QString& sounds,
              QString* error = nullptr);

// Encodes a WAV file as a 128 kbit/s MP3 with lame; false with the reason in *error, as Run.
bool Lame128(const QString& wav, const QString& mp3, QString* error = nullptr);

// Sources whose container states no length, as many encoders and cutters write them: the
// media libraries can only guess it from the bit rate of the first frames. Each holds 10 s
// at 44.1 kHz stereo, 2 s of noise and 8 s of digital silence, so that a VBR stream's bit
// rate swings from one end to the other. Kinds:
//   "vbr, noise first", "vbr, silence first"  lame -t -V 0 (no info frame)
//   "vbr, ID3v2 before and ID3v1 after"       the same with both tags, the first one padded
//   "vbr, APE and ID3v1 tags after"           an APEv2 tag, then an ID3v1 tag, after the frames
//   "cbr without header"                      lame -t -b 128
//   "cbr, garbage between frames"             two such files with 3000 random bytes between (20 s)
//   "mpeg-2 vbr mono"                         lame -t -V 2 at 22.05 kHz mono
//   "adts aac", "mp2", "ac3"                  ffmpeg's raw streams of those codecs
// Made in `folder`; returns the file's path, or an empty text with the reason in *error.
QString NoLengthSource(const QString& folder, const QString& kind, QString* error = nullptr);
QStringList NoLengthKinds();

}  // namespace ExternalTools
