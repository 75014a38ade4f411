#include "FileStorage.h"

// The file system is the disk: what is written is kept.

namespace tekkora {

QString fixedDataDirectory()
{
    return {};
}

void keepChangedFiles() {}

bool optionsSavedAsTheyChange()
{
    return false;
}

bool changedFilesAreKept()
{
    return true;
}

} // namespace tekkora
