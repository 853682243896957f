// The one-file conversion window: converts one audio file into another under a small modal
// progress window, started by itself a moment after it shows, and closes itself when the
// conversion is done or aborted. The audio analyser turns a non-WAV item into a temporary
// WAV file with it; the text-to-speech window converts its speech into a chosen format.
#pragma once

#include "common/mdlFileIdentity.h"
#include "platform/Forms.h"

#include <QString>
#include <QTimer>

class QLabel;
class QPushButton;
class XP_ProgressBar;
class cAudioConverter;

class frmAudioEditorProc : public VForm
{
    Q_OBJECT
public:
    frmAudioEditorProc();
    ~frmAudioEditorProc() override;

    void Form_Load() override;
    // Closing while the conversion runs aborts it; closing before it is done tells the
    // caller that it did not end well.
    void Form_Unload(int& Cancel) override;

    // Keeps the source and destination and arms the start; the window shows it afterwards.
    // `replaceable` is the file the user agreed to replace under the destination's name,
    // as it was when asked; any other file of that name (or that one changed) is left and
    // the conversion fails.
    void ConvertFile(const QString& sSource, const QString& sDest, const FileIdentity& replaceable = {});
    // Sets up the component and starts the conversion (once, from the timer).
    void ConvertX();
    void SetDestination();
    void SetID3Tags();
    QString CreateID3TagsString(const QString& Text);

    void Timer1_Timer();
    void cmdAbort_Click();
    void cAudioConverter1_Progress(qint32 Percent);
    void cAudioConverter1_Done();
    void cAudioConverter1_Aborted();
    void cAudioConverter1_Error(qint32 Code, const QString& Description);

    // Kept while the window is unloaded, as its callers rely on: True converts to the
    // format g_sConvertToTarget names (its first three letters) with the default tags;
    // False to plain WAV without tags. Each end of a conversion, and the window's
    // unloading however it closes, set it back to False.
    inline static bool g_bConvertTo = false;
    inline static QString g_sConvertToTarget;

    QLabel* lblCurrentTrack = nullptr;
    XP_ProgressBar* prgCurrnet = nullptr;
    QPushButton* cmdAbort = nullptr;
    QTimer Timer1;
    cAudioConverter* cAudioConverter1 = nullptr;

private:
    void ReportNotDone();

    QString m_sSource;
    QString m_sDest;
    FileIdentity m_replaceable;
    bool m_bDone = false;
};

inline frmAudioEditorProc* g_frmAudioEditorProc()
{
    return Forms::Get<frmAudioEditorProc>();
}
