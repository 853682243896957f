// Recording tests over SDL's disk driver: the raw input the driver's capture device reads,
// where its output device writes, and what a recorded WAV file must hold.
#pragma once

#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/TestFiles.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QVector>
#include <QtEndian>

namespace RecordingChecks {

// The sample bytes of 16-bit samples in a PCM format of 8 bits (the high byte, unsigned)
// or 16 bits (little-endian).
inline QByteArray pcmBytes(const QVector<qint16>& samples, int bits)
{
    return AudioFixtures::wavBytes(8000, 1, bits, samples).mid(44);
}

// What an output device played without the silence it wrote while it waited or was
// paused: the samples of `size` bytes that are not all `silence`.
inline QByteArray withoutSilence(const QByteArray& played, int size, char silence = 0)
{
    QByteArray sound;
    const QByteArray quiet(size, silence);
    for (qsizetype i = 0; i + size <= played.size(); i += size)
        if (played.mid(i, size) != quiet)
            sound += played.mid(i, size);
    return sound;
}

// Makes the disk driver's capture device read `input` and its output device write to
// `output`; realTime paces both as a sound card would, else they run as fast as they can.
// The driver reads these when a device opens.
inline void useDiskFiles(const QString& input, const QString& output, bool realTime)
{
    qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(input));
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(output));
    if (realTime)
        qunsetenv("SDL_DISKAUDIODELAY");
    else
        qputenv("SDL_DISKAUDIODELAY", "0");
}

inline quint32 le32(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

inline quint16 le16(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// A recorded file: a 44-byte PCM header of this format whose RIFF and data sizes describe
// the file exactly (with a pad byte after odd data). Empty when so, else what is wrong.
inline QString checkWaveFile(const QString& path, int rate, int channels, int bits)
{
    const QByteArray b = TestFiles::ReadBytes(path);
    if (b.size() < 44)
        return QStringLiteral("%1 bytes, no header").arg(b.size());
    if (b.left(4) != "RIFF" || b.mid(8, 8) != "WAVEfmt " || b.mid(36, 4) != "data")
        return QStringLiteral("not a plain 44-byte PCM WAV header");
    const int block = channels * bits / 8;
    if (le32(b, 16) != 16 || le16(b, 20) != 1 || le16(b, 22) != channels || le32(b, 24) != quint32(rate) ||
        le32(b, 28) != quint32(rate * block) || le16(b, 32) != block || le16(b, 34) != bits)
        return QStringLiteral("the format header describes another format");
    const qint64 data = le32(b, 40);
    const qint64 pad = data & 1;
    if (data % block != 0)
        return QStringLiteral("%1 data bytes are not whole frames").arg(data);
    if (44 + data + pad != b.size())
        return QStringLiteral("the header states %1 data bytes, the file holds %2").arg(data).arg(b.size() - 44);
    if (le32(b, 4) != quint32(b.size() - 8))
        return QStringLiteral("the RIFF size is %1, the file holds %2 after it").arg(le32(b, 4)).arg(b.size() - 8);
    return QString();
}

// The data bytes of a recorded file (after its 44-byte header, without a pad byte).
inline QByteArray recordedData(const QString& path)
{
    const QByteArray b = TestFiles::ReadBytes(path);
    return b.size() < 44 ? QByteArray() : b.mid(44, le32(b, 40));
}

// What sox and ffprobe say of a WAV file, checked against its format and the length its
// header states; empty when both agree, else what they say.
inline QString checkWithTools(const QString& path, int rate, int channels, int bits)
{
    QString why;
    const QString sox = ExternalTools::Output(QStringLiteral("soxi"), {QStringLiteral("-V0"), path}, &why);
    if (sox.isEmpty())
        return why;
    const qint64 frames = recordedData(path).size() / (channels * bits / 8);
    auto soxSays = [&](const QString& key) {
        for (const QString& line : sox.split(u'\n'))
            if (line.startsWith(key))
                return line.section(u':', 1).trimmed();
        return QString();
    };
    if (soxSays(QStringLiteral("Sample Rate")) != QString::number(rate) ||
        soxSays(QStringLiteral("Channels")) != QString::number(channels) ||
        soxSays(QStringLiteral("Precision")) != QStringLiteral("%1-bit").arg(bits) ||
        !soxSays(QStringLiteral("Duration")).contains(QStringLiteral("= %1 samples").arg(frames)))
        return QStringLiteral("sox reads it as:\n") + sox;
    const QString probe = ExternalTools::Output(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
         QStringLiteral("stream=codec_name,sample_rate,channels,bits_per_sample,duration_ts"), QStringLiteral("-of"),
         QStringLiteral("default=noprint_wrappers=1"), path},
        &why);
    const QString expected = QStringLiteral("codec_name=%1\nsample_rate=%2\nchannels=%3\nbits_per_sample=%4\nduration_ts=%5\n")
                                 .arg(bits == 8 ? QStringLiteral("pcm_u8") : QStringLiteral("pcm_s16le"))
                                 .arg(rate)
                                 .arg(channels)
                                 .arg(bits)
                                 .arg(frames);
    if (probe != expected)
        return QStringLiteral("ffprobe reads it as:\n") + probe + why;
    return QString();
}

}  // namespace RecordingChecks
