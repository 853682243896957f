// The records handed to the audio components, built from the format globals.
#include "settings/mdlFormats.h"

namespace {

// Flag fields of the records: -1 set, 0 clear.
qint16 flag(bool b)
{
    return b ? -1 : 0;
}

} // namespace

WAVSettings BuildWAVSettings()
{
    WAVSettings s;
    s.SamplesPerSec = g_lSamplesWAV;
    s.Channels = qint16(g_lChannelsWAV + 1);
    s.BitsPerSample = qint16(g_lBitrateWAV);
    return s;
}

ACMSettingsTexts BuildACMSettings()
{
    return {g_sACMTag, g_sACMFormat};
}

MP3Settings BuildMP3Settings()
{
    MP3Settings s;
    s.ABRBitrate = g_lMP3ABRBitrate;
    s.Bitrate = g_lMP3Bitrate;
    s.Copyright = flag(g_bMP3Copyright);
    s.ErrorProtection = flag(g_bMP3ErrorProtect);
    s.Mode = g_lMP3Mode;
    s.Original = flag(g_bMP3Original);
    s.SampleRate = g_lMP3Samplerate;
    s.Quality = g_lMP3Quality;
    s.StrictISO = flag(g_bMP3StrictISO);
    // Variable bitrate follows "Write VBR Tag"; an average bitrate wins over it.
    s.VBRMethod = 0;
    s.WriteVBRTag = 0;
    if (g_bMP3VBRTag) {
        s.VBRMethod = 4;
        s.WriteVBRTag = -1;
    }
    if (g_bMP3ABR)
        s.VBRMethod = 3;
    s.VBRForceMinBitrate = flag(g_bMP3VBRForceMinBitrate);
    s.VBRMinBitrate = g_lMP3MinBitrate;
    s.VBRMaxBitrate = g_lMP3MaxBitrate;
    s.VBRQuality = g_lMP3VBRQuality;
    return s;
}

WMASettings BuildWMASettings()
{
    WMASettings s;
    s.CodecIndex = g_lWMACodecs;
    s.FormatIndex = g_lWMAFormat;
    return s;
}

OGGSettings BuildOGGSettings()
{
    OGGSettings s;
    if (g_bOggBit) {
        s.Mode = 2;
        s.Bitrate = g_lOggBitNom;
        s.Quality = 0;
    } else {
        s.Mode = 0;
        s.Bitrate = 0;
        s.Quality = g_lOGGQuality;
    }
    return s;
}

qint32 BuildAPESettings()
{
    return g_lAPELevel;
}
