// Shared by the main window's tests: the product profiles they start under, reading the
// menu tree and the button bars back as text, the product's "General" settings, and
// counting the colours of a grabbed picture.
#pragma once

#include "common/RegistryRoutines.h"
#include "common/mdlModes.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cToolbar/cToolbar.h"
#include "mainwindow/frmMain.h"

#include <QImage>
#include <QSet>
#include <QStringList>

namespace MainWindowTest {

enum class Profile { Product, AllTools, NoTools };

// Fills the product profile, then offers every tool or none.
inline void applyProfile(Profile profile)
{
    InitProductProfile();
    if (profile == Profile::Product)
        return;
    const qint32 v = profile == Profile::AllTools ? 1 : 0;
    for (qint32* flag : {&lAppIncConverter, &lAppIncJoin, &lAppIncSplit, &lAppIncMicRec, &lAppIncEditor,
                         &lAppIncAudioBurner, &lAppIncCDRipper, &lAppIncMP3TagsEditor, &lAppIncMP3Burner,
                         &lAppIncWMABurner, &lAppIncACMConverter, &lAppIncTTS, &lAppIncCDDuplicator})
        *flag = v;
}

// The items under a container, as "caption|key|icon".
inline QStringList menuItems(cIconMenu* menu, const QString& containerKey)
{
    const qint32 parent = menu->IndexForKey(containerKey);
    QStringList items;
    for (qint32 n = 1; n <= menu->Count(); ++n)
        if (menu->ItemParent(n) == parent && parent != 0)
            items << menu->ItemCaption(n) + u'|' + menu->ItemKey(n) + u'|' + QString::number(menu->ItemIcon(n));
    return items;
}

// The buttons of a bar, as "key|caption|tooltip|image|style" (a separator: "-").
inline QStringList barButtons(cToolbar* bar)
{
    QStringList buttons;
    for (qint32 i = 0; i < bar->ButtonCount(); ++i) {
        if (bar->ButtonStyle(i) == cToolbar::tbrSeparator)
            buttons << QStringLiteral("-");
        else
            buttons << bar->ButtonKey(i) + u'|' + bar->ButtonCaption(i) + u'|' + bar->ButtonToolTip(i) + u'|'
                    + QString::number(bar->ButtonImage(i)) + u'|' + QString::number(bar->ButtonStyle(i));
    }
    return buttons;
}

// The product's settings key "General", where the window size and the options live.
inline RegistryRoutines generalSettings()
{
    RegistryRoutines r;
    r.setHkey(HKEY_LOCAL_MACHINE);
    r.setKeyRoot(ProductKeyRoot());
    r.setSubkey(QStringLiteral("General"));
    return r;
}

// How many colours a part of a picture holds: a plain background has one or two.
inline int colours(const QImage& image, const QRect& area)
{
    QSet<QRgb> seen;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

inline void run(frmMain* m, const QString& key)
{
    m->m_cMenu_Click(m->m_cMenu->IndexForKey(key));
}

} // namespace MainWindowTest
