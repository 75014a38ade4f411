#pragma once

// Where the player's files are kept, beyond the file system the program
// writes them to. On the desktop that file system is the disk, and nothing
// more is needed. In the browser it is memory: the player's folder is a copy
// of the page's IndexedDB, loaded before the program starts and written
// back after every change, so that a tab closed right after a run loses
// nothing. One implementation per platform.

#include <QString>

namespace tekkora {

// The player's folder where the platform fixes it (the browser's), or empty
// where the program's folder decides (DataDirectory.h).
QString fixedDataDirectory();

// Hands the files changed so far on to lasting storage; returns at once.
void keepChangedFiles();

// False where the platform could not keep the files (a private window that
// refuses IndexedDB): they go with the page.
bool changedFilesAreKept();

// Whether the options are saved as soon as they change, and not only when
// the program closes: a page is closed or reloaded without the program
// hearing of it.
bool optionsSavedAsTheyChange();

} // namespace tekkora
