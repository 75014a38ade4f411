#include "KeysLogFile.h"

namespace tekkora {

KeysLogFile::KeysLogFile(QString path) : file_(std::move(path)) {}

KeysLogFile::Update KeysLogFile::readAppended(qint64 chunkBytes)
{
    Update update;
    update.firstNewRun = runs_.runs.size();
    const auto startOver = [&]() {
        update.restarted =
            update.restarted || file_.offset() > 0 || reader_.skipped().count() > 0 || !runs_.runs.empty();
        reader_.reset();
        runs_.clear();
        update.firstNewRun = 0;
    };
    const FollowedFile::Result read =
        file_.readAppended(startOver, [&](const QByteArray &slice) { reader_.feed(slice, runs_); }, chunkBytes);
    update.state = read.state;
    update.error = read.error;
    return update;
}

} // namespace tekkora
