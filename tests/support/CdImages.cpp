#include "tests/support/CdImages.h"

#include "tests/support/AudioFixtures.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>

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

ListedAsDrives::ListedAsDrives(const QStringList& cues) : m_saved(qgetenv("VELMARO_CD_IMAGES"))
{
    qputenv("VELMARO_CD_IMAGES", QFile::encodeName(cues.join(u':')));
}

ListedAsDrives::~ListedAsDrives()
{
    qputenv("VELMARO_CD_IMAGES", m_saved);
}

} // namespace CdImages
