// Scripted data disc burners for the data burner window's tests: the CD-only and the CD/DVD
// component, each with its writers, the files it refuses and what a burn does while the
// call runs; both record every call in order. While a FakeDataBurners lives the window
// makes these, and the burning library starts (or not) as the test says.
#pragma once

#include "components/cAudioDataBurner/cAudioDataBurner.h"
#include "components/cBurner/cBurner.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QStringList>

#include <functional>

class FakeAudioDataBurner : public cAudioDataBurner
{
    Q_OBJECT
public:
    explicit FakeAudioDataBurner(QObject* parent = nullptr) : cAudioDataBurner(parent) {}

    QStringList writers{QStringLiteral("E: Writer One")};  // "E: ..." (the first character is the drive)
    QList<qint32> speeds{1764, 7056};
    bool ready = true;
    bool empty = true;
    QStringList refused;  // files AddFile answers false for, besides files that do not exist
    // Runs inside Burn; by default Started, Progress 50 and 100, ClosingSession, Finished.
    std::function<void(FakeAudioDataBurner*)> duringBurn;

    // "GetSpeedCount E", "IsDriveReady E", "IsDiscEmpty E", "AddFile <path>", "OpenTray E",
    // "CloseTray E", "Burn E 65535 volume=<v> fs=CDFS id=<1>/<2> option=0", "CloseBurner".
    QStringList calls;
    QStringList files;  // the list to burn at the last Burn

    qint32 GetDriveCount() override { return qint32(writers.size()); }
    QString GetDriveName(qint32 Index) override { return writers.value(Index - 1); }
    qint32 GetSpeedCount(QString& Drive) override;
    qint32 GetSpeed(qint32 Index) override { return speeds.value(Index - 1); }
    bool IsDriveReady(const QString& Drive) override;
    bool IsDiscEmpty(const QString& Drive) override;
    void OpenTray(const QString& Drive) override { calls << QStringLiteral("OpenTray ") + Drive; }
    void CloseTray(const QString& Drive) override { calls << QStringLiteral("CloseTray ") + Drive; }
    bool AddFile(QString& FileName) override;
    void Burn(const QString& Drive, qint32 Speed) override;
    void CloseBurner() override { calls << QStringLiteral("CloseBurner"); }

    // The events of a burn, for duringBurn.
    void started() { emit Started(); }
    void progress(qint16 percent) { emit Progress(percent); }
    void closing() { emit ClosingSession(); }
    void finish() { emit Finished(); }
    void fail(qint32 code, const QString& text) { emit Error(code, text); }

private:
    QStringList m_pending;
};

class FakeBurner : public cBurner
{
    Q_OBJECT
public:
    explicit FakeBurner(QObject* parent = nullptr) : cBurner(parent) {}

    QList<QPair<QString, QString>> drives{{QStringLiteral("E:\\"), QStringLiteral("Writer One")}};
    // Runs inside Burn; by default the whole course of a burn that ends well.
    std::function<void(FakeBurner*)> duringBurn;

    // "NewCompilation", "ISO 1", "Joliet 0", "UDF 0", "VolumeName <v>", "AddFile <path>", "Burn <index>".
    QStringList calls;
    QStringList files;  // the compilation at the last Burn

    qint32 DriveCount() override { return qint32(drives.size()); }
    QString GetDrivePath(qint32 Index) override { return drives.value(Index).first; }
    QString GetDriveName(qint32 Index) override { return drives.value(Index).second; }
    void NewCompilation() override;
    void SetFileSystemISO(bool v) override;
    void SetFileSystemJoliet(bool v) override;
    void SetFileSystemUDF(bool v) override;
    void SetVolumeName(const QString& v) override;
    void AddFile(QString& FileName) override;
    void Burn(qint32 DriveIndex) override;

    // The events of a burn, for duringBurn.
    void message(const QString& detail, const QString& text) { emit Message(detail, text); }
    void startBurning() { emit StartBurning(); }
    void progress(qint32 percent) { emit Progress(percent); }
    void burnEnd() { emit BurnEnd(); }
    void fileCounts(qint32 files, qint32 dirs) { emit FileCounts(files, dirs); }
    void addingFile(const QString& file) { emit AddingFile(file); }
    void finalization() { emit Finalization(); }
    // The whole course of a burn that ends well.
    void burnWell();

private:
    QStringList m_compilation;
};

// While it lives, the window's components are these fakes (each one made is kept) and the
// burning library starts when `libraryStarts` says so, else fails with `why`.
class FakeDataBurners
{
public:
    FakeDataBurners();
    ~FakeDataBurners();
    QList<QPointer<FakeAudioDataBurner>> cd;
    QList<QPointer<FakeBurner>> disc;
    std::function<void(FakeAudioDataBurner*)> setupCd;
    std::function<void(FakeBurner*)> setupDisc;
    bool libraryStarts = true;
    QString why = QStringLiteral("libburn was not found.");
};
