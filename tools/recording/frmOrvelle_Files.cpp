// The text-to-speech window's speech files: the speech is written into the temporary WAV
// file beside the program, then converted into the target format by the one-file
// conversion window, either under a name the user picks or as a new time-stamped file
// added to the main window's current items list.
#include "common/MainHost.h"
#include "common/mdlCommDialog.h"
#include "components/cOrvelle/cOrvelle.h"
#include "platform/App.h"
#include "platform/MessageService.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "tools/recording/frmOrvelle.h"
#include "tools/splitter/frmAudioEditorProc.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>

QString SpeechTempFile()
{
    return AppPath() + QStringLiteral("/tmptts.wav");
}

QString frmOrvelle::TargetExt() const
{
    return cboTargetFormat->currentText().left(3).toLower();
}

bool frmOrvelle::SpeakToWaveFile(const QString& sFile)
{
    // Files are always spoken at the engine's normal rate and loudness. The file of an
    // earlier speech goes first, so a speech that fails leaves nothing to be converted
    // under the new name.
    QFile::remove(sFile);
    PutSpeechSettings(0, 100);
    QString file = sFile;
    const qint32 result = cOrvelle1->SpeakToFile(txtSpeak->toPlainText(), file);
    if (result == 0 && QFileInfo(sFile).isFile())
        return true;
    QString why = cOrvelle1->LastErrorText();
    if (why.isEmpty())
        why = QStringLiteral("The speech file \"%1\" was not written.").arg(sFile);
    MsgBox(QStringLiteral("The text could not be spoken into a file: ") + why, vbInformation + vbOKOnly);
    return false;
}

void frmOrvelle::ConvertSpeech(const QString& sDest)
{
    setCursor(Qt::WaitCursor);
    frmAudioEditorProc* proc = g_frmAudioEditorProc();
    frmAudioEditorProc::g_sConvertToTarget = cboTargetFormat->currentText();
    frmAudioEditorProc::g_bConvertTo = true;
    proc->ConvertFile(SpeechTempFile(), sDest);
    unsetCursor();
    proc->Show(vbModal);
}

void frmOrvelle::cmdSaveAs_Click()
{
    const QString ext = TargetExt();
    g_OFN.lpstrFilter = QStringLiteral("Audio Files (*.") + ext + u')' + QChar(0) + QStringLiteral("*.") + ext;
    g_OFN.lpstrTitle = QStringLiteral("Save As");
    g_OFN.lpstrDefExt = ext;
    const FileDialogResult r = ShowSave(this, QString(), true);
    if (r.Cancelled)
        return;
    if (!SpeakToWaveFile(SpeechTempFile()))
        return;
    ConvertSpeech(r.FileNames.value(1));
}

void frmOrvelle::cmdAdd_Click()
{
    MainHost* host = g_MainHost();
    if (!host)
        return;
    // The main window's time-stamped name, its extension replaced by the target's three
    // letters (so an ACM target gives ".acm").
    QString name = QStringLiteral("TTS_") + host->CreateFileName();
    name = name.left(name.size() - 3) + TargetExt();
    const QString path = AppPath() + u'/' + name;
    if (!SpeakToWaveFile(SpeechTempFile()))
        return;
    ConvertSpeech(path);
    // Whatever the conversion's outcome: a file that was not made is refused by the list
    // with its own message, and the list is saved as it is. Only a list takes the file;
    // on a group or CD drive the main window says so and writes nothing.
    host->AddPathsToList({path});
    Forms::Unload(this);
}

void frmOrvelle::cmdEditTargetFormat_Click()
{
    // The shared edit of the target format, without storing a new default: this window
    // has no set-as-default link.
    ShowAudioPropOnFormat(cboTargetFormat->currentText().left(3), this);
    const int position = Forms::Get<frmOptions>()->cboTargetFormat->currentIndex();
    if (position >= 0 && position < cboTargetFormat->count())
        cboTargetFormat->setCurrentIndex(position);
}
