// The add-files window: a small progress window over the main window while audio files are
// checked, probed and appended to an items grid, one row per accepted file.
#pragma once

#include "platform/Forms.h"

#include <QStringList>

class QLabel;
class QPushButton;
class cAudioConverter;
class cGrid;
class cProgressBar;

// The check of a tool window's file before it goes to AddFilesToList: false, after the box
// "The file:" & path & " was not found." (no such file) or " is empty." (64 bytes or
// less), when it is not worth adding.
bool CheckFileToAdd(const QString& path);

class frmStat : public VForm
{
    Q_OBJECT
public:
    frmStat();

    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Form_Unload(int& Cancel) override;

    // Appends one row per accepted path of Data to cGrid1 (the main window's grid), under
    // this window shown over frm, and unloads the window at the end. bHide is not used.
    void AddFilesToList(const QStringList& Data, cGrid* cGrid1, VForm* frm, bool& bHide);
    // True when the name's extension occurs in the supported-formats filter text.
    bool SupportAudioFile(const QString& sFileName);
    // The item name of a file name: the first of each of ":?<>\/*|" taken out.
    QString getLegaName(const QString& sPath);

    void cmdCancel_Click();

    QLabel* lblStat = nullptr;
    cProgressBar* cProgressBar1 = nullptr;
    QPushButton* cmdCancel = nullptr;
    cAudioConverter* cAudioConverter1 = nullptr;

private:
    bool m_bRunning = false;
};

inline frmStat* g_frmStat()
{
    return Forms::Get<frmStat>();
}
