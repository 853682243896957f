// The add-files window: a small progress window over the main window while audio files are
// checked, probed and appended to an items grid, one row per accepted file.
#pragma once

#include "platform/Forms.h"

#include <QList>
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

// A file an add left out, and why ("it is empty").
struct AddRefusal {
    QString path;
    QString why;
};

// The one box at the end of an add that left files out: "Cannot add " & the path & ": " &
// why & "." for one file; for more, a line for each of the first twenty and how many more.
QString RefusedFilesText(const QList<AddRefusal>& refused);

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
    // The files left out (with refusedBefore, those the caller left out already) are named
    // in one box at the end.
    void AddFilesToList(const QStringList& Data, cGrid* cGrid1, VForm* frm, bool& bHide,
                        const QList<AddRefusal>& refusedBefore = {});
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
