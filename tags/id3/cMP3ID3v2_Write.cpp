// Writing the frame store of cMP3ID3v2 into its file as a version 2.3 tag.
#include "tags/id3/cMP3ID3v2.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/Id3File.h"
#include "tags/id3/Id3v2Format.h"
#include "tags/id3/Mp3AudioCheck.h"

namespace {

// Room for the tag: the next multiple of 2048 above its length, so that later updates
// that grow the tag a little still fit in place.
qint64 PaddedLength(qint64 length)
{
    const qint64 padded = (length / 2048 + 1) * 2048;
    return qMin(padded, qint64(Id3v2Format::kMaxTagSize) + Id3v2Format::kHeaderSize);
}

} // namespace

void cMP3ID3v2::Update()
{
    WriteId3v2Tag();
}

void cMP3ID3v2::WriteId3v2Tag()
{
    const QString source = Id3ErrorSource("cMP3ID3v2");
    QByteArray tag = Id3v2Format::BuildTag(m_store.Frames());
    const qint64 length = tag.size();
    if (length - Id3v2Format::kHeaderSize > qint64(Id3v2Format::kMaxTagSize))
        throw Id3Error(Id3ErrorNumber::Overflow, QStringLiteral("The tag is too large to be written."), source);

    Id3File file(m_path, Id3File::ReadWrite, source);
    // A tag belongs before MP3 frames only: put before other audio, it breaks the file.
    RequireMp3Audio(file);
    // The old tag is a valid one at the file's start; what its header states is read, with
    // room for a footer, to find where its frames and padding end.
    Id3v2Header old;
    const qint64 oldLength =
        Id3v2Format::ReadHeader(file.ReadAt(0, Id3v2Format::kHeaderSize), &old)
            ? Id3v2Format::TagLengthAtStart(file.ReadAt(0, 2 * Id3v2Format::kHeaderSize + qint64(old.size)))
            : 0;

    // A new tag shorter than the old one takes its place, the rest of it becoming zero
    // padding, so no frame of the old tag lingers in the file. A longer one gets room to
    // grow: the next multiple of 2048 bytes above its length.
    const bool fits = length < oldLength && oldLength - Id3v2Format::kHeaderSize <= qint64(Id3v2Format::kMaxTagSize);
    const qint64 room = fits ? oldLength : PaddedLength(length);
    Id3v2Format::SetSize(tag, quint32(room - Id3v2Format::kHeaderSize));
    tag.append(QByteArray(room - length, '\0'));
    ReplaceFileStart(file, tag, oldLength);
}
