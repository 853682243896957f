// The CD database lookup as the user reaches it: the "FreeDB" command from its menu item, its
// list-bar button or by itself after a disc is listed opens the lookup window over the
// selected drive; the titles fill the main grid, the drive node is named after the disc, and
// the window closes. Against a loopback server and a generated image drive, each answer of
// the server ends as the user should see it: the rows, the node, the box, the window.
#include "common/mdlWindowHelpers.h"
#include "components/cFreeDB/cFreeDB.h"
#include "components/cToolbar/cToolbar.h"
#include "tests/support/CdDrivesFixture.h"
#include "tests/support/CddbTestServer.h"
#include "tests/support/FakeFreeDB.h"
#include "tools/disc/frmFreeDB.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace ListsTest;

namespace {

// A profile that offers the CD tools, where every message box is answered OK.
struct LookupFixture : CDFixture {
    LookupFixture() { platform.messages().answerAll = vbOK; }
};

// Runs the command as the user does.
void launch(frmMain* m, const QString& how)
{
    if (how == QLatin1String("menu item")) {
        QMenu* popup = m->m_cMenu->BuildPopup(m->m_cMenu->IndexForKey(QStringLiteral("FreeDB")));
        for (QAction* a : popup->actions())
            if (a->text() == QLatin1String("FreeDB")) {
                a->trigger();
                return;
            }
        QFAIL("no menu item \"FreeDB\"");
    } else {
        auto* bar = m->findChild<cToolbar*>(QStringLiteral("tlbrList"));
        QVERIFY(bar);
        QVERIFY(bar->ButtonIndex(QStringLiteral("FreeDB")) > 0);
        bar->ButtonWidget(bar->ButtonIndex(QStringLiteral("FreeDB")))->click();
    }
}

QString itemNames(cGrid* g)
{
    QStringList names;
    for (qint32 r = 1; r <= g->Rows(); ++r)
        names << RowText(g, r, QStringLiteral("Item Name"));
    return names.join(u'|');
}

QString column(cGrid* g, const char* key)
{
    QStringList cells;
    for (qint32 r = 1; r <= g->Rows(); ++r)
        cells << RowText(g, r, QString::fromLatin1(key));
    return cells.join(u'|');
}

QByteArray queryExact()
{
    return CddbTestDisc::QueryExact();
}

QByteArray entry(const QStringList& lines, bool terminated = true)
{
    return CddbTestDisc::Entry(lines, terminated);
}

const QString kThreeTracks = QStringLiteral("Track01.cda|Track02.cda|Track03.cda");

} // namespace

class tst_FreeDB : public QObject
{
    Q_OBJECT
private slots:
    void launches_data();
    void launches();
    void guards();
    void noConnection();
    void eventsOnTheGrid();
    void errorsAndAbort();
    void newUserAgainstAServer_data();
    void newUserAgainstAServer();
    void serverAnswers_data();
    void serverAnswers();
    void noServerListening();
    void abortDuringALookup();
};

void tst_FreeDB::launches_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("menu item") << "menu item";
    QTest::newRow("list-bar button") << "list-bar button";
    QTest::newRow("by itself after listing") << "automatic";
}

