// Running the command-line audio tools (sox, lame, ffmpeg) that make fixtures in formats
// our own code should not be the only writer of.
#pragma once

#include <QString>
#include <QStringList>

namespace ExternalTools {

// Runs the program with its arguments (no shell) and waits up to a minute; false with
// the reason in *error when it is missing, fails or writes nothing to `output`.
bool Run(const QString& program, const QStringList& arguments, const QString& output, QString* error = nullptr);

// Runs the program likewise and returns what it wrote to its standard output; "" with the
// reason in *error when it is missing or fails.
QString Output(const QString& program, const QStringList& arguments, QString* error = nullptr);

}  // namespace ExternalTools
