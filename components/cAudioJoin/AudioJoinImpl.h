// The real join component over the conversion pipeline's decoder and encoder.
#pragma once

#include "components/audio/JobRunner.h"
#include "components/cAudioJoin/cAudioJoin.h"

class AudioJoinImpl : public cAudioJoin
{
    Q_OBJECT
public:
    explicit AudioJoinImpl(QObject* parent = nullptr);
    ~AudioJoinImpl() override;

    void StartJoin() override;
    bool IsJoining() const override;
    void Abort() override;
    void Reset() override;
    void Close() override;

    // For tests: copying PCM samples unchanged may be switched off to exercise the decoder.
    void setAllowCopy(bool allow) { m_allowCopy = allow; }

private:
    JobRunner m_runner;
    bool m_allowCopy = true;
};
