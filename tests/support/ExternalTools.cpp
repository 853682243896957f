// Fixture making with the command-line audio tools.
#include "tests/support/ExternalTools.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace ExternalTools {

bool Run(const QString& program, const QStringList& arguments, const QString& output, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (QStandardPaths::findExecutable(program).isEmpty())
        return fail(program + QStringLiteral(" is not installed"));
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return fail(program + QStringLiteral(" did not finish"));
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return fail(program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAll()));
    if (QFileInfo(output).size() <= 0)
        return fail(program + QStringLiteral(" wrote nothing to ") + output);
    return true;
}

}  // namespace ExternalTools
