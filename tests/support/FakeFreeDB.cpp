// The scripted CD database client.
#include "tests/support/FakeFreeDB.h"

bool FakeFreeDB::IsConnected()
{
    calls << QStringLiteral("IsConnected");
    return connected;
}

void FakeFreeDB::Query()
{
    calls << QStringLiteral("Query");
    if (onQuery)
        onQuery(this);
}

void FakeFreeDB::Abort()
{
    calls << QStringLiteral("Abort");
    ++m_generation;
}

void FakeFreeDB::CloseFreeDB()
{
    calls << QStringLiteral("CloseFreeDB");
    ++m_generation;
}

void FakeFreeDB::queue(std::function<void(FakeFreeDB*)> event)
{
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, event = std::move(event)] {
            if (generation == m_generation)
                event(this);
        },
        Qt::QueuedConnection);
}

void FakeFreeDB::queueEntry(const QString& artist, const QString& album, const QStringList& titles, bool done)
{
    queue([artist](FakeFreeDB* f) { emit f->ArtistFound(artist); });
    queue([album](FakeFreeDB* f) { emit f->AlbumFound(album); });
    for (qsizetype n = 0; n < titles.size(); ++n)
        queue([artist, n, title = titles[n]](FakeFreeDB* f) { emit f->TrackFound(artist, qint32(n + 1), title); });
    if (done)
        queue([](FakeFreeDB* f) { emit f->Done(); });
}

FakeFreeDBFactory::FakeFreeDBFactory(std::function<void(FakeFreeDB*)> setup)
{
    SetFreeDBFactory([this, setup](QObject* parent) {
        auto* f = new FakeFreeDB(parent);
        m_made << f;
        QObject::connect(f, &QObject::destroyed, [this, f] { m_made.removeAll(f); });
        if (setup)
            setup(f);
        return f;
    });
}

FakeFreeDBFactory::~FakeFreeDBFactory()
{
    SetFreeDBFactory({});
}
