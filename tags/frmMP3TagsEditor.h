// The MP3 tags editor: one MP3 file chosen by the user, the values of its ID3v1 tag, its
// ID3v2 tag or both in boxes over three pages (General, Advanced, Lyrics), and Apply,
// which writes the boxes back into the version(s) chosen. Opened modeless from the main
// window; one instance, unloaded when it closes.
#pragma once

#include "platform/Forms.h"
#include "tags/id3/cMP3ID3v1.h"
#include "tags/id3/cMP3ID3v2.h"

class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TextBox;
class cTabControl;

class frmMP3TagsEditor : public VForm
{
    Q_OBJECT
public:
    frmMP3TagsEditor();
    ~frmMP3TagsEditor() override;

    void Form_Load() override;

    // The version choice: rebuilds the tabs and, with a file chosen, reads it again (edits
    // not applied are lost).
    void cboID3_Click();
    void cmdSelectFile_Click();
    // Shows the page of the selected tab; the argument is not read.
    void cTabControl1_TabClick(qint32 Index);
    // Writes the boxes into the file loaded last, in the chosen version(s), and says
    // "Done."; the first failure ends it with the error's description and number.
    void cmdApply_Click();
    void cmdClose_Click();

    // The genre list's item for the genre box's text, as Apply chooses it: the item of
    // exactly that name, else the genre of the file's own naming when the box still shows
    // it as loaded (kept as item 0 with that text), else the first item whose name holds the
    // text, else item 0 (no genre).
    int GenreItemFor(const QString& text) const;

    QWidget* picTitle = nullptr;
    QLabel* lblTitleMain = nullptr;
    QLabel* lblSourceFIle = nullptr;
    TextBox* sSourceFile = nullptr;
    QPushButton* cmdSelectFile = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cboID3 = nullptr;
    cTabControl* cTabControl1 = nullptr;

    QFrame* froGeneral = nullptr;
    QLabel* lblTitle = nullptr;
    TextBox* txtTitle = nullptr;
    QLabel* lblArtist = nullptr;
    TextBox* txtArtist = nullptr;
    QLabel* lblAlbum = nullptr;
    TextBox* txtAlbum = nullptr;
    QLabel* lblYear = nullptr;
    TextBox* txtYear = nullptr;
    QLabel* lblGenre = nullptr;
    QComboBox* cboGenre = nullptr;
    QLabel* lblTrackNum = nullptr;
    TextBox* txtTrackNum = nullptr;
    QLabel* lblDescription = nullptr;
    QPlainTextEdit* txtDescription = nullptr;

    QFrame* froAdvanced = nullptr;
    QLabel* lblOriginalArtist = nullptr;
    TextBox* txtOriginalArtist = nullptr;
    QLabel* lblURL = nullptr;
    TextBox* txtURL = nullptr;
    QLabel* lblEncodedBy = nullptr;
    TextBox* txtEncodedBy = nullptr;
    QLabel* lblCopyright = nullptr;
    TextBox* txtCopyright = nullptr;

    QFrame* froLyric = nullptr;
    QLabel* lblLyric = nullptr;
    QPlainTextEdit* txtLyric = nullptr;

    QPushButton* cmdApply = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void LoadTagsFromFile(const QString& path);
    void ClearBoxes();
    void ReadID3v1(const QString& path);
    void ReadID3v2(const QString& path);
    // Apply's steps; each raises the tag classes' error.
    void ChooseGenre();
    void WriteID3v1();
    void WriteID3v2();

    // The several-line boxes show every line break as "\n": what such a box got from the
    // file is kept, so that a value the user left as it was is written back unchanged.
    struct LinesValue {
        QString loaded;  // as the file holds it
        QString shown;   // as the box shows it
    };
    void SetLinesBox(QPlainTextEdit* box, LinesValue& value, const QString& text);
    static QString LinesBoxValue(const QPlainTextEdit* box, const LinesValue& value);

    cMP3ID3v1 m_cID3v1;
    cMP3ID3v2 m_cID3v2;
    bool m_bWriteID3v1 = false;
    bool m_bWriteID3v2 = false;
    bool m_bLoadID3v1 = false;
    bool m_bLoadID3v2 = false;

    // The ID3v2 genre the file names in its own words (a name outside the genre table),
    // as the genre box shows it after loading; "" when the file's genre has a code.
    QString m_sOwnGenre;
    LinesValue m_Comment;
    LinesValue m_Lyrics;
};

inline frmMP3TagsEditor* g_frmMP3TagsEditor()
{
    return Forms::Get<frmMP3TagsEditor>();
}
