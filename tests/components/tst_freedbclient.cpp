// The CD database client: disc ids of known tables of contents, the requests a server sees
// for a generated image drive, and a table of server answers, each ending in the events the
// lookup window relies on (or one error), none raised inside a call or after Abort.
#include "components/cFreeDB/CddbProtocol.h"
#include "components/cFreeDB/FreeDBImpl.h"
#include "tests/support/CddbTestServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>

#ifdef VELMARO_HAVE_LIBCDDB
#include <cddb/cddb.h>
#endif

namespace {

// Every event of a client, as text, in the order it came.
struct Recorder {
    QStringList log;
    explicit Recorder(cFreeDB* c)
    {
        QObject::connect(c, &cFreeDB::ArtistFound, [this](const QString& a) { log << "artist " + a; });
        QObject::connect(c, &cFreeDB::AlbumFound, [this](const QString& a) { log << "album " + a; });
        QObject::connect(c, &cFreeDB::TrackFound, [this](const QString& a, qint32 n, const QString& t) {
            log << QStringLiteral("track %1|%2|%3").arg(a).arg(n).arg(t);
        });
        QObject::connect(c, &cFreeDB::Done, [this] { log << "done"; });
        QObject::connect(c, &cFreeDB::Error, [this](qint32 code, const QString& d) {
            log << QStringLiteral("error %1 %2").arg(code).arg(d);
        });
    }
    bool ended() const
    {
        return !log.isEmpty() && (log.last() == QLatin1String("done") || log.last().startsWith(QLatin1String("error")));
    }
};

QByteArray queryExact()
{
    return CddbTestDisc::QueryExact();
}

QByteArray entry(const QStringList& lines, bool terminated = true)
{
    return CddbTestDisc::Entry(lines, terminated);
}

void greet(cFreeDB* c)
{
    c->SetDrive(QStringLiteral("D:"));
    c->SetGreetingUser(QStringLiteral("clsCDDB"));
    c->SetGreetingHost(QStringLiteral("localhost"));
    c->SetGreetingClient(QStringLiteral("clsCDDB"));
    c->SetGreetingVersion(QStringLiteral("v0.5"));
}

// A port on 127.0.0.1 where nothing listens.
quint16 closedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 port = s.serverPort();
    s.close();
    return port;
}

} // namespace

class tst_FreeDBClient : public QObject
{
    Q_OBJECT
private slots:
    // One image drive serves every test.
    void initTestCase() { m_drive = std::make_unique<CddbTestDisc>(); }
    void cleanupTestCase() { m_drive.reset(); }
    void discIds_data();
    void discIds();
    void requestsCarryTheDisc();
    void serverAnswers_data();
    void serverAnswers();
    void slowServers_data();
    void slowServers();
    void nothingAfterAbort();
    void noServer();
    void noDisc();

private:
    std::unique_ptr<CddbTestDisc> m_drive;
};

void tst_FreeDBClient::discIds_data()
{
    QTest::addColumn<QList<qint32>>("offsets");
    QTest::addColumn<qint32>("leadout");
    QTest::addColumn<QString>("id");        // worked out by hand from the standard algorithm
    QTest::addColumn<qint32>("seconds");
    QTest::newRow("three short tracks") << QList<qint32>{150, 525, 1050} << 1365 << "0e001003" << 18;
    QTest::newRow("the tests' image") << QList<qint32>{150, 300, 675} << 975 << "0f000b03" << 13;
    QTest::newRow("one long track") << QList<qint32>{150} << 150 + 74 * 60 * 75 << "02115801" << 4442;
    QTest::newRow("twelve tracks")
        << QList<qint32>{150, 17477, 32100, 47997, 65130, 81787, 97977, 113865, 128232, 143640, 158892, 175812}
        << 192337 << "9d0a020c" << 2564;
    QTest::newRow("first track after a hidden pregap") << QList<qint32>{182, 20000, 40000} << 60000 << "1b031e03" << 800;
    QTest::newRow("data track first") << QList<qint32>{150, 29477, 45000} << 61234 << "17032e03" << 816;
    QList<qint32> many;
    for (int i = 0; i < 99; ++i)
        many << 150 + i * 1790;
    QTest::newRow("99 tracks, digit sums past 255") << many << many.last() + 2000 << "4b093d63" << 2367;
}