// Each way in opens the lookup over the selected drive with the settings of a lookup, under
// the hourglass, before any result came; the results then fill the grid and close it.
void tst_FreeDB::launches()
{
    QFETCH(QString, how);
    CddbUrlScope url(QStringLiteral("http://db.example.test:8080/~cddb/cddb.cgi"));
    FakeFreeDBFactory fakes([](FakeFreeDB* c) {
        c->onQuery = [](FakeFreeDB* c) { c->queueEntry("Artist", "Album", {"One", "Two", "Three"}); };
    });
    LookupFixture f;
    f.drives = {{"D: Fake Drive", true, {{60, true}, {70, true}, {80, true}}}};
    frmMain* m = f.start();
    cTreeItem* drive = f.driveNode(1);
    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmFreeDB*>(form);
        QVERIFY(w);
        shown = true;
        QVERIFY(w->isVisible());
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Connecting to db.example.test..."));
        QCOMPARE(w->lblArtist->text(), QStringLiteral("Album Name"));
        QCOMPARE(m->cursor().shape(), Qt::WaitCursor);
        FakeFreeDB* c = fakes.last();
        QCOMPARE(c->calls, (QStringList{"IsConnected", "Query"}));
        QCOMPARE(c->Drive(), QStringLiteral("D:"));
        QCOMPARE(c->LookupOption(), 20);
        QCOMPARE(c->ServerHost(), QStringLiteral("db.example.test"));
        QCOMPARE(c->ServerPort(), 8880);
        QCOMPARE(QStringList({c->GreetingUser(), c->GreetingHost(), c->GreetingClient(), c->GreetingVersion()}),
                 (QStringList{"clsCDDB", "localhost", "clsCDDB", "v0.5"}));
        QCOMPARE(itemNames(m->cGrid1), QStringLiteral("Track01.cda|Track02.cda|Track03.cda"));
        QPointer<VForm> guard(form);
        QTRY_VERIFY(!guard || guard->IsUnloading());
    });
    if (how == QLatin1String("automatic")) {
        g_bAutoFreeDB = true;
        m->cTreeView1_NodeClick(drive);
    } else {
        m->cTreeView1_NodeClick(drive);
        launch(m, how);
    }
    QVERIFY(shown);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmFreeDB"});
    QCOMPARE(itemNames(m->cGrid1), QStringLiteral("One.cda|Two.cda|Three.cda"));
    QCOMPARE(column(m->cGrid1, "COL_TAG_ARTIST"), QStringLiteral("Artist|Artist|Artist"));
    QCOMPARE(column(m->cGrid1, "COL_TAG_ALBUM"), QStringLiteral("Album|Album|Album"));
    QCOMPARE(drive->Text(), QStringLiteral("Artist - Album"));
    QCOMPARE(m->lblListName->text(), QStringLiteral("Artist - Album"));
    QVERIFY(!Forms::IsLoaded<frmFreeDB>());
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(f.platform.messages().shown.isEmpty());
    // The grid of a disc is not stored anywhere.
    QCOMPARE(QDir(f.platform.path("Main")).entryList(QDir::Files), QStringList{"a.flst"});
}

// On-top goes off first; an empty grid ends the command without a word; a list node gets
// the message (with its 18 blanks) and no window.
void tst_FreeDB::guards()
{
    FakeFreeDBFactory fakes;
    LookupFixture f;
    f.drives = {{"D: Empty Drive", true, {}}};
    frmMain* m = f.start();
    SetFormOnTop(m, true);
    m->cTreeView1_NodeClick(f.driveNode(1));
    QCOMPARE(m->cGrid1->Rows(), 0);
    command(m, "FreeDB");
    QVERIFY(!m->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(f.platform.messages().shown.isEmpty());

    SetFormOnTop(m, true);
    m->cTreeView1_NodeClick(listNode(m, "a"));
    command(m, "FreeDB");
    QVERIFY(!m->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             QStringLiteral("Select the CD drive to get the information about.                  "));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmFreeDB>());
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
}

void tst_FreeDB::noConnection()
{
    FakeFreeDBFactory fakes([](FakeFreeDB* c) { c->connected = false; });
    LookupFixture f;
    f.drives = {{"D: Fake Drive", true, {{60, true}}}};
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(f.driveNode(1));
    QString status;
    f.platform.messages().whileShown = [&] { status = g_frmFreeDB()->lblCurrentTrack->text(); };
    command(m, "FreeDB");
    QCOMPARE(status, QStringLiteral("No internet connection!"));
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             QStringLiteral("There is no internet connection.\r\n\r\n"
                            "Getting the information about the Audio CD (using the 'FreeDB') has failed."));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmFreeDB>());
    QCOMPARE(itemNames(m->cGrid1), QStringLiteral("Track01.cda"));
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
}

