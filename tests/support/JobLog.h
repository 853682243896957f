// Reading what an items job did: the lines of a tool window's log without the time in
// front of each, and the output files a fake component was started on.
#pragma once

#include "tests/support/FakeAudioComponents.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStringList>

inline QStringList JobLogLines(const QPlainTextEdit* txtLog)
{
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:"));
    QStringList out = txtLog->toPlainText().split(u'\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    for (QString& line : out)
        line.remove(time);
    return out;
}

inline QStringList StartedOutputs(const FakeAudioConverter* component)
{
    QStringList out;
    for (const FakeJobRecord& r : component->started)
        out << r.output;
    return out;
}
