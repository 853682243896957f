// Scriptable fakes of the audio components.
#include "tests/support/FakeAudioComponents.h"

#include <QFile>
#include <QMetaObject>

// ---- converter -------------------------------------------------------------------------
qint32 FakeAudioConverter::ReadFileInfo(const QString& FileName)
{
    readInfoCalls << FileName;
    m_current = files.value(FileName, FakeFileScript{2, 0, 0, 0, 0, {}});
    m_infoError = m_current.result != 0 ? QStringLiteral("The file \"%1\" cannot be read.").arg(FileName) : QString();
    return m_current.result;
}

namespace {

// What every started job records: its output, format, range, tags and settings.
FakeJobRecord recordOf(const AudioJobComponent& c)
{
    FakeJobRecord r;
    r.output = c.OutputFile();
    r.format = c.OutputFormat();
    r.hasRange = c.HasRange();
    r.rangeStart = c.RangeStart();
    r.rangeLength = c.RangeLength();
    r.tags = c.Tags();
    r.settings = c.Settings();
    return r;
}

// Ends the job just started, queued, as the fake's script says (unless the test ended it
// or started another one first).
template <class Fake>
void queueAutoFinish(Fake* fake)
{
    if (fake->autoFinish == FakeAutoFinish::None)
        return;
    const qsizetype job = fake->started.size();
    QMetaObject::invokeMethod(
        fake,
        [fake, job] {
            if (!fake->isRunning() || job != fake->started.size())
                return;
            if (fake->autoFinish == FakeAutoFinish::Done)
                fake->finishDone();
            else
                fake->finishError(fake->autoErrorCode, fake->autoErrorText);
        },
        Qt::QueuedConnection);
}

} // namespace

void FakeAudioConverter::ReadTags(const QString& FileName)
{
    readTagsCalls << FileName;
    m_tags = files.value(FileName).tags;
}

void FakeAudioConverter::StartConvert()
{
    m_writtenMs = -1;
    FakeJobRecord r = recordOf(*this);
    r.source = m_sourceFile;
    started << r;
    m_running = true;
    queueAutoFinish(this);
}

void FakeAudioConverter::CloseConverter()
{
    // As the real one: a running job ends in Aborted, delivered later.
    ++closeConverterCalls;
    if (m_running)
        QMetaObject::invokeMethod(this, [this] { if (m_running) finishAborted(); }, Qt::QueuedConnection);
}

void FakeAudioConverter::EnumACMTags(qint32 FormatTag, qint32 SamplesPerSec, qint32 Channels, qint32 BitsPerSample, qint32 Flags)
{
    enumTagCalls << QList<qint32>{FormatTag, SamplesPerSec, Channels, BitsPerSample, Flags};
    for (const QString& t : acmTags)
        emit ACMTagFound(t);
}

void FakeAudioConverter::EnumACMFormats(const QString& TagName)
{
    enumFormatCalls << TagName;
    for (const QString& f : acmFormats.value(TagName))
        emit ACMFormatFound(f);
}

QString FakeAudioConverter::GetWMACodecName(qint32& CodecIndex)
{
    return CodecIndex >= 0 && CodecIndex < wmaCodecs.size() ? wmaCodecs[CodecIndex].first : QString();
}

qint32 FakeAudioConverter::GetWMAFormatCount(qint32 CodecIndex)
{
    return CodecIndex >= 0 && CodecIndex < wmaCodecs.size() ? qint32(wmaCodecs[CodecIndex].second.size()) : 0;
}

QString FakeAudioConverter::GetWMAFormatName(qint32 CodecIndex, qint32& FormatIndex)
{
    if (CodecIndex < 0 || CodecIndex >= wmaCodecs.size())
        return QString();
    const QStringList& f = wmaCodecs[CodecIndex].second;
    return FormatIndex >= 0 && FormatIndex < f.size() ? f[FormatIndex] : QString();
}

void FakeAudioConverter::finishDone()
{
    m_running = false;
    if (writeOutputs && !started.isEmpty()) {
        QFile out(started.last().output);
        if (out.open(QIODevice::WriteOnly))
            out.write("converted " + started.last().source.toUtf8());
    }
    m_writtenMs = writtenMs.value(started.size() - 1, -1);
    emit Done();
}

void FakeAudioConverter::finishError(qint32 code, const QString& description)
{
    m_running = false;
    emit Error(code, description);
}

void FakeAudioConverter::finishAborted()
{
    m_running = false;
    emit Aborted();
}

