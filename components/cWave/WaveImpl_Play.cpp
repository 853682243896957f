// The real wave component's playback, file facts, devices and error texts. A file plays
// only when its header, read with every size bounded by the file's own, describes plain
// PCM samples; the shared SDL playback plays exactly the samples of its data chunk.
#include "components/audio/AudioPlayback.h"
#include "components/audio/MediaProbe.h"
#include "components/audio/SdlAudio.h"
#include "components/cWave/WaveImpl.h"

#include <QFileInfo>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

bool WaveImpl::SameFile(const QString& a, const QString& b)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(a).toStdString()),
                                                  std::filesystem::path(QFile::encodeName(b).toStdString()), error);
    return !error && same;
}

qint32 WaveImpl::ReadWave(const QString& path, WavLayout& wav)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return Fail(kWaveErrFileMissing, QStringLiteral("The file \"%1\" does not exist.").arg(path));
    wav = ParseWavLayout(path);
    if (!wav.riffWave)
        return Fail(kWaveErrNotWave, QStringLiteral("The file \"%1\" is not a WAV file.").arg(path));
    if (!wav.isWav)
        return Fail(kWaveErrNotWave, QStringLiteral("The WAV file \"%1\" is damaged: its header describes no "
                                                    "samples that can be read.")
                                         .arg(path));
    return 0;
}

qint32 WaveImpl::GetFileInfo(const QString& FileName, WaveFileInfo& Info)
{
    WavLayout w;
    if (const qint32 code = ReadWave(FileName, w))
        return code;
    const QFileInfo file(FileName);
    Info.wFormatTag = quint16(w.formatTag);
    Info.nChannels = quint16(w.channels);
    Info.nSamplesPerSec = quint32(w.sampleRate);
    Info.nBlockAlign = quint16(w.blockAlign);
    Info.wBitsPerSample = quint16(w.bitsPerSample);
    // The bytes one second of the data takes: for codecs of equal blocks from the block
    // size and the samples each block holds.
    const qint64 perBlock = w.samplesPerBlock();
    Info.nAvgBytesPerSec = perBlock > 0 ? quint32(qint64(w.sampleRate) * w.blockAlign / perBlock) : 0;
    Info.cbSize = 0;
    Info.FileName = file.fileName();
    Info.FilePath = file.absolutePath();
    Info.SecondsLength =
        Info.nAvgBytesPerSec > 0 ? qint32(std::nearbyint(double(w.dataSize) / Info.nAvgBytesPerSec)) : 0;
    return 0;
}

qint32 WaveImpl::PlayStart(const QString& FileName, qint16 DeviceIndex, qint16)
{
    if (m_play)
        return Fail(kWaveErrBusy, QStringLiteral("Another file is playing."));
    if (m_rec && SameFile(FileName, m_recPath))
        return Fail(kWaveErrSameFile, QStringLiteral("The file \"%1\" is being recorded: it can be played once the "
                                                     "recording has ended.")
                                          .arg(FileName));
    WavLayout w;
    if (const qint32 code = ReadWave(FileName, w))
        return code;
    if (!w.pcm)
        return Fail(kWaveErrNotPcm, QStringLiteral("The WAV file \"%1\" does not hold plain PCM samples (format tag "
                                                   "%2): only PCM WAV files are played.")
                                        .arg(FileName)
                                        .arg(w.codecTag));
    const int bits = w.bitsPerSample;
    if ((bits != 8 && bits != 16 && bits != 24 && bits != 32) || w.channels > 8 ||
        w.blockAlign != w.channels * bits / 8)
        return Fail(kWaveErrNotWave, QStringLiteral("The WAV file \"%1\" is damaged: its format header does not add "
                                                    "up (%2 channels, %3 bits per sample, %4 bytes per block).")
                                         .arg(FileName)
                                         .arg(w.channels)
                                         .arg(bits)
                                         .arg(w.blockAlign));
    if (!InitSdlAudio())
        return Fail(kWaveErrNoDevice, QStringLiteral("No sound output can be used: %1").arg(SdlAudioError()));

    const quint64 generation = ++m_playGeneration;
    AudioPlayback::Request request;
    request.path = FileName;
    request.deviceIndex = DeviceIndex;
    request.sampleRate = w.sampleRate;
    request.channels = w.channels;
    request.firstSample = 0;
    request.endSample = w.frames();  // the data chunk's samples, never what follows it
    request.onEnd = QueuedPlaybackEnd(this, &WaveImpl::PlaybackEnded, generation);
    m_play = AudioPlayback::start(request);
    if (!m_play)
        return Fail(kWaveErrDevice, QStringLiteral("No sound output device can be opened: %1")
                                        .arg(QString::fromUtf8(SDL_GetError())));
    m_playPath = FileName;
    m_playLength = double(w.frames()) / w.sampleRate;
    m_playedToEnd = false;
    return 0;
}