void tst_FreeDBClient::discIds()
{
    QFETCH(QList<qint32>, offsets);
    QFETCH(qint32, leadout);
    QFETCH(QString, id);
    QFETCH(qint32, seconds);
    const Cddb::Toc toc{offsets, leadout};
    QCOMPARE(Cddb::DiscIdText(Cddb::DiscId(toc)), id);
    QCOMPARE(Cddb::DiscSeconds(toc), seconds);
    const QStringList command = Cddb::QueryCommand(toc);
    QCOMPARE(command.mid(0, 4), (QStringList{"cddb", "query", id, QString::number(offsets.size())}));
    QCOMPARE(command.size(), 5 + offsets.size());
    QCOMPARE(command.last(), QString::number(seconds));
#ifdef VELMARO_HAVE_LIBCDDB
    // The same table through libcddb's own computation.
    cddb_disc_t* disc = cddb_disc_new();
    for (qint32 offset : offsets) {
        cddb_track_t* track = cddb_track_new();
        cddb_track_set_frame_offset(track, offset);
        cddb_disc_add_track(disc, track);
    }
    cddb_disc_set_length(disc, unsigned(leadout / 75));
    cddb_disc_calc_discid(disc);
    const quint32 theirs = cddb_disc_get_discid(disc);
    cddb_disc_destroy(disc);
    QCOMPARE(Cddb::DiscIdText(theirs), id);
#endif
}

// The generated image as the server sees it: the disc id, track offsets, length and the
// greeting in the query; the first match's category and id in the read.
void tst_FreeDBClient::requestsCarryTheDisc()
{
    CddbTestServer server({queryExact(), entry({"DTITLE=A / B", "TTITLE0=x", "TTITLE1=y", "TTITLE2=z"})});
    const quint16 port = QUrl(server.url()).port();
    CddbUrlScope scope(server.url());
    FreeDBImpl client;
    Recorder r(&client);
    greet(&client);
    QVERIFY(client.IsConnected());
    client.Query();
    QVERIFY(r.log.isEmpty());  // nothing inside the call
    QTRY_VERIFY_WITH_TIMEOUT(r.ended(), 20000);
    QCOMPARE(r.log.last(), QStringLiteral("done"));
    QCOMPARE(server.requests,
             (QStringList{"GET /~cddb/cddb.cgi?cmd=cddb+query+0f000b03+3+150+300+675+13"
                          "&hello=clsCDDB+localhost+clsCDDB+v0.5&proto=6 HTTP/1.0",
                          "GET /~cddb/cddb.cgi?cmd=cddb+read+rock+0f000b03"
                          "&hello=clsCDDB+localhost+clsCDDB+v0.5&proto=6 HTTP/1.0"}));
    QVERIFY(server.headers[0].contains("\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n"));
    // Two answers given: the server has stopped by itself.
    QVERIFY(!server.isListening());
}

