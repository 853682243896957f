// The check the tag writers make before they touch a file: that it is an MP3 file, with
// MPEG audio frames after the ID3v2 tag at its start. A tag written into a WAV, a FLAC or a
// text file breaks it for every program that reads it.
#pragma once

class Id3File;

// True when a run of MP3 frames begins within a short distance after the ID3v2 tags at
// the file's start (as real files have a few stray bytes there): three frame headers in a
// row, each where the frame before it ends and of the same stream, or whole frames that
// run to the end of the audio. Reads a bounded part of the file, whatever its size.
bool HoldsMp3Audio(const Id3File& file);

// Raises the not-a-valid-MP3 error (NotValidMp3, "<path> is not a valid MP3 file.") with
// the file's source unless it holds MP3 audio.
void RequireMp3Audio(const Id3File& file);
