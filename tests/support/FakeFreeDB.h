// A CD database client for the lookup window's tests: answers IsConnected as told, records
// what the window asked, and delivers scripted events from the event loop as the real one
// does (none inside a call, none after Abort or CloseFreeDB).
#pragma once

#include "components/cFreeDB/cFreeDB.h"

#include <QStringList>

#include <functional>

class FakeFreeDB : public cFreeDB
{
    Q_OBJECT
public:
    explicit FakeFreeDB(QObject* parent = nullptr) : cFreeDB(parent) {}

    bool IsConnected() override;
    void Query() override;
    void Abort() override;
    void CloseFreeDB() override;

    // Queues one event, delivered later unless the lookup is stopped first.
    void queue(std::function<void(FakeFreeDB*)> event);
    // The usual answer: artist, album, then one track per title, then Done.
    void queueEntry(const QString& artist, const QString& album, const QStringList& titles, bool done = true);

    bool connected = true;
    QStringList calls;  // "IsConnected", "Query", "Abort", "CloseFreeDB"
    std::function<void(FakeFreeDB*)> onQuery;

private:
    quint64 m_generation = 0;
};

// Installs FakeFreeDB as what CreateFreeDB makes while it lives; `setup` runs on each new one.
class FakeFreeDBFactory
{
public:
    explicit FakeFreeDBFactory(std::function<void(FakeFreeDB*)> setup = {});
    ~FakeFreeDBFactory();
    FakeFreeDB* last() const { return m_made.isEmpty() ? nullptr : m_made.last(); }

private:
    QList<FakeFreeDB*> m_made;
};
