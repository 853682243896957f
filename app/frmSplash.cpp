#include "app/frmSplash.h"

#include "common/mdlModes.h"
#include "common/mdlWindowHelpers.h"
#include "platform/Controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

frmSplash::frmSplash()
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    setFixedSize(420, 200);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    picTitle = new QWidget(this);
    picTitle->setAutoFillBackground(true);
    picTitle->setFixedHeight(90);
    auto* titleLayout = new QVBoxLayout(picTitle);
    lblAppTitle = new QLabel(picTitle);
    QFont big = lblAppTitle->font();
    big.setPointSize(big.pointSize() + 10);
    big.setBold(true);
    lblAppTitle->setFont(big);
    lblAppTitle->setAlignment(Qt::AlignCenter);
    titleLayout->addWidget(lblAppTitle);
    layout->addWidget(picTitle);

    lblVersion = new QLabel(this);
    lblVersion->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblVersion);
    layout->addStretch(1);
    lblStat = new QLabel(QStringLiteral("Loading..."), this);
    lblStat->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblStat);
}

void frmSplash::Form_Load()
{
    SetFormIcon(this, QStringLiteral("AAA"), true);
    lblAppTitle->setText(DisplayName());
    lblVersion->setText(QStringLiteral("Version ") + g_sAppFullVersion);
    // Layered with no alpha yet: invisible until FadeIn gives it one.
    MakeTransparent(this, 0);
    m_alphaSteps.clear();
    if (!g_sViewBackColor.isEmpty()) {
        const qint32 c = g_sViewBackColor.toInt();
        SetBackColor(this, c);
        SetBackColor(picTitle, c);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    SetFormOnTop(this, true);
}

void frmSplash::setAlpha(int alpha)
{
    m_alphaSteps.append(alpha);
    MakeTransparent(this, alpha);
}

void frmSplash::FadeIn()
{
    for (int alpha = 0; alpha <= 250; alpha += 10) {
        setAlpha(alpha);
        QElapsedTimer t;
        t.start();
        // Let the window repaint until the clock has moved on by more than 5 ms.
        while (t.elapsed() <= 5)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (IsUnloading())
            return;
    }
    setAlpha(255);
}

void frmSplash::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click on the free surface (not on the title strip or a label) closes it.
    if (childAt(event->position().toPoint()) == nullptr)
        Forms::Unload(this);
    else
        VForm::mouseDoubleClickEvent(event);
}
