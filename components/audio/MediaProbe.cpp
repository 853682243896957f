// Probing audio files with FFmpeg, and our own reading of WAV headers (exact lengths and
// the check that the announced sample data is really there).
#include "components/audio/MediaProbe.h"

#include "components/audio/Mp3Frame.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QFile>
#include <QFileInfo>

#include <mutex>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace {

quint32 le32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const uchar* p)
{
    return quint16(p[0] | p[1] << 8);
}

quint32 be32(const uchar* p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

// The whole frames of an MP3 stream from `at` on.
qint64 countMp3Frames(QFile& f, qint64 at)
{
    qint64 frames = 0;
    uchar h[4];
    while (f.seek(at) && f.read(reinterpret_cast<char*>(h), 4) == 4) {
        const int bytes = Mp3FrameBytes(h);
        if (bytes <= 0 || at + bytes > f.size())
            break;
        ++frames;
        at += bytes;
    }
    return frames;
}

// The length of a stream whose container states none (the media libraries only estimated it
// from the bit rate of the first frames: an MP3 file without an info frame, ADTS AAC, raw
// MP2 or AC-3), in seconds: the sum of the durations of its packets, as the demuxer splits
// them from their frame headers; nothing is decoded. The reading stops where no packet has
// come for a long stretch (data that holds no frames), counting what came before; -1 when
// a packet carries no duration.
double secondsFromPackets(AVFormatContext* fmt, int si)
{
    constexpr int64_t kGapBudget = int64_t(16) << 20;
    // More bytes a second than any audio stream holds (8 channels of 32 bits at 192 kHz
    // take 6 MB): such a packet is what the frame parser hands over of data in which it
    // found no frame (zeros after the last frame), which the decoder refuses.
    constexpr double kMaxBytesPerSecond = 8 << 20;
    auto allowGap = [fmt] {
        fmt->opaque = reinterpret_cast<void*>(intptr_t((fmt->pb ? fmt->pb->bytes_read : 0) + kGapBudget));
    };
    AVPacket* pkt = av_packet_alloc();
    if (!pkt)
        return -1;
    // Each packet's duration is taken to whole samples on its own: the stream's time base
    // may not hold a frame's length exactly, and the rounding must not add up.
    const AVRational timeBase = fmt->streams[si]->time_base;
    const int rate = fmt->streams[si]->codecpar->sample_rate;
    int64_t samples = 0;
    bool everyDuration = true;
    allowGap();
    while (av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == si) {
            const int64_t n = pkt->duration > 0 ? av_rescale_q(pkt->duration, timeBase, AVRational{1, rate}) : 0;
            if (n <= 0)
                everyDuration = false;
            else if (pkt->size <= double(n) / rate * kMaxBytesPerSecond)
                samples += n;
        }
        av_packet_unref(pkt);
        allowGap();
    }
    fmt->opaque = nullptr;
    av_packet_free(&pkt);
    return everyDuration && samples > 0 ? double(samples) / rate : -1;
}

// The audible length of an MP3 file in samples, from the info frame its encoder wrote at
// the start (frame count, encoder delay and padding); -1 when it has none. The container's
// own duration counts the delay and padding too, which would make a split job ask for a
// last part past the end. A file that ends before the stream the info frame announces
// (a cut-off download) has the length of its whole frames.
qint64 mp3AudibleSamples(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    QByteArray head = f.read(10);
    qint64 at = 0;
    if (head.size() == 10 && head.startsWith("ID3")) {
        const uchar* h = reinterpret_cast<const uchar*>(head.constData());
        at = 10 + (qint64(h[6] & 0x7F) << 21 | qint64(h[7] & 0x7F) << 14 | qint64(h[8] & 0x7F) << 7 | qint64(h[9] & 0x7F));
        if (h[5] & 0x10)
            at += 10;
    }
    if (!f.seek(at))
        return -1;
    const QByteArray frame = f.read(512);
    if (frame.size() < 200)
        return -1;
    const uchar* b = reinterpret_cast<const uchar*>(frame.constData());
    int samplesPerFrame = 0;
    const int infoBytes = Mp3FrameBytes(b, &samplesPerFrame);
    if (infoBytes <= 0)
        return -1;
    const int version = (b[1] >> 3) & 3;
    const bool mono = (b[3] >> 6) == 3;
    const int sideInfo = version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    int pos = 4 + sideInfo;
    if (memcmp(b + pos, "Xing", 4) != 0 && memcmp(b + pos, "Info", 4) != 0)
        return -1;
    const quint32 flags = be32(b + pos + 4);
    pos += 8;
    if (!(flags & 1))
        return -1;
    qint64 frames = be32(b + pos);
    pos += 4;
    qint64 streamBytes = -1;
    if (flags & 2) {
        streamBytes = be32(b + pos);
        pos += 4;
    }
    if (flags & 4)
        pos += 100;
    if (flags & 8)
        pos += 4;
    if (pos + 24 > frame.size())
        return -1;
    const uchar* lame = b + pos;  // encoder tag: 9 bytes of name, ..., delay and padding at 21
    const int delay = (lame[21] << 4) | (lame[22] >> 4);
    int padding = ((lame[22] & 0x0F) << 8) | lame[23];
    if (streamBytes > 0 && f.size() - at < streamBytes) {
        frames = std::min(frames, countMp3Frames(f, at + infoBytes));
        padding = 0;  // it belonged to the missing last frame
    }
    const qint64 audible = frames * samplesPerFrame - delay - padding;
    return audible > 0 ? audible : -1;
}

