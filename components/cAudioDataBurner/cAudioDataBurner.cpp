// The real CD-only data burner over the shared data disc, and the factory the window
// creates it through.
#include "components/cAudioDataBurner/cAudioDataBurner.h"

#include "components/cAudioBurner/LibburnWriter.h"
#include "components/cAudioDataBurner/DataDiscBurn.h"

namespace {

class AudioDataBurnerImpl : public cAudioDataBurner
{
public:
    explicit AudioDataBurnerImpl(QObject* parent) : cAudioDataBurner(parent) {}

    qint32 GetDriveCount() override { return qint32(m_list.writers().size()); }

    QString GetDriveName(qint32 Index) override
    {
        CdWriter w;
        return m_list.writerAt(Index - 1, w) ? w.name() : QString();
    }

    qint32 GetSpeedCount(QString& Drive) override
    {
        m_speeds.clear();
        CdWriter w;
        QString error;
        if (!m_burning && m_list.writerOf(Drive, w) && !w.image)
            if (std::unique_ptr<LibburnDrive> d = LibburnDrive::grab(w.source, error))
                m_speeds = d->writeSpeeds();
        return qint32(m_speeds.size());
    }

    qint32 GetSpeed(qint32 Index) override
    {
        return Index >= 1 && Index <= m_speeds.size() ? m_speeds[Index - 1] : 0;
    }

    bool IsDriveReady(const QString& Drive) override
    {
        CdWriter w;
        if (!m_list.writerOf(Drive, w))
            return false;
        QString error;
        return w.image || LibburnDrive::grab(w.source, error) != nullptr;
    }

    bool IsDiscEmpty(const QString& Drive) override
    {
        CdWriter w;
        return m_list.writerOf(Drive, w) && DataDiscState(w).isEmpty();
    }

    void OpenTray(const QString& Drive) override
    {
        CdWriter w;
        if (!m_burning && m_list.writerOf(Drive, w) && !w.image)
            OpenCdTray(w.source);
    }

    void CloseTray(const QString& Drive) override
    {
        CdWriter w;
        if (!m_burning && m_list.writerOf(Drive, w) && !w.image)
            CloseCdTray(w.source);
    }

    bool AddFile(QString& FileName) override { return !m_burning && m_list.addFile(FileName); }

    void Burn(const QString& Drive, qint32 Speed) override
    {
        if (m_burning)
            return;  // one burn at a time
        m_burning = true;
        const BurnOutcome outcome = run(Drive, Speed);
        m_burning = false;
        m_list.clearFiles();
        if (outcome.ok)
            emit Finished();
        else
            emit Error(outcome.code, outcome.text);
    }

    void CloseBurner() override
    {
        if (!m_burning)
            m_list.clearFiles();
    }

private:
    BurnOutcome run(const QString& Drive, qint32 Speed)
    {
        CdWriter w;
        QString why;
        if (!m_list.writerOf(Drive, w))
            return BurnOutcome::failure(kBurnErrNoWriter, NoCdWriterText(Drive));
        if (!DiscBurningLibraryStarted(why))
            return BurnOutcome::failure(kBurnErrStart, why);
        DataDiscLayout layout;
        layout.volumeId = VolumeName();
        layout.publisher = IdentityText1();
        layout.application = IdentityText2();
        layout.joliet = true;
        layout.files = m_list.files();
        BurnOutcome outcome;
        std::unique_ptr<BurnSession> session = StartDataDiscBurn(w, layout, Speed, outcome);
        if (!session)
            return outcome;
        emit Started();
        int lastPercent = -1;
        bool closing = false;
        outcome = RunDataDiscBurn(*session, kPollMs, [&](const WriterStatus& status) {
            if (status.stage == WriterStatus::ClosingTrack || status.stage == WriterStatus::ClosingSession) {
                if (!closing)
                    emit ClosingSession();
                closing = true;
                return;
            }
            const int percent = DataDiscPercent(status);
            if (percent != lastPercent && status.stage == WriterStatus::Writing)
                emit Progress(qint16(lastPercent = percent));
        });
        if (outcome.ok) {
            // A writer faster than the poll still shows its whole course.
            if (lastPercent < 100)
                emit Progress(100);
            if (!closing)
                emit ClosingSession();
        }
        return outcome;
    }

    static constexpr int kPollMs = 100;
    DataBurnList m_list;
    QList<qint32> m_speeds;
    bool m_burning = false;
};

AudioDataBurnerFactory& factory()
{
    static AudioDataBurnerFactory f;
    return f;
}

} // namespace

cAudioDataBurner* CreateAudioDataBurner(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new AudioDataBurnerImpl(parent);
}

void SetAudioDataBurnerFactory(AudioDataBurnerFactory f)
{
    factory() = std::move(f);
}
