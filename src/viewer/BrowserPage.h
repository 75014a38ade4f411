#pragma once

// What the score window does differently inside a web page. On a desktop the
// drill's logs are files on the player's disk: the window follows them by the
// file system's notifications, opens another by its path, and takes its
// options from the command line. In a browser they live in the site's own
// storage, which another page (the drill's) writes: the window pulls that
// storage in again to see a finished run, hands the logs to the player as
// downloads, reads a log the player picks into memory, and takes its options
// from the page's address (score.html?report). BrowserPageWeb.cpp does that;
// BrowserPageNone.cpp keeps the desktop's ways.

#include <QString>

#include <functional>

class QObject;
class QWidget;

namespace tekkora {

// Whether the page's address names the option (?report, ?report&trace);
// never outside a browser.
bool pageAsks(const QString &option);

// Calls `changed` whenever the stored files may have changed behind the
// program's back (another page of the site wrote them), for as long as
// `context` lives; never where the file system tells that itself.
void followStoredFiles(QObject *context, const std::function<void()> &changed);

// Lets the player pick a score log and calls `open` with a path the window
// can read it at; `current` is where the dialog starts.
void pickScoreLog(QWidget *parent, const QString &current, const std::function<void(const QString &)> &open);

// Whether the logs are kept where the player cannot reach them, so that the
// window offers to save copies of them.
bool logsNeedSaving();

// Hands the file at `path` to the player as it is, byte for byte, under its
// own name (a download); a file that does not exist hands nothing.
void saveCopy(const QString &path);

} // namespace tekkora
