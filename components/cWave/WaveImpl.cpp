// The real wave component's recording: SDL's capture thread hands over each buffer of the
// input device, opened in exactly the asked format (SDL converts from whatever the device
// delivers); the buffer's peak feeds the meter, and unless the recording is paused the
// buffer goes to the pre-screen and is appended to the WAV file, whose header is brought
// up to date after every buffer and completed when the recording ends.
#include "components/cWave/WaveImpl.h"

#include "components/audio/AudioPlayback.h"
#include "components/audio/PcmCopy.h"
#include "components/audio/SdlAudio.h"

#include <QFile>
#include <QMetaObject>

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The most sample bytes a WAV file's 32-bit sizes can describe (with the header and a pad
// byte); a recording ends by itself there.
constexpr qint64 kMaxDataBytes = 0xFFFFFFFFLL - 44 - 1;

// The meter's scale: the loudest sample of a buffer, 0 (silence) to 120 (full scale).
constexpr int kMeterTop = 120;
constexpr int kMeterMs = 100;

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

SDL_AudioFormat sdlFormat(int bits)
{
    return bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}

// The header of a PCM WAV file of `data` sample bytes.
QByteArray waveHeader(const WaveFormat& f, qint64 data)
{
    return PcmWavHeader(int(f.nSamplesPerSec), f.nChannels, f.wBitsPerSample, data, {});
}

// Why a file of this mode is not recorded into; empty for a regular file.
QString notARegularFile(mode_t mode)
{
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return systemText(EISDIR);
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a named pipe, not a regular file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a regular file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a regular file");
    return QStringLiteral("it is not a regular file");
}

// The same for what the path names (links followed); empty when it names nothing.
QString notARegularFile(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return notARegularFile(st.st_mode);
}

bool writeAll(int fd, const char* data, qint64 size, qint64 offset)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

}  // namespace

// ---- the pre-screen --------------------------------------------------------------------

// The default output device that plays what a recording captures; it converts from the
// recording's format when the two differ.
struct WaveImpl::Monitor {
    std::mutex lock;
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec spec{};
    SDL_AudioStream* stream = nullptr;
    SDL_AudioSpec from{};  // the format the stream converts from
    std::vector<Uint8> converted;

    ~Monitor() { close(); }

    void open(const WaveFormat& f)
    {
        close();
        if (!InitSdlAudio() || (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) || f.nChannels < 1 ||
            f.nSamplesPerSec == 0)
            return;
        SDL_AudioSpec want{};
        want.freq = int(f.nSamplesPerSec);
        want.format = sdlFormat(f.wBitsPerSample);
        want.channels = Uint8(f.nChannels);
        want.samples = 1024;
        std::lock_guard<std::mutex> g(lock);
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &spec, 0);
        if (device != 0)
            SDL_PauseAudioDevice(device, 0);
    }

    void close()
    {
        std::lock_guard<std::mutex> g(lock);
        if (device != 0)
            SDL_CloseAudioDevice(device);
        device = 0;
        if (stream)
            SDL_FreeAudioStream(stream);
        stream = nullptr;
    }

    // From the capture thread: queues the buffer for the output, unless a second of sound
    // is still waiting there (an output slower than the input drops rather than lags).
    void feed(const SDL_AudioSpec& src, const Uint8* data, int len)
    {
        std::lock_guard<std::mutex> g(lock);
        if (device == 0)
            return;
        if (!stream || src.format != from.format || src.channels != from.channels || src.freq != from.freq) {
            if (stream)
                SDL_FreeAudioStream(stream);
            stream = SDL_NewAudioStream(src.format, src.channels, src.freq, spec.format, spec.channels, spec.freq);
            from = src;
            if (!stream)
                return;
        }
        if (SDL_AudioStreamPut(stream, data, len) != 0)
            return;
        const int available = SDL_AudioStreamAvailable(stream);
        if (available <= 0)
            return;
        converted.resize(size_t(available));
        const int got = SDL_AudioStreamGet(stream, converted.data(), available);
        const Uint32 second = Uint32(spec.freq) * spec.channels * (SDL_AUDIO_BITSIZE(spec.format) / 8);
        if (got > 0 && SDL_GetQueuedAudioSize(device) < second)
            SDL_QueueAudio(device, converted.data(), Uint32(got));
    }
};

// ---- one recording ---------------------------------------------------------------------

