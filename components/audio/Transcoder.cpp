// The conversion pipeline: decode from the range start, trim to the exact samples,
// resample, encode in whole frames and mux into a temporary file beside the target; or,
// when source and target are the same PCM format, copy the sample bytes.
#include "components/audio/Transcoder.h"

#include "components/audio/EncodeSink.h"
#include "components/audio/MediaProbe.h"
#include "components/audio/OutputTarget.h"
#include "components/audio/PcmCopy.h"
#include "components/audio/SourceDecoder.h"
#include "components/audio/SourceWatch.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QDateTime>
#include <QFileInfo>

extern "C" {
#include <libavcodec/avcodec.h>
}

class SourceCache
{
public:
    QString path;
    qint64 size = -1;
    QDateTime modified;
    std::unique_ptr<SourceDecoder> decoder;
};

std::shared_ptr<SourceCache> MakeSourceCache()
{
    return std::make_shared<SourceCache>();
}

namespace {

// The request's range in source samples at `rate`: [first, end); end is the largest number
// when the range runs to the end of the source.
void sampleRange(const TranscodeRequest& req, int rate, qint64& first, qint64& end)
{
    constexpr qint64 kToEnd = std::numeric_limits<qint64>::max();
    if (req.rangeFirstSample >= 0) {
        first = req.rangeFirstSample;
        end = req.rangeSampleCount > 0 ? first + req.rangeSampleCount : kToEnd;
        return;
    }
    const qint64 firstSec = req.hasRange ? req.rangeStart : 0;
    const qint64 lenSec = req.hasRange ? req.rangeLength : 0;
    first = firstSec * rate;
    end = lenSec > 0 ? first + lenSec * rate : kToEnd;
}

}  // namespace

JobOutcome RangeAfterTheEnd(qint64 first, qint64 endSample, int rate)
{
    return JobOutcome::error(kErrBadRange, QStringLiteral("The range starts at %1 s, after the end of the source (%2 s).")
                                               .arg(first % rate == 0 ? QString::number(first / rate)
                                                                      : QString::number(double(first) / rate, 'f', 3))
                                               .arg(double(endSample) / rate, 0, 'f', 1));
}

namespace {

// The decoder for a job: the one kept open from the previous part of the same, unchanged
// file, which reaches a later range by decoding on or by a short seek, or a fresh one.
JobOutcome sourceDecoder(const TranscodeRequest& req, const WavLayout& wav, std::unique_ptr<SourceDecoder>& owned,
                         SourceDecoder*& decoder)
{
    const QFileInfo info(req.source);
    SourceCache* cache = req.cache.get();
    const bool laterStart = req.rangeFirstSample >= 0 ? req.rangeFirstSample > 0 : req.hasRange && req.rangeStart > 0;
    if (cache && cache->decoder && laterStart && cache->path == info.absoluteFilePath() && cache->size == info.size() &&
        cache->modified == info.lastModified()) {
        decoder = cache->decoder.get();
        return JobOutcome::done();
    }
    if (cache)
        cache->decoder.reset();
    owned = std::make_unique<SourceDecoder>();
    JobOutcome r = owned->open(req.source, wav);
    if (r.kind != JobOutcome::Done)
        return r;
    decoder = owned.get();
    if (cache) {
        cache->path = info.absoluteFilePath();
        cache->size = info.size();
        cache->modified = info.lastModified();
        cache->decoder = std::move(owned);
    }
    return JobOutcome::done();
}

JobOutcome transcodeFile(const TranscodeRequest& req, const WavLayout& wav, OutputTarget& out, JobControl& control,
                         TranscodeStats& stats)
{
    std::unique_ptr<SourceDecoder> owned;
    SourceDecoder* decoder = nullptr;
    JobOutcome r = sourceDecoder(req, wav, owned, decoder);
    if (r.kind != JobOutcome::Done)
        return r;
    SourceDecoder& dec = *decoder;
    stats.sampleRate = dec.rate();
    qint64 first = 0, end = 0;
    sampleRange(req, dec.rate(), first, end);
    if (dec.seeking() == SourceDecoder::Seeking::Blocks && first >= dec.duration())
        return RangeAfterTheEnd(first, dec.duration(), dec.rate());
    EncoderPlan plan;
    r = planEncoder(req.settings, dec.rate(), dec.channels(), plan);
    if (r.kind != JobOutcome::Done)
        return r;
    EncodeSink sink;
    out.closeFd();
    r = sink.open(plan, out.tempPath(), out.target(), req.tags, dec.rate(), dec.layout(), dec.format());
    if (r.kind != JobOutcome::Done)
        return r;
    r = DecodeRangeInto(dec, first, end, sink, control, stats, req.source,
                        [&control](int percent) { control.progress(percent); });
    if (r.kind != JobOutcome::Done)
        return r;
    return sink.finish();
}

JobOutcome transcodePcm(const TranscodeRequest& req, OutputTarget& out, JobControl& control, TranscodeStats& stats)
{
    PcmReader& src = *req.pcm;
    EncoderPlan plan;
    JobOutcome r = planEncoder(req.settings, 44100, 2, plan);
    if (r.kind != JobOutcome::Done)
        return r;
    EncodeSink sink;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    out.closeFd();
    r = sink.open(plan, out.tempPath(), out.target(), req.tags, 44100, stereo, AV_SAMPLE_FMT_S16);
    if (r.kind != JobOutcome::Done)
        return r;
    stats.sampleRate = 44100;
    const qint64 total = std::max<qint64>(1, src.totalFrames());
    constexpr int kChunk = 588 * 25;  // 25 CD sectors
    std::vector<qint16> buf(kChunk * 2);
    while (true) {
        if (control.aborted())
            return JobOutcome::aborted();
        QString error;
        const int n = src.read(buf.data(), kChunk, error);
        if (n < 0)
            return JobOutcome::error(kErrDevice, error);
        if (n == 0)
            break;
        const uint8_t* ptrs[1] = {reinterpret_cast<const uint8_t*>(buf.data())};
        r = sink.write(ptrs, n);
        if (r.kind != JobOutcome::Done)
            return r;
        stats.samplesWritten += n;
        control.progress(int(std::min<qint64>(99, stats.samplesWritten * 100 / total)));
    }
    if (stats.samplesWritten == 0)
        return JobOutcome::error(kErrBadRange, QStringLiteral("The range holds no audio."));
    return sink.finish();
}

}  // namespace

