#pragma once

#include <QString>

namespace tekkora {

// The directory of the program's executable.
QString programDirectory();

// Whether this user may create files in the directory, decided from its
// permissions and its file system, without writing anything there.
bool canCreateFilesIn(const QString &directory);

// Where Score.txt and tekora.ini live: the program's directory, so a portable
// folder keeps its files beside the program; when that directory cannot be
// written (an installed copy under /usr or Program Files, say), the
// per-user data directory (~/.local/share/Tekkora, %APPDATA%\Tekkora),
// created when missing. Decided once at start-up so every reader and writer
// agrees.
QString chooseDataDirectory(const QString &programDir, const QString &perUserDir);

// chooseDataDirectory() with the real program directory and the platform's
// per-user application data directory.
QString resolveDataDirectory();

// A file name inside a directory, joined with exactly one separator.
QString fileInDirectory(const QString &directory, const QString &fileName);

} // namespace tekkora
