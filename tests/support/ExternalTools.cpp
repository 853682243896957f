// Fixture making with the command-line audio tools.
#include "tests/support/ExternalTools.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace ExternalTools {

namespace {

// Runs the program and waits up to a minute; false with why when it is missing or fails.
// With `merged`, what it says on both channels is read as one.
bool runProgram(QProcess& p, const QString& program, const QStringList& arguments, bool merged, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (QStandardPaths::findExecutable(program).isEmpty())
        return fail(program + QStringLiteral(" is not installed"));
    if (merged)
        p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return fail(program + QStringLiteral(" did not finish"));
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return fail(program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(merged ? p.readAll() : p.readAllStandardError()));
    return true;
}

}  // namespace

bool Run(const QString& program, const QStringList& arguments, const QString& output, QString* error)
{
    QProcess p;
    if (!runProgram(p, program, arguments, true, error))
        return false;
    if (QFileInfo(output).size() <= 0) {
        if (error)
            *error = program + QStringLiteral(" wrote nothing to ") + output;
        return false;
    }
    return true;
}

QString Output(const QString& program, const QStringList& arguments, QString* error)
{
    QProcess p;
    if (!runProgram(p, program, arguments, false, error))
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

}  // namespace ExternalTools
