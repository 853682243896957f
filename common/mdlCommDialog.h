// The standard dialogs every window asks for: folder browser, open (several files), save
// and colour. Callers describe an open or save request in g_OFN the system's way (pairs
// of description and pattern separated by NUL characters); the module turns it into the
// dialog service's request and the answer into a small result record.
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// The shared open/save request. Callers set the filter, the title and, for a save, the
// default extension; the other fields are the module's and keep what the last call left.
struct OPENFILENAME {
    QString lpstrFilter;      // "Wave (*.wav)\0*.wav\0All\0*.*\0"; patterns split by ';'
    QString lpstrTitle;
    QString lpstrDefExt;      // without the dot
    QString lpstrInitialDir;  // ShowOpen: the remembered file the dialog starts at
    QString lpstrFile;        // the last chosen path
};
inline OPENFILENAME g_OFN;

struct FileDialogResult {
    // The number of chosen files; 0 when cancelled.
    qint32 FileCount = 0;
    // Counted from 1: FileNames[1] .. FileNames[FileCount] are the chosen names (ShowOpen:
    // file names without folder, or for files from several folders their paths below
    // FolderName; ShowSave: the full path). FileNames[0] is the full path when one file
    // was chosen, the folder when several were. Empty when cancelled.
    QStringList FileNames;
    // The folder of the chosen files (ShowOpen: the one holding them all), ShowOpen
    // without a final "/" (but the root "/"), ShowSave with it.
    QString FolderName;
    bool Cancelled = true;
};

struct ColorDialogResult {
    qint32 Color = -1;  // 0x00BBGGRR; -1 when cancelled
    bool Cancelled = true;
};

// The application name the open dialog's last file is stored under, section "path",
// key "last_path", in the per-user settings store.
inline const QString kCommDialogAppName = QStringLiteral("Velmaro");

// The chosen folder; "" when cancelled. The status line, root and style switches have no
// counterpart in the desktop's folder dialog and are accepted for the callers' sake.
QString BrowseForFolder(const QString& Prompt, const QString& InitialFolder, QWidget* Owner, bool StatusLine,
                        const QString& RootFolder = QString(), bool NewDialogStyle = true, bool ShowFiles = false);
// The open dialog over g_OFN, with several files allowed; it starts at the last file
// chosen alone (or the home folder) and remembers a file chosen alone.
FileDialogResult ShowOpen(QWidget* Owner, bool CenterOnOwner);
// The save dialog over g_OFN; it asks before overwriting and starts in the folder of
// g_OFN.lpstrInitialDir with the proposed name.
FileDialogResult ShowSave(QWidget* Owner, const QString& InitialName, bool CenterOnOwner);
// The colour dialog, opening on white; the custom colours the user leaves are offered
// again until the program ends.
ColorDialogResult ShowColor(QWidget* Owner, bool CenterOnOwner);

// A NUL-separated filter in Qt's form: "Wave (*.wav);;All (*)". "*.*" becomes "*".
QString QtFilterFromOfn(const QString& filter);
// The sixteen custom colours the colour dialog starts with.
QList<QColor> InitialCustomColours();
// The custom colours as the colour dialog will offer them next.
QList<QColor>& CustomColours();