void tst_FreeDBClient::serverAnswers_data()
{
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<QStringList>("events");
    const qint64 cap = 1 << 20;
    const QStringList discTracks{"DTITLE=Probe Artist / Probe Album", "TTITLE0=First", "TTITLE1=Second", "TTITLE2=Third"};
    const QStringList probeEvents{"artist Probe Artist", "album Probe Album", "track Probe Artist|1|First",
                                  "track Probe Artist|2|Second", "track Probe Artist|3|Third", "done"};

    QTest::newRow("exact match") << QList<QByteArray>{queryExact(), entry(discTracks)} << cap << probeEvents;
    QTest::newRow("inexact matches: the first is read")
        << QList<QByteArray>{CddbTestServer::Http({"211 Found inexact matches, list follows (until terminating `.')",
                                                  "rock 0f000b03 Probe Artist / Probe Album", "misc 0f000b04 Other / Disc",
                                                  "."}),
                             entry(discTracks)}
        << cap << probeEvents;
    QTest::newRow("no match") << QList<QByteArray>{CddbTestServer::Http({"202 No match for disc ID 0f000b03."})} << cap
                              << QStringList{"error 2 No match for disc ID 0f000b03."};
    QTest::newRow("empty list of matches")
        << QList<QByteArray>{CddbTestServer::Http({"211 Found inexact matches, list follows", "."})} << cap
        << QStringList{"error 2 No match found in the CD database."};
    QTest::newRow("server error 403 on the read")
        << QList<QByteArray>{queryExact(), CddbTestServer::Http({"403 Database entry is corrupt."})} << cap
        << QStringList{"error 403 Database entry is corrupt."};
    QTest::newRow("server error 500 on the query")
        << QList<QByteArray>{CddbTestServer::Http({"500 Command syntax error: incorrect arguments."})} << cap
        << QStringList{"error 500 Command syntax error: incorrect arguments."};
    QTest::newRow("HTTP status 500")
        << QList<QByteArray>{CddbTestServer::HttpBytes("boom", "HTTP/1.0 500 Internal Server Error")} << cap
        << QStringList{"error 500 The CD database server 127.0.0.1 refused the request: 500 Internal Server Error"};
    QTest::newRow("body shorter than its length")
        << QList<QByteArray>{queryExact(),
                             "HTTP/1.0 200 OK\r\nContent-Length: 400\r\n\r\n210 rock 0f000b03 entry\r\nDTITLE=A / B\r\n"}
        << cap << QStringList{"error 3 The reply of the CD database server 127.0.0.1 was cut short."};
    QTest::newRow("entry without its terminating dot")
        << QList<QByteArray>{queryExact(), entry(discTracks, false)} << cap
        << QStringList{"error 3 The CD database entry was cut short."};
    QTest::newRow("list without its terminating dot")
        << QList<QByteArray>{CddbTestServer::Http({"211 Found inexact matches", "rock 0f000b03 A / B"})} << cap
        << QStringList{"error 3 The CD database server's list of matches was cut short."};
    QTest::newRow("status line that is not a number")
        << QList<QByteArray>{CddbTestServer::Http({"2OO rock 0f000b03 A / B"})} << cap
        << QStringList{"error 3 The reply of the CD database server could not be read."};
    QTest::newRow("no HTTP header")
        << QList<QByteArray>{"200 rock 0f000b03 A / B\r\n"} << cap
        << QStringList{"error 3 The reply of the CD database server 127.0.0.1 was cut short."};
    QTest::newRow("track numbers past the disc or not numbers")
        << QList<QByteArray>{queryExact(),
                             entry({"DTITLE=A / B", "TTITLE0=One", "TTITLEx=bad", "TTITLE-1=neg", "TTITLE=none",
                                    "TTITLE+1=plus", "TTITLE5=Six", "TTITLE99=past", "TTITLE99999999999=huge",
                                    "TTITLE0", "=orphan"})}
        << cap
        << QStringList{"artist A", "album B", "track A|1|One", "error 5 The CD database entry has titles for 1 of the 3 tracks."};
    // The lookup ends with the titles it has, and says that some are missing.
    QTest::newRow("fewer tracks than the disc")
        << QList<QByteArray>{queryExact(), entry({"DTITLE=A / B", "TTITLE0=One", "TTITLE1=Two"})} << cap
        << QStringList{"artist A", "album B", "track A|1|One", "track A|2|Two",
                       "error 5 The CD database entry has titles for 2 of the 3 tracks."};
    QTest::newRow("a middle title missing, a blank one, one past the disc")
        << QList<QByteArray>{queryExact(), entry({"DTITLE=A / B", "TTITLE0=One", "TTITLE1=Guest / ", "TTITLE2= \t ", "TTITLE3=Four"})}
        << cap
        << QStringList{"artist A", "album B", "track A|1|One", "error 5 The CD database entry has titles for 1 of the 3 tracks."};
    QTest::newRow("no track titles at all")
        << QList<QByteArray>{queryExact(), entry({"DTITLE=A / B", "EXTD=x"})} << cap
        << QStringList{"artist A", "album B", "error 5 The CD database entry has titles for 0 of the 3 tracks."};
    QTest::newRow("entry without a disc title: the match's")
        << QList<QByteArray>{queryExact(), entry({"TTITLE0=First", "TTITLE1=Second", "TTITLE2=Third"})} << cap
        << probeEvents;
    QTest::newRow("list of matches with junk lines first")
        << QList<QByteArray>{CddbTestServer::Http({"211 Found inexact matches, list follows (until terminating `.')", "",
                                                  "# a remark", "junk", "rock 0f000b0 short id", "rock ../../x A / B",
                                                  "rock 0f000b03 Probe Artist / Probe Album", "."}),
                             entry(discTracks)}
        << cap << probeEvents;
    QTest::newRow("list of matches that are all junk")
        << QList<QByteArray>{CddbTestServer::Http({"211 Found inexact matches", "junk", "", "."})} << cap
        << QStringList{"error 2 No match found in the CD database."};
    QTest::newRow("a match list where the entry should be")
        << QList<QByteArray>{queryExact(), CddbTestServer::Http({"211 Found inexact matches", "rock 0f000b03 A / B", "."})}
        << cap << QStringList{"error 3 The reply of the CD database server could not be read."};
    QTest::newRow("a refusal without words")
        << QList<QByteArray>{queryExact(), CddbTestServer::Http({"409"})} << cap
        << QStringList{"error 409 The CD database server refused the request: 409"};
    QTest::newRow("junk before the status line")
        << QList<QByteArray>{queryExact(), CddbTestServer::HttpBytes("hello\r\n210 rock 0f000b03 x\r\nTTITLE0=a\r\n.\r\n")}
        << cap << QStringList{"error 3 The reply of the CD database server could not be read."};
    QTest::newRow("body that stops in the middle of a line")
        << QList<QByteArray>{queryExact(), CddbTestServer::HttpBytes("210 rock 0f000b03 x\r\nDTITLE=A / B\r\nTTITLE0=a\r\nTTIT")}
        << cap << QStringList{"error 3 The CD database entry was cut short."};
    QTest::newRow("slashes, dots and control characters")
        << QList<QByteArray>{queryExact(),
                             entry({"DTITLE=AC/DC / Back / In Black", "TTITLE0=Guest / Song", "TTITLE1=../../etc/passwd",
                                    QStringLiteral("TTITLE2=Tab\\there\\nnew\\\\back\x07") + QChar(0x7f) + "end"})}
        << cap
        << QStringList{"artist AC/DC", "album Back / In Black", "track Guest|1|Song", "track AC/DC|2|../../etc/passwd",
                       "track AC/DC|3|Tab here new\\back  end", "done"};
    QTest::newRow("values continued over repeated keys")
        << QList<QByteArray>{queryExact(),
                             entry({"DTITLE=Long Art", "DTITLE=ist / The Al", "DTITLE=bum", "TTITLE0=Part one",
                                    "TTITLE0= and two", "TTITLE1=x", "TTITLE2=y"})}
        << cap << QStringList{"artist Long Artist", "album The Album", "track Long Artist|1|Part one and two",
                              "track Long Artist|2|x", "track Long Artist|3|y", "done"};
    QTest::newRow("disc title without a slash")
        << QList<QByteArray>{queryExact(), entry({"DTITLE=Various", "TTITLE0=x", "TTITLE1=y", "TTITLE2=z"})} << cap
        << QStringList{"artist Various", "album Various", "track Various|1|x", "track Various|2|y",
                       "track Various|3|z", "done"};
    const QStringList nordic{QStringLiteral("DTITLE=Bj\u00f6rk / Homog\u00e9nic"), QStringLiteral("TTITLE0=J\u00f3ga"),
                             QStringLiteral("TTITLE1=Unravel"), QStringLiteral("TTITLE2=B\u00e0chelorette")};
    const QStringList nordicEvents{QStringLiteral("artist Bj\u00f6rk"), QStringLiteral("album Homog\u00e9nic"),
                                   QStringLiteral("track Bj\u00f6rk|1|J\u00f3ga"), QStringLiteral("track Bj\u00f6rk|2|Unravel"),
                                   QStringLiteral("track Bj\u00f6rk|3|B\u00e0chelorette"), "done"};
    QTest::newRow("UTF-8 titles") << QList<QByteArray>{queryExact(), entry(nordic)} << cap << nordicEvents;
    QByteArray latin1 = "210 rock 0f000b03 entry\r\n";
    for (const QString& line : nordic)
        latin1 += line.toLatin1() + "\r\n";
    latin1 += ".\r\n";
    QTest::newRow("Latin-1 titles") << QList<QByteArray>{queryExact(), CddbTestServer::HttpBytes(latin1)} << cap
                                    << nordicEvents;
    QTest::newRow("reply over the size cap")
        << QList<QByteArray>{queryExact(), entry({"DTITLE=A / B", "EXTD=" + QString(4000, u'x'), "TTITLE0=x"})}
        << qint64(2048) << QStringList{"error 3 The reply of the CD database server is larger than 2048 bytes."};
    QTest::newRow("server that never answers")
        << QList<QByteArray>{queryExact(), CddbTestServer::kSilent} << cap
        << QStringList{"error 1 The CD database server 127.0.0.1 stopped answering."};
}

