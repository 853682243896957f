// The CD database client's shared members, its server setting and limits, and the factory
// the lookup window creates it through.
#include "components/cFreeDB/cFreeDB.h"

#include "components/cFreeDB/FreeDBImpl.h"

#include <QUrl>

namespace {

FreeDBFactory& factory()
{
    static FreeDBFactory f;
    return f;
}

FreeDBLimits& limits()
{
    static FreeDBLimits l;
    return l;
}

} // namespace

cFreeDB::cFreeDB(QObject* parent) : QObject(parent) {}

cFreeDB::~cFreeDB() = default;

QString FreeDBServerUrl()
{
    const QString fromEnvironment = qEnvironmentVariable("VELMARO_CDDB_URL");
    return fromEnvironment.isEmpty() ? QStringLiteral(VELMARO_CDDB_URL_DEFAULT) : fromEnvironment;
}

QString FreeDBServerHost()
{
    return QUrl(FreeDBServerUrl()).host();
}

FreeDBLimits GetFreeDBLimits()
{
    return limits();
}

void SetFreeDBLimits(const FreeDBLimits& l)
{
    limits() = l;
}

cFreeDB* CreateFreeDB(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new FreeDBImpl(parent);
}

void SetFreeDBFactory(FreeDBFactory f)
{
    factory() = std::move(f);
}