struct WaveImpl::Capture {
    WaveImpl* owner = nullptr;
    quint64 generation = 0;
    Monitor* monitor = nullptr;
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec spec{};
    WaveFormat format;
    QString path;
    int fd = -1;
    int headerBytes = 44;
    qint64 maxData = 0;   // whole frames below kMaxDataBytes
    int cutLevel = -1;    // the silence cut's level, -1 without a cut

    std::atomic<bool> paused{false};
    std::atomic<int> peak{-1};       // the loudest buffer since the meter last read it
    std::atomic<bool> ended{false};  // nothing more is written (a failure or the size limit)

    // The capture thread's own while the device is open; read once it is closed.
    qint64 dataBytes = 0;
    qint64 loudEnd = 0;  // where the last frame at or above the cut level ends
    int writeError = 0;
    bool full = false;

    // The loudest sample of the buffer on the meter's scale. For frames that are written
    // (`kept`) with a silence cut, also moves loudEnd past every frame at the cut level.
    int scan(const Uint8* data, int frames, bool kept)
    {
        const int channels = format.nChannels;
        const int top = format.wBitsPerSample == 8 ? 128 : 32768;
        int loudest = 0;
        for (int f = 0; f < frames; ++f) {
            int frameLoudest = 0;
            for (int c = 0; c < channels; ++c) {
                int v;
                if (format.wBitsPerSample == 8) {
                    v = std::abs(int(data[f * channels + c]) - 128);
                } else {
                    const Uint8* p = data + (f * channels + c) * 2;
                    v = std::abs(int(qint16(quint16(p[0]) | quint16(p[1]) << 8)));
                }
                frameLoudest = std::max(frameLoudest, v);
            }
            loudest = std::max(loudest, frameLoudest);
            if (kept && cutLevel >= 0 && qint64(frameLoudest) * kMeterTop >= qint64(cutLevel) * top)
                loudEnd = dataBytes + qint64(f + 1) * format.nBlockAlign;
        }
        return int(qint64(loudest) * kMeterTop / top);
    }

