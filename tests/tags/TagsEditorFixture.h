// Shared by the tags editor's tests: the editor opened in a temporary program folder,
// driven as the user drives it (file dialog, version list, Apply), and MP3 files built
// byte by byte with the tags the tests need.
#pragma once

#include "Id3Fixtures.h"

#include "common/mdlModes.h"
#include "platform/Controls.h"
#include "tags/frmMP3TagsEditor.h"
#include "tests/support/TestPlatform.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTest>

namespace TagsEditorTest {

using namespace Id3Fixtures;

enum Version { V1 = 0, V2 = 1, V1V2 = 2 };

// The audio every built file holds, between its tags.
inline QByteArray Music()
{
    return Audio(3000, 11);
}

// An ID3v1 block: "TAG", the fields blank-padded, a zero byte, track and genre.
inline QByteArray V1Block(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                          const QByteArray& year, const QByteArray& comment, quint8 track, quint8 genre)
{
    const auto field = [](const QByteArray& text, int width) { return text.leftJustified(width, ' ', true); };
    return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) + field(comment, 28) +
           char(0) + char(track) + char(genre);
}

// Frame data of a comment or lyrics frame: Latin-1, English, no description.
inline QByteArray Described(const QByteArray& text)
{
    return QByteArray(1, '\0') + "eng" + QByteArray(1, '\0') + text;
}

// Frame data of a user link without description.
inline QByteArray UserLink(const QByteArray& url)
{
    return QByteArray(1, '\0') + QByteArray(1, '\0') + url;
}

// A version 2.3 tag of the frames given as id and data, with some padding.
inline QByteArray V2Tag(const QList<QPair<QByteArray, QByteArray>>& frames)
{
    QByteArray body;
    for (const auto& [id, data] : frames)
        body += Frame(3, id, data);
    return Tag(3, body, 64);
}

// A file with both tags: version 1 names everything of the General page, version 2 all
// but the artist.
inline QString BothTagsFile(const QString& path)
{
    const QByteArray v2 = V2Tag({{"TIT2", Utf16Text(QStringLiteral("V2 Title ☺"))},
                                 {"TALB", Latin1Text("V2 Album")},
                                 {"TYER", Latin1Text("2005")},
                                 {"TCON", Latin1Text("(17)")},
                                 {"TRCK", Latin1Text("7/9")},
                                 {"COMM", Described("V2 comment")},
                                 {"TOPE", Latin1Text("Original")},
                                 {"WXXX", UserLink("http://example.org/")},
                                 {"TENC", Latin1Text("Encoder")},
                                 {"TCOP", Latin1Text("2005 Someone")},
                                 {"USLT", Described("Line 1\nLine 2")}});
    Make(path, v2 + Music() + V1Block("V1 Title", "V1 Artist", "V1 Album", "1999", "V1 comment", 4, 8));
    return path;
}

// The editor as the main window opens it, with its message boxes and file dialog faked.
class Editor
{
public:
    Editor()
    {
        InitProductProfile();
        w = g_frmMP3TagsEditor();
    }

    // Chooses the file in the open dialog.
    void choose(const QString& file)
    {
        platform.dialogs().openAnswers.enqueue({file});
        w->cmdSelectFile_Click();
    }
    // Chooses an entry of the version list, as the user does.
    void version(int index)
    {
        w->cboID3->setCurrentIndex(index);
        emit w->cboID3->activated(index);
    }
    // Clicks Apply and returns the text of the box it showed.
    QString apply()
    {
        platform.messages().answers.enqueue(vbOK);
        const qsizetype before = platform.messages().shown.size();
        w->cmdApply_Click();
        if (platform.messages().shown.size() != before + 1)
            return QStringLiteral("<no box>");
        const FakeMessageService::Box& box = platform.messages().shown.last();
        if (box.buttons != vbInformation + vbOKOnly || box.title != DisplayName())
            return QStringLiteral("<box of the wrong kind>");
        return box.prompt;
    }

    // The boxes in the order title, artist, album, year, genre, track, comment, original
    // artist, URL, encoded by, copyright, lyrics.
    QStringList boxes() const
    {
        return {w->txtTitle->text(),          w->txtArtist->text(),      w->txtAlbum->text(),
                w->txtYear->text(),           w->cboGenre->currentText(), w->txtTrackNum->text(),
                w->txtDescription->toPlainText(), w->txtOriginalArtist->text(), w->txtURL->text(),
                w->txtEncodedBy->text(),      w->txtCopyright->text(),   w->txtLyric->toPlainText()};
    }

    TestPlatform platform;
    frmMP3TagsEditor* w = nullptr;
};

} // namespace TagsEditorTest
