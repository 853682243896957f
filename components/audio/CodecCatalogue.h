// The fixed catalogues of WAV-container codecs ("ACM" codecs) and WMA codecs the
// components offer. Their names and format texts are stored in the settings, so they
// must never change.
#pragma once

#include <QString>
#include <QStringList>

struct AcmFormat {
    QString text;          // e.g. "44100 Hz, 4 Bit, Stereo"
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;  // of the coded data (0 where the codec has no fixed width)
    long long bitRate = 0;  // for codecs that take one (G.726)
};

struct AcmCodec {
    QString name;      // e.g. "IMA ADPCM"
    QString encoder;   // FFmpeg encoder name
    QList<AcmFormat> formats;
};

struct WmaFormat {
    QString text;  // e.g. "128 kbps, 44100 Hz, Stereo"
    int sampleRate = 0;
    int channels = 0;
    long long bitRate = 0;
};

struct WmaCodec {
    QString name;
    QString encoder;
    QList<WmaFormat> formats;
};

namespace CodecCatalogue {
// The codecs whose encoder this machine's libraries have, in a fixed order.
const QList<AcmCodec>& acmCodecs();
const AcmCodec* findAcmCodec(const QString& name);
const AcmFormat* findAcmFormat(const AcmCodec& codec, const QString& text);

// Codec names for EnumACMTags: every codec for PCM input (flags 0), or only those with
// a format of the source's rate and channels (kConvertibleOnly).
constexpr int kConvertibleOnly = 0x100000;
QStringList acmTagsFor(int formatTag, int sampleRate, int channels, int bitsPerSample, int flags);

const QList<WmaCodec>& wmaCodecs();
}  // namespace CodecCatalogue
