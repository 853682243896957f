// The real CD/DVD data burner over the shared data disc, and the factory the window creates
// it through. The disc is ISO 9660 with Rock Ridge, and Joliet when asked: UDF is not
// written, and ISO 9660 is always there.
#include "components/cBurner/cBurner.h"

#include "components/cAudioDataBurner/DataDiscBurn.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

class BurnerImpl : public cBurner
{
public:
    explicit BurnerImpl(QObject* parent) : cBurner(parent) {}

    qint32 DriveCount() override { return qint32(m_list.writers().size()); }

    QString GetDrivePath(qint32 Index) override
    {
        CdWriter w;
        return m_list.writerAt(Index, w) ? w.id + QLatin1Char('\\') : QString();
    }

    QString GetDriveName(qint32 Index) override
    {
        CdWriter w;
        return m_list.writerAt(Index, w) ? w.name().mid(w.id.size()).trimmed() : QString();
    }

    void NewCompilation() override
    {
        if (!m_burning)
            m_list.clearFiles();
    }

    void AddFile(QString& FileName) override
    {
        if (m_burning)
            return;
        if (!m_list.addFile(FileName) && !m_unreadable.contains(FileName))
            m_unreadable << FileName;
    }

    void Burn(qint32 DriveIndex) override
    {
        if (m_burning)
            return;  // one burn at a time
        m_burning = true;
        QString detail;
        const BurnOutcome outcome = run(DriveIndex, detail);
        m_burning = false;
        m_list.clearFiles();
        m_unreadable.clear();
        if (outcome.ok) {
            emit Completed();
            emit DoneBurn();
            emit BurnEnd();
        } else {
            emit Message(detail, outcome.text);
        }
    }

private:
    BurnOutcome run(qint32 DriveIndex, QString& detail)
    {
        emit Initializing();
        CdWriter w;
        QString why;
        detail = QStringLiteral("Burn");
        if (!m_list.writerAt(DriveIndex, w))
            return BurnOutcome::failure(kBurnErrNoWriter, QStringLiteral("There is no drive to burn to."));
        detail = w.id;
        if (!DiscBurningLibraryStarted(why))
            return BurnOutcome::failure(kBurnErrStart, why);
        if (!m_unreadable.isEmpty())
            return BurnOutcome::failure(kBurnErrStart, QStringLiteral("Cannot read the file %1.").arg(m_unreadable.first()));
        emit FileCounts(qint32(m_list.files().size()), 0);
        for (const QString& f : m_list.files())
            emit AddingFile(f);
        DataDiscLayout layout;
        layout.volumeId = VolumeName();
        layout.publisher = QCoreApplication::applicationName();
        layout.application = QCoreApplication::applicationName();
        layout.joliet = FileSystemJoliet();
        layout.files = m_list.files();
        BurnOutcome outcome;
        std::unique_ptr<BurnSession> session = StartDataDiscBurn(w, layout, 65535, outcome);
        if (!session)
            return outcome;
        emit StartBurning();
        int lastPercent = -1;
        bool closing = false;
        outcome = RunDataDiscBurn(*session, kPollMs, [&](const WriterStatus& status) {
            if (status.stage == WriterStatus::ClosingTrack || status.stage == WriterStatus::ClosingSession) {
                if (!closing)
                    emit Finalization();
                closing = true;
                return;
            }
            const int percent = DataDiscPercent(status);
            if (percent != lastPercent && status.stage == WriterStatus::Writing)
                emit Progress(lastPercent = percent);
        });
        if (outcome.ok) {
            if (lastPercent < 100)
                emit Progress(100);
            if (!closing)
                emit Finalization();
        }
        return outcome;
    }

    static constexpr int kPollMs = 100;
    DataBurnList m_list;
    QStringList m_unreadable;
    bool m_burning = false;
};

BurnerFactory& factory()
{
    static BurnerFactory f;
    return f;
}

} // namespace

cBurner* CreateBurner(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new BurnerImpl(parent);
}

void SetBurnerFactory(BurnerFactory f)
{
    factory() = std::move(f);
}
