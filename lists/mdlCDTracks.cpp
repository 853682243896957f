// Drive nodes to ripper devices, and the track rows of a disc.
#include "lists/mdlCDTracks.h"

#include "common/mdlFileSystem.h"
#include "common/mdlFileTime.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListsTree.h"
#include "settings/mdlOptions.h"

qint32 CDDriveIndex(cAudioCDRipper* ripper, const QString& nodeKey)
{
    if (!ripper)
        return -1;
    const QString drive = GetCDNameNode(nodeKey);
    qint32 found = -1;
    const qint32 count = ripper->GetDeviceCount();
    for (qint32 i = 0; i < count; ++i)
        if (ripper->GetDeviceName(i).left(2) == drive)
            found = i;
    return found;
}

QString CDTrackName(qint32 track)
{
    return QStringLiteral("Track%1.cda").arg(track, 2, 10, QChar(u'0'));
}

qint32 WriteCDTrackRows(cGrid* grid, cAudioCDRipper* ripper, const QString& sDrive,
                        const std::function<void(qint32 track)>& progress)
{
    if (!grid || !ripper)
        return 0;
    auto col = [grid](const char* key) { return grid->ColumnIndex(QString::fromLatin1(key)); };
    const qint32 count = ripper->GetTrackCount();
    for (qint32 t = 1; t <= count; ++t) {
        if (progress)
            progress(t);
        qint32 number = t;
        const bool audio = ripper->GetTrackType(number) == 1;
        number = t;
        const qint32 seconds = ripper->GetTrackLength(number);
        const qint64 bytes = kCDBytesPerSecond * seconds;
        const QString path = sDrive + u'/' + CDTrackName(t);

        grid->SetCell(t, col("Inc"), QString(), cGrid::kIconCellFormat, audio ? kIconMarked : kIconUnmarked);
        grid->SetCell(t, col("Type"), QString(), cGrid::kIconCellFormat,
                      GetTypeImage(audio ? QStringLiteral("Audio") : QStringLiteral("Data")));
        grid->SetCell(t, col("Item Name"), CDTrackName(t));
        grid->SetCell(t, col("Time"), cAudioConverter::SecondsToTimeText(seconds));
        grid->SetCell(t, col("Size"), FormatFileSize(double(bytes)));
        grid->SetCell(t, col("COL_FILE"), path);
        // A track has no file time; a time that cannot be read is left empty rather than
        // shown as a made-up date.
        const VbDate created = GetFileCreationDate(path);
        if (created != 0)
            grid->SetCell(t, col("Created"), DateTimeFromDate(created));
        grid->SetCell(t, col("Range"), QStringLiteral("All"));
        grid->SetCell(t, col("COL_RANGE_ALL"), QStringLiteral("1"));
        grid->SetCell(t, col("COL_BYTES_SIZE"), QString::number(bytes));
        const QString tags[] = {g_sTagAlbum, g_sTagArtist, g_sTagComment, g_sTagGenre,
                                g_sTagYear,  g_sTagSong,   g_sTagTrack};
        static const char* const tagKeys[] = {"COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT", "COL_TAG_GEN",
                                              "COL_TAG_YEAR",  "COL_TAG_TITLE",  "COL_TAG_TRACK"};
        for (int i = 0; i < 7; ++i)
            grid->SetCell(t, col(tagKeys[i]), tags[i]);
    }
    return count;
}