// The events in an order the server may give: tracks before the album take the label's
// text; a row's artist is its track's, the node's the label's; a track number outside the
// grid changes nothing; Done hides the window, which stays loaded and still acts.
void tst_FreeDB::eventsOnTheGrid()
{
    FakeFreeDBFactory fakes([](FakeFreeDB* c) {
        c->onQuery = [](FakeFreeDB* c) {
            c->queue([](FakeFreeDB* c) { emit c->StateChanged(QStringLiteral(" Querying...")); });
            c->queue([](FakeFreeDB* c) { emit c->ArtistFound(QStringLiteral("Disc Artist")); });
            c->queue([](FakeFreeDB* c) { emit c->TrackFound(QStringLiteral("Guest"), 1, QStringLiteral("Early")); });
            c->queue([](FakeFreeDB* c) { emit c->AlbumFound(QStringLiteral("The Album")); });
            c->queue([](FakeFreeDB* c) { emit c->TrackFound(QStringLiteral("Disc Artist"), 0, QStringLiteral("Zero")); });
            c->queue([](FakeFreeDB* c) { emit c->TrackFound(QStringLiteral("Disc Artist"), 4, QStringLiteral("Past")); });
            c->queue([](FakeFreeDB* c) { emit c->TrackFound(QStringLiteral("Disc Artist"), 2, QStringLiteral("Second")); });
            c->queue([](FakeFreeDB* c) { emit c->Done(); });
        };
    });
    LookupFixture f;
    f.drives = {{"D: Fake Drive", true, {{60, true}, {70, true}, {80, true}}}};
    frmMain* m = f.start();
    cTreeItem* drive = f.driveNode(1);
    m->cTreeView1_NodeClick(drive);
    QString state;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmFreeDB*>(form);
        connect(w->cFreeDB1, &cFreeDB::ArtistFound, w, [&, w] { state = w->lblCurrentTrack->text(); });
        QTRY_VERIFY(!w->isVisible());
    });
    command(m, "FreeDB");
    QCOMPARE(state, QStringLiteral("FreeDB State: Querying..."));
    QCOMPARE(itemNames(m->cGrid1), QStringLiteral("Early.cda|Second.cda|Track03.cda"));
    QCOMPARE(column(m->cGrid1, "COL_TAG_ARTIST"), QStringLiteral("Guest|Disc Artist|"));
    QCOMPARE(column(m->cGrid1, "COL_TAG_ALBUM"), QStringLiteral("Album Name|The Album|"));
    QCOMPARE(drive->Text(), QStringLiteral("D:"));  // the last row never came
    QVERIFY(Forms::IsLoaded<frmFreeDB>());
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);

    // The hidden window still acts: the last track names the node and unloads it.
    emit fakes.last()->TrackFound(QStringLiteral("Guest"), 3, QStringLiteral("Last"));
    QCOMPARE(itemNames(m->cGrid1), QStringLiteral("Early.cda|Second.cda|Last.cda"));
    QCOMPARE(drive->Text(), QStringLiteral("Disc Artist - The Album"));
    QCOMPARE(m->lblListName->text(), QStringLiteral("Disc Artist - The Album"));
    QVERIFY(!Forms::IsLoaded<frmFreeDB>());
    QCOMPARE(fakes.last()->calls.mid(fakes.last()->calls.size() - 2), (QStringList{"Abort", "CloseFreeDB"}));
}

