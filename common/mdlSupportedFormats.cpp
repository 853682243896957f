#include "common/mdlSupportedFormats.h"

QString GetSupportedFormatsFilter()
{
    static const char* const parts[] = {
        "All supported audio files (*.acm;*.wav;*.mp3;*.wav;*.wma;)",
        "*.acm;*.wav;*.mp3;*.wav;*.wma;",
        "Windows legacy audio components (*.acm;*.wav)",
        "*.acm;*.wav",
        "MPEG-1 Audio Layer 3 (MP3) (*.mp3)",
        "*.mp3",
        "Waveform audio format (*.wav)",
        "*.wav",
        "Windows Media Audio files (*.wma)",
        "*.wma",
    };
    QString out;
    for (const char* p : parts)
        out += QLatin1String(p) + QChar(u'\0');
    return out;
}