    static void callback(void* user, Uint8* stream, int len)
    {
        auto* c = static_cast<Capture*>(user);
        if (c->ended)
            return;
        const int block = c->format.nBlockAlign;
        // A paused recording keeps showing the input's level; the sound itself is dropped.
        const bool paused = c->paused;
        const int frames = int(std::min<qint64>(len / block, (c->maxData - c->dataBytes) / block));
        const int level = c->scan(stream, frames, !paused);
        int seen = c->peak.load();
        while (level > seen && !c->peak.compare_exchange_weak(seen, level)) {
        }
        if (paused)
            return;
        if (c->monitor)
            c->monitor->feed(c->spec, stream, len);
        const qint64 bytes = qint64(frames) * block;
        qint64 done = 0;
        while (done < bytes) {
            const ssize_t n = ::write(c->fd, stream + done, size_t(bytes - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                c->writeError = n < 0 ? errno : ENOSPC;
                break;
            }
            done += n;
        }
        c->dataBytes += done;
        c->full = c->dataBytes >= c->maxData;
        if (c->writeError == 0) {
            // The header follows the data, so the file is complete at every moment.
            const QByteArray header = waveHeader(c->format, c->dataBytes);
            writeAll(c->fd, header.constData(), header.size(), 0);
        }
        if (c->writeError != 0 || c->full) {
            c->ended = true;
            WaveImpl* owner = c->owner;
            const quint64 generation = c->generation;
            QMetaObject::invokeMethod(
                owner, [owner, generation] { owner->CaptureEnded(generation); }, Qt::QueuedConnection);
        }
    }
};

// ---- the component ---------------------------------------------------------------------

WaveImpl::WaveImpl(QObject* parent) : cWave(parent), m_monitor(std::make_unique<Monitor>())
{
    m_meter.setInterval(kMeterMs);
    connect(&m_meter, &QTimer::timeout, this, &WaveImpl::MeterTick);
}

WaveImpl::~WaveImpl()
{
    // The devices close and the file is completed; the window that hosted the component
    // may be half gone and hears nothing more.
    blockSignals(true);
    Shutdown();
}

qint32 WaveImpl::Fail(qint32 code, const QString& why)
{
    m_reasons[code] = why;
    return code;
}

void WaveImpl::SetMeterIn(bool On)
{
    m_meterIn = On;
    if (On && m_rec)
        m_meter.start();
    else if (!On)
        m_meter.stop();
}

void WaveImpl::MeterTick()
{
    const int level = m_rec ? m_rec->peak.exchange(-1) : -1;
    if (level >= 0)
        emit MeterLevel(qint16(level));
}

void WaveImpl::PreScreenOpen(WaveFormat& Format, qint32)
{
    m_monitor->open(Format);
}

void WaveImpl::PreScreenClose()
{
    m_monitor->close();
}

qint32 WaveImpl::RecordStart(qint32& DeviceIndex, const QString& FileName, WaveFormat& Format, qint16)
{
    if (m_rec)
        return Fail(kWaveErrBusy, QStringLiteral("A recording is already running."));
    const WaveFormat& f = Format;
    const int bits = f.wBitsPerSample;
    const int block = f.nChannels * bits / 8;
    if (f.wFormatTag != 1 || (bits != 8 && bits != 16) || f.nChannels < 1 || f.nChannels > 2 ||
        f.nSamplesPerSec < 8000 || f.nSamplesPerSec > 44100 || f.nBlockAlign != block ||
        f.nAvgBytesPerSec != f.nSamplesPerSec * quint32(block))
        return Fail(kWaveErrFormat,
                    QStringLiteral("The format cannot be recorded (format tag %1, %2 channels, %3 samples per second, "
                                   "%4 bytes per second, %5 bytes per block, %6 bits per sample): recordings are PCM, "
                                   "1 or 2 channels, 8000 to 44100 samples per second, 8 or 16 bits.")
                        .arg(f.wFormatTag)
                        .arg(f.nChannels)
                        .arg(f.nSamplesPerSec)
                        .arg(f.nAvgBytesPerSec)
                        .arg(f.nBlockAlign)
                        .arg(f.wBitsPerSample));
    if (m_play && SameFile(FileName, m_playPath))
        return Fail(kWaveErrSameFile, QStringLiteral("The file \"%1\" is playing: it cannot be recorded onto until "
                                                     "the playback is stopped.")
                                          .arg(FileName));
    if (FileName.isEmpty())
        return Fail(kWaveErrFileWrite, QStringLiteral("No file is given to record into."));
    // Only a regular file, or a new one, is recorded into. Looked at without opening it: a
    // named pipe would hold the open until some other program reads it.
    const QString notAFile = notARegularFile(FileName);
    if (!notAFile.isEmpty())
        return Fail(kWaveErrFileWrite,
                    QStringLiteral("The file \"%1\" cannot be written: %2.").arg(FileName, notAFile));

    // The device first: when it cannot be opened, no file is touched.
    if (!InitSdlAudio())
        return Fail(kWaveErrNoDevice, QStringLiteral("No sound input can be used: %1").arg(SdlAudioError()));
    const QString driver = QString::fromUtf8(SDL_GetCurrentAudioDriver());
    const int count = SDL_GetNumAudioDevices(1);
    QByteArray name;
    if (DeviceIndex >= 0) {
        const char* n = SDL_GetAudioDeviceName(DeviceIndex, 1);
        if (!n)
            return Fail(kWaveErrNoDevice, QStringLiteral("There is no sound input device %1 (the audio driver \"%2\" "
                                                         "lists %3).")
                                              .arg(DeviceIndex)
                                              .arg(driver)
                                              .arg(std::max(count, 0)));
        name = n;
    } else if (count == 0) {
        return Fail(kWaveErrNoDevice,
                    QStringLiteral("No sound input device was found (audio driver \"%1\").").arg(driver));
    }
    auto c = std::make_unique<Capture>();
    c->owner = this;
    c->generation = ++m_recGeneration;
    c->monitor = m_monitor.get();
    c->format = f;
    c->path = FileName;
    c->maxData = kMaxDataBytes - kMaxDataBytes % block;
    c->cutLevel = m_cutSilence ? std::clamp<int>(m_cutLevel, 0, kMeterTop) : -1;
    SDL_AudioSpec want{};
    want.freq = int(f.nSamplesPerSec);
    want.format = sdlFormat(bits);
    want.channels = Uint8(f.nChannels);
    // Buffers of about a twentieth of a second keep the meter lively.
    want.samples = 256;
    while (want.samples * 2 <= f.nSamplesPerSec / 20)
        want.samples *= 2;
    want.callback = &Capture::callback;
    want.userdata = c.get();
    c->device = SDL_OpenAudioDevice(name.isEmpty() ? nullptr : name.constData(), 1, &want, &c->spec, 0);
    if (c->device == 0)
        return Fail(kWaveErrDevice, QStringLiteral("The sound input device cannot be opened: %1")
                                        .arg(QString::fromUtf8(SDL_GetError())));

    // Opened without waiting, should a pipe have taken the name since it was looked at; what
    // is not a regular file is left as it is.
    const QByteArray path = QFile::encodeName(FileName);
    c->fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    struct stat opened {};
    if (c->fd >= 0 && ::fstat(c->fd, &opened) == 0 && !S_ISREG(opened.st_mode)) {
        SDL_CloseAudioDevice(c->device);
        ::close(c->fd);
        return Fail(kWaveErrFileWrite, QStringLiteral("The file \"%1\" cannot be written: %2.")
                                           .arg(FileName, notARegularFile(opened.st_mode)));
    }
    if (c->fd >= 0)
        ::fcntl(c->fd, F_SETFL, ::fcntl(c->fd, F_GETFL) & ~O_NONBLOCK);
    const QByteArray header = waveHeader(f, 0);
    c->headerBytes = int(header.size());
    if (c->fd < 0 || !writeAll(c->fd, header.constData(), header.size(), 0)) {
        const int error = errno;
        SDL_CloseAudioDevice(c->device);
        if (c->fd >= 0) {
            ::close(c->fd);
            ::unlink(path.constData());
        }
        return Fail(kWaveErrFileWrite,
                    QStringLiteral("The file \"%1\" cannot be written: %2.").arg(FileName, systemText(error)));
    }
    if (::lseek(c->fd, c->headerBytes, SEEK_SET) < 0) {
        const int error = errno;
        SDL_CloseAudioDevice(c->device);
        ::close(c->fd);
        return Fail(kWaveErrFileWrite,
                    QStringLiteral("The file \"%1\" cannot be written: %2.").arg(FileName, systemText(error)));
    }
    m_rec = std::move(c);
    m_recPath = FileName;
    SDL_PauseAudioDevice(m_rec->device, 0);
    if (m_meterIn)
        m_meter.start();
    return 0;
}

void WaveImpl::CaptureEnded(quint64 generation)
{
    if (m_rec && m_rec->generation == generation)
        EndRecording();
}

void WaveImpl::RecordStop()
{
    EndRecording();
}

void WaveImpl::EndRecording()
{
    if (!m_rec)
        return;
    std::unique_ptr<Capture> c = std::move(m_rec);
    m_recPath.clear();
    m_meter.stop();
    SDL_CloseAudioDevice(c->device);  // waits for a running callback; none follows

    // Whole frames only (a failed write may have left part of one), less the silence at
    // the end when asked for; an odd data chunk gets its pad byte.
    const int block = c->format.nBlockAlign;
    qint64 data = c->dataBytes - c->dataBytes % block;
    if (c->cutLevel >= 0)
        data = std::min(data, c->loudEnd);
    QString why;
    if (::ftruncate(c->fd, off_t(c->headerBytes + data)) != 0)
        why = systemText(errno);
    if ((data & 1) && !writeAll(c->fd, "", 1, c->headerBytes + data)) {
        data -= block;  // no room for the pad byte: the last frame goes instead
        if (::ftruncate(c->fd, off_t(c->headerBytes + data)) != 0 && why.isEmpty())
            why = systemText(errno);
    }
    const QByteArray header = waveHeader(c->format, data);
    if (!writeAll(c->fd, header.constData(), header.size(), 0) && why.isEmpty())
        why = systemText(errno);
    if (::close(c->fd) != 0 && why.isEmpty())
        why = systemText(errno);

    qint32 failure = 0;
    if (c->writeError != 0)
        failure = Fail(kWaveErrFileWrite,
                       QStringLiteral("Writing the file \"%1\" failed: %2. The recording ended there.")
                           .arg(c->path, systemText(c->writeError)));
    else if (!why.isEmpty())
        failure = Fail(kWaveErrFileWrite,
                       QStringLiteral("The file \"%1\" cannot be completed: %2.").arg(c->path, why));
    else if (c->full)
        failure = Fail(kWaveErrFileFull, QStringLiteral("The recording reached the largest size a WAV file can hold "
                                                        "and ended there."));
    if (m_meterIn)
        emit MeterLevel(0);
    // The events come once the caller has gone on, in this order.
    QMetaObject::invokeMethod(
        this,
        [this, failure] {
            if (failure != 0)
                emit RecordFailed(failure);
            emit DoneRecord();
        },
        Qt::QueuedConnection);
}

void WaveImpl::RecordPause()
{
    if (m_rec)
        m_rec->paused = true;
}

bool WaveImpl::IsRecordPaused()
{
    return m_rec && m_rec->paused;
}

void WaveImpl::RecordUnPause()
{
    if (m_rec)
        m_rec->paused = false;
}

void WaveImpl::Shutdown()
{
    PlayStop();
    RecordStop();
    PreScreenClose();
}
