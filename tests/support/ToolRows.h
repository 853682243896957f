// Rows of a tool window's items grid as the main window hands a whole file over, the cells
// that narrow a row to a range, the splitter, the two converters and the joiner opened as
// their launch opens them, ready for such rows, and the main window's list records such
// rows come from.
#pragma once

#include <QString>

class ToolWindow;
class cGrid;

namespace ToolRows {

// Adds a row below the last for the whole of `file`: its path, the file's own name as the
// item name, "All" as its range, and `time` in the "Time" cell when one is given. Returns
// the new row's number.
qint32 Add(cGrid* grid, const QString& file, const QString& time = QString());

// Writes a small stand-in source at folder + name (its folders made; the components' fakes
// never read its bytes) and adds its row as Add does.
qint32 AddStandIn(cGrid* grid, const QString& folder, const QString& name, const QString& time = QString());

// Narrows a row to `length` from `start` (the cells the range dialog writes).
void SetRange(cGrid* grid, qint32 row, const QString& start, const QString& length);

// Opens "splitter" (on `splitSource`, in `parts` parts), "converter", "ACM converter" or
// "joiner" (into "all.[dest_extension]"); the converters name each output
// "[file_name].[dest_extension]". The window has no rows yet.
ToolWindow* OpenItemsTool(const QString& tool, const QString& splitSource = QString(), int parts = 2);

// Sets the window to write WAV into `dest`: the target format "WAV", or for the ACM converter
// the codec "PCM" (chosen as the user does) in `pcmFormat` ("8000 Hz, 16 Bit, Mono"). False
// when that is not offered.
bool WriteWav(ToolWindow* w, const QString& dest, const QString& pcmFormat);

// One record of a main-window list file (one line): `file`, named as the file is, marked
// or not, with `cells` after its path (the whole file as its range when empty).
QString ListRecord(const QString& file, bool marked = true, const QString& cells = QString());

} // namespace ToolRows
