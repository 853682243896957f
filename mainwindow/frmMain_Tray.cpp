// The main window's tray icon, its window modes (on top, transparent, in the tray) and
// the texts it makes for other windows: the external program's command line and the
// name of a new audio file.
#include "mainwindow/frmMain.h"

#include "common/mdlModes.h"
#include "common/mdlFunctions.h"
#include "common/mdlWindowHelpers.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cToolbar/cToolbar.h"
#include "lists/mdlItemsGrid.h"
#include "platform/App.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QDateTime>
#include <QLocale>
#include <QProcess>

void frmMain::GoSysTray()
{
    SetWindowState(vbMinimized);
    // Without a tray the window stays on the taskbar, where it can still be reached.
    if (cSysTray::Available())
        Hide();
    m_cMenu->SetItemCaption(m_cMenu->IndexForKey(QStringLiteral("RC Open")), QStringLiteral("Show"));
    m_bInTray = true;
}

void frmMain::cSysTray1_TrayClick(qint32 ClickType)
{
    const qint32 rcOpen = m_cMenu->IndexForKey(QStringLiteral("RC Open"));
    if (ClickType == 1) {
        const int state = WindowState();
        if (state == vbMinimized && m_bInTray) {
            show();
            SetWindowState(vbNormal);
            if (!HeadlessPlatform()) {
                raise();
                activateWindow();
            }
            m_cMenu->SetItemCaption(rcOpen, QStringLiteral("Hide"));
            m_bInTray = false;
        } else if (state == vbNormal) {
            SetWindowState(vbMinimized);
            Hide();
            m_cMenu->SetItemCaption(rcOpen, QStringLiteral("Show"));
            m_bInTray = true;
        } else if (state == vbMinimized) {
            Hide();
            SetWindowState(vbMinimized);
            m_cMenu->SetItemCaption(rcOpen, QStringLiteral("Show"));
            m_bInTray = true;
        }
    } else if (ClickType == 2) {
        if (!HeadlessPlatform())
            activateWindow();
        qint32 x = 0, y = 0;
        GetMousePosition(x, y);
        m_cMenu->ShowPopupMenuAt(x, y, rcOpen, -1);
    }
}

// ---- window modes ----

void frmMain::SetOnTop(bool bVal)
{
    SetFormOnTop(this, bVal);
    tlbrTop->SetButtonChecked(QStringLiteral("On Top"), bVal);
    m_cMenu->SetItemChecked(m_cMenu->IndexForKey(QStringLiteral("On Top")), bVal);
}

void frmMain::SetTransparent(bool bVal)
{
    if (bVal)
        MakeTransparent(this, 90);
    else
        MakeOpaque(this);
    tlbrTop->SetButtonChecked(QStringLiteral("Transparent"), bVal);
    m_cMenu->SetItemChecked(m_cMenu->IndexForKey(QStringLiteral("Transparent")), bVal);
}

// ---- texts for other windows ----

QString frmMain::ExpandNoticePlaceholders(QString text) const
{
    text.replace(QStringLiteral("[PROG_NAME]"), g_sAppName);
    text.replace(QStringLiteral("[PROG_VERSION]"), g_sAppVersion);
    // The file placeholders come from the last row of the list shown; with no rows they
    // stay as they are.
    const qint32 last = cGrid1->Rows();
    if (last > 0) {
        text.replace(QStringLiteral("[FILE_RECORDED]"), RowText(cGrid1, last, QStringLiteral("Item Name")));
        text.replace(QStringLiteral("[FILE_SIZE]"), RowText(cGrid1, last, QStringLiteral("Size")));
        text.replace(QStringLiteral("[FILE_TIME_LENGTH]"), RowText(cGrid1, last, QStringLiteral("Time")));
        text.replace(QStringLiteral("[FILE_CREATED]"), RowText(cGrid1, last, QStringLiteral("Created")));
    }
    return text;
}

QString frmMain::GetNoticAppParameters()
{
    return ExpandNoticePlaceholders(g_sAppNotice);
}

QStringList frmMain::GetNoticAppCommand()
{
    // The command line is split into the program and its arguments before anything is
    // put in, so a file name with blanks, quotes or shell characters stays one argument
    // and can never start anything else.
    QStringList parts = QProcess::splitCommand(g_sAppNotice);
    for (QString& part : parts)
        part = ExpandNoticePlaceholders(part);
    return parts;
}

QString frmMain::GetExt()
{
    // The extension of the format chosen in the text-to-speech window, while it is open.
    QString format;
    for (VForm* form : Forms::LoadedForms()) {
        if (qstrcmp(form->metaObject()->className(), "frmOrvelle") != 0)
            continue;
        if (auto* list = form->findChild<QComboBox*>(QStringLiteral("cboTargetFormat")))
            format = list->currentText();
    }
    const QString code = format.left(3).toUpper();
    if (code == QLatin1String("WAV") || code == QLatin1String("ACM"))
        return QStringLiteral("wav");
    if (code == QLatin1String("MP3") || code == QLatin1String("WMA") || code == QLatin1String("OGG")
        || code == QLatin1String("APE"))
        return code.toLower();
    return QString();
}

QString frmMain::CreateFileName(const QString&)
{
    const QDateTime now = m_Clock ? m_Clock() : QDateTime::currentDateTime();
    // The date as the locale writes it short (the system's, unless one is set).
    const QString name = now.time().toString(QStringLiteral("HH:mm:ss")) + u'_'
        + QLocale().toString(now.date(), QLocale::ShortFormat) + u'.' + GetExt();
    return MakeSafeName(name);
}
