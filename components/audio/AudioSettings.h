// The encoder settings records the tool windows hand to the audio components, one per
// output format, filled from the format globals before each job.
#pragma once

#include <QString>
#include <QtGlobal>

// Output format codes of the audio components (OutputFormat).
enum AudioOutputFormat : qint32 {
    kOutputWAV = 1,
    kOutputACM = 2,
    kOutputMP3 = 3,
    kOutputWMA = 4,
    kOutputOGG = 5,
    kOutputAPE = 6,
};

// Flag fields are -1 for set and 0 for clear.
struct WAVSettings {
    qint32 SamplesPerSec = 0;
    qint16 Channels = 0;       // 1 mono, 2 stereo
    qint16 BitsPerSample = 0;  // 8 or 16
};

struct MP3Settings {
    qint32 ABRBitrate = 0;  // kilobits
    qint32 Bitrate = 0;     // kilobits
    qint16 Copyright = 0;
    qint16 ErrorProtection = 0;
    qint32 Mode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono, 4 not set, 5 forced joint stereo
    qint16 Original = 0;
    qint32 SampleRate = 0;
    qint32 Quality = 0;  // 0 (best) to 9
    qint16 StrictISO = 0;
    qint32 VBRMethod = 0;  // 0 constant, 3 average, 4 variable
    qint16 VBRForceMinBitrate = 0;
    qint32 VBRMinBitrate = 0;  // index in the bitrate list (0 = 8 ... 18 = 320)
    qint32 VBRMaxBitrate = 0;  // index in the bitrate list
    qint32 VBRQuality = 0;     // 0 (best) to 9
    qint16 WriteVBRTag = 0;
};

struct WMASettings {
    qint32 CodecIndex = 0;
    qint32 FormatIndex = 0;
};

struct OGGSettings {
    qint32 Mode = 0;  // 2 nominal bitrate, 0 quality
    qint32 Bitrate = 0;
    qint32 Quality = 0;  // 0 to 100
};

// Everything an encoding job needs to know about its output format.
struct EncoderSettings {
    qint32 OutputFormat = kOutputWAV;
    WAVSettings WAV{44100, 2, 16};
    QString ACMTag;
    QString ACMFormat;
    MP3Settings MP3{};
    WMASettings WMA{};
    OGGSettings OGG{};
    qint32 APELevel = 0;

    EncoderSettings()
    {
        MP3.Bitrate = 128;
        MP3.SampleRate = 44100;
        MP3.Quality = 5;
        OGG.Quality = 50;
    }
};

// The seven tags written into an output file.
struct AudioTags {
    QString Title, Artist, Album, Year, Comment, Genre, Track;
    bool isEmpty() const
    {
        return Title.isEmpty() && Artist.isEmpty() && Album.isEmpty() && Year.isEmpty() && Comment.isEmpty() &&
               Genre.isEmpty() && Track.isEmpty();
    }
};
