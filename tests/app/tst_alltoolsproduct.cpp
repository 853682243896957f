// The product that offers every tool (configured with VELMARO_ALL_TOOLS=ON), started as the
// program starts: this test holds the product profile compiled as that build compiles it,
// over the libraries every product shares (tests/CMakeLists.txt), while the rest of the
// suite runs the default product.
#include "app/mdlMain.h"
#include "common/mdlModes.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlListsTree.h"
#include "mainwindow/frmMain.h"
#include "platform/Forms.h"
#include "tests/support/CdImages.h"
#include "tests/support/TestPlatform.h"
#include "tools/disc/frmCDRipper.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class tst_AllToolsProduct : public QObject
{
    Q_OBJECT
private slots:
    void everyToolOffered();
};

void tst_AllToolsProduct::everyToolOffered()
{
    // A disc image of two tracks (2 s and 1 s) listed as the machine's CD drive.
    QTemporaryDir dir;
    const QString cue = CdImages::WriteAudio(dir.path(), QStringLiteral("disc"), {150, 75}).cue;
    const CdImages::ListedAsDrives images({cue});
    TestPlatform platform;
    QVERIFY(Main());
    frmMain* m = Forms::Loaded<frmMain>();
    QVERIFY(m && m->isVisible());

    // The top bar's "Tools" pops up every tool's command.
    const qint32 tools = m->tlbrTop->ButtonIndex(QStringLiteral("Tools"));
    m->tlbrTop->ButtonWidget(tools)->click();
    QMenu* popup = m->m_cMenu->CurrentPopup();
    QVERIFY(popup && popup->isVisible());
    QStringList commands;
    for (QAction* a : popup->actions())
        if (!a->isSeparator())
            commands << a->text();
    popup->close();
    QCOMPARE(commands, (QStringList{"Audio Converter", "ACM Converter", "Audio Joiner", "Audio Splitter",
                                    "Audio Analyser", "Audio Recorder", "Audio CD Duplicator", "Audio CD Maker",
                                    "Audio CD Ripper", "MP3 CD Maker", "WMA CD Maker", "MP3 Tags Editor",
                                    "Text To Speech", "Master Volume", "Notes"}));
    // The tools bar has a button for each.
    QStringList buttons;
    for (qint32 i = 0; i < m->tlbrRecorder->ButtonCount(); ++i)
        if (m->tlbrRecorder->ButtonStyle(i) != cToolbar::tbrSeparator)
            buttons << m->tlbrRecorder->ButtonKey(i);
    QCOMPARE(buttons, (QStringList{"Audio Converter", "ACM Converter", "Audio Joiner", "Audio Splitter",
                                   "Audio Analyser", "Audio Recorder", "Audio CD Ripper", "Audio CD Maker",
                                   "Audio CD Duplicator", "MP3 CD Maker", "WMA CD Maker", "Text To Speech"}));

    // "Audio CDs" lists the image as a drive, which shows the disc's tracks.
    QVERIFY(g_nodMainCDs);
    QCOMPARE(g_nodMainCDs->Text(), QStringLiteral("Audio CDs"));
    cTreeItem* drive = nullptr;
    for (qint32 n = 1; n <= g_nodMainCDs->Children().Count(); ++n)
        if (g_nodMainCDs->Children().Item(n)->Key().endsWith(QStringLiteral(" disc.cue")))
            drive = g_nodMainCDs->Children().Item(n);
    QVERIFY(drive);
    m->cTreeView1_NodeClick(drive);
    QCOMPARE(m->cGrid1->Rows(), 2);

    // The ripper's button opens the ripper on that drive.
    platform.modal().handlers.enqueue([drive](VForm* w) {
        auto* ripper = qobject_cast<frmCDRipper*>(w);
        QVERIFY(ripper);
        QCOMPARE(QStringLiteral("##CD") + ripper->cboDevices->currentText(), drive->Key());
        QCOMPARE(ripper->lblCDStatus->text(), QStringLiteral("OK: 2 CDA tracks"));
        QCOMPARE(ripper->cGrid1->Rows(), 2);
        ripper->cmdExit_Click();
    });
    m->tlbrRecorder->ButtonWidget(m->tlbrRecorder->ButtonIndex(QStringLiteral("Audio CD Ripper")))->click();
    QCOMPARE(platform.modal().shown, QStringList{"frmCDRipper"});
    QVERIFY(platform.messages().shown.isEmpty());
}

QTEST_MAIN(tst_AllToolsProduct)
#include "tst_alltoolsproduct.moc"
