#include "KeysLogWatcher.h"

namespace tekkora {

KeysLogWatcher::KeysLogWatcher(const QString &path, QObject *parent)
    : QObject(parent), file_(path), watch_(path)
{
    connect(&watch_, &LogWatch::touched, this, &KeysLogWatcher::refresh);
}

void KeysLogWatcher::refresh()
{
    watch_.watch();
    const qint64 offsetBefore = file_.offset();
    const KeysLogFile::Update update = file_.readAppended();
    const bool news = !everReported_ || update.restarted || file_.offset() != offsetBefore
                      || update.state != lastState_ || update.error != lastError_;
    if (!news)
        return;
    everReported_ = true;
    lastState_ = update.state;
    lastError_ = update.error;
    emit changed(update);
}

} // namespace tekkora
