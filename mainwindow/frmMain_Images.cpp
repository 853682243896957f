// The main window's image lists, filled once while it is built: the pictures sit at the
// numbers by which the menus, bars, status panels, tree, grids and tab strips name them.
#include "mainwindow/frmMain.h"

#include "components/cImageList/cImageList.h"
#include "platform/IconResources.h"

#include <QApplication>
#include <QMap>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// A picture of the Tango theme kept with the program.
QString tango(const char* name)
{
    return QStringLiteral("tango/") + QLatin1String(name);
}

// Fills numbers 0 to last; a number without a picture of its own gets the plain audio
// picture, so no number shows empty.
void fill(cImageList* list, const QMap<int, QString>& pictures, int last)
{
    list->Clear();
    const QIcon fallback = LoadIconResource(tango("audio-x-generic"));
    for (int i = 0; i <= last; ++i) {
        const QIcon icon = pictures.contains(i) ? LoadIconResource(pictures.value(i)) : QIcon();
        list->Add(icon.isNull() ? fallback : icon);
    }
}

QIcon checkBoxIcon(bool ticked)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QStyleOptionButton opt;
    opt.rect = QRect(1, 1, 14, 14);
    opt.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
    QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &p);
    return QIcon(pm);
}

} // namespace

void frmMain::FillImageLists()
{
    // Menu items, the top, lists and list bars, status panels, the tree of lists and the
    // tab strips of the other windows.
    fill(imgMenu,
         {
             {0, tango("go-up")},
             {1, tango("go-down")},
             {2, tango("list-add")},
             {3, tango("list-remove")},
             {4, tango("folder-open")},
             {5, tango("document-save-as")},
             {6, tango("font-x-generic")},
             {7, QStringLiteral("replace2")},
             {8, tango("accessories-text-editor")},
             {9, tango("preferences-system")},
             {10, tango("appointment-new")},
             {11, tango("preferences-desktop-theme")},
             {12, tango("help-browser")},
             {17, tango("folder")},
             {18, tango("document-properties")},
             {19, QStringLiteral("gears")},
             {22, tango("dialog-information")},
             {23, tango("format-justify-fill")},
             {25, tango("drive-optical")},
             {27, tango("edit-clear")},
             {32, tango("x-office-document")},
             {38, tango("multimedia-player")},
             {40, tango("media-playback-stop")},
             {39, tango("document-open")},
             {41, tango("process-stop")},
             {42, tango("text-x-generic")},
             {43, tango("document-open")},
             {45, tango("preferences-system-windows")},
             {47, tango("media-playback-stop")},
             {48, tango("document-new")},
             {49, tango("edit-find-replace")},
             {50, tango("edit-delete")},
             {51, tango("document-properties")},
             {53, tango("window-new")},
             {55, tango("media-playback-start")},
             {59, tango("applications-system")},
             {60, QStringLiteral("replace2")},
             {61, tango("audio-card")},
             {62, QStringLiteral("document_pulse")},
             {63, QStringLiteral("cut")},
             {64, QStringLiteral("colors")},
             {67, tango("media-playback-pause")},
             {68, QStringLiteral("zoom")},
             {70, QStringLiteral("microphone2")},
             {71, tango("media-optical")},
             {72, tango("media-record")},
             {73, QStringLiteral("cd_music")},
             {74, tango("edit-select-all")},
             {76, tango("go-down")},
             {77, tango("go-jump")},
             {78, tango("system-log-out")},
             {79, tango("audio-volume-high")},
             {80, tango("go-top")},
             {81, tango("go-bottom")},
             {82, tango("internet-group-chat")},
             {83, tango("edit-copy")},
             {84, tango("media-playback-start")},
             {85, tango("internet-web-browser")},
         },
         85);

    // The tools bar's large buttons.
    fill(imgGeneral,
         {
             {19, QStringLiteral("replace2")},
             {20, QStringLiteral("document_pulse")},
             {21, tango("audio-card")},
             {22, QStringLiteral("cut")},
             {23, QStringLiteral("colors")},
             {24, QStringLiteral("microphone2")},
             {25, tango("drive-optical")},
             {26, tango("media-record")},
             {27, QStringLiteral("cd_music")},
             {28, tango("internet-group-chat")},
             {29, tango("edit-copy")},
         },
         29);

    // The player bar.
    fill(imgPlayer,
         {
             {0, tango("media-playback-start")},
             {1, tango("media-playback-pause")},
             {2, tango("media-playback-stop")},
         },
         2);

    // The items grid: 0 not marked, 1 marked, 3 an audio item, 4 a data track.
    imgGrid->Clear();
    imgGrid->Add(checkBoxIcon(false));
    imgGrid->Add(checkBoxIcon(true));
    imgGrid->Add(QIcon());
    imgGrid->Add(LoadIconResource(QStringLiteral("document_music")));
    imgGrid->Add(LoadIconResource(QStringLiteral("cd_music")));
}
