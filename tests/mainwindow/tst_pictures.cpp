// Pictures that mean their command: the ones the user reads a command by are each a
// picture of their own, never the plain audio picture that stands in for a missing one.
#include "tests/lists/ListsFixture.h"

#include "components/cIconMenu/cIconMenu.h"
#include "components/cImageList/cImageList.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cTreeView/cTreeView.h"
#include "platform/Forms.h"
#include "platform/IconResources.h"
#include "settings/frmOptions.h"
#include "tools/splitter/frmAudioEditor.h"

#include <QImage>
#include <QTest>

using namespace ListsTest;

namespace {

// What a picture looks like at menu size; a missing one reads as an empty image.
QImage look(const QIcon& icon)
{
    return icon.isNull() ? QImage() : icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The main menu's picture of the command item with that key.
QImage menuPicture(frmMain* m, const QString& key)
{
    return look(m->imgMenu->ItemPicture(m->m_cMenu->ItemIcon(m->m_cMenu->IndexForKey(key))));
}

} // namespace

class tst_Pictures : public QObject
{
    Q_OBJECT
private slots:
    void supportHasItsOwn();
    void audioEditorBar();
    void optionsPages();
};

void tst_Pictures::supportHasItsOwn()
{
    Fixture f;
    frmMain* m = f.start();
    const QImage support = menuPicture(m, QStringLiteral("Support"));
    QVERIFY(!support.isNull());
    QVERIFY(support != menuPicture(m, QStringLiteral("HelpTopic")));
    QVERIFY(support != menuPicture(m, QStringLiteral("About")));
    QVERIFY(support != look(LoadIconResource(QStringLiteral("tango/audio-x-generic"))));
}

void tst_Pictures::audioEditorBar()
{
    Fixture f;
    f.start();
    frmAudioEditor* w = Forms::Get<frmAudioEditor>();
    cToolbar* bar = w->tlbrList;
    QVERIFY(bar->ImageList());
    const QImage note = look(LoadIconResource(QStringLiteral("tango/audio-x-generic")));
    QList<QImage> seen;
    for (const char* key : {"Play", "Pause", "Stop", "Zoom"}) {
        const QImage picture = look(bar->ImageList()->ItemPicture(bar->ButtonImage(bar->ButtonIndex(QLatin1String(key)))));
        QVERIFY2(!picture.isNull() && picture != note, key);
        QVERIFY2(!seen.contains(picture), key);
        seen << picture;
    }
    Forms::Unload(w);
}

void tst_Pictures::optionsPages()
{
    Fixture f;
    frmMain* m = f.start();
    frmOptions* o = Forms::Get<frmOptions>();
    cTreeItems pages = o->cTreeView1->Nodes();
    QList<QImage> seen;
    for (qint32 i = 1; i <= 5; ++i) {
        const QImage picture = look(o->imgMenu->ItemPicture(pages.Item(i)->Image()));
        QVERIFY2(!picture.isNull() && !seen.contains(picture), qPrintable(pages.Item(i)->Text()));
        seen << picture;
    }
    // "Advanced" is no tool: it does not wear the splitter's scissors.
    QCOMPARE(pages.Item(5)->Text(), QStringLiteral("Advanced"));
    QVERIFY(seen.last() != menuPicture(m, QStringLiteral("Audio Splitter")));
}

QTEST_MAIN(tst_Pictures)
#include "tst_pictures.moc"
