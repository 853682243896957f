// What the windows below the main window may ask of it. The main window registers
// itself while it is loaded; nullptr otherwise.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class VForm;
class cImageList;
class cSysTray;

class MainHost
{
public:
    virtual ~MainHost() = default;
    virtual VForm* MainForm() = 0;
    // The one-line notes summary and the status panels ("Main", "Notes", ...).
    virtual QString GetNotesToStatus() const = 0;
    virtual void SetStatusPanelText(const QString& key, const QString& text) = 0;
    // The main window's 16 x 16 menu images (imgMenu), lent to other windows.
    virtual cImageList* MenuImageList() = 0;
    // After the lists folder changed: rebuild the tree of lists and load its first list.
    virtual void ReloadListsTree() {}
    virtual void ApplyGridOptions(bool hotTrack, bool gridLines) { Q_UNUSED(hotTrack) Q_UNUSED(gridLines) }
    // A colour picked in the options window takes effect at once.
    virtual void ApplyAppColour(qint32 colour) { Q_UNUSED(colour) }
    virtual void ApplyTextColour(qint32 colour) { Q_UNUSED(colour) }

    // What the tool windows use of the main window.
    // The main window's other image lists (imgGeneral, imgGrid, imgPlayer), lent likewise.
    virtual cImageList* GeneralImageList() { return nullptr; }
    virtual cImageList* GridImageList() { return nullptr; }
    virtual cImageList* PlayerImageList() { return nullptr; }
    // The tray icon, through which tool windows show their balloons.
    virtual cSysTray* SysTray() { return nullptr; }
    // The external program's command line with its placeholders expanded from the last
    // row of the main window's items grid.
    virtual QString GetNoticAppParameters() { return {}; }
    // The same command line as the program followed by its arguments, split before the
    // placeholders are put in: what to start, without a shell.
    virtual QStringList GetNoticAppCommand() { return {}; }
    // Adds files to the current items list through the add-files window, then saves the
    // list and shows its new totals; false, after telling the user why, when the main
    // window shows no items list that can take them.
    virtual bool AddPathsToList(const QStringList& paths)
    {
        Q_UNUSED(paths)
        return false;
    }

    // A new file's name from the current time and date and the extension of the
    // text-to-speech window's target format: "HH-MM-SS_<short date>.<ext>", every
    // character that cannot stand in a file name made "-".
    virtual QString CreateFileName(const QString& sUnused = {})
    {
        Q_UNUSED(sUnused)
        return {};
    }

    // Set by the one-file conversion window when its conversion did not end well (aborted,
    // failed or closed); the audio analyser's launch clears it before and reads it after.
    bool g_bAbortedAudioEditor = false;
};

MainHost* g_MainHost();
void SetMainHost(MainHost* host);
