// Writing the frame store of cMP3ID3v2 into its file as a version 2.3 tag.
#include "tags/id3/cMP3ID3v2.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/Id3File.h"
#include "tags/id3/Id3v2Format.h"

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
    const qint64 size = file.Size();
    const qint64 oldLength =
        Id3v2Format::TagLengthAtStart(file.ReadAt(0, Id3v2Format::kHeaderSize), size);

    if (oldLength > 0 && length < oldLength
        && oldLength - Id3v2Format::kHeaderSize <= qint64(Id3v2Format::kMaxTagSize)) {
        // The new tag fits: it is written over the old one, whose remaining bytes become
        // zero padding, so no frame of the old tag lingers in the file.
        Id3v2Format::SetSize(tag, quint32(oldLength - Id3v2Format::kHeaderSize));
        tag.append(QByteArray(oldLength - length, '\0'));
        file.WriteAt(0, tag);
        file.Sync();
        return;
    }

    // Otherwise the file is copied with the new tag in front of what followed the old one
    // (the whole file when it had no valid tag at its start), and the copy replaces it.
    const qint64 padded = PaddedLength(length);
    Id3v2Format::SetSize(tag, quint32(padded - Id3v2Format::kHeaderSize));
    tag.append(QByteArray(padded - length, '\0'));
    ReplaceFileStart(file, tag, oldLength);
}
