// The CD ripper component: the CD drives (real ones and BIN/CUE image drives), the disc's
// tracks, the tray, and ripping one track or a range of it through the converter's encoders.
#pragma once

#include "components/audio/AudioJobComponent.h"

#include <QObject>
#include <QString>

#include <functional>

class cAudioCDRipper : public AudioJobComponent
{
    Q_OBJECT
public:
    explicit cAudioCDRipper(QObject* parent = nullptr);
    ~cAudioCDRipper() override;

    // Devices count from 0; a device's name begins with its drive ("D:").
    virtual qint32 GetDeviceCount() = 0;
    virtual QString GetDeviceName(qint32 Index) = 0;
    virtual bool SelectDevice(qint32 Index) = 0;
    // Why the last SelectDevice failed on an image drive whose files cannot be read as a
    // disc; "" after a success, and for a real drive (an empty drive is no fault).
    virtual QString DeviceError() const { return QString(); }

    // The disc in the current device; tracks count from 1.
    virtual bool IsAudioCD() = 0;
    virtual qint32 GetTrackCount() = 0;
    virtual qint32 GetTrackLength(qint32& Track) = 0;  // whole seconds
    virtual qint32 GetTrackType(qint32& Track) = 0;    // 1 audio, 0 data
    virtual void OpenTray() = 0;
    virtual void CloseTray() = 0;
    virtual void CloseDevice() = 0;

    // The next rip. A newly set track is ripped whole until a range is set.
    void SetDeviceIndex(qint32 index) { m_deviceIndex = index; }
    qint32 DeviceIndex() const { return m_deviceIndex; }
    void SetTrackNumber(qint32 track);
    qint32 TrackNumber() const { return m_trackNumber; }

    // Starts ripping and returns at once; exactly one of Done, Aborted or Error follows.
    virtual void StartRip() = 0;
    virtual bool IsRipping() const = 0;

protected:
    qint32 m_deviceIndex = 0;
    qint32 m_trackNumber = 1;
};

using CDRipperFactory = std::function<cAudioCDRipper*(QObject* parent)>;
cAudioCDRipper* CreateAudioCDRipper(QObject* parent);
void SetAudioCDRipperFactory(CDRipperFactory factory);  // an empty factory restores the real one
