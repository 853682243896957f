#include "common/mdlModes.h"

#include "platform/App.h"

#include <QCoreApplication>

void InitProductProfile()
{
    g_sAppCompany = QStringLiteral("Ostrany");
    g_sAppSite = QStringLiteral("https://www.velmaro.example");
    g_sAppName = QStringLiteral("Velmaro");
    g_sAppVersion = QStringLiteral("1.2");
    g_sAppFullVersion = QStringLiteral("1.2.0");
    g_sAppHomePage = g_sAppSite + QStringLiteral("/");
    g_sAppSupportPage = g_sAppHomePage + QStringLiteral("support.html");
    g_sAppDescription = QStringLiteral("Split and Cut PCM and ACM WAV audio files by 3 modes, with 2 mouse clicks.");
    g_sViewBackColor = QStringLiteral("16777215");
    g_sViewBackPicture.clear();
    g_sViewToolbarPicture.clear();
    g_sViewTitlePicture.clear();
    g_sFeaturedTool = QStringLiteral("lAppIncSplit");

    lAppIncConverter = 1;
    lAppIncJoin = 0;
    lAppIncSplit = 1;
    lAppIncMicRec = 1;
    lAppIncEditor = 1;
    lAppIncAudioBurner = 0;
    lAppIncCDRipper = 0;
    lAppIncMP3TagsEditor = 0;
    lAppIncMP3Burner = 0;
    lAppIncWMABurner = 0;
    lAppIncACMConverter = 1;
    lAppIncItemsLists = 1;
    // The tree of lists is shown: the lists bar sits under it, and without it every list
    // but the first could not be reached.
    lAppIncProjects = 1;
    lAppIncTTS = 0;
    lAppIncCDDuplicator = 0;

    SetAppTitle(DisplayName());
    // The name the libraries know the program by: the data discs it writes name it as
    // their publisher.
    if (QCoreApplication::instance())
        QCoreApplication::setApplicationName(g_sAppName);
}

QString DisplayName()
{
    return g_sAppName + u' ' + g_sAppVersion;
}

QString ProductKeyRoot()
{
    return QStringLiteral("SOFTWARE\\") + g_sAppCompany + u'\\' + g_sAppName;
}
