#include "FileStorage.h"

#include <emscripten.h>

// The folder /tekkora is IDBFS, mounted and loaded from IndexedDB before
// main() by the page's start-up code (site/storage.js), which also says
// whether the browser let it. Writing back is asynchronous: one copy runs at
// a time, and changes made while it runs are taken by one more copy after it.

// clang-format off
EM_JS(void, tekkora_keep_changed_files, (), {
    if (!Module.tekkoraFilesKept)
        return;
    const sync = Module.tekkoraSync || (Module.tekkoraSync = {running: false, again: false});
    if (sync.running) {
        sync.again = true;
        return;
    }
    const run = () => {
        sync.running = true;
        sync.again = false;
        FS.syncfs(false, (error) => {
            if (error)
                console.warn("Tekkora!: the files could not be kept: " + error);
            sync.running = false;
            if (sync.again)
                run();
            else if (Module.tekkoraFilesSynced)
                Module.tekkoraFilesSynced();
        });
    };
    run();
});

EM_JS(int, tekkora_files_kept, (), {
    return Module.tekkoraFilesKept ? 1 : 0;
});
// clang-format on

namespace tekkora {

QString fixedDataDirectory()
{
    return QStringLiteral("/tekkora");
}

void keepChangedFiles()
{
    tekkora_keep_changed_files();
}

bool optionsSavedAsTheyChange()
{
    return true;
}

bool changedFilesAreKept()
{
    return tekkora_files_kept() != 0;
}

} // namespace tekkora