// ---- player ----------------------------------------------------------------------------
qint32 FakePlayer::OpenFile(const QString& FileName)
{
    opened << FileName;
    m_current = files.value(FileName, FakePlayerScript{2, 0, 0, 0, 0});
    return m_current.result;
}

qint32 FakePlayer::Play(QString& FileName, qint32& DeviceIndex)
{
    plays << qMakePair(FileName, DeviceIndex);
    const FakePlayerScript script = files.value(FileName, FakePlayerScript{2, 0, 0, 0, 0});
    const qint32 r = playResult != -1 ? playResult : script.result;
    if (r == 0) {
        m_played = script;
        m_playing = true;
        m_paused = false;
        position = 0;
    }
    return r;
}

void FakePlayer::Pause()
{
    calls << QStringLiteral("Pause");
    if (m_playing)
        m_paused = true;
}

void FakePlayer::Resume()
{
    calls << QStringLiteral("Resume");
    m_paused = false;
}

void FakePlayer::StopPlay()
{
    calls << QStringLiteral("StopPlay");
    if (!m_playing)
        return;
    m_playing = false;
    m_paused = false;
    if (playDoneAfterStop)
        QMetaObject::invokeMethod(this, [this] { emit PlayDone(); }, Qt::QueuedConnection);
}

void FakePlayer::SetPosition(qint32 Position)
{
    calls << QStringLiteral("SetPosition %1").arg(Position);
    position = Position;
}

void FakePlayer::finishPlay()
{
    m_playing = false;
    m_paused = false;
    emit PlayDone();
}

// ---- CD ripper -------------------------------------------------------------------------
QString FakeAudioCDRipper::GetDeviceName(qint32 Index)
{
    return Index >= 0 && Index < drives.size() ? drives[Index].name : QString();
}

bool FakeAudioCDRipper::SelectDevice(qint32 Index)
{
    calls << QStringLiteral("SelectDevice %1").arg(Index);
    if (Index < 0 || Index >= drives.size() || !drives[Index].selectable)
        return false;
    m_current = Index;
    return true;
}

bool FakeAudioCDRipper::IsAudioCD()
{
    if (m_current < 0)
        return false;
    for (const FakeCdTrack& t : drives[m_current].tracks)
        if (t.audio)
            return true;
    return false;
}

qint32 FakeAudioCDRipper::GetTrackCount()
{
    return m_current >= 0 ? qint32(drives[m_current].tracks.size()) : 0;
}

const FakeCdTrack* FakeAudioCDRipper::track(qint32 number) const
{
    if (m_current < 0 || number < 1 || number > drives[m_current].tracks.size())
        return nullptr;
    return &drives[m_current].tracks[number - 1];
}

qint32 FakeAudioCDRipper::GetTrackLength(qint32& Track)
{
    const FakeCdTrack* t = track(Track);
    return t ? t->seconds : 0;
}

qint32 FakeAudioCDRipper::GetTrackType(qint32& Track)
{
    const FakeCdTrack* t = track(Track);
    return t && t->audio ? 1 : 0;
}

void FakeAudioCDRipper::CloseDevice()
{
    calls << QStringLiteral("CloseDevice");
    m_current = -1;
}

void FakeAudioCDRipper::StartRip()
{
    FakeJobRecord r = recordOf(*this);
    r.deviceIndex = m_deviceIndex;
    r.trackNumber = m_trackNumber;
    started << r;
    m_running = true;
    queueAutoFinish(this);
}

void FakeAudioCDRipper::finishDone()
{
    m_running = false;
    emit Done();
}

void FakeAudioCDRipper::finishError(qint32 code, const QString& description)
{
    m_running = false;
    emit Error(code, description);
}

void FakeAudioCDRipper::finishAborted()
{
    m_running = false;
    emit Aborted();
}

// ---- factories -------------------------------------------------------------------------
// ---- join ------------------------------------------------------------------------------
void FakeAudioJoin::AddFile(const QString& FileName, qint32& Start, qint32& Length)
{
    calls << QStringLiteral("AddFile %1 %2 %3").arg(FileName).arg(Start).arg(Length);
    cAudioJoin::AddFile(FileName, Start, Length);
}

void FakeAudioJoin::RemoveFile(qint32 Index)
{
    calls << QStringLiteral("RemoveFile %1").arg(Index);
    cAudioJoin::RemoveFile(Index);
}

void FakeAudioJoin::StartJoin()
{
    calls << QStringLiteral("StartJoin");
    started << FakeJoinRecord{m_entries, recordOf(*this)};
    m_running = true;
    queueAutoFinish(this);
}

