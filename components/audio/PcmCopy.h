// Copying the samples of a PCM WAV source unchanged into a WAV output of the same format.
#pragma once

#include "components/audio/MediaProbe.h"
#include "components/audio/OutputTarget.h"
#include "components/audio/Transcoder.h"

#include <QByteArray>

#include <functional>

// True when the output would hold exactly the source's sample bytes.
bool CanCopyPcm(const WavLayout& w, const EncoderSettings& s);

// Writes the frames [first, end) of the source into the output's temporary file.
JobOutcome CopyPcm(const TranscodeRequest& req, const WavLayout& w, qint64 first, qint64 end, OutputTarget& out,
                   JobControl& control, TranscodeStats& stats);

// The header of a PCM WAV file holding `dataBytes` bytes of samples, with the tags in an
// INFO list.
QByteArray PcmWavHeader(int rate, int channels, int bits, qint64 dataBytes, const AudioTags& tags);

// Appends `bytes` bytes of `source` from `offset` on to the open output; `progress` hears
// the bytes copied so far.
JobOutcome CopyFileBytes(const QString& source, qint64 offset, qint64 bytes, int outFd, const QString& output,
                         JobControl& control, const std::function<void(qint64 done)>& progress);
