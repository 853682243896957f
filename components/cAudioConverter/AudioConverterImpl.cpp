// The real conversion component: probing on the caller's thread, conversions on a worker
// thread with their events queued back to the caller's thread.
#include "components/cAudioConverter/AudioConverterImpl.h"

#include "components/audio/CodecCatalogue.h"
#include "components/audio/Transcoder.h"

AudioConverterImpl::AudioConverterImpl(QObject* parent) : cAudioConverter(parent), m_runner(this) {}

AudioConverterImpl::~AudioConverterImpl() = default;

qint32 AudioConverterImpl::ReadFileInfo(const QString& FileName)
{
    m_facts = ProbeMedia(FileName);
    if (m_facts.code != 0)
        m_facts = MediaFacts{m_facts.code, m_facts.error};
    return m_facts.code;
}

qint32 AudioConverterImpl::Duration() const
{
    return qint32(std::min<qint64>(m_facts.durationMs, std::numeric_limits<qint32>::max()));
}

qint32 AudioConverterImpl::SampleRate() const
{
    return m_facts.sampleRate;
}

qint16 AudioConverterImpl::Channels() const
{
    return qint16(m_facts.channels);
}

qint32 AudioConverterImpl::BitsPerSample() const
{
    return m_facts.bitsPerSample;
}

void AudioConverterImpl::ReadTags(const QString& FileName)
{
    m_tags = ReadMediaTags(FileName);
}

void AudioConverterImpl::CloseFile()
{
    // Forget what was read, and release the source kept open for the next part (a running
    // conversion keeps it until it ends).
    m_facts = MediaFacts{};
    m_cache = MakeSourceCache();
}

void AudioConverterImpl::StartConvert()
{
    if (m_runner.busy()) {
        QMetaObject::invokeMethod(
            this, [this] { emit Error(kErrBusy, QStringLiteral("A conversion is already running.")); }, Qt::QueuedConnection);
        return;
    }
    TranscodeRequest req;
    req.source = m_sourceFile;
    req.output = m_outputFile;
    req.replaceable = takeOverwriteAgreed();
    req.settings = m_settings;
    req.tags = m_tags;
    req.hasRange = m_hasRange;
    req.rangeStart = m_rangeStart;
    req.rangeLength = m_rangeLength;
    req.allowCopy = m_allowCopy;
    req.cache = m_cache;
    // What the worker counts is read here once the job has ended (its end event follows it).
    m_writtenMs = -1;
    auto stats = std::make_shared<TranscodeStats>();
    m_runner.start([req, stats](JobControl& control) { return RunTranscode(req, control, stats.get(), true); },
                   ProgressEvent(this), [this, stats, end = EndEvents(this)](const JobOutcome& outcome) {
                       if (outcome.kind == JobOutcome::Done && stats->sampleRate > 0)
                           m_writtenMs = stats->samplesWritten * 1000 / stats->sampleRate;
                       end(outcome);
                   });
}

void AudioConverterImpl::Abort()
{
    m_runner.abort();
}

bool AudioConverterImpl::IsConverting() const
{
    return m_runner.busy();
}

void AudioConverterImpl::CloseConverter()
{
    m_runner.abort();
    CloseFile();
}

void AudioConverterImpl::EnumACMTags(qint32 FormatTag, qint32 SamplesPerSec, qint32 Channels, qint32 BitsPerSample,
                                     qint32 Flags)
{
    for (const QString& tag : CodecCatalogue::acmTagsFor(FormatTag, SamplesPerSec, Channels, BitsPerSample, Flags))
        emit ACMTagFound(tag);
}

void AudioConverterImpl::EnumACMFormats(const QString& TagName)
{
    if (const AcmCodec* codec = CodecCatalogue::findAcmCodec(TagName))
        for (const AcmFormat& f : codec->formats)
            emit ACMFormatFound(f.text);
}

qint32 AudioConverterImpl::GetWMACodecCount()
{
    return qint32(CodecCatalogue::wmaCodecs().size());
}

QString AudioConverterImpl::GetWMACodecName(qint32& CodecIndex)
{
    const auto& codecs = CodecCatalogue::wmaCodecs();
    return CodecIndex >= 0 && CodecIndex < codecs.size() ? codecs[CodecIndex].name : QString();
}

qint32 AudioConverterImpl::GetWMAFormatCount(qint32 CodecIndex)
{
    const auto& codecs = CodecCatalogue::wmaCodecs();
    return CodecIndex >= 0 && CodecIndex < codecs.size() ? qint32(codecs[CodecIndex].formats.size()) : 0;
}

QString AudioConverterImpl::GetWMAFormatName(qint32 CodecIndex, qint32& FormatIndex)
{
    const auto& codecs = CodecCatalogue::wmaCodecs();
    if (CodecIndex < 0 || CodecIndex >= codecs.size())
        return QString();
    const auto& formats = codecs[CodecIndex].formats;
    return FormatIndex >= 0 && FormatIndex < formats.size() ? formats[FormatIndex].text : QString();
}
