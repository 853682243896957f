// The peak pass: plain PCM sample data is read in large chunks straight from the file (split
// between threads when the file is large); other files are decoded and converted to
// 16-bit samples first. Either way each block of frames leaves its lowest and highest
// sample per channel.
#include "components/cAudioEditor/WavePeaks.h"

#include "components/audio/SourceDecoder.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

extern "C" {
#include <libswresample/swresample.h>
}

namespace {

constexpr int kBlock = WavePeaks::kFramesPerBlock;
constexpr qint64 kChunkBytes = 1 << 20;

bool readablePcm(const WavLayout& w)
{
    const int bytes = w.bitsPerSample / 8;
    return w.isWav && w.pcm && w.bitsPerSample % 8 == 0 && bytes >= 1 && bytes <= 4 && w.blockAlign == w.channels * bytes;
}

// Lowest and highest sample of each channel over n frames; out holds lo, hi per channel.
void framesMinMax(const uchar* data, qint64 n, int channels, int bytes, qint16* out)
{
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    if (bytes == 2 && channels == 2) {
        const auto* s = reinterpret_cast<const qint16*>(data);
        int lo0 = 32767, hi0 = -32768, lo1 = 32767, hi1 = -32768;
        for (qint64 f = 0; f < n; ++f) {
            const int a = s[2 * f], b = s[2 * f + 1];
            lo0 = std::min(lo0, a);
            hi0 = std::max(hi0, a);
            lo1 = std::min(lo1, b);
            hi1 = std::max(hi1, b);
        }
        out[0] = qint16(lo0), out[1] = qint16(hi0), out[2] = qint16(lo1), out[3] = qint16(hi1);
        return;
    }
    if (bytes == 2 && channels == 1) {
        const auto* s = reinterpret_cast<const qint16*>(data);
        int l = 32767, h = -32768;
        for (qint64 f = 0; f < n; ++f) {
            l = std::min(l, int(s[f]));
            h = std::max(h, int(s[f]));
        }
        out[0] = qint16(l), out[1] = qint16(h);
        return;
    }
#endif
    for (int c = 0; c < channels; ++c) {
        int l = 32767, h = -32768;
        const uchar* p = data + c * bytes;
        for (qint64 f = 0; f < n; ++f, p += qint64(channels) * bytes) {
            const int v = PcmSampleTo16(p, bytes);
            l = std::min(l, v);
            h = std::max(h, v);
        }
        out[2 * c] = qint16(l);
        out[2 * c + 1] = qint16(h);
    }
}

// The blocks [b0, b1) of a PCM file, read through fd.
struct PcmSegment {
    int fd;
    const WavLayout& wav;
    WavePeaks& peaks;
    const std::atomic<bool>& abort;
    std::atomic<qint64>& blocksDone;

    QString run(qint64 b0, qint64 b1)
    {
        const int bytes = wav.bitsPerSample / 8;
        const qint64 chunkBlocks = std::max<qint64>(1, kChunkBytes / (qint64(kBlock) * wav.blockAlign));
        std::vector<uchar> buf(size_t(chunkBlocks * kBlock * wav.blockAlign));
        for (qint64 b = b0; b < b1 && !abort.load(std::memory_order_relaxed); b += chunkBlocks) {
            const qint64 first = b * kBlock;
            const qint64 frames = std::min(std::min(b1, b + chunkBlocks) * kBlock, peaks.frames) - first;
            const qint64 want = frames * wav.blockAlign;
            qint64 got = 0;
            while (got < want) {
                const ssize_t r = pread(fd, buf.data() + got, size_t(want - got), off_t(wav.dataOffset + first * wav.blockAlign + got));
                if (r <= 0)
                    return QStringLiteral("The file ends early or cannot be read.");
                got += r;
            }
            for (qint64 f = 0; f < frames; f += kBlock) {
                const qint64 block = (first + f) / kBlock;
                framesMinMax(buf.data() + f * wav.blockAlign, std::min<qint64>(kBlock, frames - f), wav.channels, bytes,
                             peaks.minMax.data() + block * wav.channels * 2);
            }
            blocksDone += (frames + kBlock - 1) / kBlock;
        }
        return QString();
    }
};

JobOutcome pcmPeaks(const QString& path, const WavLayout& wav, WavePeaks& peaks, JobControl& control)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("Cannot read the file \"%1\".").arg(path));
    peaks.minMax.assign(size_t((peaks.frames + kBlock - 1) / kBlock * peaks.channels * 2), 0);
    const qint64 blocks = peaks.blocks();
    // Large files are shared between a few threads; reading from the page cache and
    // finding the peaks both go faster that way.
    const qint64 bytes = peaks.frames * wav.blockAlign;
    const int threads = bytes < (64 << 20) ? 1 : int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    std::atomic<qint64> done{0};
    std::atomic<int> finished{0};
    std::mutex failLock;
    QString failure;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        const qint64 b0 = blocks * t / threads, b1 = blocks * (t + 1) / threads;
        workers.emplace_back([&, b0, b1] {
            PcmSegment seg{fd, wav, peaks, control.abortFlag(), done};
            const QString why = seg.run(b0, b1);
            if (!why.isEmpty()) {
                std::lock_guard<std::mutex> g(failLock);
                failure = why;
            }
            ++finished;
        });
    }
    while (finished < threads) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        control.progress(int(done * 100 / std::max<qint64>(1, blocks)));
    }
    for (std::thread& w : workers)
        w.join();
    ::close(fd);
    if (control.aborted())
        return JobOutcome::aborted();
    if (!failure.isEmpty())
        return JobOutcome::error(kErrSourceDamaged, QStringLiteral("The WAV file \"%1\" cannot be read: %2").arg(path, failure));
    return JobOutcome::done();
}