// An error shows its text in the status line and a warning box; code 2 closes the window,
// any other leaves it until Abort, which stops the lookup: nothing queued arrives after it.
void tst_FreeDB::errorsAndAbort()
{
    for (const qint32 code : {2, 500}) {
        FakeFreeDBFactory fakes([code](FakeFreeDB* c) {
            c->onQuery = [code](FakeFreeDB* c) {
                c->queue([code](FakeFreeDB* c) { emit c->Error(code, QStringLiteral("It failed")); });
            };
        });
        LookupFixture f;
        f.drives = {{"D: Fake Drive", true, {{60, true}, {70, true}}}};
        frmMain* m = f.start();
        m->cTreeView1_NodeClick(f.driveNode(1));
        bool openAfterBox = false;
        QString status;
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* w = qobject_cast<frmFreeDB*>(form);
            QPointer<VForm> guard(form);
            f.platform.messages().whileShown = [&] { status = w->lblCurrentTrack->text(); };
            QTRY_VERIFY(!f.platform.messages().shown.isEmpty());
            openAfterBox = guard && !guard->IsUnloading() && guard->isVisible();
            if (openAfterBox) {
                // Results already on their way when the user aborts never arrive.
                fakes.last()->queueEntry("Late", "Too", {"x", "y"});
                w->cmdAbort->click();
            }
        });
        command(m, "FreeDB");
        QCOMPARE(f.platform.messages().shown.size(), 1);
        QCOMPARE(f.platform.messages().shown[0].prompt, QStringLiteral("It failed(%1)").arg(code));
        QCOMPARE(f.platform.messages().shown[0].buttons, vbExclamation + vbOKOnly);
        QCOMPARE(status, QStringLiteral("It failed(%1)").arg(code));
        QCOMPARE(openAfterBox, code != 2);
        QVERIFY(!Forms::IsLoaded<frmFreeDB>());
        QTest::qWait(50);
        QCOMPARE(itemNames(m->cGrid1), QStringLiteral("Track01.cda|Track02.cda"));
        QCOMPARE(f.driveNode(1)->Text(), QStringLiteral("D:"));
    }
}

void tst_FreeDB::newUserAgainstAServer_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::newRow("menu item") << false;
    QTest::newRow("by itself after listing") << true;
}

// A new user with a disc: the drive's node, "FreeDB" from its menu item (or the option
// set), and the server's titles on the rows, the node named, the window closed.
void tst_FreeDB::newUserAgainstAServer()
{
    QFETCH(bool, automatic);
    CddbTestServer server({queryExact(), entry({"DTITLE=Probe Artist / Probe Album", "TTITLE0=First",
                                                "TTITLE1=Second", "TTITLE2=Third"})});
    CddbUrlScope url(server.url());
    LookupFixture f;
    CddbTestDisc image;
    frmMain* m = f.start();
    cTreeItem* drive = f.imageNode(QStringLiteral("disc.cue"));
    QVERIFY(drive);
    QString shownStatus;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmFreeDB*>(form);
        shownStatus = w->lblCurrentTrack->text();
        QPointer<VForm> guard(form);
        QTRY_VERIFY_WITH_TIMEOUT(!guard || guard->IsUnloading(), 20000);
    });
    g_bAutoFreeDB = automatic;
    m->cTreeView1_NodeClick(drive);
    if (!automatic) {
        QCOMPARE(itemNames(m->cGrid1), kThreeTracks);
        launch(m, QStringLiteral("menu item"));
    }
    QCOMPARE(f.platform.modal().shown, QStringList{"frmFreeDB"});
    QCOMPARE(shownStatus, QStringLiteral("Connecting to 127.0.0.1..."));
    QCOMPARE(itemNames(m->cGrid1), QStringLiteral("First.cda|Second.cda|Third.cda"));
    QCOMPARE(column(m->cGrid1, "COL_TAG_ARTIST"), QStringLiteral("Probe Artist|Probe Artist|Probe Artist"));
    QCOMPARE(column(m->cGrid1, "COL_TAG_ALBUM"), QStringLiteral("Probe Album|Probe Album|Probe Album"));
    QCOMPARE(drive->Text(), QStringLiteral("Probe Artist - Probe Album"));
    QCOMPARE(m->lblListName->text(), QStringLiteral("Probe Artist - Probe Album"));
    QVERIFY(!Forms::IsLoaded<frmFreeDB>());
    QVERIFY(f.platform.messages().shown.isEmpty());
    QCOMPARE(server.requests.size(), 2);
    QVERIFY(server.requests[0].contains("cmd=cddb+query+0f000b03+3+150+300+675+13&hello=clsCDDB+localhost+clsCDDB+v0.5&proto=6"));
}

