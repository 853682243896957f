#include "app/frmSplash.h"

#include "common/mdlModes.h"
#include "common/mdlWindowHelpers.h"
#include "platform/Controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
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
    if (!g_sViewBackColor.isEmpty()) {
        const qint32 c = g_sViewBackColor.toInt();
        SetBackColor(this, c);
        SetBackColor(picTitle, c);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    SetFormOnTop(this, true);
}

void frmSplash::FadeIn()
{
    // A double click while the fade lets events through unloads the window, and the
    // events that follow may delete it: the fade ends as soon as it is going.
    const QPointer<frmSplash> self(this);
    for (int alpha = 0; alpha <= 250; alpha += 10) {
        MakeTransparent(this, alpha);
        QElapsedTimer t;
        t.start();
        // Let the window repaint until the clock has moved on by more than 5 ms. The wait
        // sleeps in an event loop that a timer ends, so the fade leaves the processor free.
        while (t.elapsed() <= 5) {
            QEventLoop wait;
            // The clock may have moved past the mark since it was read (a busy machine): a
            // timer never runs with a negative wait, and the loop would wait for ever.
            const qint64 left = qMax<qint64>(0, 6 - t.elapsed());
            QTimer::singleShot(int(left), Qt::PreciseTimer, &wait, &QEventLoop::quit);
            connect(this, &QObject::destroyed, &wait, &QEventLoop::quit);
            wait.exec();
            if (!self || IsUnloading())
                return;
        }
    }
    MakeTransparent(this, 255);
}

void frmSplash::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click on the free surface (not on the title strip or a label) closes it.
    if (childAt(event->position().toPoint()) == nullptr)
        Forms::Unload(this);
    else
        VForm::mouseDoubleClickEvent(event);
}
