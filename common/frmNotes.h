// The notes window: one text box over the "Notes" file beside the program, read when the
// window opens and written back when it closes with changed text.
#pragma once

#include "platform/Forms.h"

class QPlainTextEdit;

class frmNotes : public VForm
{
    Q_OBJECT
public:
    frmNotes();
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;

    QPlainTextEdit* Text1 = nullptr;

private:
    QString m_sShownText;  // the file's text as the window showed it on opening
};

inline frmNotes* g_frmNotes()
{
    return Forms::Get<frmNotes>();
}

// The notes file beside the program.
QString NotesFile();
// The text the notes window shows for the file's contents (UTF-8, or Windows-1252 when the
// bytes are not UTF-8): every line followed by a line break, less the one break the window
// adds when it saves.
QString NotesTextFromFile(const QByteArray& contents);
