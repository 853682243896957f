// The conversion pipeline the converter and the CD ripper share: a file (or raw CD audio)
// is read from its range start, converted to the output format and streamed into a
// temporary file beside the target, which is renamed into place only on success.
#pragma once

#include "components/audio/AudioSettings.h"
#include "components/audio/JobRunner.h"

#include <QString>

#include <functional>
#include <memory>

// Raw CD audio: 44100 Hz, 16-bit, stereo, interleaved little-endian frames.
class PcmReader
{
public:
    virtual ~PcmReader() = default;
    virtual qint64 totalFrames() const = 0;
    // Reads up to `frames` frames; returns the number read, 0 at the end, -1 on a failure
    // (with `error` set).
    virtual int read(qint16* dst, int frames, QString& error) = 0;
};

// Keeps a source file open between the jobs on it (the parts of a split), so that each part
// reaches its start by a short seek from where the previous one ended.
class SourceCache;
std::shared_ptr<SourceCache> MakeSourceCache();

struct TranscodeRequest {
    QString source;                   // the file to convert (unless pcm is set)
    std::shared_ptr<PcmReader> pcm;   // raw CD audio, already limited to the range
    QString output;
    FileIdentity replaceable;         // the file of the output's name the user agreed to replace
    EncoderSettings settings;
    AudioTags tags;
    bool hasRange = false;
    qint32 rangeStart = 0;   // seconds
    qint32 rangeLength = 0;  // seconds; 0 or less: to the end of the source
    // A range in source samples, in place of the one in seconds: from rangeFirstSample
    // (when 0 or more), rangeSampleCount samples (more than 0).
    qint64 rangeFirstSample = -1;
    qint64 rangeSampleCount = 0;
    bool allowCopy = true;   // copy PCM samples unchanged when source and target formats match
    std::shared_ptr<SourceCache> cache;  // optional; used by one job at a time
};

// What a run did, for tests and the benchmark.
struct TranscodeStats {
    int seeks = 0;
    qint64 packetsRead = 0;
    bool copied = false;         // the samples were copied, not decoded and encoded
    qint64 samplesWritten = 0;   // source samples that reached the output
    int sampleRate = 0;          // the source's samples per second
};

// With deferCommit the finished output stays in its temporary file, named in the outcome,
// for JobRunner to rename (or remove, when the job was aborted meanwhile) on the owner's thread.
JobOutcome RunTranscode(const TranscodeRequest& request, JobControl& control, TranscodeStats* stats = nullptr,
                        bool deferCommit = false);

class EncodeSink;
class SourceDecoder;

// Decodes the source samples [first, end) (end may be the largest number: to the source's
// end) into the sink, exactly those samples; `progress` hears 0..99 of the range. A range
// that holds no audio is an error.
JobOutcome DecodeRangeInto(SourceDecoder& dec, qint64 first, qint64 end, EncodeSink& sink, JobControl& control,
                           TranscodeStats& stats, const QString& source, const std::function<void(int)>& progress);

// The error of a range that starts at or after the source's last sample.
JobOutcome RangeAfterTheEnd(qint64 first, qint64 endSample, int rate);
