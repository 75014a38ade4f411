#pragma once

// Logs that are only ever appended to, by this program and by any other copy
// of it running at the same time: Score.txt and the per-key log beside it.

#include "FileResult.h"

#include <QByteArray>
#include <QString>

namespace tekkora {

// Appends `line` to the file at `path` in one write, so two writers never
// interleave or tear each other's lines. A file that does not exist yet is
// created, and only its creator writes `header` first (nothing when it is
// empty); a writer that finds the file there, whatever it holds, adds just
// the line. Either the whole line reaches the file or an error comes back
// and the file is left as it was; what it held before is never touched.
FileResult appendToLog(const QString &path, const QByteArray &header, const QByteArray &line);

} // namespace tekkora
