// The player's files (Score.txt, Keys.jsonl, tekora.ini) live in /tekkora,
// an in-memory folder copied from IndexedDB before main() runs, so the
// settings are read from what the last visit left; the program copies it
// back after every write (FileStorageWeb.cpp). Where the browser refuses
// IndexedDB (some private windows), the folder stays in memory alone and
// the program is told so through Module.tekkoraFilesKept.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  var folder = '/tekkora';
  FS.mkdir(folder);
  Module.tekkoraFilesKept = false;
  var opened = false;
  var loaded = function (error) {
    if (opened)
      return;
    opened = true;
    Module.tekkoraFilesKept = !error;
    if (error)
      console.warn('Tekkora!: the browser keeps no files here: ' + error);
    removeRunDependency('tekkora-files');
  };
  addRunDependency('tekkora-files');
  try {
    // Opening the database throws at once, or fails later, where it is
    // refused; a browser that answers neither way is not waited for long.
    FS.mount(IDBFS, {}, folder);
    FS.syncfs(true, loaded);
    setTimeout(function () { loaded('no answer from IndexedDB'); }, 5000);
  } catch (e) {
    loaded(e);
  }
  // Ask the browser not to clear the files when it runs short of space.
  if (typeof navigator !== 'undefined' && navigator.storage && navigator.storage.persist)
    navigator.storage.persist().catch(function () {});
});
