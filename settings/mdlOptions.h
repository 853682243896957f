// The option globals: the program's settings as every window reads them, loaded from
// the settings store by the options window.
#pragma once

#include "common/mdlViewColors.h"

#include <QString>

// "General"
inline qint32 g_lDeviceIndex = -1;
inline QString g_sTargetFormat;
inline QString g_sToPath;
inline bool g_bSelectTheLastItem = false;
inline bool g_bAutoFreeDB = false;
inline QString g_sFileNameFormat;
inline bool g_bSaveLogWhenExit = false;
inline bool g_bDisplayMSGWhenExit = false;
inline bool g_bDisplayMSGWhenErase = false;
inline bool g_bGoToNextItem = false;
inline bool g_bDisplayPlayer = false;
inline bool g_bClearOnExit = false;
inline bool g_bDisplayAudioGraph = false;
inline bool g_bMenuXPStyle = false;
inline bool g_bDisplayGridHotTrack = false;
inline bool g_bDisplayTitle = false;
inline bool g_bDisplayGridLine = false;
// g_lAppColor and g_lTextColor: in common/mdlViewColors.h, which the common windows use.
inline bool g_bDisplayLiveUpdateWindow = false;
inline bool g_bAutoUpdate = false;

// "Events"
inline bool g_bOpenDestFolder = false;
inline bool g_bTurnOffComputer = false;
inline bool g_bPlaySound = false;
inline QString g_sPlayAtEnd;
inline bool g_bNoticeApp = false;
inline QString g_sAppNotice;

// "ID3 Tags"
inline bool g_bCopyID3FromSource = true;
inline QString g_sTagArtist;
inline QString g_sTagSong;
inline QString g_sTagAlbum;
inline QString g_sTagTrack;
inline QString g_sTagGenre;
inline QString g_sTagYear;
inline QString g_sTagComment;
