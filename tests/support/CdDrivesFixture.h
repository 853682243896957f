// A program folder for the tests of audio CD drives shown as lists of tracks: a profile
// that offers the CD tools, one items list, the drives scripted before the main window
// starts, and the tree nodes the drives show as.
#pragma once

#include "tests/lists/ListsFixture.h"

namespace ListsTest {

struct CDFixture : Fixture {
    // The items list `list` holds `items` ("name*" is marked).
    explicit CDFixture(const QString& list = QStringLiteral("a"), const QStringList& items = {QStringLiteral("song.wav")})
    {
        lAppIncCDRipper = 1;
        addList(list, items);
    }
    ~CDFixture()
    {
        lAppIncCDRipper = 0;
        g_bAutoFreeDB = false;
    }
    // The node of drive n (from 1) under "Audio CDs", or null.
    cTreeItem* driveNode(int n) const { return g_nodMainCDs ? g_nodMainCDs->Children().Item(n) : nullptr; }
    // The node of the image drive whose cue file is named `cue`, or null.
    cTreeItem* imageNode(const QString& cue) const
    {
        for (qint32 n = 1; g_nodMainCDs && n <= g_nodMainCDs->Children().Count(); ++n)
            if (g_nodMainCDs->Children().Item(n)->Key().endsWith(u' ' + cue))
                return g_nodMainCDs->Children().Item(n);
        return nullptr;
    }
};

} // namespace ListsTest
