// The About box: the product's name, versions and description, and links to its web
// pages, all taken from the product profile.
#pragma once

#include "platform/Forms.h"

class QLabel;
class QPushButton;
class cTabControl;

class frmAbout : public VForm
{
    Q_OBJECT
public:
    frmAbout();
    void Form_Load() override;

    void cTabControl1_TabClick(qint32 Index);
    void cmdOk_Click();
    void lblHomePage_Click();
    void lblSite_Click();
    void lblSupport_Click();
    void lblProducts_Click();
    void lblDeveloper_Click();
    void lblHallvikAddress_Click();

    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    cTabControl* cTabControl1 = nullptr;
    QWidget* picAbout = nullptr;
    QLabel* lblAppName = nullptr;
    QLabel* lblVersionInside = nullptr;
    QLabel* lblDesc = nullptr;
    QLabel* lblHomePage = nullptr;
    QLabel* lblSite = nullptr;
    QLabel* lblSupport = nullptr;
    QLabel* lblProducts = nullptr;
    QLabel* lblDeveloper = nullptr;
    QLabel* lblHallvik = nullptr;
    QLabel* lblHallvikAddress = nullptr;
    QPushButton* cmdOk = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenLink(const QString& address);
    void GrowToThePage();
    void HideTabPages();
};

// The fixed addresses of the About box: the component library page and the maker's own.
inline const QString kComponentLibraryPage = QStringLiteral("https://components.velmaro.example/");
inline const QString kMakerAddress = QStringLiteral("https://www.ostrany.example/");