void tst_FreeDB::serverAnswers_data()
{
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<QString>("items");   // the grid's item names afterwards
    QTest::addColumn<QString>("artists"); // the grid's artist cells afterwards
    QTest::addColumn<QString>("node");    // the drive node's text afterwards
    QTest::addColumn<QString>("box");     // the warning box, or none
    QTest::addColumn<QString>("window");  // "closed", "hidden" (Done), or "open" until Abort
    const qint64 cap = 1 << 20;
    const QStringList probe{"DTITLE=Probe Artist / Probe Album", "TTITLE0=First", "TTITLE1=Second", "TTITLE2=Third"};
    const QString probeItems = QStringLiteral("First.cda|Second.cda|Third.cda");
    const QString probeArtists = QStringLiteral("Probe Artist|Probe Artist|Probe Artist");
    const QString probeNode = QStringLiteral("Probe Artist - Probe Album");

    QTest::newRow("inexact list: the first match")
        << QList<QByteArray>{CddbTestServer::Http({"211 Found inexact matches, list follows (until terminating `.')",
                                                  "rock 0f000b03 Probe Artist / Probe Album", "misc 0f000b04 Other / Disc",
                                                  "."}),
                             entry(probe)}
        << cap << probeItems << probeArtists << probeNode << "" << "closed";
    QTest::newRow("no match")
        << QList<QByteArray>{CddbTestServer::Http({"202 No match for disc ID 0f000b03."})} << cap << kThreeTracks
        << "||" << "D:" << "No match for disc ID 0f000b03.(2)" << "closed";
    QTest::newRow("server error 403")
        << QList<QByteArray>{queryExact(), CddbTestServer::Http({"403 Database entry is corrupt."})} << cap
        << kThreeTracks << "||" << "D:" << "Database entry is corrupt.(403)" << "open";
    QTest::newRow("server error 500")
        << QList<QByteArray>{CddbTestServer::HttpBytes("", "HTTP/1.0 500 Internal Server Error")} << cap << kThreeTracks
        << "||" << "D:" << "The CD database server 127.0.0.1 refused the request: 500 Internal Server Error(500)"
        << "open";
    QTest::newRow("truncated body")
        << QList<QByteArray>{queryExact(), "HTTP/1.0 200 OK\r\nContent-Length: 999\r\n\r\n210 rock 0f000b03 x\r\nTTITLE0=A\r\n"}
        << cap << kThreeTracks << "||" << "D:" << "The reply of the CD database server 127.0.0.1 was cut short.(3)"
        << "open";
    QTest::newRow("body without its terminating dot")
        << QList<QByteArray>{queryExact(), entry(probe, false)} << cap << kThreeTracks << "||" << "D:"
        << "The CD database entry was cut short.(3)" << "open";
    QTest::newRow("status line that is not a number")
        << QList<QByteArray>{CddbTestServer::Http({"OK rock 0f000b03 A / B"})} << cap << kThreeTracks << "||" << "D:"
        << "The reply of the CD database server could not be read.(3)" << "open";
    QTest::newRow("track numbers past the grid or not numbers")
        << QList<QByteArray>{queryExact(), entry(QStringList(probe) << "TTITLE3=Fourth" << "TTITLE7=Eighth"
                                                                     << "TTITLEz=Zed" << "TTITLE-2=Neg")}
        << cap << probeItems << probeArtists << probeNode << "" << "closed";
    // An entry that leaves tracks without titles: the rows it names are named, and the
    // lookup ends in a box that says so, never waiting on the missing rows.
    const QString partial = QStringLiteral("The CD database entry has titles for 2 of the 3 tracks.(5)");
    QTest::newRow("fewer tracks than rows")
        << QList<QByteArray>{queryExact(), entry({"DTITLE=Probe Artist / Probe Album", "TTITLE0=First", "TTITLE1=Second"})}
        << cap << "First.cda|Second.cda|Track03.cda" << "Probe Artist|Probe Artist|" << "D:" << partial << "open";
    QTest::newRow("the last title blank, one past the grid")
        << QList<QByteArray>{queryExact(), entry({"DTITLE=Probe Artist / Probe Album", "TTITLE0=First", "TTITLE1=Second",
                                                  "TTITLE2= ", "TTITLE3=Fourth"})}
        << cap << "First.cda|Second.cda|Track03.cda" << "Probe Artist|Probe Artist|" << "D:" << partial << "open";
    // A missing title before the last: the last row still names the node and closes the
    // window, as the lookup of a whole entry does.
    QTest::newRow("a middle title missing")
        << QList<QByteArray>{queryExact(), entry({"DTITLE=Probe Artist / Probe Album", "TTITLE0=First", "TTITLE2=Third"})}
        << cap << "First.cda|Track02.cda|Third.cda" << "Probe Artist||Probe Artist" << probeNode << "" << "closed";
    QTest::newRow("list of matches with junk lines first")
        << QList<QByteArray>{CddbTestServer::Http({"211 Found inexact matches, list follows (until terminating `.')", "",
                                                  "junk", "rock 0f000b03 Probe Artist / Probe Album", "."}),
                             entry(probe)}
        << cap << probeItems << probeArtists << probeNode << "" << "closed";
    QTest::newRow("slashes, dots and control characters as text")
        << QList<QByteArray>{queryExact(),
                             entry({"DTITLE=AC/DC / Back / In Black", "TTITLE0=Guest / Song", "TTITLE1=../../x/..",
                                    QStringLiteral("TTITLE2=a\\nb\tc\x1b[2Jd")})}
        << cap << "Song.cda|../../x/...cda|a b c [2Jd.cda" << "Guest|AC/DC|AC/DC" << "AC/DC - Back / In Black" << ""
        << "closed";
    const QStringList nordic{QStringLiteral("DTITLE=Bj\u00f6rk / Homog\u00e9nic"), QStringLiteral("TTITLE0=J\u00f3ga"),
                             QStringLiteral("TTITLE1=Unravel"), QStringLiteral("TTITLE2=B\u00e0chelorette")};
    const QString nordicItems = QStringLiteral("J\u00f3ga.cda|Unravel.cda|B\u00e0chelorette.cda");
    const QString nordicArtists = QStringLiteral("Bj\u00f6rk|Bj\u00f6rk|Bj\u00f6rk");
    QTest::newRow("UTF-8 titles") << QList<QByteArray>{queryExact(), entry(nordic)} << cap << nordicItems
                                  << nordicArtists << QStringLiteral("Bj\u00f6rk - Homog\u00e9nic") << "" << "closed";
    QByteArray latin1 = "210 rock 0f000b03 entry\r\n";
    for (const QString& line : nordic)
        latin1 += line.toLatin1() + "\r\n";
    QTest::newRow("Latin-1 titles")
        << QList<QByteArray>{queryExact(), CddbTestServer::HttpBytes(latin1 + ".\r\n")} << cap << nordicItems
        << nordicArtists << QStringLiteral("Bj\u00f6rk - Homog\u00e9nic") << "" << "closed";
    QTest::newRow("reply over the size cap")
        << QList<QByteArray>{queryExact(), entry(QStringList(probe) << "EXTD=" + QString(3000, u'x'))} << qint64(2048)
        << kThreeTracks << "||" << "D:" << "The reply of the CD database server is larger than 2048 bytes.(3)" << "open";
    QTest::newRow("server that never answers")
        << QList<QByteArray>{CddbTestServer::kSilent} << cap << kThreeTracks << "||" << "D:"
        << "The CD database server 127.0.0.1 stopped answering.(1)" << "open";
}

