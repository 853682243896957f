// The destination box of the windows that write files (options, tool windows): choosing
// a folder for it and opening its folder.
#pragma once

#include <QString>

class QComboBox;
class QWidget;

// An editable box for a folder whose list is the path history. What is typed stays as
// typed: no completion fills in another entry of the history, and nothing typed becomes
// a list entry by itself.
QComboBox* MakeDestinationBox(QWidget* parent);

// The folder browser, starting at the box's text. The chosen folder (with a final "/")
// becomes the box's text and the newest entry of the path history; cancelled, nothing
// changes.
void BrowseForDestination(QComboBox* txtToPath, QWidget* owner);

// Opens the box's folder followed by subFolder in the desktop's file manager; the box's
// text gets a final "/" when it has none. A folder that does not exist is first offered
// to be created (and, created, put at the top of the path history); answered No, nothing
// opens.
void OpenDestinationFolder(QComboBox* txtToPath, const QString& subFolder, QWidget* owner);
