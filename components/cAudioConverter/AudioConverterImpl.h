// The real conversion component over the FFmpeg libraries.
#pragma once

#include "components/audio/JobRunner.h"
#include "components/audio/MediaProbe.h"
#include "components/audio/Transcoder.h"
#include "components/cAudioConverter/cAudioConverter.h"

class AudioConverterImpl : public cAudioConverter
{
    Q_OBJECT
public:
    explicit AudioConverterImpl(QObject* parent = nullptr);
    ~AudioConverterImpl() override;

    qint32 ReadFileInfo(const QString& FileName) override;
    qint32 Duration() const override;
    qint32 SampleRate() const override;
    qint16 Channels() const override;
    qint32 BitsPerSample() const override;
    void ReadTags(const QString& FileName) override;
    void CloseFile() override;
    QString FileInfoError() const override { return m_facts.error; }

    void StartConvert() override;
    void Abort() override;
    bool IsConverting() const override;
    void CloseConverter() override;

    void EnumACMTags(qint32 FormatTag, qint32 SamplesPerSec, qint32 Channels, qint32 BitsPerSample, qint32 Flags) override;
    void EnumACMFormats(const QString& TagName) override;
    qint32 GetWMACodecCount() override;
    QString GetWMACodecName(qint32& CodecIndex) override;
    qint32 GetWMAFormatCount(qint32 CodecIndex) override;
    QString GetWMAFormatName(qint32 CodecIndex, qint32& FormatIndex) override;

    // For tests: copying PCM samples unchanged may be switched off to exercise the decoder.
    void setAllowCopy(bool allow) { m_allowCopy = allow; }

private:
    MediaFacts m_facts;
    std::shared_ptr<SourceCache> m_cache = MakeSourceCache();  // the source of the last conversion, kept open
    JobRunner m_runner;
    bool m_allowCopy = true;
};
