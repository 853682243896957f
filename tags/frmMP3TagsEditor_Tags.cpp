// The MP3 tags editor's work on the file: reading the chosen version(s) into the boxes,
// and Apply, which writes the boxes back and reports the tag classes' errors.
#include "tags/frmMP3TagsEditor.h"

#include "common/mdlModes.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "tags/id3/Id3Error.h"

#include <QComboBox>
#include <QPlainTextEdit>

void frmMP3TagsEditor::SetLinesBox(QPlainTextEdit* box, LinesValue& value, const QString& text)
{
    box->setPlainText(text);
    value.loaded = text;
    value.shown = box->toPlainText();
}

QString frmMP3TagsEditor::LinesBoxValue(const QPlainTextEdit* box, const LinesValue& value)
{
    const QString shown = box->toPlainText();
    return shown == value.shown ? value.loaded : shown;
}

void frmMP3TagsEditor::ClearBoxes()
{
    txtArtist->clear();
    txtTitle->clear();
    txtAlbum->clear();
    cboGenre->setCurrentIndex(0);
    cboGenre->setEditText(QString());
    txtYear->clear();
    SetLinesBox(txtDescription, m_Comment, QString());
    txtTrackNum->clear();
    txtOriginalArtist->clear();
    SetLinesBox(txtLyric, m_Lyrics, QString());
    txtCopyright->clear();
    txtEncodedBy->clear();
    txtURL->clear();
}

void frmMP3TagsEditor::LoadTagsFromFile(const QString& path)
{
    ClearBoxes();
    m_sOwnGenre.clear();
    if (m_bLoadID3v1)
        ReadID3v1(path);
    if (m_bLoadID3v2)
        ReadID3v2(path);
}

void frmMP3TagsEditor::ReadID3v1(const QString& path)
{
    // A file that cannot be read leaves the object with empty values, and the boxes so.
    try {
        m_cID3v1.SetMP3File(path);
    } catch (const Id3Error&) {
    }
    txtArtist->setText(m_cID3v1.Artist());
    txtTitle->setText(m_cID3v1.Title());
    txtAlbum->setText(m_cID3v1.Album());
    const QString genre = cMP3ID3v1::GenreName(m_cID3v1.Genre());
    if (!genre.isEmpty())
        cboGenre->setEditText(genre);
    else
        cboGenre->setCurrentIndex(0);
    txtYear->setText(m_cID3v1.Year());
    SetLinesBox(txtDescription, m_Comment, m_cID3v1.Comment());
}

void frmMP3TagsEditor::ReadID3v2(const QString& path)
{
    // Every value the tag holds replaces what version 1 put into its box; a file that
    // cannot be read leaves the boxes as they are.
    try {
        m_cID3v2.SetMP3File(path);
    } catch (const Id3Error&) {
    }
    const auto put = [](TextBox* box, const QString& value) {
        if (!value.isEmpty())
            box->setText(value);
    };
    put(txtArtist, m_cID3v2.Artist());
    put(txtTitle, m_cID3v2.Title());
    put(txtAlbum, m_cID3v2.Album());
    // A genre the tag names outside the genre table is shown in the tag's own words.
    QString genre = cMP3ID3v2::GenreName(m_cID3v2.Genre());
    if (genre.isEmpty()) {
        genre = m_cID3v2.OtherGenreName();
        m_sOwnGenre = genre;
    }
    if (!genre.isEmpty())
        cboGenre->setEditText(genre);
    put(txtYear, m_cID3v2.Year());
    if (!m_cID3v2.Comment().isEmpty())
        SetLinesBox(txtDescription, m_Comment, m_cID3v2.Comment());
    put(txtTrackNum, m_cID3v2.Track());
    put(txtOriginalArtist, m_cID3v2.OriginalArtist());
    if (!m_cID3v2.Lyrics().isEmpty())
        SetLinesBox(txtLyric, m_Lyrics, m_cID3v2.Lyrics());
    put(txtCopyright, m_cID3v2.Copyright());
    put(txtEncodedBy, m_cID3v2.EncodedBy());
    put(txtURL, m_cID3v2.LinkTo());
}

int frmMP3TagsEditor::GenreItemFor(const QString& text) const
{
    if (text.isEmpty())
        return 0;
    // The exact name first: a genre loaded and left alone keeps its code even when an
    // earlier name holds it ("Rock" inside "Classic Rock").
    const int exact = cboGenre->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (exact >= 0)
        return exact;
    if (text == m_sOwnGenre)
        return 0;
    // Then a part of a name: "Jaz" chooses "Jazz".
    for (int i = 0; i < cboGenre->count(); ++i)
        if (cboGenre->itemText(i).contains(text, Qt::CaseSensitive))
            return i;
    return 0;
}

void frmMP3TagsEditor::ChooseGenre()
{
    const QString text = cboGenre->currentText();
    const int item = GenreItemFor(text);
    cboGenre->setCurrentIndex(item);
    // Choosing an item shows its name; the tag's own genre name stays beside the empty item.
    const bool ownGenre = item == 0 && !text.isEmpty() && text == m_sOwnGenre;
    cboGenre->setEditText(ownGenre ? text : cboGenre->itemText(item));
}

void frmMP3TagsEditor::WriteID3v1()
{
    m_cID3v1.SetArtist(txtArtist->text());
    m_cID3v1.SetTitle(txtTitle->text());
    m_cID3v1.SetAlbum(txtAlbum->text());
    m_cID3v1.SetYear(txtYear->text());
    m_cID3v1.SetComment(LinesBoxValue(txtDescription, m_Comment));
    m_cID3v1.SetGenre(quint8(cboGenre->itemData(cboGenre->currentIndex()).toInt()));
    m_cID3v1.Update();
}

void frmMP3TagsEditor::WriteID3v2()
{
    m_cID3v2.SetArtist(txtArtist->text());
    m_cID3v2.SetTitle(txtTitle->text());
    m_cID3v2.SetAlbum(txtAlbum->text());
    m_cID3v2.SetYear(txtYear->text());
    m_cID3v2.SetComment(LinesBoxValue(txtDescription, m_Comment));
    if (cboGenre->currentIndex() >= 0)
        m_cID3v2.SetGenre(quint8(cboGenre->itemData(cboGenre->currentIndex()).toInt()));
    m_cID3v2.SetOtherGenreName(cboGenre->currentText());
    m_cID3v2.SetTrack(txtTrackNum->text());
    m_cID3v2.SetOriginalArtist(txtOriginalArtist->text());
    m_cID3v2.SetCopyright(txtCopyright->text());
    m_cID3v2.SetEncodedBy(txtEncodedBy->text());
    m_cID3v2.SetLinkTo(txtURL->text());
    m_cID3v2.SetLyrics(LinesBoxValue(txtLyric, m_Lyrics));
    m_cID3v2.Update();
}

void frmMP3TagsEditor::cmdApply_Click()
{
    // The file loaded last is written, version 1 first; the first failure ends Apply, so
    // after a version 1 failure version 2 stays as it was.
    try {
        ChooseGenre();
        if (m_bWriteID3v1)
            WriteID3v1();
        if (m_bWriteID3v2)
            WriteID3v2();
    } catch (const Id3Error& e) {
        MsgBox(e.Description() + u'(' + QString::number(e.Number()) + u')', vbInformation + vbOKOnly, DisplayName());
        return;
    }
    MsgBox(QStringLiteral("Done."), vbInformation + vbOKOnly, DisplayName());
}
