// The format globals: the encoder parameters of the six output formats as the output-format
// window loaded them, and the records the tool windows hand to their audio components.
#pragma once

#include "components/audio/AudioSettings.h"

#include <QString>

// "Formats\WAV"
inline qint32 g_lSamplesWAV = 0;
inline qint32 g_lBitrateWAV = 0;   // bits per sample
inline qint32 g_lChannelsWAV = 0;  // list index: 0 mono, 1 stereo

// "Formats\ACM"
inline QString g_sACMTag;
inline QString g_sACMFormat;

// "Formats\MP3"
inline qint32 g_lMP3Bitrate = 0;  // kilobits
inline qint32 g_lMP3Quality = 0;
inline qint32 g_lMP3Samplerate = 0;
inline qint32 g_lMP3Mode = 0;  // channel-mode list index
inline bool g_bMP3ErrorProtect = false;
inline bool g_bMP3Original = false;
inline bool g_bMP3Copyright = false;
inline bool g_bMP3StrictISO = false;
inline qint32 g_lMP3VBRQuality = 0;  // list index, 0 to 9
inline qint32 g_lMP3MinBitrate = 0;  // index in the bitrate list (0 = 8 ... 18 = 320)
inline qint32 g_lMP3MaxBitrate = 0;  // index in the bitrate list
inline bool g_bMP3VBRTag = false;
inline bool g_bMP3VBRForceMinBitrate = false;
inline bool g_bMP3ABR = false;
inline qint32 g_lMP3ABRBitrate = 0;  // kilobits

// "Formats\WMA": list indexes, -1 when there is no codec.
inline qint32 g_lWMACodecs = 0;
inline qint32 g_lWMAFormat = 0;

// "Formats\OGG"
inline qint32 g_lOGGQuality = 0;  // 0 to 100
inline bool g_bOggBit = false;    // nominal bitrate instead of quality
inline qint32 g_lOggBitNom = 0;

// "Formats\APE"
inline qint32 g_lAPELevel = 0;  // 0 "Fast" to 4 "Slow"

// The ACM codec goes to the components as two texts, codec first.
struct ACMSettingsTexts {
    QString TagName;
    QString FormatName;
};

// One hand-over per format, built fresh from the format globals at the moment of the call.
WAVSettings BuildWAVSettings();
ACMSettingsTexts BuildACMSettings();
MP3Settings BuildMP3Settings();
WMASettings BuildWMASettings();
OGGSettings BuildOGGSettings();
qint32 BuildAPESettings();
