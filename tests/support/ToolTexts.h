// Texts the tool windows show, as a test picks or expects them: the entries of the target
// format lists and the question before an output replaces a file.
#pragma once

#include <QString>

namespace ToolTexts {

inline const QString kWav = QStringLiteral("WAV - Waveform Audio Format (*.wav)");
inline const QString kAcm = QStringLiteral("ACM - Waveform ACM Codecs (*.wav)");
inline const QString kMp3 = QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
inline const QString kWma = QStringLiteral("WMA - Windows Media Audio files (*.wma)");
inline const QString kOgg = QStringLiteral("OGG - Ogg Media Format (*.ogg)");

// With the output's path for %1.
inline const QString kOverwrite = QStringLiteral("The file: '%1' already exists.\r\n\r\nOverwrite it?");

} // namespace ToolTexts
