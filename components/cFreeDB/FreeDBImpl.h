// The real CD database client: reads the drive's table of contents, asks the server named by
// the one URL setting with a query and then a read of the first match, and reports the
// disc's artist, album and track titles.
#pragma once

#include "components/cFreeDB/CddbProtocol.h"
#include "components/cFreeDB/cFreeDB.h"

#include <QPointer>

#include <functional>

class CddbHttpGet;

class FreeDBImpl : public cFreeDB
{
    Q_OBJECT
public:
    explicit FreeDBImpl(QObject* parent = nullptr);
    ~FreeDBImpl() override;

    bool IsConnected() override;
    void Query() override;
    void Abort() override;
    void CloseFreeDB() override;

private:
    // Runs f from the event loop, unless Abort or CloseFreeDB came in between.
    void post(std::function<void()> f);
    void fail(qint32 code, const QString& description);
    void request(const QStringList& command, void (FreeDBImpl::*replied)(const QString&));
    void queryReplied(const QString& body);
    void readReplied(const QString& body);
    void failOnReply(const Cddb::Reply& reply);

    quint64 m_generation = 0;
    QPointer<CddbHttpGet> m_http;
    qint32 m_trackCount = 0;  // tracks of the disc asked about
    QString m_matchTitle;     // "artist / album" as the query's match gave it
};

// The table of contents of the disc in a drive ("D:"); false with the reason when the drive
// is unknown or holds no readable disc.
bool ReadDriveToc(const QString& drive, Cddb::Toc& toc, QString& why);