void tst_FreeDB::serverAnswers()
{
    QFETCH(QList<QByteArray>, answers);
    QFETCH(qint64, maxBytes);
    QFETCH(QString, items);
    QFETCH(QString, artists);
    QFETCH(QString, node);
    QFETCH(QString, box);
    QFETCH(QString, window);
    CddbTestServer server(answers);
    CddbUrlScope url(server.url(), 5000, answers.contains(CddbTestServer::kSilent) ? 300 : 10000, maxBytes);
    LookupFixture f;
    CddbTestDisc image;
    frmMain* m = f.start();
    cTreeItem* drive = f.imageNode(QStringLiteral("disc.cue"));
    m->cTreeView1_NodeClick(drive);
    QString ending, status;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        QPointer<VForm> guard(form);
        QTRY_VERIFY_WITH_TIMEOUT(!guard || guard->IsUnloading() || !guard->isVisible()
                                     || !f.platform.messages().shown.isEmpty(),
                                 20000);
        QTest::qWait(20);
        if (!guard || guard->IsUnloading()) {
            ending = "closed";
        } else if (!guard->isVisible()) {
            ending = "hidden";
        } else {
            ending = "open";
            status = qobject_cast<frmFreeDB*>(form)->lblCurrentTrack->text();
            qobject_cast<frmFreeDB*>(form)->cmdAbort->click();
        }
    });
    command(m, "FreeDB");
    QCOMPARE(ending, window);
    // A window left open shows why the lookup ended.
    if (window == QLatin1String("open"))
        QCOMPARE(status, box);
    QCOMPARE(itemNames(m->cGrid1), items);
    QCOMPARE(column(m->cGrid1, "COL_TAG_ARTIST"), artists);
    QCOMPARE(m->cGrid1->Rows(), 3);
    QCOMPARE(drive->Text(), node);
    QCOMPARE(f.platform.messages().shown.size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty()) {
        QCOMPARE(f.platform.messages().shown[0].prompt, box);
        QCOMPARE(f.platform.messages().shown[0].buttons, vbExclamation + vbOKOnly);
    }
    QCOMPARE(Forms::IsLoaded<frmFreeDB>(), window == QLatin1String("hidden"));
    Forms::Unload<frmFreeDB>();
}

