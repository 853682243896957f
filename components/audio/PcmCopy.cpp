// Copying PCM samples unchanged (same rate, channels and sample size on both sides): a
// header of our own, then the sample bytes, copied by the kernel where it can.
#include "components/audio/PcmCopy.h"

#include "components/audio/CodecCatalogue.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

QByteArray PcmWavHeader(int rate, int channels, int bits, qint64 dataBytes, const AudioTags& tags)
{
    QByteArray info;
    auto item = [&](const char* id, const QString& v) {
        if (v.isEmpty())
            return;
        QByteArray text = v.toUtf8();
        text.append('\0');
        info.append(id, 4);
        const quint32 n = quint32(text.size());
        info.append(char(n & 0xFF)).append(char(n >> 8 & 0xFF)).append(char(n >> 16 & 0xFF)).append(char(n >> 24));
        info.append(text);
        if (text.size() & 1)
            info.append('\0');
    };
    item("IART", tags.Artist);
    item("ICMT", tags.Comment);
    item("ICRD", tags.Year);
    item("IGNR", tags.Genre);
    item("INAM", tags.Title);
    item("IPRD", tags.Album);
    item("IPRT", tags.Track);

    QByteArray h;
    auto u32 = [&](quint32 v) { h.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)).append(char(v >> 16 & 0xFF)).append(char(v >> 24)); };
    auto u16 = [&](quint16 v) { h.append(char(v & 0xFF)).append(char(v >> 8)); };
    const int blockAlign = channels * bits / 8;
    const quint32 listSize = info.isEmpty() ? 0 : quint32(8 + 4 + info.size());
    h.append("RIFF");
    u32(quint32(4 + 24 + listSize + 8 + dataBytes + (dataBytes & 1)));
    h.append("WAVE");
    h.append("fmt ");
    u32(16);
    u16(1);
    u16(quint16(channels));
    u32(quint32(rate));
    u32(quint32(rate * blockAlign));
    u16(quint16(blockAlign));
    u16(quint16(bits));
    if (!info.isEmpty()) {
        h.append("LIST");
        u32(quint32(4 + info.size()));
        h.append("INFO");
        h.append(info);
    }
    h.append("data");
    u32(quint32(dataBytes));
    return h;
}

bool CanCopyPcm(const WavLayout& w, const EncoderSettings& s)
{
    if (!w.isWav || w.formatTag != 1 || !(w.bitsPerSample == 8 || w.bitsPerSample == 16) || w.channels > 2)
        return false;
    if (s.OutputFormat == kOutputWAV)
        return (s.WAV.SamplesPerSec == 0 || s.WAV.SamplesPerSec == w.sampleRate) &&
               (s.WAV.Channels == 0 || s.WAV.Channels == w.channels) &&
               (s.WAV.BitsPerSample == 0 || s.WAV.BitsPerSample == w.bitsPerSample);
    if (s.OutputFormat == kOutputACM && s.ACMTag == QLatin1String("PCM")) {
        const AcmCodec* c = CodecCatalogue::findAcmCodec(s.ACMTag);
        const AcmFormat* f = c ? CodecCatalogue::findAcmFormat(*c, s.ACMFormat) : nullptr;
        return f && f->sampleRate == w.sampleRate && f->channels == w.channels && f->bitsPerSample == w.bitsPerSample;
    }
    return false;
}

JobOutcome CopyFileBytes(const QString& source, qint64 offset, qint64 bytes, int outFd, const QString& output,
                         JobControl& control, const std::function<void(qint64 done)>& progress)
{
    QFile src(source);
    if (!src.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("Cannot read the file \"%1\".").arg(source));
    auto sysFailed = [&](int err) {
        return JobOutcome::error(kErrWriteFailed, QStringLiteral("Cannot write the output file \"%1\": %2.")
                                                      .arg(output, QString::fromLocal8Bit(strerror(err))));
    };
    // The kernel copies the sample bytes (no trip through our memory) where it can; plain
    // reads and writes otherwise.
    const int in = src.handle();
    loff_t inPos = offset;
    qint64 done = 0;
    bool kernelCopy = true;
    QByteArray buf;
    while (done < bytes) {
        if (control.aborted())
            return JobOutcome::aborted();
        const qint64 want = std::min<qint64>(8 << 20, bytes - done);
        ssize_t n = -1;
        if (kernelCopy) {
            n = copy_file_range(in, &inPos, outFd, nullptr, size_t(want), 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF)) {
                kernelCopy = false;
                continue;
            }
            if (n < 0)
                return sysFailed(errno);
        } else {
            if (buf.isEmpty())
                buf.resize(1 << 20);
            const ssize_t r = pread(in, buf.data(), size_t(std::min<qint64>(want, buf.size())), inPos);
            if (r < 0)
                return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("Cannot read the file \"%1\".").arg(source));
            n = r;
            for (ssize_t put = 0; put < r;) {
                const ssize_t wr = ::write(outFd, buf.constData() + put, size_t(r - put));
                if (wr < 0)
                    return sysFailed(errno);
                put += wr;
            }
            inPos += r;
        }
        if (n == 0)
            return JobOutcome::error(kErrSourceDamaged, QStringLiteral("The file \"%1\" ends early.").arg(source));
        done += n;
        if (progress)
            progress(done);
    }
    return JobOutcome::done();
}

JobOutcome CopyPcm(const TranscodeRequest& req, const WavLayout& w, qint64 first, qint64 end, OutputTarget& out,
                   JobControl& control, TranscodeStats& stats)
{
    const qint64 frames = w.frames();
    end = std::min(end, frames);
    const qint64 bytes = (end - first) * w.blockAlign;
    stats.seeks = first > 0 ? 1 : 0;
    const int outFd = out.fd();
    auto sysFailed = [&](int err) {
        return JobOutcome::error(kErrWriteFailed, QStringLiteral("Cannot write the output file \"%1\": %2.")
                                                      .arg(req.output, QString::fromLocal8Bit(strerror(err))));
    };
    const QByteArray header = PcmWavHeader(w.sampleRate, w.channels, w.bitsPerSample, bytes, req.tags);
    if (::write(outFd, header.constData(), size_t(header.size())) != header.size())
        return sysFailed(errno == 0 ? ENOSPC : errno);
    JobOutcome r = CopyFileBytes(req.source, w.dataOffset + first * w.blockAlign, bytes, outFd, req.output, control,
                                 [&](qint64 done) { control.progress(int(done * 100 / bytes)); });
    if (r.kind != JobOutcome::Done)
        return r;
    if ((bytes & 1) && ::write(outFd, "\0", 1) != 1)
        return sysFailed(errno);
    if (!out.closeFd())
        return sysFailed(errno);
    stats.copied = true;
    stats.samplesWritten = end - first;
    stats.sampleRate = w.sampleRate;
    return JobOutcome::done();
}