// How far the frames of a FLAC file reach, from the sample numbers in the headers of its
// last frames; -1 when they cannot be read. The stream header states the length the
// encoder wrote, which a file cut off later does not hold.
double flacSecondsPresent(AVFormatContext* fmt, int si)
{
    const AVStream* st = fmt->streams[si];
    const int64_t size = avio_size(fmt->pb);
    if (size <= 0 || av_seek_frame(fmt, -1, std::max<int64_t>(0, size - 65536), AVSEEK_FLAG_BYTE) < 0)
        return -1;
    AVPacket* pkt = av_packet_alloc();
    int64_t end = -1;
    while (av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == si && pkt->pts != AV_NOPTS_VALUE)
            end = std::max<int64_t>(end, pkt->pts + pkt->duration);
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    const int64_t start = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    return end > start ? (end - start) * av_q2d(st->time_base) : -1;
}

// The bytes the stream analysis may read beyond what opening the file read (the tags before
// the audio, pictures included, are read by the opening). The libraries read at most about
// 5 MB of a sound file to learn its streams, and up to 16 MB more near the end of some
// containers for their length. A file whose format was only guessed (from its name, its
// first bytes matching nothing) has a tighter bound: the parsers search such data for a
// first frame at a few tens of megabytes a second.
constexpr int64_t kStreamInfoBudget = int64_t(64) << 20;
constexpr int64_t kGuessedStreamInfoBudget = int64_t(4) << 20;

// Interrupts the media libraries' reading once the file's analysis has used its budget.
// The limit lives in the context's user field (0 = none), as the callback outlives the
// analysis: the file layer keeps a copy of it for every later read.
int stopAtBudget(void* opaque)
{
    const AVFormatContext* fmt = static_cast<const AVFormatContext*>(opaque);
    const auto limit = reinterpret_cast<intptr_t>(fmt->opaque);
    return limit > 0 && fmt->pb && fmt->pb->bytes_read > limit ? 1 : 0;
}

}  // namespace

int OpenMediaFile(const QString& path, AVFormatContext** ctx)
{
    QuietMediaLibraries();
    *ctx = avformat_alloc_context();
    if (!*ctx)
        return AVERROR(ENOMEM);
    AVFormatContext* fmt = *ctx;
    fmt->interrupt_callback.callback = stopAtBudget;
    fmt->interrupt_callback.opaque = fmt;
    const int opened = avformat_open_input(ctx, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (opened < 0)
        return opened;  // (the library has freed the context and set *ctx to null)
    const int64_t budget = fmt->probe_score < AVPROBE_SCORE_RETRY ? kGuessedStreamInfoBudget : kStreamInfoBudget;
    fmt->opaque = reinterpret_cast<void*>(intptr_t((fmt->pb ? fmt->pb->bytes_read : 0) + budget));
    const int found = avformat_find_stream_info(fmt, nullptr);
    fmt->opaque = nullptr;
    return found;
}

void QuietMediaLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(qEnvironmentVariableIsSet("VELMARO_FFMPEG_LOG") ? AV_LOG_INFO : AV_LOG_QUIET); });
}

qint64 WavLayout::samplesIn(qint64 bytes) const
{
    if (channels <= 0 || blockAlign <= 0 || bytes < 0)
        return -1;
    switch (codecTag) {
    case 0x0001:  // PCM
    case 0x0003:  // IEEE float
    case 0x0006:  // A-law
    case 0x0007:  // µ-law
    {
        const int bytesPerSample = codecTag == 6 || codecTag == 7 ? 1 : (bitsPerSample + 7) / 8;
        if (bytesPerSample <= 0 || blockAlign != channels * bytesPerSample)
            return -1;
        return bytes / blockAlign;
    }
    case 0x0011:  // IMA ADPCM: a 4-byte header per channel with the first sample, then 8 samples per 4 bytes
        if (bitsPerSample != 4 || blockAlign < 4 * channels + 4 * channels)
            return -1;
        return bytes < 4 * channels ? 0 : 1 + (bytes - 4 * channels) / (4 * channels) * 8;
    case 0x0002:  // MS ADPCM: a 7-byte header per channel with two samples, then a nibble per sample
        if (blockAlign < 7 * channels + channels)
            return -1;
        return bytes < 7 * channels ? 0 : (bytes - 6 * channels) * 2 / channels;
    default:
        return -1;
    }
}