// Collects decoded 16-bit frames into blocks.
struct BlockFiller {
    WavePeaks& peaks;
    int inBlock = 0;
    std::vector<int> lo, hi;

    void add(const qint16* s, int n)
    {
        const int ch = peaks.channels;
        for (int f = 0; f < n; ++f) {
            if (inBlock == 0) {
                lo.assign(size_t(ch), 32767);
                hi.assign(size_t(ch), -32768);
            }
            for (int c = 0; c < ch; ++c) {
                lo[size_t(c)] = std::min(lo[size_t(c)], int(s[f * ch + c]));
                hi[size_t(c)] = std::max(hi[size_t(c)], int(s[f * ch + c]));
            }
            if (++inBlock == kBlock)
                flush();
        }
        peaks.frames += n;
    }
    void flush()
    {
        if (inBlock == 0)
            return;
        for (int c = 0; c < peaks.channels; ++c) {
            peaks.minMax.push_back(qint16(lo[size_t(c)]));
            peaks.minMax.push_back(qint16(hi[size_t(c)]));
        }
        inBlock = 0;
    }
};

JobOutcome decodedPeaks(const QString& path, const WavLayout& wav, WaveFacts& facts, WavePeaks& peaks, JobControl& control)
{
    SourceDecoder dec;
    JobOutcome r = dec.open(path, wav);
    if (r.kind != JobOutcome::Done)
        return r;
    const int ch = dec.channels();
    if (ch <= 0)
        return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("The file \"%1\" holds no audio that can be read.").arg(path));
    facts.sampleRate = dec.rate();
    facts.channels = ch;
    peaks.channels = ch;
    peaks.frames = 0;
    if (dec.duration() > 0)
        peaks.minMax.reserve(size_t((dec.duration() / kBlock + 1) * ch * 2));
    AVChannelLayout layout{};
    if (dec.layout().order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout, ch);
    else
        av_channel_layout_copy(&layout, &dec.layout());
    SwrContext* swr = nullptr;
    const bool swrOk = swr_alloc_set_opts2(&swr, &layout, AV_SAMPLE_FMT_S16, dec.rate(), &layout, dec.format(), dec.rate(),
                                           0, nullptr) >= 0 &&
                       swr_init(swr) >= 0;
    av_channel_layout_uninit(&layout);
    if (!swrOk) {
        swr_free(&swr);
        return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("The audio format of \"%1\" cannot be decoded.").arg(path));
    }
    BlockFiller fill{peaks, 0, {}, {}};
    std::vector<qint16> conv;
    TranscodeStats stats;
    JobOutcome end = JobOutcome::done();
    while (true) {
        if (control.aborted()) {
            end = JobOutcome::aborted();
            break;
        }
        const int got = dec.next(stats);
        if (got < 0) {
            end = JobOutcome::error(kErrDecodeFailed, QStringLiteral("Cannot decode the file \"%1\".").arg(path));
            break;
        }
        if (got == 0)
            break;
        const AVFrame* f = dec.frame();
        if (f->format != dec.format() || f->ch_layout.nb_channels != ch)
            continue;
        conv.resize(size_t(f->nb_samples) * size_t(ch));
        uint8_t* out[1] = {reinterpret_cast<uint8_t*>(conv.data())};
        const int n = swr_convert(swr, out, f->nb_samples, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
        if (n > 0)
            fill.add(conv.data(), n);
        if (dec.duration() > 0)
            control.progress(int(std::min<qint64>(99, peaks.frames * 100 / dec.duration())));
    }
    swr_free(&swr);
    fill.flush();
    facts.frames = peaks.frames;
    if (end.kind == JobOutcome::Done && peaks.frames == 0)
        return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("The file \"%1\" holds no audio.").arg(path));
    return end;
}

}  // namespace

