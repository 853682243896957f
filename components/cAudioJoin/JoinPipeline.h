// Joining: the entries are decoded one after another, each from its range start to its
// end, resampled to the output format and encoded as one stream into a temporary file
// beside the output, which is renamed into place only when the join succeeded. Entries
// that are PCM WAV files of the output's own format have their sample bytes copied.
#pragma once

#include "components/audio/AudioSettings.h"
#include "components/audio/JobRunner.h"
#include "components/cAudioJoin/cAudioJoin.h"

#include <QList>
#include <QString>

struct JoinRequest {
    QList<JoinEntry> entries;
    QString output;
    FileIdentity replaceable;  // the file of the output's name the user agreed to replace
    EncoderSettings settings;
    AudioTags tags;
    bool allowCopy = true;  // copy PCM samples unchanged when every entry matches the output
};

struct JoinStats {
    bool copied = false;
    QList<qint64> entrySamples;  // source samples of each entry that reached the output
};

// Progress goes out through control.report() as JoinProgressValue(entry, percent); the
// first report of each entry with a percent of 1 or more, and its 100, are never held back.
// With deferCommit the finished output stays in its temporary file, named in the outcome.
JobOutcome RunJoin(const JoinRequest& request, JobControl& control, JoinStats* stats = nullptr, bool deferCommit = false);

// One number for the entry (from 1) and its percent (0 to 100), and back.
inline int JoinProgressValue(int entry, int percent)
{
    return (entry - 1) * 101 + percent;
}
inline void JoinProgressOf(int value, qint32& entry, qint32& percent)
{
    entry = value / 101 + 1;
    percent = value % 101;
}