JobOutcome DecodeRangeInto(SourceDecoder& dec, qint64 first, qint64 end, EncodeSink& sink, JobControl& control,
                           TranscodeStats& stats, const QString& source, const std::function<void(int)>& progress)
{
    const qint64 before = stats.samplesWritten;
    JobOutcome r = dec.positionAt(first, stats);
    if (r.kind != JobOutcome::Done)
        return r;
    // Progress runs from the first sample decoded for this range, which lies before it
    // when the decoder has to run in from further back.
    qint64 base = -1;
    while (true) {
        if (control.aborted())
            return JobOutcome::aborted();
        const int got = dec.next(stats);
        if (got < 0)
            return JobOutcome::error(kErrDecodeFailed, QStringLiteral("Cannot decode the file \"%1\".").arg(source));
        if (got == 0)
            break;
        const AVFrame* f = dec.frame();
        const qint64 pos = dec.pos();
        if (pos >= end)
            break;
        if (base < 0)
            base = std::min(pos, first);
        const qint64 a = std::max(pos, first);
        const qint64 b = std::min(pos + f->nb_samples, end);
        if (b > a) {
            if (f->format != dec.format())
                return JobOutcome::error(kErrDecodeFailed,
                                         QStringLiteral("The audio format of \"%1\" changes within the file.").arg(source));
            const uint8_t* ptrs[AV_NUM_DATA_POINTERS] = {};
            FrameSamplesFrom(f, int(a - pos), ptrs);
            r = sink.write(ptrs, int(b - a));
            if (r.kind != JobOutcome::Done)
                return r;
            stats.samplesWritten += b - a;
        }
        const qint64 last = std::min(end, dec.duration() > 0 ? std::max(dec.duration(), b) : end);
        if (progress)
            progress(int(std::min<qint64>(99, (b - base) * 100 / std::max<qint64>(1, last - base))));
        if (pos + f->nb_samples >= end)
            break;  // this frame stays current: a next range starting at `end` begins in it
    }
    if (stats.samplesWritten == before) {
        const qint64 known = dec.endPosition() >= 0 ? dec.endPosition() : dec.duration();
        if (known > 0 && first >= known)
            return RangeAfterTheEnd(first, known, dec.rate());
        return JobOutcome::error(kErrBadRange, QStringLiteral("The range holds no audio of \"%1\".").arg(source));
    }
    return JobOutcome::done();
}

namespace {

// The whole conversion into the output's temporary file.
JobOutcome transcodeInto(const TranscodeRequest& req, OutputTarget& out, JobControl& control, TranscodeStats& stats)
{
    if (req.settings.OutputFormat == kOutputAPE) {
        EncoderPlan p;
        return planEncoder(req.settings, 44100, 2, p);
    }
    if (req.hasRange && req.rangeStart < 0)
        return JobOutcome::error(kErrBadRange, QStringLiteral("The range start %1 s is before the beginning.").arg(req.rangeStart));
    if (req.rangeFirstSample >= 0 && req.rangeSampleCount <= 0)
        return JobOutcome::error(kErrBadRange, QStringLiteral("The range holds no samples."));

    WavLayout wav;
    if (!req.pcm) {
        const MediaFacts facts = CheckSourceFile(req.source, wav);
        if (facts.code != 0)
            return JobOutcome::error(facts.code, facts.error);
    }
    JobOutcome r = out.prepare(req.output, req.pcm ? QString() : req.source, req.replaceable);
    if (r.kind != JobOutcome::Done)
        return r;
    if (control.aborted())
        return JobOutcome::aborted();

    if (req.pcm) {
        r = transcodePcm(req, out, control, stats);
    } else if (req.allowCopy && CanCopyPcm(wav, req.settings)) {
        qint64 first = 0, end = 0;
        sampleRange(req, wav.sampleRate, first, end);
        if (first >= wav.frames())
            return RangeAfterTheEnd(first, wav.frames(), wav.sampleRate);
        r = CopyPcm(req, wav, first, end, out, control, stats);
    } else {
        r = transcodeFile(req, wav, out, control, stats);
        if (r.kind != JobOutcome::Done && req.cache)
            req.cache->decoder.reset();  // start the next job from a clean state
    }
    if (r.kind != JobOutcome::Done)
        return r;
    if (control.aborted())
        return JobOutcome::aborted();
    control.progress(100);
    return JobOutcome::done();
}

}  // namespace

JobOutcome RunTranscode(const TranscodeRequest& req, JobControl& control, TranscodeStats* statsOut, bool deferCommit)
{
    QuietMediaLibraries();
    TranscodeStats local;
    TranscodeStats& stats = statsOut ? *statsOut : local;
    // A file source that changes while it is read fails the job before the output takes its
    // name; raw CD audio comes from no file to watch.
    return WriteFromWatchedSources(req.pcm ? QStringList() : QStringList{req.source}, deferCommit,
                                   [&](OutputTarget& out) { return transcodeInto(req, out, control, stats); });
}
