// The notes window.
#include "common/frmNotes.h"

#include "common/MainHost.h"
#include "common/mdlFunctions.h"
#include "platform/App.h"
#include "platform/MessageService.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>

QString NotesFile()
{
    return AppPath() + QStringLiteral("/Notes");
}

QString NotesTextFromFile(const QByteArray& contents)
{
    QStringList lines = DecodeText(contents).split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();  // the break after the last line
    QString text;
    for (QString& l : lines) {
        if (l.endsWith(u'\r'))
            l.chop(1);
        text += l + u'\n';
    }
    if (text.size() > 1)
        text.chop(1);
    else
        text.clear();
    return text;
}

frmNotes::frmNotes()
{
    setWindowTitle(QStringLiteral("Notes"));
    setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));
    Text1 = new QPlainTextEdit(this);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    resize(420, 300);
}

void frmNotes::Form_Load()
{
    Text1->move(0, 0);
    Form_Resize();
    const QString path = NotesFile();
    if (!QFileInfo::exists(path)) {
        QFile create(path);
        create.open(QIODevice::WriteOnly);  // a missing notes file is created empty
    }
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return;  // shown empty, and never written unless something is typed
    m_sShownText = NotesTextFromFile(f.readAll());
    Text1->setPlainText(m_sShownText);
    Text1->document()->setModified(false);
}

void frmNotes::Form_Resize()
{
    // The text box fills the window (the sizes here are the window's inside).
    if (width() > 0 && height() > 0)
        Text1->setGeometry(0, 0, width(), height());
}

void frmNotes::Form_Unload(int&)
{
    // The file is written only when the text was changed: notes that could not be read
    // are not replaced by an empty box, and a file in another encoding or with other line
    // breaks stays byte for byte as it is until it is edited.
    const QString text = Text1->toPlainText();
    QString why;
    if (text != m_sShownText && !WriteTextFile(text, NotesFile(), &why)) {
        MsgBox(QStringLiteral("The notes could not be saved to ") + NotesFile() + QStringLiteral(": ") + why
                   + QStringLiteral("."),
               vbExclamation + vbOKOnly);
    }
    if (MainHost* host = g_MainHost())
        host->SetStatusPanelText(QStringLiteral("Notes"), host->GetNotesToStatus());
}