// Nothing listens where the setting points: the user is told, and the window never shows.
void tst_FreeDB::noServerListening()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    CddbUrlScope url(QStringLiteral("http://127.0.0.1:%1/~cddb/cddb.cgi").arg(port));
    LookupFixture f;
    CddbTestDisc image;
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(f.imageNode(QStringLiteral("disc.cue")));
    QString status;
    f.platform.messages().whileShown = [&] { status = g_frmFreeDB()->lblCurrentTrack->text(); };
    launch(m, QStringLiteral("menu item"));
    QCOMPARE(status, QStringLiteral("No internet connection!"));
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QVERIFY(f.platform.messages().shown[0].prompt.startsWith(QStringLiteral("There is no internet connection.")));
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmFreeDB>());
}

// Abort while the server is still to answer: the window closes, and the answer that comes
// afterwards changes nothing.
void tst_FreeDB::abortDuringALookup()
{
    CddbTestServer server({queryExact(), CddbTestServer::kSilent});
    CddbUrlScope url(server.url(), 5000, 60000);
    LookupFixture f;
    CddbTestDisc image;
    frmMain* m = f.start();
    cTreeItem* drive = f.imageNode(QStringLiteral("disc.cue"));
    m->cTreeView1_NodeClick(drive);
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 2, 20000);
        qobject_cast<frmFreeDB*>(form)->cmdAbort->click();
        QVERIFY(form->IsUnloading());
    });
    launch(m, QStringLiteral("menu item"));
    QVERIFY(!Forms::IsLoaded<frmFreeDB>());
    QTest::qWait(200);
    QCOMPARE(itemNames(m->cGrid1), kThreeTracks);
    QCOMPARE(drive->Text(), QStringLiteral("D:"));
    QVERIFY(f.platform.messages().shown.isEmpty());
}

QTEST_MAIN(tst_FreeDB)
#include "tst_freedb.moc"
