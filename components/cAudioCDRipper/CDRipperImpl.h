// The real CD ripper component over libcdio and libcdio-paranoia.
#pragma once

#include "components/audio/JobRunner.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"

#include <memory>

class CdDisc;

class CDRipperImpl : public cAudioCDRipper
{
    Q_OBJECT
public:
    explicit CDRipperImpl(QObject* parent = nullptr);
    ~CDRipperImpl() override;

    qint32 GetDeviceCount() override;
    QString GetDeviceName(qint32 Index) override;
    bool SelectDevice(qint32 Index) override;
    QString DeviceError() const override { return m_deviceError; }
    bool IsAudioCD() override;
    qint32 GetTrackCount() override;
    qint32 GetTrackLength(qint32& Track) override;
    qint32 GetTrackType(qint32& Track) override;
    void OpenTray() override;
    void CloseTray() override;
    void CloseDevice() override;

    void StartRip() override;
    void Abort() override;
    bool IsRipping() const override;

private:
    std::shared_ptr<CdDisc> m_disc;  // the current device, opened
    qint32 m_current = -1;
    QString m_deviceError;
    JobRunner m_runner;
};
