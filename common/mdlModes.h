// The product profile: the build's identity and the tools it offers. Filled once by
// InitProductProfile at start-up and only read afterwards.
#pragma once

#include <QString>

inline QString g_sAppCompany;
inline QString g_sAppSite;
inline QString g_sAppName;
inline QString g_sAppVersion;
inline QString g_sAppFullVersion;
inline QString g_sAppHomePage;
inline QString g_sAppSupportPage;
inline QString g_sAppDescription;
inline QString g_sViewBackColor;
inline QString g_sViewBackPicture;
inline QString g_sViewToolbarPicture;
inline QString g_sViewTitlePicture;
inline QString g_sFeaturedTool;

// Tool-inclusion flags: 1 = offered.
inline qint32 lAppIncConverter = 0;
inline qint32 lAppIncJoin = 0;
inline qint32 lAppIncSplit = 0;
inline qint32 lAppIncMicRec = 0;
inline qint32 lAppIncEditor = 0;
inline qint32 lAppIncAudioBurner = 0;
inline qint32 lAppIncCDRipper = 0;
inline qint32 lAppIncMP3TagsEditor = 0;
inline qint32 lAppIncMP3Burner = 0;
inline qint32 lAppIncWMABurner = 0;
inline qint32 lAppIncACMConverter = 0;
inline qint32 lAppIncItemsLists = 0;
inline qint32 lAppIncProjects = 0;
inline qint32 lAppIncTTS = 0;
inline qint32 lAppIncCDDuplicator = 0;

void InitProductProfile();

// The product name, a blank and the short version.
QString DisplayName();

// The product's settings key below HKEY_LOCAL_MACHINE: "SOFTWARE\<maker>\<product>".
QString ProductKeyRoot();
