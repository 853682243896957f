#include "common/mdlSupportedDestination.h"

#include <QComboBox>

const QStringList& DestinationFormatTexts()
{
    static const QStringList texts{
        QStringLiteral("WAV - Waveform Audio Format (*.wav)"),
        QStringLiteral("ACM - Waveform ACM Codecs (*.wav)"),
        QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"),
        QStringLiteral("WMA - Windows Media Audio files (*.wma)"),
        QStringLiteral("OGG - Ogg Media Format (*.ogg)"),
        QStringLiteral("APE - Monkey 's Audio (*.ape)"),
    };
    return texts;
}

void SetSupportedDestinations()
{
    g_lDestWAV = 1;
    g_lDestACM = 1;
    g_lDestMP3 = 1;
    g_lDestWMA = 1;
    g_lDestOGG = 0;
    g_lDestAPE = 0;
}

void FillDestinationFormats(QComboBox* cbo)
{
    SetSupportedDestinations();
    cbo->clear();
    const qint32 flags[] = {g_lDestWAV, g_lDestACM, g_lDestMP3, g_lDestWMA, g_lDestOGG, g_lDestAPE};
    const QStringList& texts = DestinationFormatTexts();
    for (int code = 0; code < 6; ++code)
        if (flags[code] == 1)
            cbo->addItem(texts[code]);
    // The first item added became the current one; the caller chooses the selection.
    cbo->setCurrentIndex(-1);
}

qint32 GetDestFormatIndex(const QString& text)
{
    static const char* const codes[] = {"WAV", "ACM", "MP3", "WMA", "OGG", "APE"};
    const QString head = text.left(3).toUpper();
    for (int i = 0; i < 6; ++i)
        if (head == QLatin1String(codes[i]))
            return i;
    return 0;
}
