// The speech component's format table and the factory the windows create it through.
#include "components/cOrvelle/cOrvelle.h"

#include "components/cOrvelle/OrvelleImpl.h"

namespace {

OrvelleFactory& factory()
{
    static OrvelleFactory f;
    return f;
}

QList<OrvelleFormat> buildFormats()
{
    // Nine rates, each with 8 and 16 bits, mono and stereo; the ids count from 4 in that
    // order, so "SAFT22kHz16BitMono" is 22.
    struct Rate {
        const char* label;
        int rate;
    };
    static const Rate rates[] = {{"8kHz", 8000},   {"11kHz", 11025}, {"12kHz", 12000}, {"16kHz", 16000}, {"22kHz", 22050},
                                 {"24kHz", 24000}, {"32kHz", 32000}, {"44kHz", 44100}, {"48kHz", 48000}};
    QList<OrvelleFormat> list;
    qint32 id = 4;
    for (const Rate& r : rates)
        for (int bits : {8, 16})
            for (int channels : {1, 2})
                list << OrvelleFormat{QStringLiteral("SAFT%1%2Bit%3")
                                          .arg(QLatin1String(r.label))
                                          .arg(bits)
                                          .arg(channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo")),
                                      id++, r.rate, bits, channels};
    return list;
}

}  // namespace

const QList<OrvelleFormat>& cOrvelle::Formats()
{
    static const QList<OrvelleFormat> formats = buildFormats();
    return formats;
}

const OrvelleFormat* cOrvelle::FindFormat(qint32 Id)
{
    for (const OrvelleFormat& f : Formats())
        if (f.id == Id)
            return &f;
    return nullptr;
}

cOrvelle* CreateOrvelle(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new OrvelleImpl(parent);
}

void SetOrvelleFactory(OrvelleFactory f)
{
    factory() = std::move(f);
}
