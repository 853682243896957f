// The About box: texts from the product profile, the version shown once however often the
// box opens, its one tab and page, and the links it opens.
#include "common/mdlModes.h"
#include "common/frmAbout.h"
#include "components/cImageList/cImageList.h"
#include "components/cTabControl/cTabControl.h"
#include "mainwindow/frmMain.h"
#include "tests/support/TestPlatform.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QUrl>

namespace {

// The real main window, loaded hidden as at start-up: the About box borrows its images.
frmMain* mainWindow()
{
    return Forms::Get<frmMain>();
}

} // namespace

class tst_About : public QObject
{
    Q_OBJECT
private slots:
    void init() { InitProductProfile(); }
    void texts();
    void versionShownOnce();
    void tabAndPage();
    void links_data();
    void links();
    void okCloses();
};

void tst_About::texts()
{
    TestPlatform platform;
    mainWindow();
    auto* a = Forms::Get<frmAbout>();
    QCOMPARE(a->windowTitle(), QStringLiteral("About"));
    QCOMPARE(a->lblTitle->text(), QStringLiteral("Velmaro 1.2"));
    QCOMPARE(a->lblAppName->text(), QStringLiteral("Velmaro 1.2"));
    QCOMPARE(a->lblHomePage->text(), QStringLiteral("Velmaro 1.2 - Home Page"));
    QCOMPARE(a->lblSite->text(), g_sAppSite);
    QCOMPARE(a->lblDesc->text(), g_sAppDescription);
    QCOMPARE(a->lblSupport->text(), QStringLiteral("Support"));
    QCOMPARE(a->lblProducts->text(), QStringLiteral("More Products..."));
    QCOMPARE(a->lblDeveloper->text(), QStringLiteral("Developer? - Click here for this product ActiveX"));
    QCOMPARE(a->cmdOk->text(), QStringLiteral("OK"));
    QVERIFY(!a->lblHallvik->text().isEmpty());
    QVERIFY(platform.shell().opened.isEmpty());  // showing the box opens nothing
}

void tst_About::versionShownOnce()
{
    TestPlatform platform;
    mainWindow();
    for (int i = 0; i < 3; ++i) {
        auto* a = Forms::Get<frmAbout>();
        QCOMPARE(a->lblVersionInside->text(), QStringLiteral("Inside version: 1.2.0"));
        a->cmdOk_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void tst_About::tabAndPage()
{
    TestPlatform platform;
    mainWindow();
    auto* a = Forms::Get<frmAbout>();
    cTabControl* t = a->cTabControl1;
    QCOMPARE(t->TabCount(), 1);
    QCOMPARE(t->TabCaption(1), QStringLiteral("About   "));
    QCOMPARE(t->TabKey(1), QStringLiteral("About"));
    QCOMPARE(t->TabImage(1), 18);
    QCOMPARE(t->SelectedTab(), 1);
    // The main window's image 18, as the tab shows it.
    const QIcon image18 = Forms::Loaded<frmMain>()->MenuImageList()->ItemPicture(18);
    QVERIFY(!image18.isNull());
    QCOMPARE(t->Bar()->tabIcon(0).pixmap(16, 16).toImage(), image18.pixmap(16, 16).toImage());
    // The page covers the client area, reaching 50 twips further left.
    const QRect page = a->picAbout->geometry();
    QVERIFY(qAbs(page.left() * 15 - (t->ClientLeft() - 50)) <= 15);
    QVERIFY(qAbs(page.top() * 15 - t->ClientTop()) <= 15);
    QVERIFY(qAbs((page.right() + 1) * 15 - (t->ClientLeft() + t->ClientWidth())) <= 15);
    QVERIFY(a->picAbout->isVisibleTo(a));
    a->picAbout->hide();
    a->cTabControl1_TabClick(1);
    QVERIFY(a->picAbout->isVisibleTo(a));
}

void tst_About::links_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("address");
    QTest::newRow("home page") << "lblHomePage" << "https://www.velmaro.example/";
    QTest::newRow("site") << "lblSite" << "https://www.velmaro.example";
    QTest::newRow("support") << "lblSupport" << "https://www.velmaro.example/support.html";
    QTest::newRow("products") << "lblProducts" << "https://www.velmaro.example/products.html";
    QTest::newRow("developer") << "lblDeveloper" << kComponentLibraryPage;
    QTest::newRow("maker") << "lblHallvikAddress" << kMakerAddress;
}

void tst_About::links()
{
    QFETCH(QString, label);
    QFETCH(QString, address);
    TestPlatform platform;
    mainWindow();
    auto* a = Forms::Get<frmAbout>();
    a->show();
    auto* l = a->findChild<QLabel*>(label);
    QVERIFY(l);
    QTest::mouseClick(l, Qt::LeftButton);
    QCOMPARE(platform.shell().opened, QStringList{address});
    // Only placeholder addresses of our own.
    QVERIFY(QUrl(address).host().endsWith(QLatin1String(".example")));
    // A link that cannot be opened shows nothing.
    platform.shell().result = false;
    QTest::mouseClick(l, Qt::LeftButton);
    QVERIFY(platform.messages().shown.isEmpty());
}

void tst_About::okCloses()
{
    TestPlatform platform;
    mainWindow();
    auto* a = Forms::Get<frmAbout>();
    platform.modal().handlers.enqueue([](VForm* f) { static_cast<frmAbout*>(f)->cmdOk->click(); });
    a->Show(vbModal);
    QCOMPARE(platform.modal().shown, QStringList{"frmAbout"});
    QVERIFY(!Forms::IsLoaded<frmAbout>());
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
