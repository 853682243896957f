// BIN/CUE images opened with libcdio's BIN/CUE driver. That driver reads the data of
// NAME.cue from NAME.bin whatever the sheet's FILE line says, and cannot read a sheet that
// starts with a UTF-8 byte-order mark or names its file without quotes. A sheet it would
// misread is handed to it as a cleaned copy in a private temporary folder, whose data file
// is a link to the file the sheet names; the folder is gone again before the image is
// returned.
#pragma once

#include <QString>

#include <cdio/cdio.h>

// The image of the cue sheet `cue`, ready for reading; nullptr with the reason in `why`
// when it cannot be read (no such sheet, a data file missing or not a regular file, more
// than one data file, a sheet the driver does not understand). `dataFile`, when given, gets
// the path of the data file the image is read from (the file itself, never the link of a
// cleaned copy), so that a reader can see how much of it is there.
CdIo_t* OpenCueImage(const QString& cue, QString& why, QString* dataFile = nullptr);
