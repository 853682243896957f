// The item properties dialog: one row of the main items grid on three pages (name and file
// information, the time range the tools process, the destination tags), written back to
// the row and the list file by OK and Apply; two buttons step to the next or previous row.
#pragma once

#include "platform/Forms.h"

#include <QPointer>
#include <QTime>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class LinkLabel;
class TextBox;
class cAudioConverter;
class cDateTimePick;
class cGrid;
class cTabControl;

class frmItem : public VForm
{
    Q_OBJECT
public:
    frmItem();
    void Form_Load() override;

    // Fill the pages from the row shown.
    void GetFileInfo();
    void SetIDvTags();
    void GetRangeOptions();

    void cTabControl1_TabClick(qint32 Index);
    void cmdBack_Click();
    void cmdNext_Click();
    void cmdOk_Click();
    void cmdApply_Click();
    void cmdExit_Click();
    void cmdGoTSoStart_Click();
    void cmdGoToEnd_Click();
    void dtStartAfter_DateChanged(const QDateTime& NewDate);
    void dtUntil_DateChanged(const QDateTime& NewDate);
    void lblDefaultID3Tags_Click();
    void lblID3TagParameters_Click();
    void lblFileName_Click();
    void lblPath_Click();
    // Key filter of the name box: an illegal character is swallowed (KeyAscii 0).
    void txtItemName_KeyPress(int& KeyAscii);

    qint32 lItem = 0;
    qint32 l_lGridRowNum = 0;

    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    cTabControl* cTabControl1 = nullptr;
    QWidget* TabInfo = nullptr;
    QWidget* TabRange = nullptr;
    QWidget* TabTags = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdApply = nullptr;
    QPushButton* cmdExit = nullptr;
    cAudioConverter* cAudioConverter1 = nullptr;

    // Information.
    TextBox* txtItemName = nullptr;
    QLabel* lblFileNameNM = nullptr;
    LinkLabel* lblFileName = nullptr;
    QLabel* lblTotalTimeNM = nullptr;
    QLabel* lblTotalTime = nullptr;
    QLabel* lblTotalSizeNM = nullptr;
    QLabel* lblTotalSize = nullptr;
    QLabel* lblCreatedNM = nullptr;
    QLabel* lblCreated = nullptr;
    QLabel* lblFormatNM = nullptr;
    QLabel* lblFormat = nullptr;
    QLabel* lblSamplesNM = nullptr;
    QLabel* lblSamples = nullptr;
    QLabel* lblBitrateNM = nullptr;
    QLabel* lblBitrate = nullptr;
    QLabel* lblChannelsNM = nullptr;
    QLabel* lblChannels = nullptr;
    LinkLabel* lblPath = nullptr;

    // Range.
    QRadioButton* ptnAllFile = nullptr;
    QRadioButton* ptnConvertByTime = nullptr;
    QLabel* Label20 = nullptr;
    cDateTimePick* dtStartAfter = nullptr;
    QPushButton* cmdGoTSoStart = nullptr;
    QLabel* Label21 = nullptr;
    cDateTimePick* dtUntil = nullptr;
    QPushButton* cmdGoToEnd = nullptr;

    // Tags.
    TextBox* txtTagArtist = nullptr;
    TextBox* txtTagSong = nullptr;
    TextBox* txtTagAlbum = nullptr;
    TextBox* txtTagYear = nullptr;
    TextBox* txtTagGenre = nullptr;
    TextBox* txtTagTrack = nullptr;
    QPlainTextEdit* txtTagComment = nullptr;
    LinkLabel* lblDefaultID3Tags = nullptr;
    LinkLabel* lblID3TagParameters = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowGridRow(qint32& n);
    // 0 when the values were written to the row and the list saved; else refused.
    qint32 ApplyItemChanges();
    void UpdateRangeControls();
    void HideTabPages();
    void UpdateStepButtons(qint32 row);
    QString Cell(const char* key) const;

    QPointer<cGrid> m_grid;  // the main window's items grid
};

inline frmItem* g_frmItem()
{
    return Forms::Get<frmItem>();
}

// A "HH:MM:SS" text as a time of day (hours below 24); false when it is none.
bool ReadTimeOfDay(const QString& text, QTime& time);
