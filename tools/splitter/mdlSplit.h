// The arithmetic of a split: how long each part is, how many parts there are, how far
// the overall bar goes, and what each part file is called.
#pragma once

#include <QString>

struct SplitPlan {
    bool ok = false;          // false: the source is too short for what was asked
    qint32 partLength = 0;    // whole seconds, at least 1
    qint32 partCount = 0;     // the number of parts; the last one runs to the source's end
    qint32 progressMax = 0;   // the overall bar's maximum, 100 a part
    qint32 durationMs = 0;    // the source's length the plan was made for

    // Start and length (whole seconds) of a part counted from 1. The last part's length
    // is 0, which the component reads as "to the end of the source": nothing of the end
    // is lost however far the probed length is from the true one.
    qint32 PartStart(qint32 part) const { return (part - 1) * partLength; }
    qint32 PartLength(qint32 part) const { return IsLastPart(part) ? 0 : partLength; }
    bool IsLastPart(qint32 part) const { return part >= partCount; }
};

// Into a number of parts: each part is the length divided by the count, rounded to a
// whole second (halves to the even neighbour), or rounded down where rounding up would
// leave nothing for the last part; the last part takes what remains. Refused for a count
// that is not a number or is below 1, and a source too short for count - 1 parts of at
// least a second and a last part that holds something.
SplitPlan PlanSplitByParts(qint32 durationMs, const QString& partsText);
// Into parts of a number of seconds (rounded the same way): the last part holds what
// remains. Refused for a text that is not a number, a length below 1 second, and a length
// that is not below the source's.
SplitPlan PlanSplitBySeconds(qint32 durationMs, const QString& secondsText);

// "Part_" + number + "_" + the source's file name with its extension (the part after the
// last dot, dot kept) replaced by the first three letters of the target-format text; a
// name without a dot gets a dot and the three letters.
QString PartFileName(qint32 part, const QString& sourcePath, const QString& targetFormatText);
