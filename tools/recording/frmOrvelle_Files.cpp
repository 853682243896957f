// The text-to-speech window's speech files: the speech is written into the temporary WAV
// file beside the program on the speech component's thread, then converted into the
// target format by the one-file conversion window, either under a name the user picks or
// as a new time-stamped file added to the main window's current items list.
#include "common/MainHost.h"
#include "common/mdlCommDialog.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cOrvelle/cOrvelle.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "tools/recording/frmOrvelle.h"
#include "tools/splitter/frmAudioEditorProc.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

bool NameTaken(const QString& path)
{
    const QFileInfo f(path);
    return f.exists() || f.isSymLink();
}

// `path`, or where a file (or a link to none) has that name, the first of its name with
// "_2", "_3", ... before the extension that names nothing.
QString UntakenName(const QString& path)
{
    if (!NameTaken(path))
        return path;
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString stem = dot > path.lastIndexOf(u'/') ? path.left(dot) : path;
    const QString ext = path.mid(stem.size());
    for (int n = 2;; ++n) {
        const QString candidate = stem + u'_' + QString::number(n) + ext;
        if (!NameTaken(candidate))
            return candidate;
    }
}

} // namespace

QString SpeechTempFile()
{
    return AppPath() + QStringLiteral("/tmptts.wav");
}

QString frmOrvelle::TargetExt() const
{
    return cboTargetFormat->currentText().left(3).toLower();
}

void frmOrvelle::SpeakToWaveFile(const QString& sFile)
{
    // Files are always spoken at the engine's normal rate and loudness. The file of an
    // earlier speech goes first, so nothing of it is ever converted under the new name.
    QFile::remove(sFile);
    PutSpeechSettings(0, 100);
    QString file = sFile;
    cOrvelle1->SpeakToFile(txtSpeak->toPlainText(), file);
}

void frmOrvelle::StartSpeechFile(SpeechUse use)
{
    m_speechUse = use;
    m_sSpeechTarget = cboTargetFormat->currentText();
    ShowWritingSpeech(true);
    SpeakToWaveFile(SpeechTempFile());
}

void frmOrvelle::ShowWritingSpeech(bool writing)
{
    for (QWidget* w : std::initializer_list<QWidget*>{cmdSay, cmdSaveAs, cmdAdd, cboTargetFormat, cmdEditTargetFormat,
                                                      lblID3Tags})
        w->setEnabled(!writing);
    // The text was taken when the job began; Clear Text asks first, which waits for none.
    txtSpeak->setReadOnly(writing);
    if (writing)
        lblClearText->setEnabled(false);
    else
        txtSpeak_Change();
    prgSpeech->SetValue(0);
    prgSpeech->setVisible(writing);
}

void frmOrvelle::cOrvelle1_FileProgress(qint32 Percent)
{
    prgSpeech->SetValue(Percent);
}

void frmOrvelle::cOrvelle1_FileDone()
{
    const SpeechUse use = std::exchange(m_speechUse, SpeechUse::None);
    ShowWritingSpeech(false);
    if (use == SpeechUse::SaveAs)
        ConvertSpeech(m_sSpeechDest, m_replaceable);
    else if (use == SpeechUse::Add)
        AddSpeech();
}

void frmOrvelle::cOrvelle1_FileAborted()
{
    // Stopped: nothing is converted, and the chosen file is as it was.
    m_speechUse = SpeechUse::None;
    ShowWritingSpeech(false);
}

void frmOrvelle::cOrvelle1_FileError(qint32, const QString& Description)
{
    m_speechUse = SpeechUse::None;
    ShowWritingSpeech(false);
    MsgBox(QStringLiteral("The text could not be spoken into a file: ") + Description, vbInformation + vbOKOnly);
}

void frmOrvelle::ConvertSpeech(const QString& sDest, const FileIdentity& replaceable)
{
    setCursor(Qt::WaitCursor);
    frmAudioEditorProc* proc = g_frmAudioEditorProc();
    frmAudioEditorProc::g_sConvertToTarget = m_sSpeechTarget;
    frmAudioEditorProc::g_bConvertTo = true;
    proc->ConvertFile(SpeechTempFile(), sDest, replaceable);
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
    m_sSpeechDest = r.FileNames.value(1);
    // The dialog asked before it gave a file that is there: the Yes holds for that file.
    m_replaceable = ReadFileIdentity(m_sSpeechDest);
    StartSpeechFile(SpeechUse::SaveAs);
}

void frmOrvelle::cmdAdd_Click()
{
    MainHost* host = g_MainHost();
    if (!host)
        return;
    // The main window's time-stamped name, its extension replaced by the target's three
    // letters (so an ACM target gives ".acm").
    QString name = QStringLiteral("TTS_") + host->CreateFileName();
    m_sSpeechDest = name.left(name.size() - 3) + TargetExt();
    StartSpeechFile(SpeechUse::Add);
}

void frmOrvelle::AddSpeech()
{
    MainHost* host = g_MainHost();
    if (!host)
        return;
    // Two speeches added within one second have the same time stamp: the later one takes
    // a name of its own, and no file there is ever replaced.
    const QString path = UntakenName(AppPath() + u'/' + m_sSpeechDest);
    host->g_bAbortedAudioEditor = false;
    ConvertSpeech(path);
    // Whatever the conversion's outcome: a file that was not made is refused by the list
    // with its own message, and the list is saved as it is. A file that took the name
    // while the conversion ran is not the speech, and is not listed. Only a list takes
    // the file; on a group or CD drive the main window says so and writes nothing.
    if (!(host->g_bAbortedAudioEditor && NameTaken(path)))
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