int PcmSampleTo16(const uchar* p, int bytes)
{
    switch (bytes) {
    case 1:
        return (int(p[0]) - 128) << 8;
    case 2:
        return qint16(quint16(p[0] | p[1] << 8));
    case 3:
        return qint16(quint16(p[1] | p[2] << 8));
    default:
        return qint16(quint16(p[2] | p[3] << 8));
    }
}

bool WavePeaks::range(int c, qint64 first, qint64 end, int& lo, int& hi) const
{
    const qint64 b0 = std::max<qint64>(0, first / kBlock);
    const qint64 b1 = std::min(blocks(), (end + kBlock - 1) / kBlock);
    if (c < 0 || c >= channels || b1 <= b0)
        return false;
    lo = 32767;
    hi = -32768;
    const qint16* p = minMax.data() + b0 * channels * 2 + c * 2;
    for (qint64 b = b0; b < b1; ++b, p += channels * 2) {
        lo = std::min(lo, int(p[0]));
        hi = std::max(hi, int(p[1]));
    }
    return true;
}

JobOutcome BuildWavePeaks(const QString& path, WaveFacts& facts, WavePeaks& peaks, JobControl& control)
{
    QuietMediaLibraries();
    facts = WaveFacts();
    peaks = WavePeaks();
    WavLayout wav;
    const MediaFacts check = CheckSourceFile(path, wav);
    if (check.code != 0)
        return JobOutcome::error(check.code, check.error);
    facts.bitsPerSample = wav.isWav ? wav.bitsPerSample : 16;
    if (readablePcm(wav)) {
        facts.sampleRate = wav.sampleRate;
        facts.channels = wav.channels;
        facts.frames = wav.frames();
        facts.pcm = true;
        peaks.channels = wav.channels;
        peaks.frames = facts.frames;
        if (facts.frames == 0)
            return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("The file \"%1\" holds no audio.").arg(path));
        return pcmPeaks(path, wav, peaks, control);
    }
    const JobOutcome r = decodedPeaks(path, wav, facts, peaks, control);
    if (facts.bitsPerSample <= 0)
        facts.bitsPerSample = 16;
    return r;
}

bool PcmFrameReader::open(const QString& path)
{
    close();
    m_wav = ParseWavLayout(path);
    if (!readablePcm(m_wav))
        return false;
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    return m_fd >= 0;
}

void PcmFrameReader::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

qint64 PcmFrameReader::read(qint64 first, qint64 count, std::vector<qint16>& out) const
{
    out.clear();
    if (m_fd < 0 || first < 0 || count <= 0)
        return 0;
    count = std::min(count, m_wav.frames() - first);
    if (count <= 0)
        return 0;
    std::vector<uchar> buf(size_t(count * m_wav.blockAlign));
    qint64 got = 0;
    while (got < qint64(buf.size())) {
        const ssize_t r = pread(m_fd, buf.data() + got, buf.size() - size_t(got), off_t(m_wav.dataOffset + first * m_wav.blockAlign + got));
        if (r <= 0)
            break;
        got += r;
    }
    const qint64 frames = got / m_wav.blockAlign;
    const int bytes = m_wav.bitsPerSample / 8;
    out.resize(size_t(frames * m_wav.channels));
    for (qint64 i = 0; i < frames * m_wav.channels; ++i)
        out[size_t(i)] = qint16(PcmSampleTo16(buf.data() + i * bytes, bytes));
    return frames;
}
