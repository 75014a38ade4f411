#include "BrowserPage.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrlQuery>

#include <emscripten.h>
#include <emscripten/val.h>

#include <vector>

namespace tekkora {

namespace {

// How often the site's storage is pulled in while nothing says it changed:
// a finished run shows within a second even when the drill's page cannot
// tell (a browser without BroadcastChannel, a drill of another version).
constexpr int PullIntervalMs = 400;

struct Follower {
    QPointer<QObject> context;
    std::function<void()> changed;
};

std::vector<Follower> &followers()
{
    static std::vector<Follower> list;
    return list;
}

// Copies whatever the site's storage holds now into the files the program
// reads (emscripten's IDBFS: a file another page rewrote comes in whole),
// one pull at a time; tekkora_store_pulled() follows. The drill's page says
// on the channel "tekkora" when it has written its files, so a pull starts
// at once rather than at the next look.
EM_JS(void, tekkora_pull_store, (), {
    if (!Module.tekkoraStore) {
        Module.tekkoraStore = { busy: false, again: false };
        Module.tekkoraStore.pull = function() {
            const store = Module.tekkoraStore;
            if (store.busy) {
                store.again = true;
                return;
            }
            store.busy = true;
            FS.syncfs(true, function() {
                store.busy = false;
                Module._tekkora_store_pulled();
                if (store.again) {
                    store.again = false;
                    store.pull();
                }
            });
        };
        if (typeof BroadcastChannel !== 'undefined')
            new BroadcastChannel('tekkora').onmessage = function() { Module.tekkoraStore.pull(); };
    }
    Module.tekkoraStore.pull();
});

} // namespace

} // namespace tekkora

extern "C" EMSCRIPTEN_KEEPALIVE void tekkora_store_pulled()
{
    auto &list = tekkora::followers();
    std::erase_if(list, [](const tekkora::Follower &f) { return f.context.isNull(); });
    // A copy: a follower may add another.
    const auto now = list;
    for (const tekkora::Follower &follower : now)
        follower.changed();
}

namespace tekkora {

bool pageAsks(const QString &option)
{
    const emscripten::val location = emscripten::val::global("location");
    if (location.isUndefined())
        return false;
    const QString search = QString::fromStdString(location["search"].as<std::string>());
    return QUrlQuery(search.mid(search.startsWith(QLatin1Char('?')) ? 1 : 0)).hasQueryItem(option);
}

void followStoredFiles(QObject *context, const std::function<void()> &changed)
{
    followers().push_back({context, changed});
    static QTimer *look = [] {
        auto *timer = new QTimer;
        timer->setInterval(PullIntervalMs);
        QObject::connect(timer, &QTimer::timeout, [] { tekkora_pull_store(); });
        timer->start();
        return timer;
    }();
    Q_UNUSED(look);
}

// The browser reads the file the player picks; it is kept in memory, in a
// folder of its own for each pick, for the window to read it as any log.
void pickScoreLog(QWidget *, const QString &, const std::function<void(const QString &)> &open)
{
    QFileDialog::getOpenFileContent(QStringLiteral("スコアファイル (*.txt)"),
                                    [open](const QString &name, const QByteArray &content) {
                                        if (name.isEmpty())
                                            return;
                                        static int picks = 0;
                                        const QString folder = QStringLiteral("/opened/%1").arg(++picks);
                                        QDir().mkpath(folder);
                                        QFile file(folder + QLatin1Char('/') + QFileInfo(name).fileName());
                                        if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size()) {
                                            file.close();
                                            open(file.fileName());
                                        }
                                    });
}

bool logsNeedSaving()
{
    return true;
}

void saveCopy(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        QFileDialog::saveFileContent(file.readAll(), QFileInfo(path).fileName());
}

} // namespace tekkora
