#include "tests/support/CdImages.h"

#include "tests/support/AudioFixtures.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace CdImages {

namespace {

// "MM:SS:FF" of a sector count, as a cue sheet's INDEX line writes it.
QString Msf(int sector)
{
    const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(sector / kSectorsPerSecond / 60) + QLatin1Char(':') + two(sector / kSectorsPerSecond % 60)
           + QLatin1Char(':') + two(sector % kSectorsPerSecond);
}

} // namespace

QByteArray Image::track(int n) const
{
    const int end = n + 1 < starts.size() ? starts[n + 1] : int(bin.size() / kSectorBytes);
    return sectors(n, 0, end - starts[n]);
}

QByteArray Image::sectors(int n, int first, int count) const
{
    return bin.mid(qsizetype(starts[n] + first) * kSectorBytes, qsizetype(count) * kSectorBytes);
}

QString Image::binPath() const
{
    return cue.left(cue.size() - 4) + QStringLiteral(".bin");
}

bool Image::cutTo(int sectors) const
{
    return QFile::resize(binPath(), qint64(sectors) * kSectorBytes);
}

Image Write(const QString& dir, const QString& name, const QList<Track>& tracks, quint32 seed)
{
    Image img;
    QString cue = QStringLiteral("FILE \"%1.bin\" BINARY\n").arg(name);
    int at = 0;
    for (int i = 0; i < tracks.size(); ++i) {
        const Track& t = tracks[i];
        cue += QStringLiteral("  TRACK %1 %2\n    INDEX 01 %3\n")
                   .arg(i + 1, 2, 10, QLatin1Char('0'))
                   .arg(t.data ? QStringLiteral("MODE1/2352") : QStringLiteral("AUDIO"), Msf(at));
        if (t.data) {
            img.bin += QByteArray(qsizetype(t.sectors) * kSectorBytes, '\0');
        } else if (t.uniform) {
            QByteArray bytes(qsizetype(t.sectors) * kSectorBytes, Qt::Uninitialized);
            QRandomGenerator(seed + quint32(i))
                .fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / qsizetype(sizeof(quint32)));
            img.bin += bytes;
        } else {
            const QVector<qint16> s = AudioFixtures::noise(qint64(t.sectors) * 588, 2, seed + quint32(i));
            img.bin += QByteArray(reinterpret_cast<const char*>(s.constData()), qsizetype(s.size()) * 2);
        }
        img.starts.append(at);
        at += t.sectors;
    }
    img.cue = QDir(dir).filePath(name + QStringLiteral(".cue"));
    TestFiles::WriteBytes(QDir(dir).filePath(name + QStringLiteral(".bin")), img.bin);
    TestFiles::WriteBytes(img.cue, cue.toUtf8());
    return img;
}

Image WriteAudio(const QString& dir, const QString& name, const QList<int>& sectors, quint32 seed)
{
    QList<Track> t;
    for (int s : sectors)
        t.append({s, false});
    return Write(dir, name, t, seed);
}

Image WriteMixed(const QString& dir, const QString& name, const QList<int>& sectors, quint32 seed)
{
    QList<Track> t;
    for (int i = 0; i < sectors.size(); ++i)
        t.append({sectors[i], i == 0});
    return Write(dir, name, t, seed);
}

Image WriteUniform(const QString& dir, const QString& name, const QList<int>& sectors, quint32 seed)
{
    QList<Track> t;
    for (int s : sectors)
        t.append({s, false, true});
    return Write(dir, name, t, seed);
}

ListedAsDrives::ListedAsDrives(const QStringList& cues) : m_saved(qgetenv("VELMARO_CD_IMAGES"))
{
    qputenv("VELMARO_CD_IMAGES", QFile::encodeName(cues.join(u':')));
}

ListedAsDrives::~ListedAsDrives()
{
    qputenv("VELMARO_CD_IMAGES", m_saved);
}

Deadline::Deadline(int ms, const char* what)
{
    m_thread = std::thread([this, ms, what] {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_over.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_done; })) {
            std::fprintf(stderr, "FAIL!  : %s did not end within %d ms\n", what, ms);
            std::fflush(stderr);
            std::_Exit(1);
        }
    });
}

Deadline::~Deadline()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = true;
    }
    m_over.notify_all();
    m_thread.join();
}

} // namespace CdImages