void tst_FreeDBClient::serverAnswers()
{
    QFETCH(QList<QByteArray>, answers);
    QFETCH(qint64, maxBytes);
    QFETCH(QStringList, events);
    CddbTestServer server(answers);
    CddbUrlScope scope(server.url(), 5000, answers.contains(CddbTestServer::kSilent) ? 300 : 10000, maxBytes);
    FreeDBImpl client;
    Recorder r(&client);
    greet(&client);
    client.Query();
    QTRY_VERIFY_WITH_TIMEOUT(r.ended(), 20000);
    QCOMPARE(r.log, events);
    // Nothing more comes once the lookup has ended.
    QTest::qWait(50);
    QCOMPARE(r.log, events);
}

void tst_FreeDBClient::slowServers_data()
{
    QTest::addColumn<int>("trickleMs");  // between two bytes of each answer
    QTest::addColumn<int>("replyMs");    // the limit for one whole reply
    QTest::addColumn<QStringList>("events");
    // A reply that comes a byte at a time, well inside the limit, is read whole.
    QTest::newRow("slow but in time")
        << 1 << 10000
        << QStringList{"artist A", "album B", "track A|1|x", "track A|2|y", "track A|3|z", "done"};
    // One that would take seconds is stopped at the limit for the whole reply, though a
    // byte keeps coming long before any pause could be noticed.
    QTest::newRow("trickling past the limit")
        << 40 << 600 << QStringList{"error 1 The CD database server 127.0.0.1 did not send its whole reply in time."};
}