qint64 WavLayout::frames() const
{
    const qint64 perBlock = samplesPerBlock();
    if (!isWav || perBlock <= 0)
        return 0;
    return dataSize / blockAlign * perBlock + samplesIn(dataSize % blockAlign);
}

WavLayout ParseWavLayout(const QString& path)
{
    WavLayout w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return w;
    const qint64 fileSize = f.size();
    uchar head[12];
    if (f.read(reinterpret_cast<char*>(head), 12) != 12 || memcmp(head, "RIFF", 4) != 0 || memcmp(head + 8, "WAVE", 4) != 0)
        return w;
    w.riffWave = true;
    // The walk reads one chunk header per step and steps over each chunk in one seek; it
    // ends at the data chunk, at the end of the file, at a chunk name that is not text (the
    // rest is not a chunk list) and after a number of chunks no real file has before its data.
    bool haveFmt = false;
    qint64 pos = 12;
    for (int chunks = 0; pos + 8 <= fileSize && chunks < 4096; ++chunks) {
        uchar ch[8];
        if (!f.seek(pos) || f.read(reinterpret_cast<char*>(ch), 8) != 8)
            return w;
        for (int i = 0; i < 4; ++i)
            if (ch[i] < 0x20 || ch[i] > 0x7E)
                return w;
        const quint32 size = le32(ch + 4);
        if (memcmp(ch, "fmt ", 4) == 0) {
            if (size < 16)
                return w;
            QByteArray fmt = f.read(qMin<qint64>(size, 64));
            if (fmt.size() < 16)
                return w;
            const uchar* p = reinterpret_cast<const uchar*>(fmt.constData());
            w.formatTag = le16(p);
            w.codecTag = w.formatTag;
            w.channels = le16(p + 2);
            w.sampleRate = int(le32(p + 4));
            w.blockAlign = le16(p + 12);
            w.bitsPerSample = le16(p + 14);
            if (w.formatTag == 0xFFFE && fmt.size() >= 26)
                w.codecTag = le16(p + 24);  // first two bytes of the sub-format GUID
            w.pcm = w.codecTag == 1;
            haveFmt = true;
        } else if (memcmp(ch, "data", 4) == 0) {
            if (!haveFmt)
                return w;
            w.dataOffset = pos + 8;
            w.declaredSize = size;
            const qint64 present = fileSize - w.dataOffset;
            if (size == 0 || size == 0xFFFFFFFFu) {
                w.dataSize = present;  // written by a streaming tool: the data runs to the end
            } else if (qint64(size) > present) {
                w.truncated = true;
                w.dataSize = present;
            } else {
                w.dataSize = size;
            }
            w.isWav = w.channels > 0 && w.sampleRate > 0 && w.blockAlign > 0;
            return w;
        }
        pos += 8 + qint64(size) + (size & 1);
    }
    return w;
}

MediaFacts CheckSourceFile(const QString& path, WavLayout& wav)
{
    MediaFacts m;
    wav = WavLayout();
    QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile()) {
        m.code = kErrSourceMissing;
        m.error = QStringLiteral("The file \"%1\" does not exist.").arg(path);
        return m;
    }
    if (info.size() == 0) {
        m.code = kErrSourceUnreadable;
        m.error = QStringLiteral("The file \"%1\" is empty.").arg(path);
        return m;
    }
    wav = ParseWavLayout(path);
    if (wav.riffWave && !wav.isWav) {
        // Never handed to the media libraries: they would walk the rest of the file eight
        // bytes at a time looking for the sample data.
        m.code = kErrSourceUnreadable;
        m.error = QStringLiteral("The WAV file \"%1\" holds no audio data that can be read.").arg(path);
    } else if (wav.isWav && wav.truncated) {
        m.code = kErrSourceDamaged;
        m.error = QStringLiteral("The WAV file \"%1\" is damaged: its header announces %2 bytes of audio, but only %3 are there.")
                      .arg(path)
                      .arg(wav.declaredSize)
                      .arg(wav.dataSize);
    }
    return m;
}

