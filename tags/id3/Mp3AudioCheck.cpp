#include "tags/id3/Mp3AudioCheck.h"

#include "components/audio/Mp3Frame.h"
#include "tags/id3/Id3File.h"
#include "tags/id3/Id3v2Format.h"

namespace {

// How far after the tags the first frame may begin. Taggers leave padding their tag's size
// does not count, and some encoders a few bytes of their own: far less than this.
constexpr qint64 kStrayBytes = 64 * 1024;
// The longest layer III frame (320 kbit/s at 32 kHz, or 160 kbit/s at 8 kHz, padded), and
// the headers in a row that make a stream: one header alone turns up in any binary data.
constexpr qint64 kLongestFrame = 1441;
constexpr int kHeadersInRow = 3;
// Files that carry several ID3v2 tags one after the other have two or three.
constexpr int kMostTags = 16;

// Where the audio begins: after the ID3v2 tags at the file's start, each as long as its
// header states (and its footer, when the header announces one).
qint64 AudioStart(const Id3File& file)
{
    qint64 at = 0;
    for (int i = 0; i < kMostTags; ++i) {
        Id3v2Header header;
        if (!Id3v2Format::ReadHeader(file.ReadAt(at, Id3v2Format::kHeaderSize), &header))
            break;
        at += Id3v2Format::kHeaderSize + header.size;
        if (header.version == 4 && (header.flags & 0x10))
            at += Id3v2Format::kHeaderSize;
    }
    return at;
}

// Frame headers of one stream agree in their version, layer and sample rate.
bool SameStream(const unsigned char* a, const unsigned char* b)
{
    return (a[1] & 0xFE) == (b[1] & 0xFE) && (a[2] & 0x0C) == (b[2] & 0x0C);
}

// Whether a run of frames begins at `from` in the bytes, which end where the audio ends
// or further on than the run can reach.
bool RunOfFrames(const unsigned char* bytes, qint64 from, qint64 end)
{
    qint64 at = from;
    for (int headers = 0; headers < kHeadersInRow; ++headers) {
        if (at == end)
            return headers >= 1;  // whole frames up to the end of the audio
        if (at + 4 > end)
            return false;
        const int length = Mp3FrameBytes(bytes + at);
        if (length == 0 || !SameStream(bytes + from, bytes + at))
            return false;
        at += length;
        if (at > end)
            return headers >= 1;  // a file cut off in its last frame, after whole ones
    }
    return true;
}

// Whether a run of frames begins within the stray bytes after `start`; `end` is where the
// audio ends.
bool FramesAfter(const Id3File& file, qint64 start, qint64 end)
{
    if (start >= end)
        return false;
    const QByteArray head = file.ReadAt(start, qMin(end - start, kStrayBytes + kHeadersInRow * kLongestFrame + 4));
    const auto* bytes = reinterpret_cast<const unsigned char*>(head.constData());
    const qint64 last = qMin(kStrayBytes, qint64(head.size()) - 1);
    for (qint64 at = 0; at <= last; ++at)
        if (bytes[at] == 0xFF && RunOfFrames(bytes, at, head.size()))
            return true;
    return false;
}

} // namespace

bool HoldsMp3Audio(const Id3File& file)
{
    const qint64 size = file.Size();
    // The ID3v1 block at the end is no part of the audio.
    const qint64 end = size > 128 && file.ReadAt(size - 128, 3) == "TAG" ? size - 128 : size;
    if (FramesAfter(file, AudioStart(file), end))
        return true;
    // A tag whose header states more than its frames and padding hold (a tagger's fault)
    // reaches into the audio, or past the file's end: the frames then begin where the
    // tag's frames and padding end, as the tag writer finds it.
    Id3v2Header header;
    if (!Id3v2Format::ReadHeader(file.ReadAt(0, Id3v2Format::kHeaderSize), &header))
        return false;
    const qint64 tagLength =
        Id3v2Format::TagLengthAtStart(file.ReadAt(0, 2 * Id3v2Format::kHeaderSize + qint64(header.size)));
    return FramesAfter(file, tagLength, end);
}

void RequireMp3Audio(const Id3File& file)
{
    if (!HoldsMp3Audio(file))
        throw NotValidMp3Error(file.Path(), file.Source());
}
