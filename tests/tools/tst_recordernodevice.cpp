// The recorder where no sound input can be used at all (here: an audio driver that does
// not exist): the device list is empty, and Record logs the reason and writes nothing.
#include "common/mdlModes.h"
#include "platform/Controls.h"
#include "tests/support/TestPlatform.h"
#include "tools/recording/frmMicRecorder.h"

#include <QFileInfo>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class tst_recordernodevice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("SDL_AUDIODRIVER", "no-such-driver"); }

    void recordSaysWhyAndWritesNothing()
    {
        TestPlatform platform;
        InitProductProfile();
        frmMicRecorder* r = g_frmMicRecorder();
        QCOMPARE(r->cboDevices->count(), 0);
        QCOMPARE(r->cboDevices->currentIndex(), -1);
        const QString file = platform.path("take.wav");
        r->txtAudioFile->setText(file);
        r->cmdRecord_Click();
        const QString last = r->txtResults->toPlainText().section(u'\n', -2, -2);
        QVERIFY2(last.endsWith(": Error RecordStart .No sound input can be used: Audio target 'no-such-driver' not available"),
                 qPrintable(last));
        QVERIFY(r->cmdRecord->isEnabled());
        QVERIFY(!r->tmrRec.isActive());
        QVERIFY(!QFileInfo::exists(file));
    }
};

QTEST_MAIN(tst_recordernodevice)
#include "tst_recordernodevice.moc"
