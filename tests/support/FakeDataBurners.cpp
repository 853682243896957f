#include "tests/support/FakeDataBurners.h"

#include "components/cAudioDataBurner/DataDiscBurn.h"

#include <QFileInfo>


qint32 FakeAudioDataBurner::GetSpeedCount(QString& Drive)
{
    calls << QStringLiteral("GetSpeedCount ") + Drive;
    return qint32(speeds.size());
}

bool FakeAudioDataBurner::IsDriveReady(const QString& Drive)
{
    calls << QStringLiteral("IsDriveReady ") + Drive;
    return ready;
}

bool FakeAudioDataBurner::IsDiscEmpty(const QString& Drive)
{
    calls << QStringLiteral("IsDiscEmpty ") + Drive;
    return empty;
}

bool FakeAudioDataBurner::AddFile(QString& FileName)
{
    calls << QStringLiteral("AddFile ") + FileName;
    if (refused.contains(FileName) || !QFileInfo(FileName).isFile())
        return false;
    if (!m_pending.contains(FileName))
        m_pending << FileName;
    return true;
}

void FakeAudioDataBurner::Burn(const QString& Drive, qint32 Speed)
{
    calls << QStringLiteral("Burn %1 %2 volume=%3 fs=%4 id=%5/%6 option=%7")
                 .arg(Drive)
                 .arg(Speed)
                 .arg(VolumeName(), FileSystemName(), IdentityText1(), IdentityText2())
                 .arg(BurnOption() ? 1 : 0);
    files = m_pending;
    m_pending.clear();
    if (duringBurn) {
        duringBurn(this);
        return;
    }
    started();
    progress(50);
    progress(100);
    closing();
    finish();
}

void FakeBurner::NewCompilation()
{
    calls << QStringLiteral("NewCompilation");
    m_compilation.clear();
}

void FakeBurner::SetFileSystemISO(bool v)
{
    calls << QStringLiteral("ISO %1").arg(v ? 1 : 0);
    cBurner::SetFileSystemISO(v);
}

void FakeBurner::SetFileSystemJoliet(bool v)
{
    calls << QStringLiteral("Joliet %1").arg(v ? 1 : 0);
    cBurner::SetFileSystemJoliet(v);
}

void FakeBurner::SetFileSystemUDF(bool v)
{
    calls << QStringLiteral("UDF %1").arg(v ? 1 : 0);
    cBurner::SetFileSystemUDF(v);
}

void FakeBurner::SetVolumeName(const QString& v)
{
    calls << QStringLiteral("VolumeName ") + v;
    cBurner::SetVolumeName(v);
}

void FakeBurner::AddFile(QString& FileName)
{
    calls << QStringLiteral("AddFile ") + FileName;
    if (!m_compilation.contains(FileName))
        m_compilation << FileName;
}

void FakeBurner::Burn(qint32 DriveIndex)
{
    calls << QStringLiteral("Burn %1").arg(DriveIndex);
    files = m_compilation;
    if (duringBurn)
        duringBurn(this);
    else
        burnWell();
}

void FakeBurner::burnWell()
{
    emit Initializing();
    fileCounts(qint32(files.size()), 0);
    for (const QString& f : files)
        addingFile(f);
    startBurning();
    progress(50);
    progress(100);
    finalization();
    emit Completed();
    emit DoneBurn();
    burnEnd();
}

FakeDataBurners::FakeDataBurners()
{
    SetAudioDataBurnerFactory([this](QObject* parent) {
        auto* f = new FakeAudioDataBurner(parent);
        cd << f;
        if (setupCd)
            setupCd(f);
        return f;
    });
    SetBurnerFactory([this](QObject* parent) {
        auto* f = new FakeBurner(parent);
        disc << f;
        if (setupDisc)
            setupDisc(f);
        return f;
    });
    SetDiscBurningLibraryCheck([this](QString& reason) {
        if (!libraryStarts)
            reason = why;
        return libraryStarts;
    });
}

FakeDataBurners::~FakeDataBurners()
{
    SetAudioDataBurnerFactory({});
    SetBurnerFactory({});
    SetDiscBurningLibraryCheck({});
}
