// Copying the samples of a PCM WAV source unchanged into a WAV output of the same format.
#pragma once

#include "components/audio/MediaProbe.h"
#include "components/audio/OutputTarget.h"
#include "components/audio/Transcoder.h"

// True when the output would hold exactly the source's sample bytes.
bool CanCopyPcm(const WavLayout& w, const EncoderSettings& s);

// Writes the frames [first, end) of the source into the output's temporary file.
JobOutcome CopyPcm(const TranscodeRequest& req, const WavLayout& w, qint64 first, qint64 end, OutputTarget& out,
                   JobControl& control, TranscodeStats& stats);