void tst_FreeDBClient::slowServers()
{
    QFETCH(int, trickleMs);
    QFETCH(int, replyMs);
    QFETCH(QStringList, events);
    CddbTestServer server({queryExact(), entry({"DTITLE=A / B", "TTITLE0=x", "TTITLE1=y", "TTITLE2=z"})});
    server.trickleMs = trickleMs;
    CddbUrlScope scope(server.url(), 5000, replyMs);
    FreeDBImpl client;
    Recorder r(&client);
    greet(&client);
    QElapsedTimer clock;
    clock.start();
    client.Query();
    QTRY_VERIFY_WITH_TIMEOUT(r.ended(), 20000);
    QCOMPARE(r.log, events);
    if (r.log.last().startsWith(QLatin1String("error")))
        QVERIFY2(clock.elapsed() < replyMs + 1500, qPrintable(QString::number(clock.elapsed())));
}

// Abort in the middle of the results: nothing after it, though the rest was already read.
void tst_FreeDBClient::nothingAfterAbort()
{
    CddbTestServer server({queryExact(), entry({"DTITLE=A / B", "TTITLE0=x", "TTITLE1=y", "TTITLE2=z"}), queryExact()});
    CddbUrlScope scope(server.url());
    FreeDBImpl client;
    Recorder r(&client);
    greet(&client);
    connect(&client, &cFreeDB::AlbumFound, &client, &FreeDBImpl::Abort);
    client.Query();
    QTRY_COMPARE_WITH_TIMEOUT(r.log.size(), 2, 20000);
    QTest::qWait(100);
    QCOMPARE(r.log, (QStringList{"artist A", "album B"}));

    // Abort while the server is asked: neither an event nor a second request follows.
    r.log.clear();
    disconnect(&client, &cFreeDB::AlbumFound, &client, &FreeDBImpl::Abort);
    QSignalSpy states(&client, &cFreeDB::StateChanged);
    client.Query();
    client.CloseFreeDB();
    QTest::qWait(200);
    QVERIFY(r.log.isEmpty());
    QVERIFY(states.isEmpty());
    QVERIFY(server.requests.size() <= 3);
}

// Nothing listens: the connection check says so at once, and a query ends in an error.
void tst_FreeDBClient::noServer()
{
    CddbUrlScope scope(QStringLiteral("http://127.0.0.1:%1/~cddb/cddb.cgi").arg(closedPort()));
    FreeDBImpl client;
    Recorder r(&client);
    greet(&client);
    QVERIFY(!client.IsConnected());
    client.Query();
    QTRY_VERIFY_WITH_TIMEOUT(r.ended(), 20000);
    QCOMPARE(r.log.size(), 1);
    QVERIFY2(r.log[0].startsWith("error 1 The CD database server 127.0.0.1 could not be reached: "), qPrintable(r.log[0]));

    // An address that is not http is refused without a connection.
    CddbUrlScope notHttp(QStringLiteral("ftp://127.0.0.1/x"));
    QVERIFY(!client.IsConnected());
}

void tst_FreeDBClient::noDisc()
{
    CddbTestServer server({queryExact()});
    CddbUrlScope scope(server.url());
    FreeDBImpl client;
    Recorder r(&client);
    greet(&client);
    client.SetDrive(QStringLiteral("Q:"));
    client.Query();
    QTRY_VERIFY_WITH_TIMEOUT(r.ended(), 20000);
    QCOMPARE(r.log, QStringList{"error 4 There is no CD drive Q:."});
    QVERIFY(server.requests.isEmpty());
}

QTEST_GUILESS_MAIN(tst_FreeDBClient)
#include "tst_freedbclient.moc"
