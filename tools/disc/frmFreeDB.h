// The CD database lookup window: asks the CD database for the artist, album and track
// titles of the disc in the drive whose node the main window's tree has selected, writes
// them into the main window's grid of that disc's tracks, and names the drive node after
// the artist and album. The main window's "FreeDB" command loads it and calls GetFreeDB.
#pragma once

#include "platform/Forms.h"

#include <QString>

class QLabel;
class QPushButton;
class XP_ProgressBar;
class cFreeDB;

class frmFreeDB : public VForm
{
    Q_OBJECT
public:
    frmFreeDB();
    ~frmFreeDB() override;

    void Form_Load() override;
    // Every unload stops the lookup: no result arrives after it.
    void Form_Unload(int& Cancel) override;

    // Checks the connection and starts the lookup of the selected drive; True when it has
    // started. Without a connection the user is told, the window unloads, and False.
    bool GetFreeDB();

    void cmdAbort_Click();
    void cFreeDB1_StateChanged(const QString& State);
    void cFreeDB1_ArtistFound(const QString& Artist);
    void cFreeDB1_AlbumFound(const QString& Album);
    void cFreeDB1_TrackFound(const QString& Artist, qint32 TrackNumber, const QString& Title);
    void cFreeDB1_Done();
    void cFreeDB1_Error(qint32 Code, const QString& Description);

    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblCurrentTrack = nullptr;
    QLabel* lblArtist = nullptr;
    QLabel* lblAlbumName = nullptr;
    XP_ProgressBar* prgCurrnet = nullptr;
    QPushButton* cmdAbort = nullptr;
    cFreeDB* cFreeDB1 = nullptr;
};

inline frmFreeDB* g_frmFreeDB()
{
    return Forms::Get<frmFreeDB>();
}
