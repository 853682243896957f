#include "common/mdlModes.h"

#include "platform/App.h"

#include <QCoreApplication>

namespace {

// The build that offers every tool (configured with VELMARO_ALL_TOOLS=ON).
#ifdef VELMARO_ALL_TOOLS
constexpr bool kEveryTool = true;
#else
constexpr bool kEveryTool = false;
#endif

// The flag of a tool that this product leaves out: 1 in the build that offers every tool.
constexpr qint32 Offered(qint32 productValue)
{
    return kEveryTool ? 1 : productValue;
}

} // namespace

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
    lAppIncJoin = Offered(0);
    lAppIncSplit = 1;
    lAppIncMicRec = 1;
    lAppIncEditor = 1;
    lAppIncAudioBurner = Offered(0);
    lAppIncCDRipper = Offered(0);
    lAppIncMP3TagsEditor = Offered(0);
    lAppIncMP3Burner = Offered(0);
    lAppIncWMABurner = Offered(0);
    lAppIncACMConverter = 1;
    lAppIncItemsLists = 1;
    // The tree of lists is shown: the lists bar sits under it, and without it every list
    // but the first could not be reached.
    lAppIncProjects = 1;
    lAppIncTTS = Offered(0);
    lAppIncCDDuplicator = Offered(0);

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