void FakeAudioJoin::Close()
{
    calls << QStringLiteral("Close");
    m_entries.clear();
}

void FakeAudioJoin::finishDone()
{
    m_running = false;
    emit Done();
}

void FakeAudioJoin::finishError(qint32 code, const QString& description)
{
    m_running = false;
    emit Error(code, description);
}

void FakeAudioJoin::finishAborted()
{
    m_running = false;
    emit Aborted();
}

// ---- wave recorder ---------------------------------------------------------------------
qint32 FakeWave::GetDeviceCount(qint32 Kind)
{
    if (Kind == kWaveInputDevices)
        return qint32(inputs.size());
    return Kind == kWaveOutputDevices ? qint32(outputs.size()) : 0;
}

void FakeWave::GetDeviceInfo(qint32& Index, WaveDeviceInfo& Info, qint32 Kind)
{
    if (Kind == kWaveInputDevices)
        Info = inputs.value(Index);
    else
        Info = Kind == kWaveOutputDevices ? outputs.value(Index) : WaveDeviceInfo();
}

void FakeWave::PreScreenOpen(WaveFormat& Format, qint32)
{
    calls << QStringLiteral("PreScreenOpen");
    preScreenFormats << Format;
}

qint32 FakeWave::RecordStart(qint32& DeviceIndex, const QString& FileName, WaveFormat& Format, qint16 Value)
{
    calls << QStringLiteral("RecordStart");
    recordStarts << FakeWaveStart{FileName, DeviceIndex, Value, Format, {}};
    if (recordResult == 0) {
        m_recording = true;
        m_paused = false;
    }
    return recordResult;
}

void FakeWave::RecordStop()
{
    calls << QStringLiteral("RecordStop");
    if (!m_recording)
        return;
    m_recording = false;
    m_paused = false;
    QMetaObject::invokeMethod(this, [this] { emit DoneRecord(); }, Qt::QueuedConnection);
}

void FakeWave::RecordPause()
{
    calls << QStringLiteral("RecordPause");
    m_paused = m_recording;
}

void FakeWave::RecordUnPause()
{
    calls << QStringLiteral("RecordUnPause");
    m_paused = false;
}

QString FakeWave::GetErrorText(qint32& Code)
{
    return errorTexts.value(Code, QStringLiteral("Error %1.").arg(Code));
}

qint32 FakeWave::GetFileInfo(const QString& FileName, WaveFileInfo& Info)
{
    if (!fileInfos.contains(FileName))
        return kWaveErrFileMissing;
    Info = fileInfos.value(FileName);
    return 0;
}

qint32 FakeWave::PlayStart(const QString& FileName, qint16 DeviceIndex, qint16 Value)
{
    calls << QStringLiteral("PlayStart");
    const QString output = DeviceIndex >= 0 && DeviceIndex < outputs.size() ? outputs[DeviceIndex].Name : kDefaultOutput;
    playStarts << FakeWaveStart{FileName, DeviceIndex, Value, {}, output};
    m_playing = playResult == 0;
    return playResult;
}

qint32 FakeWave::PlayStop()
{
    calls << QStringLiteral("PlayStop");
    m_playing = false;
    return playStopResult;
}

void FakeWave::finishPlay()
{
    m_playing = false;
    emit DonePlay();
}

FakeAudioFactories::FakeAudioFactories()
{
    SetAudioJoinFactory([this](QObject* parent) {
        auto* f = new FakeAudioJoin(parent);
        joins << f;
        if (setupJoin)
            setupJoin(f);
        return f;
    });
    SetAudioConverterFactory([this](QObject* parent) {
        auto* f = new FakeAudioConverter(parent);
        converters << f;
        if (setupConverter)
            setupConverter(f);
        return f;
    });
    SetPlayerFactory([this](QObject* parent) {
        auto* f = new FakePlayer(parent);
        players << f;
        if (setupPlayer)
            setupPlayer(f);
        return f;
    });
    SetWaveFactory([this](QObject* parent) {
        auto* f = new FakeWave(parent);
        waves << f;
        if (setupWave)
            setupWave(f);
        return f;
    });
    SetAudioCDRipperFactory([this](QObject* parent) {
        auto* f = new FakeAudioCDRipper(parent);
        rippers << f;
        if (setupRipper)
            setupRipper(f);
        return f;
    });
}

FakeAudioFactories::~FakeAudioFactories()
{
    SetAudioConverterFactory({});
    SetPlayerFactory({});
    SetAudioCDRipperFactory({});
    SetAudioJoinFactory({});
    SetWaveFactory({});
}