MediaFacts ProbeMedia(const QString& path)
{
    QuietMediaLibraries();
    WavLayout wav;
    MediaFacts m = CheckSourceFile(path, wav);
    if (m.code != 0)
        return m;
    QFileInfo info(path);
    AVFormatContext* fmt = nullptr;
    const int found = OpenMediaFile(path, &fmt);
    if (!fmt) {
        m.code = kErrSourceUnreadable;
        m.error = QStringLiteral("The file \"%1\" is not an audio file that can be read.").arg(path);
        return m;
    }
    const int si = found >= 0 ? av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) : -1;
    if (si < 0 || fmt->streams[si]->codecpar->sample_rate <= 0) {
        avformat_close_input(&fmt);
        m.code = kErrSourceUnreadable;
        m.error = QStringLiteral("The file \"%1\" holds no audio that can be read.").arg(path);
        return m;
    }
    const AVStream* st = fmt->streams[si];
    const AVCodecParameters* par = st->codecpar;
    m.sampleRate = par->sample_rate;
    m.channels = par->ch_layout.nb_channels;
    m.bitsPerSample = par->bits_per_raw_sample > 0 ? par->bits_per_raw_sample : par->bits_per_coded_sample;
    if (m.bitsPerSample <= 0 || m.bitsPerSample > 32 || (!wav.isWav && par->codec_id != AV_CODEC_ID_FLAC))
        m.bitsPerSample = par->bits_per_raw_sample > 0 ? par->bits_per_raw_sample : 16;
    m.bitRate = par->bit_rate > 0 ? par->bit_rate : fmt->bit_rate;
    if (wav.fixedBlocks()) {
        // Counted from the blocks: the header's byte rate may be wrong (ADPCM written by
        // some tools), and the fact chunk counts the padding of the last block.
        const qint64 frames = wav.frames();
        m.durationMs = frames * 1000 / wav.sampleRate;
        m.lengthSeconds = double(frames) / wav.sampleRate;
        if (wav.pcm)
            m.bitsPerSample = wav.bitsPerSample;
    } else {
        double seconds = 0;
        if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
            seconds = st->duration * av_q2d(st->time_base);
        else if (fmt->duration != AV_NOPTS_VALUE && fmt->duration > 0)
            seconds = double(fmt->duration) / AV_TIME_BASE;
        const qint64 audible = par->codec_id == AV_CODEC_ID_MP3 ? mp3AudibleSamples(path) : -1;
        if (audible > 0) {
            seconds = double(audible) / par->sample_rate;
        } else if (fmt->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) {
            // A guess from the first frames' bit rate, which a VBR stream changes along the
            // file: its frames are counted instead.
            const double counted = secondsFromPackets(fmt, si);
            if (counted > 0)
                seconds = counted;
        }
        if (par->codec_id == AV_CODEC_ID_FLAC) {
            const double present = flacSecondsPresent(fmt, si);
            if (present > 0 && present < seconds)
                seconds = present;
        }
        m.lengthSeconds = seconds;
        m.durationMs = qint64(seconds * 1000.0);
    }
    if (m.bitRate <= 0 && m.lengthSeconds > 0)
        m.bitRate = qint64(info.size() * 8 / m.lengthSeconds);
    avformat_close_input(&fmt);
    return m;
}

AudioTags ReadMediaTags(const QString& path)
{
    QuietMediaLibraries();
    AudioTags t;
    AVFormatContext* fmt = nullptr;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return t;
    const WavLayout wav = ParseWavLayout(path);
    if (wav.riffWave && !wav.isWav)
        return t;  // (a WAV file without sample data would keep the media libraries reading it to the end)
    OpenMediaFile(path, &fmt);  // the tags are read even where the streams are not found
    if (!fmt)
        return t;
    auto get = [&](std::initializer_list<const char*> keys) {
        for (const char* k : keys) {
            if (const AVDictionaryEntry* e = av_dict_get(fmt->metadata, k, nullptr, 0))
                return QString::fromUtf8(e->value);
            for (unsigned i = 0; i < fmt->nb_streams; ++i)
                if (const AVDictionaryEntry* e = av_dict_get(fmt->streams[i]->metadata, k, nullptr, 0))
                    return QString::fromUtf8(e->value);
        }
        return QString();
    };
    t.Title = get({"title"});
    t.Artist = get({"artist", "author"});
    t.Album = get({"album", "WM/AlbumTitle"});
    t.Year = get({"date", "year", "WM/Year"});
    t.Comment = get({"comment", "description"});
    t.Genre = get({"genre", "WM/Genre"});
    t.Track = get({"track", "WM/TrackNumber"});
    avformat_close_input(&fmt);
    return t;
}