void WaveImpl::PlaybackEnded(quint64 generation)
{
    if (generation != m_playGeneration || !m_play)
        return;
    m_play.reset();
    m_playedToEnd = true;
    emit DonePlay();
}

qint32 WaveImpl::PlayStop()
{
    ++m_playGeneration;  // an end already on its way is dropped
    m_play.reset();
    m_playedToEnd = false;
    return 0;
}

void WaveImpl::PlayPause()
{
    if (m_play)
        m_play->pause();
}

void WaveImpl::PlayUnPause()
{
    if (m_play)
        m_play->resume();
}

qint32 WaveImpl::GetPlayPosition()
{
    if (m_playedToEnd)
        return 100;
    if (!m_play || m_playLength <= 0)
        return 0;
    return qint32(std::clamp(m_play->positionSeconds() / m_playLength * 100.0, 0.0, 100.0));
}

qint32 WaveImpl::GetPlaySeconds()
{
    if (m_playedToEnd)
        return qint32(m_playLength);
    if (!m_play)
        return 0;
    return qint32(std::clamp(m_play->positionSeconds(), 0.0, m_playLength));
}

qint32 WaveImpl::GetDeviceCount(qint32 Kind)
{
    if ((Kind != kWaveInputDevices && Kind != kWaveOutputDevices) || !InitSdlAudio())
        return 0;
    return std::max(0, SDL_GetNumAudioDevices(Kind == kWaveInputDevices));
}

void WaveImpl::GetDeviceInfo(qint32& Index, WaveDeviceInfo& Info, qint32 Kind)
{
    Info = WaveDeviceInfo();
    if (Index < 0 || Index >= GetDeviceCount(Kind))
        return;
    const int capture = Kind == kWaveInputDevices;
    Info.Name = QString::fromUtf8(SDL_GetAudioDeviceName(Index, capture));
    Info.Driver = QString::fromUtf8(SDL_GetCurrentAudioDriver());
    SDL_AudioSpec spec{};
    if (SDL_GetAudioDeviceSpec(Index, capture, &spec) == 0) {
        Info.SampleRate = spec.freq;
        Info.Channels = spec.channels;
    }
}

QString WaveImpl::GetErrorText(qint32& Code)
{
    if (Code == 0)
        return QString();
    if (m_reasons.contains(Code))
        return m_reasons.value(Code);
    switch (Code) {
    case kWaveErrNoDevice:
        return QStringLiteral("No sound device was found.");
    case kWaveErrDevice:
        return QStringLiteral("The sound device cannot be opened.");
    case kWaveErrFormat:
        return QStringLiteral("The format cannot be recorded.");
    case kWaveErrFileWrite:
        return QStringLiteral("The file cannot be written.");
    case kWaveErrFileMissing:
        return QStringLiteral("The file does not exist.");
    case kWaveErrNotWave:
        return QStringLiteral("The file is not a WAV file that can be read.");
    case kWaveErrNotPcm:
        return QStringLiteral("The WAV file does not hold plain PCM samples.");
    case kWaveErrBusy:
        return QStringLiteral("The component is busy.");
    case kWaveErrSameFile:
        return QStringLiteral("The file is being recorded or played.");
    case kWaveErrFileFull:
        return QStringLiteral("The recording reached the largest size a WAV file can hold.");
    default:
        return QStringLiteral("Unknown error %1.").arg(Code);
    }
}
