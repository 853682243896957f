// Copies one file in chunks, keeping the percentage written and giving the event loop a
// turn after every chunk so the windows stay responsive. The copy goes to a temporary
// file beside the destination that replaces it only once complete: a failed copy leaves
// the destination as it was and no partial file.
#pragma once

#include <QString>

class FileCopyClass
{
public:
    // Whole seconds the last completed Copy took, rounded; 0 before.
    qint32 SecondsTaken() const { return m_secondsTaken; }
    void SetSecondsTaken(qint32 v) { m_secondsTaken = v; }
    // True after a completed Copy; false after a failed one and on a new instance.
    bool Sucessfull() const { return m_successful; }
    void SetSucessfull(bool v) { m_successful = v; }
    // Percentage of the source written so far, 0 to 100.
    qint16 PercentREady() const { return m_percent; }
    void SetPercentREady(qint16 v) { m_percent = v; }
    // Chunk size in bytes; 0 means 32000.
    qint32 CacheSize() const { return m_cacheSize; }
    void SetCacheSize(qint32 v) { m_cacheSize = v; }

    // Copies SourceFile to Destination. A source that is not a regular file, a
    // destination that is the source itself or a folder, and every read or write
    // failure end with Sucessfull false and the reason in ErrorText.
    void Copy(const QString& SourceFile, const QString& Destination);

    // Why the last Copy failed; "" after a completed one.
    QString ErrorText() const { return m_error; }
    // True when the last Copy was refused because the destination is the source.
    bool SameFile() const { return m_sameFile; }

private:
    bool fail(const QString& why);

    qint32 m_secondsTaken = 0;
    bool m_successful = false;
    qint16 m_percent = 0;
    qint32 m_cacheSize = 0;
    QString m_error;
    bool m_sameFile = false;
};
