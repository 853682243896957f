// The header of an MPEG audio layer III frame (an MP3 frame): whether four bytes are one,
// and how long its frame is. Header only and free of any library, so that the tag classes,
// which need nothing beyond QtCore, share it with the media probe.
#pragma once

// The length in bytes of the MPEG audio layer III frame whose header is at `h` (MPEG-1,
// MPEG-2 or MPEG-2.5), with the samples it holds; 0 when `h` is not such a header (a
// reserved version, sample rate or bit rate, or a free-format frame, whose length its
// header does not state).
inline int Mp3FrameBytes(const unsigned char* h, int* samplesPerFrame = nullptr)
{
    static const int kbps1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int kbps2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    static const int rates[3] = {44100, 48000, 32000};
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || ((h[1] >> 1) & 3) != 1)
        return 0;
    const int version = (h[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    const int rateIndex = (h[2] >> 2) & 3;
    const int kbps = (version == 3 ? kbps1 : kbps2)[h[2] >> 4];
    if (version == 1 || rateIndex == 3 || kbps == 0)
        return 0;
    const int rate = rates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const int padding = (h[2] >> 1) & 1;
    if (samplesPerFrame)
        *samplesPerFrame = version == 3 ? 1152 : 576;
    return (version == 3 ? 144 : 72) * kbps * 1000 / rate + padding;
}
