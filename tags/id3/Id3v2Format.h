// The ID3v2 tag as bytes: the 10-byte header ("ID3", major version, revision, flags, a
// synchsafe size), the walk over the frames of a tag of version 2.2, 2.3 or 2.4, and the
// version 2.3 tag the writer puts at the start of a file.
#pragma once

#include "tags/id3/Id3v2FrameData.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QVector>

struct Id3v2Header
{
    quint8 version = 0;
    quint8 revision = 0;
    quint8 flags = 0;
    quint32 size = 0;  // bytes after the header: extended header, frames, padding
};

namespace Id3v2Format {

inline constexpr qsizetype kHeaderSize = 10;
// The largest size a synchsafe field can hold.
inline constexpr quint32 kMaxTagSize = (1u << 28) - 1;

// True when the bytes begin a header this program reads: "ID3", major version 2, 3 or 4,
// a revision below 0xFF and a synchsafe size (every size byte below 0x80).
bool ReadHeader(QByteArrayView bytes, Id3v2Header* header);

// The length of the tag at the start of a file as far as a new tag replaces it: the
// header, the frames the walk of ReadFrames reads, the zero bytes after them up to the
// size the header states, and a version 2.4 footer standing right after that size. A
// byte that is not zero after the frames ends it: a header that states more than its
// frames and padding hold reaches into the audio, which is kept. `start` is the file's
// first bytes, as many as the header states and 10 more (fewer where the file ends);
// 0 when they do not begin with a header ReadHeader accepts.
qint64 TagLengthAtStart(QByteArrayView start);

// The frames of a tag in version 2.3 form, in file order; `body` is the bytes that follow
// the header (as many of the declared size as the file holds). The walk ends at padding,
// at a header whose id is not a frame id, and at a frame that would reach past the tag.
QVector<Id3v2IdFrame> ReadFrames(const Id3v2Header& header, const QByteArray& body);

// A version 2.3 tag of the writable frames, followed by four zero bytes; the size field
// is left 0 for SetSize. Frame ids that are not four characters or contain "ID3" are left out.
QByteArray BuildTag(const QVector<Id3v2IdFrame>& frames);
void SetSize(QByteArray& tag, quint32 size);

quint32 Synchsafe(QByteArrayView fourBytes);
void PutSynchsafe(QByteArray& bytes, qsizetype index, quint32 value);
void PutLongBigEndian(QByteArray& bytes, qsizetype index, quint32 value);

} // namespace Id3v2Format
