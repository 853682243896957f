// The About box.
#include "common/frmAbout.h"

#include "common/mdlModes.h"
#include "common/MainHost.h"
#include "common/mdlViewColors.h"
#include "components/cTabControl/cTabControl.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/Services.h"
#include "platform/ShellService.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

frmAbout::frmAbout()
{
    setWindowTitle(QStringLiteral("About"));
    setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));
    setFixedSize(440, 340);

    picTitle = new QWidget(this);
    picTitle->setAutoFillBackground(true);
    picTitle->setGeometry(0, 0, 440, 44);
    lblTitle = new QLabel(picTitle);
    QFont big = lblTitle->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    lblTitle->setFont(big);
    lblTitle->setGeometry(12, 0, 416, 44);

    cTabControl1 = new cTabControl(this);
    cTabControl1->setGeometry(8, 52, 424, 240);
    connect(cTabControl1, &cTabControl::TabClick, this, &frmAbout::cTabControl1_TabClick);

    picAbout = new QWidget(this);
    auto* page = new QVBoxLayout(picAbout);
    page->setContentsMargins(16, 8, 8, 8);
    auto label = [&](bool link) {
        auto* l = new QLabel(picAbout);
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        if (link) {
            QFont f = l->font();
            f.setUnderline(true);
            l->setFont(f);
            l->setCursor(Qt::PointingHandCursor);
            QPalette pal = l->palette();
            pal.setColor(QPalette::WindowText, QColor(0, 0, 192));
            l->setPalette(pal);
            l->installEventFilter(this);
        }
        page->addWidget(l);
        return l;
    };
    lblAppName = label(false);
    QFont bold = lblAppName->font();
    bold.setBold(true);
    lblAppName->setFont(bold);
    lblVersionInside = label(false);
    lblVersionInside->setText(QStringLiteral("Inside version:"));
    lblDesc = label(false);
    page->addSpacing(6);
    lblHomePage = label(true);
    lblSite = label(true);
    lblSupport = label(true);
    lblSupport->setText(QStringLiteral("Support"));
    lblProducts = label(true);
    lblProducts->setText(QStringLiteral("More Products..."));
    lblDeveloper = label(true);
    lblDeveloper->setText(QStringLiteral("Developer? - Click here for this product ActiveX"));
    page->addStretch(1);
    lblHallvik = label(false);
    lblHallvikAddress = label(true);
    lblHomePage->setObjectName(QStringLiteral("lblHomePage"));
    lblSite->setObjectName(QStringLiteral("lblSite"));
    lblSupport->setObjectName(QStringLiteral("lblSupport"));
    lblProducts->setObjectName(QStringLiteral("lblProducts"));
    lblDeveloper->setObjectName(QStringLiteral("lblDeveloper"));
    lblHallvikAddress->setObjectName(QStringLiteral("lblHallvikAddress"));

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setGeometry(440 - 8 - 90, 340 - 8 - 30, 90, 30);
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);
}

void frmAbout::Form_Load()
{
    // Colours of the options.
    SetBackColor(picTitle, g_lAppColor);
    SetForeColor(lblTitle, g_lTextColor);
    // Texts of the product profile.
    lblAppName->setText(DisplayName());
    lblTitle->setText(DisplayName());
    lblHomePage->setText(DisplayName() + QStringLiteral(" - Home Page"));
    lblSite->setText(g_sAppSite);
    lblVersionInside->setText(lblVersionInside->text() + u' ' + g_sAppFullVersion);
    lblDesc->setText(g_sAppDescription);
    lblHallvik->setText(g_sAppCompany + QStringLiteral(" Software"));
    lblHallvikAddress->setText(kMakerAddress);
    // The one tab, with the main window's image.
    if (MainHost* host = g_MainHost())
        cTabControl1->SetImageList(host->MenuImageList());
    cTabControl1->AddTab(QStringLiteral("About   "), 18, -1, QStringLiteral("About"));
    // The page over the tab strip's client area.
    picAbout->setGeometry(TwipsToPixels(cTabControl1->ClientLeft() - 50), TwipsToPixels(cTabControl1->ClientTop()),
                          TwipsToPixels(cTabControl1->ClientWidth() + 50), TwipsToPixels(cTabControl1->ClientHeight()));
    picAbout->raise();
    GrowToThePage();
    // Only the About page shows.
    HideTabPages();
    picAbout->setVisible(true);
}

void frmAbout::GrowToThePage()
{
    // The page's texts wrap at its width; when they need more height than the design gave
    // it, the page, its tab strip and the window grow by as much and the OK button moves down.
    QLayout* page = picAbout->layout();
    const int need = page->hasHeightForWidth() ? page->totalHeightForWidth(picAbout->width())
                                               : page->totalSizeHint().height();
    const int grow = need - picAbout->height();
    if (grow <= 0)
        return;
    picAbout->resize(picAbout->width(), need);
    cTabControl1->resize(cTabControl1->width(), cTabControl1->height() + grow);
    cmdOk->move(cmdOk->x(), cmdOk->y() + grow);
    setFixedSize(width(), height() + grow);
}

void frmAbout::HideTabPages()
{
    picAbout->setVisible(false);
}

void frmAbout::cTabControl1_TabClick(qint32)
{
    HideTabPages();
    if (cTabControl1->TabKey(cTabControl1->SelectedTab()) == QLatin1String("About"))
        picAbout->setVisible(true);
}

void frmAbout::cmdOk_Click()
{
    Forms::Unload(this);
}

void frmAbout::OpenLink(const QString& address)
{
    Services::shell().open(address, AppPath());
}

void frmAbout::lblHomePage_Click()
{
    OpenLink(g_sAppHomePage);
}

void frmAbout::lblSite_Click()
{
    OpenLink(g_sAppSite);
}

void frmAbout::lblSupport_Click()
{
    OpenLink(g_sAppSupportPage);
}

void frmAbout::lblProducts_Click()
{
    OpenLink(g_sAppSite + QStringLiteral("/products.html"));
}

void frmAbout::lblDeveloper_Click()
{
    OpenLink(kComponentLibraryPage);
}

void frmAbout::lblHallvikAddress_Click()
{
    OpenLink(lblHallvikAddress->text());
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == lblHomePage)
            lblHomePage_Click();
        else if (watched == lblSite)
            lblSite_Click();
        else if (watched == lblSupport)
            lblSupport_Click();
        else if (watched == lblProducts)
            lblProducts_Click();
        else if (watched == lblDeveloper)
            lblDeveloper_Click();
        else if (watched == lblHallvikAddress)
            lblHallvikAddress_Click();
    }
    return VForm::eventFilter(watched, event);
}
