// Small helpers every window uses: paths and names, folders, the destination path
// history, safe names, the name-key filter, log lines, time texts and text files.
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// The closing flag: true while the main window is closing.
inline bool g_bExitApp = false;

// The nine characters that cannot stand in a name, in the order the filter names them.
inline const QString kIllegalNameChars = QStringLiteral("/\\:?*<>\"|");

QString GetFileName(const QString& path);
QString GetFolder(const QString& path);
QString GetPathOfFile(const QString& path);
QString GetNameNoExt(const QString& name);
QString GetFileExt(const QString& name);
QString GetFileExt12(const QString& name);
bool IsFolder(const QString& path);
// Creates every missing folder of the path; 0 on success, else the error number.
int MakePath(const QString& path);
void OpenWithShell(QWidget* owner, const QString& file);
// The program's help file, beside the program.
QString HelpFilePath();

// "PathHistory" beside the program: the sixteen newest destination folders, newest first.
QString PathHistoryFile();
void SavePathHistory(QComboBox* cbo);
void LoadPathHistory(QComboBox* cbo);

QString MakeSafeName(const QString& text);
bool IsLegalFileName(const QString& name);
// Key filter of name boxes: an illegal character shows the balloon and is swallowed
// (KeyAscii becomes 0).
void ValidateNameKey(QLineEdit* txt, int& KeyAscii);
// The balloon text ValidateNameKey shows.
QString IllegalNameTipText();

// Appends "<time>:<message>" and a line break, and moves the caret to the end.
void AddLog(const QString& message, QPlainTextEdit* txt);
// The current time as the log line writes it (the locale's time format).
QString LogTimeText();

QString SecondsToTime(qint32 seconds);
qint32 TimeToSeconds(const QString& text);

// The whole text file, its lines joined by CR LF; "" when the file is missing.
QString ReadTextFile(const QString& path);
// Replaces the file with the text and one line break. False when the file could not be
// written (it is then as it was), with *error saying why.
bool WriteTextFile(const QString& text, const QString& path, QString* error = nullptr);
void FillComboFromFile(const QString& path, QComboBox* cbo);

template <class Collection>
void ClearCollection(Collection& c)
{
    const auto n = c.size();
    for (decltype(c.size()) i = 0; i < n; ++i)
        c.removeFirst();
}
