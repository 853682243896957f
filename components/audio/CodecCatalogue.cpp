// The ACM and WMA codec catalogues: fixed names and format texts over FFmpeg encoders.
#include "components/audio/CodecCatalogue.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

QString channelsText(int channels)
{
    return channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo");
}

QList<AcmFormat> rateChannelFormats(const QList<int>& rates, const QList<int>& bits, bool stereo = true)
{
    QList<AcmFormat> out;
    for (int rate : rates)
        for (int b : bits)
            for (int ch = stereo ? 2 : 1; ch >= 1; --ch)
                out.append({QStringLiteral("%1 Hz, %2 Bit, %3").arg(rate).arg(b).arg(channelsText(ch)), rate, ch, b, 0});
    return out;
}

QList<AcmCodec> buildAcm()
{
    const QList<int> rates{44100, 48000, 32000, 22050, 16000, 11025, 8000};
    QList<AcmCodec> all;
    all.append({QStringLiteral("PCM"), QStringLiteral("pcm_s16le"), rateChannelFormats(rates, {16, 8})});
    all.append({QStringLiteral("CCITT A-Law"), QStringLiteral("pcm_alaw"), rateChannelFormats(rates, {8})});
    all.append({QStringLiteral("CCITT u-Law"), QStringLiteral("pcm_mulaw"), rateChannelFormats(rates, {8})});
    all.append({QStringLiteral("IMA ADPCM"), QStringLiteral("adpcm_ima_wav"), rateChannelFormats(rates, {4})});
    all.append({QStringLiteral("MS ADPCM"), QStringLiteral("adpcm_ms"), rateChannelFormats(rates, {4})});
    QList<AcmFormat> g726;
    for (int kbit : {32, 24, 16, 40})
        g726.append({QStringLiteral("8000 Hz, %1 kbit/s, Mono").arg(kbit), 8000, 1, kbit / 8, kbit * 1000LL});
    all.append({QStringLiteral("G.726 ADPCM"), QStringLiteral("g726"), g726});
    all.append({QStringLiteral("G.722 ADPCM"), QStringLiteral("g722"),
                {{QStringLiteral("16000 Hz, 64 kbit/s, Mono"), 16000, 1, 4, 64000}}});
    all.append({QStringLiteral("GSM 6.10"), QStringLiteral("libgsm_ms"),
                {{QStringLiteral("8000 Hz, 13 kbit/s, Mono"), 8000, 1, 0, 13000}}});

    QList<AcmCodec> present;
    for (const AcmCodec& c : all)
        if (avcodec_find_encoder_by_name(c.encoder.toLatin1().constData()))
            present.append(c);
    return present;
}

QList<WmaCodec> buildWma()
{
    QList<WmaCodec> all;
    for (const auto& [name, encoder] : {std::pair{QStringLiteral("WMA Version 2"), QStringLiteral("wmav2")},
                                        std::pair{QStringLiteral("WMA Version 1"), QStringLiteral("wmav1")}}) {
        WmaCodec c{name, encoder, {}};
        struct F {
            int kbps, rate, ch;
        };
        for (const F& f : {F{128, 44100, 2}, F{192, 44100, 2}, F{160, 44100, 2}, F{96, 44100, 2}, F{64, 44100, 2},
                           F{48, 44100, 2}, F{64, 44100, 1}, F{48, 32000, 2}, F{32, 22050, 2}, F{32, 22050, 1},
                           F{24, 16000, 1}}) {
            c.formats.append({QStringLiteral("%1 kbps, %2 Hz, %3").arg(f.kbps).arg(f.rate).arg(channelsText(f.ch)),
                              f.rate, f.ch, f.kbps * 1000LL});
        }
        if (avcodec_find_encoder_by_name(encoder.toLatin1().constData()))
            all.append(c);
    }
    return all;
}

}  // namespace

namespace CodecCatalogue {

const QList<AcmCodec>& acmCodecs()
{
    static const QList<AcmCodec> codecs = buildAcm();
    return codecs;
}

const AcmCodec* findAcmCodec(const QString& name)
{
    for (const AcmCodec& c : acmCodecs())
        if (c.name == name)
            return &c;
    return nullptr;
}

const AcmFormat* findAcmFormat(const AcmCodec& codec, const QString& text)
{
    for (const AcmFormat& f : codec.formats)
        if (f.text == text)
            return &f;
    return nullptr;
}

QStringList acmTagsFor(int formatTag, int sampleRate, int channels, int /*bitsPerSample*/, int flags)
{
    QStringList out;
    if (formatTag != 1)  // the codecs convert from PCM only
        return out;
    for (const AcmCodec& c : acmCodecs()) {
        bool take = true;
        if (flags & kConvertibleOnly) {
            take = false;
            for (const AcmFormat& f : c.formats)
                if (f.sampleRate == sampleRate && f.channels == channels)
                    take = true;
        }
        if (take)
            out.append(c.name);
    }
    return out;
}

const QList<WmaCodec>& wmaCodecs()
{
    static const QList<WmaCodec> codecs = buildWma();
    return codecs;
}

}  // namespace CodecCatalogue
