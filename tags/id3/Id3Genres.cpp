#include "tags/id3/Id3Genres.h"

#include <iterator>

namespace {

// Index = code. Code 123 is unassigned.
constexpr const char* kGenres[] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro - Techno", "Ambient", "Trip Hop",
    "Vocal", "Jazz - Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
    "Sound Clip", "Gospel", "Noise", "Alt.Rock", "Bass", "Soul", "Punk", "Space", "Meditative",
    "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno - Industrial",
    "Electronic", "Pop / Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta Rap",
    "Top 40", "Christian Rap", "Pop / Funk", "Jungle", "Native American", "Cabaret", "New Wave",
    "Psychedelic", "Rave", "Showtunes", "Trailer", "Lo - fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka",
    "Retro", "Musical", "Rock 'n'Roll", "Hard Rock", "Folk", "Folk / Rock", "National Folk", "Swing",
    "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Blue Grass", "Avant Garde", "Gothic Rock",
    "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
    "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata",
    "Symphony", "Booty Bass", "Primus", "Pr0n Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba",
    "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo",
    "", "Euro - House", "Dance Hall", "Goa", "Drum & Bass", "Club - House", "Hardcore", "Terror", "Indie",
    "Brit Pop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal",
    "Crossover", "Contemporary Christian", "Christian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime",
    "JPop", "Synth Pop",
};
static_assert(std::size(kGenres) == 148);

QString Folded(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'-')
            out.append(c.toCaseFolded());
    }
    return out;
}

} // namespace

QString Id3GenreName(quint8 genre)
{
    if (genre >= std::size(kGenres))
        return QString();
    return QString::fromLatin1(kGenres[genre]);
}

int Id3GenreCode(const QString& name)
{
    const QString wanted = Folded(name);
    if (wanted.isEmpty())
        return -1;
    for (size_t code = 0; code < std::size(kGenres); ++code) {
        if (kGenres[code][0] != '\0' && Folded(QString::fromLatin1(kGenres[code])) == wanted)
            return int(code);
    }
    return -1;
}
