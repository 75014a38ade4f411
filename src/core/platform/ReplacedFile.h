#pragma once

// A small file rewritten whole, such as the settings file: the new contents
// replace the old atomically and reach the disk before the replacement
// counts, so a crash or a power cut leaves either the old file or the new
// one, never a mixture or a cut file. The system's own calls on each
// platform.

#include "FileResult.h"

#include <string_view>

namespace tekkora {

// Writes the contents into a temporary file beside the target, flushes it
// to the disk and puts it in the target's place in one step. On any failure
// the temporary file goes and the target stays as it was.
FileResult replaceFileContents(const QString &path, std::string_view contents);

} // namespace tekkora
