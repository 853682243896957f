// Joining entries into one output: checks before anything is written, then either a copy
// of PCM sample bytes or one encoder fed by a decoder per entry.
#include "components/cAudioJoin/JoinPipeline.h"

#include "components/audio/EncodeSink.h"
#include "components/audio/MediaProbe.h"
#include "components/audio/OutputTarget.h"
#include "components/audio/PcmCopy.h"
#include "components/audio/SourceDecoder.h"
#include "components/audio/SourceWatch.h"
#include "components/audio/Transcoder.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <unistd.h>

namespace {

// The entry's samples at `rate`: [first, end); end is the largest number when the entry
// runs to the end of its file.
void entryRange(const JoinEntry& e, int rate, qint64& first, qint64& end)
{
    constexpr qint64 kToEnd = std::numeric_limits<qint64>::max();
    if (e.whole()) {
        first = 0;
        end = kToEnd;
        return;
    }
    first = qint64(e.Start) * rate;
    end = e.Length > 0 ? first + qint64(e.Length) * rate : kToEnd;
}

// Reports an entry's percent as the join's progress; the first percent of 1 or more and
// the 100 always reach the owner, so every entry is seen starting and ending.
class EntryProgress
{
public:
    EntryProgress(JobControl& control, int entry) : m_control(control), m_entry(entry) {}
    void operator()(int percent)
    {
        const bool first = percent >= 1 && !m_seen;
        if (percent >= 1)
            m_seen = true;
        m_control.report(JoinProgressValue(m_entry, percent), first || percent == 100);
    }

private:
    JobControl& m_control;
    int m_entry;
    bool m_seen = false;
};

// Everything that can be known to fail before a byte is written: no entries, a range that
// starts before the beginning, a missing or unreadable file, a WAV without audio, an output
// that is an entry.
JobOutcome checkEntries(const JoinRequest& req, QList<WavLayout>& wavs)
{
    if (req.entries.isEmpty())
        return JobOutcome::error(kErrSourceMissing, QStringLiteral("There are no files to join."));
    for (int i = 0; i < req.entries.size(); ++i) {
        const JoinEntry& e = req.entries[i];
        if (!e.whole() && e.Start < 0)
            return JobOutcome::error(kErrBadRange, QStringLiteral("The range of \"%1\" starts at %2 s, before the beginning.")
                                                       .arg(e.FileName)
                                                       .arg(e.Start));
        WavLayout wav;
        const MediaFacts facts = CheckSourceFile(e.FileName, wav);
        if (facts.code != 0)
            return JobOutcome::error(facts.code, facts.error);
        // Said with its name: joined, it would only show as a range starting after its end.
        if (wav.isWav && wav.dataSize == 0)
            return JobOutcome::error(kErrSourceUnreadable,
                                     QStringLiteral("The WAV file \"%1\" holds no audio.").arg(e.FileName));
        if (OutputTarget::sameFile(req.output, e.FileName))
            return JobOutcome::error(kErrOutputSameAsSource,
                                     QStringLiteral("The output file \"%1\" is one of the files to join; it is left untouched.")
                                         .arg(req.output));
        wavs << wav;
    }
    return JobOutcome::done();
}

// Every entry is a PCM WAV file whose samples the output holds unchanged.
bool copyable(const JoinRequest& req, const QList<WavLayout>& wavs)
{
    if (!req.allowCopy)
        return false;
    const WavLayout& a = wavs.first();
    for (const WavLayout& w : wavs)
        if (!CanCopyPcm(w, req.settings) || w.sampleRate != a.sampleRate || w.channels != a.channels ||
            w.bitsPerSample != a.bitsPerSample)
            return false;
    return true;
}

JobOutcome copyJoin(const JoinRequest& req, const QList<WavLayout>& wavs, OutputTarget& out, JobControl& control,
                    JoinStats& stats)
{
    QList<qint64> firsts, counts;
    qint64 total = 0;
    for (int i = 0; i < wavs.size(); ++i) {
        const WavLayout& w = wavs[i];
        qint64 first = 0, end = 0;
        entryRange(req.entries[i], w.sampleRate, first, end);
        if (first >= w.frames())
            return RangeAfterTheEnd(first, w.frames(), w.sampleRate);
        end = std::min(end, w.frames());
        firsts << first;
        counts << end - first;
        total += (end - first) * w.blockAlign;
    }
    const WavLayout& f = wavs.first();
    const int fd = out.fd();
    auto sysFailed = [&](int err) {
        return JobOutcome::error(kErrWriteFailed, QStringLiteral("Cannot write the output file \"%1\": %2.")
                                                      .arg(req.output, QString::fromLocal8Bit(strerror(err))));
    };
    const QByteArray header = PcmWavHeader(f.sampleRate, f.channels, f.bitsPerSample, total, req.tags);
    if (::write(fd, header.constData(), size_t(header.size())) != header.size())
        return sysFailed(errno == 0 ? ENOSPC : errno);
    for (int i = 0; i < wavs.size(); ++i) {
        const WavLayout& w = wavs[i];
        const qint64 bytes = counts[i] * w.blockAlign;
        EntryProgress progress(control, i + 1);
        JobOutcome r = CopyFileBytes(req.entries[i].FileName, w.dataOffset + firsts[i] * w.blockAlign, bytes, fd,
                                     req.output, control,
                                     [&](qint64 done) { progress(int(std::min<qint64>(99, done * 100 / bytes))); });
        if (r.kind != JobOutcome::Done)
            return r;
        progress(100);
        stats.entrySamples << counts[i];
    }
    if ((total & 1) && ::write(fd, "\0", 1) != 1)
        return sysFailed(errno);
    if (!out.closeFd())
        return sysFailed(errno);
    stats.copied = true;
    return JobOutcome::done();
}

// One encoder for the whole output, made for the first entry's rate and channels; each
// entry's decoder feeds it in turn, the resampler following each entry's format.
JobOutcome decodeJoin(const JoinRequest& req, const QList<WavLayout>& wavs, OutputTarget& out, JobControl& control,
                      JoinStats& stats)
{
    EncodeSink sink;
    bool opened = false;
    for (int i = 0; i < req.entries.size(); ++i) {
        const QString& path = req.entries[i].FileName;
        SourceDecoder dec;
        JobOutcome r = dec.open(path, wavs[i]);
        if (r.kind != JobOutcome::Done)
            return r;
        qint64 first = 0, end = 0;
        entryRange(req.entries[i], dec.rate(), first, end);
        if (dec.seeking() == SourceDecoder::Seeking::Blocks && first >= dec.duration())
            return RangeAfterTheEnd(first, dec.duration(), dec.rate());
        if (!opened) {
            EncoderPlan plan;
            r = planEncoder(req.settings, dec.rate(), dec.channels(), plan);
            if (r.kind != JobOutcome::Done)
                return r;
            out.closeFd();
            r = sink.open(plan, out.tempPath(), out.target(), req.tags, dec.rate(), dec.layout(), dec.format());
            opened = true;
        } else {
            r = sink.setSource(dec.rate(), dec.layout(), dec.format());
        }
        if (r.kind != JobOutcome::Done)
            return r;
        EntryProgress progress(control, i + 1);
        TranscodeStats ts;
        r = DecodeRangeInto(dec, first, end, sink, control, ts, path, std::ref(progress));
        if (r.kind != JobOutcome::Done)
            return r;
        progress(100);
        stats.entrySamples << ts.samplesWritten;
    }
    return sink.finish();
}

// The whole join into the output's temporary file.
JobOutcome joinInto(const JoinRequest& req, OutputTarget& out, JobControl& control, JoinStats& stats)
{
    if (req.settings.OutputFormat == kOutputAPE) {
        EncoderPlan p;
        return planEncoder(req.settings, 44100, 2, p);
    }
    QList<WavLayout> wavs;
    JobOutcome r = checkEntries(req, wavs);
    if (r.kind != JobOutcome::Done)
        return r;
    r = out.prepare(req.output, req.entries.first().FileName, req.replaceable);
    if (r.kind != JobOutcome::Done)
        return r;
    if (control.aborted())
        return JobOutcome::aborted();
    r = copyable(req, wavs) ? copyJoin(req, wavs, out, control, stats) : decodeJoin(req, wavs, out, control, stats);
    if (r.kind != JobOutcome::Done)
        return r;
    if (control.aborted())
        return JobOutcome::aborted();
    return JobOutcome::done();
}

}  // namespace

JobOutcome RunJoin(const JoinRequest& req, JobControl& control, JoinStats* statsOut, bool deferCommit)
{
    QuietMediaLibraries();
    JoinStats local;
    JoinStats& stats = statsOut ? *statsOut : local;
    // Every entry's file is watched: one that changes while it is read fails the join.
    QStringList files;
    for (const JoinEntry& e : req.entries)
        files << e.FileName;
    return WriteFromWatchedSources(files, deferCommit,
                                   [&](OutputTarget& out) { return joinInto(req, out, control, stats); });
}
