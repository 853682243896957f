// A program folder for the lists' window tests: audio files the fake converter reads, list
// files in "Main", the main window started over them, and readers of the list files.
#pragma once

#include "common/mdlModes.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListFile.h"
#include "lists/mdlListsTree.h"
#include "mainwindow/frmMain.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QToolButton>

namespace ListsTest {

// A list record; `extra` holds the range and tag fields (whole-file range, no tags when empty).
inline QString record(const QString& mark, const QString& name, const QString& file, const QString& extra = QString())
{
    const QString rest = !extra.isEmpty()
        ? extra
        : QStringLiteral("<COL_RANGE_ALL>1</COL_RANGE_ALL><COL_RANGE_START_TIME></COL_RANGE_START_TIME>"
                         "<COL_RANGE_LENGTH_TIME></COL_RANGE_LENGTH_TIME><COL_TAG_ALBUM></COL_TAG_ALBUM>"
                         "<COL_TAG_ARTIST></COL_TAG_ARTIST><COL_TAG_COMMENT></COL_TAG_COMMENT><COL_TAG_GEN></COL_TAG_GEN>"
                         "<COL_TAG_YEAR></COL_TAG_YEAR><COL_TAG_TITLE></COL_TAG_TITLE><COL_TAG_TRACK></COL_TAG_TRACK>");
    return "<ITEM><Inc>" + mark + "</Inc><Type>Audio</Type><Item Name>" + name + "</Item Name><COL_FILE>" + file
        + "</COL_FILE>" + rest + "</ITEM>";
}

// The records of a list file (without the piece before the first "<ITEM>").
inline QStringList fileRecords(const QString& path)
{
    QString text;
    ReadListFile(path, text);
    QStringList pieces = SplitListRecords(text);
    if (!pieces.isEmpty())
        pieces.removeFirst();
    return pieces;
}

// One field of record n (from 1) of a list file.
inline QString fileField(const QString& path, int n, const char* key)
{
    const QStringList r = fileRecords(path);
    return n >= 1 && n <= r.size() ? GetTagValue(QString::fromLatin1(key), r[n - 1]) : QStringLiteral("<none>");
}

// The item names of a list file, in order, with "*" after a marked one.
inline QString fileItems(const QString& path)
{
    QStringList items;
    for (const QString& r : fileRecords(path))
        items << GetTagValue(QStringLiteral("Item Name"), r) + (GetTagValue(QStringLiteral("Inc"), r) == u'1' ? "*" : "");
    return items.join(u' ');
}

// The same of a grid.
inline QString gridItems(cGrid* g)
{
    QStringList items;
    for (qint32 r = 1; r <= g->Rows(); ++r)
        items << RowText(g, r, QStringLiteral("Item Name")) + (IsRowMarked(g, r) ? "*" : "");
    return items.join(u' ');
}

class Fixture
{
public:
    Fixture()
    {
        InitProductProfile();
        g_sToPath = platform.path("Main/");
        g_bCopyID3FromSource = false;
        g_bSelectTheLastItem = false;
        g_bDisplayMSGWhenErase = false;
        g_bDisplayMSGWhenExit = false;
        g_bClearOnExit = false;
        g_bAutoFreeDB = false;
        g_sTagAlbum = g_sTagArtist = g_sTagComment = g_sTagGenre = g_sTagYear = g_sTagSong = g_sTagTrack = QString();
        QDir().mkpath(platform.path("audio"));
        fakes.setupConverter = [this](FakeAudioConverter* c) { c->files = audio; };
        fakes.setupPlayer = [this](FakePlayer* p) { p->files = played; };
        fakes.setupRipper = [this](FakeAudioCDRipper* r) { r->drives = drives; };
    }

    // An audio file of that many bytes and milliseconds that the fake converter reads.
    QString addAudio(const QString& name, int bytes = 100, qint32 ms = 1000, qint16 channels = 2,
                     const AudioTags& tags = {})
    {
        const QString path = platform.path("audio/" + name);
        TestFiles::WriteBytes(path, QByteArray(bytes, 'a'));
        audio[path] = FakeFileScript{0, ms, 44100, channels, 16, tags};
        played[path] = FakePlayerScript{0, 44100, channels, 1411200, ms / 1000.0};
        return path;
    }

    // A list file of the named audio files (made when missing); "name*" is marked.
    QString addList(const QString& list, const QStringList& items)
    {
        QString text;
        for (QString item : items) {
            const bool marked = item.endsWith(u'*');
            if (marked)
                item.chop(1);
            const QString path = platform.path("audio/" + item);
            text += record(marked ? "1" : "0", item, audio.contains(path) ? path : addAudio(item));
        }
        return addListText(list, text);
    }

    QString addListText(const QString& list, const QString& text)
    {
        const QString path = platform.path("Main/" + list + ".flst");
        TestFiles::WriteBytes(path, text.toUtf8() + "\n");
        return path;
    }

    frmMain* start()
    {
        main = Forms::Get<frmMain>();
        return main;
    }

    // Closes the main window and opens it again over the same folder.
    frmMain* restart()
    {
        Forms::Unload(main);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return start();
    }

    FakePlayer* player() { return fakes.players.last(); }
    FakeAudioConverter* mainConverter() { return qobject_cast<FakeAudioConverter*>(main->cAudioConverter1); }
    FakeAudioCDRipper* mainRipper() { return qobject_cast<FakeAudioCDRipper*>(main->cAudioCDRipper1); }

    TestPlatform platform;
    FakeAudioFactories fakes;
    QHash<QString, FakeFileScript> audio;
    QHash<QString, FakePlayerScript> played;
    QList<FakeCdDrive> drives;
    frmMain* main = nullptr;
};

inline void command(frmMain* m, const char* key)
{
    m->m_cMenu_Click(m->m_cMenu->IndexForKey(QString::fromUtf8(key)));
}

// Runs a command as the user does: from its menu item ("menu item"), or from its button on
// the tools bar (anything else). False when there is no such item or button.
inline bool launch(frmMain* m, const QString& key, const QString& how)
{
    if (how == QLatin1String("menu item")) {
        QMenu* popup = m->m_cMenu->BuildPopup(m->m_cMenu->IndexForKey(key));
        for (QAction* a : popup->actions())
            if (a->text() == key) {
                a->trigger();
                return true;
            }
        return false;
    }
    auto* bar = m->findChild<cToolbar*>(QStringLiteral("tlbrRecorder"));
    QToolButton* button = bar ? bar->ButtonWidget(bar->ButtonIndex(key)) : nullptr;
    if (!button)
        return false;
    button->click();
    return true;
}

// A left click in the mark column of a row.
inline void clickMark(frmMain* m, qint32 row)
{
    m->cGrid1->SetCurrentRow(row);
    m->cGrid1->SetCurrentColumn(1);
    m->cGrid1_GridMouseUp(1, 0, 100, 100);
}

// The list of that name under the tree's first group node, or null.
inline cTreeItem* listNode(frmMain* m, const QString& name)
{
    cTreeItems children = m->cTreeView1->Nodes().Item(1)->Children();
    for (qint32 i = 1; i <= children.Count(); ++i)
        if (children.Item(i)->Text() == name)
            return children.Item(i);
    return nullptr;
}

} // namespace ListsTest
