// File times and the program's date type: days counted from 30 December 1899, the time
// of day as the fraction; 0 stands for a time that was not read.
#pragma once

#include <QDateTime>
#include <QString>

using VbDate = double;

VbDate DateFromDateTime(const QDateTime& dt);
QDateTime DateTimeFromDate(VbDate date);  // local-time reading of the value

// A file time (100-ns steps since 1 January 1601, as two 32-bit halves, low first).
VbDate FileTimeToDate(quint32 low, quint32 high);
// 0 on success, -1 when the file cannot be read (the out values then stay as they were).
qint16 GetFileTimes(const QString& path, VbDate& creation, VbDate& access, VbDate& write, bool local);
// The local creation date, or 0 when it cannot be read.
VbDate GetFileCreationDate(const QString& path);
