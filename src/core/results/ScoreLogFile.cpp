#include "ScoreLogFile.h"

namespace tekkora {

ScoreLogFile::ScoreLogFile(QString path) : file_(std::move(path)) {}

ScoreLogFile::Update ScoreLogFile::readAppended(const ScoreLogReader::RecordSink &sink, qint64 chunkBytes)
{
    Update update;
    const auto startOver = [&]() {
        update.restarted = update.restarted || file_.offset() > 0 || reader_.skippedLines() > 0;
        reader_.reset();
    };
    const FollowedFile::Result read =
        file_.readAppended(startOver, [&](const QByteArray &slice) { reader_.feed(slice, sink); }, chunkBytes);
    update.state = read.state;
    update.error = read.error;
    return update;
}

} // namespace tekkora
