#include "KeysLogTail.h"

#include "platform/ReadableFile.h"

#include <algorithm>
#include <string_view>

namespace tekkora {

namespace {
constexpr qint64 ChunkBytes = 256 * 1024;
} // namespace

void KeysLogTail::feedBefore(QByteArrayView bytes)
{
    std::string_view text(bytes.data(), std::size_t(bytes.size()));
    if (!sawLineEnd_) {
        const std::size_t lastEnd = text.rfind('\n');
        if (lastEnd == std::string_view::npos)
            return; // all of the unfinished last line
        sawLineEnd_ = true;
        text = text.substr(0, lastEnd);
    }
    std::size_t end = text.rfind('\n');
    if (end == std::string_view::npos) {
        keep(text);
        return;
    }
    keep(text.substr(end + 1));
    finishPending();
    while (end > 0 && !full()) {
        const std::size_t lineEnd = text.rfind('\n', end - 1);
        if (lineEnd == std::string_view::npos)
            break;
        readLine(QByteArrayView(text.data() + lineEnd + 1, qsizetype(end - lineEnd - 1)));
        end = lineEnd;
    }
    if (!full())
        keep(text.substr(0, end));
}

void KeysLogTail::finish()
{
    if (sawLineEnd_)
        finishPending();
}

void KeysLogTail::keep(std::string_view part)
{
    if (overlong_)
        return;
    if (pending_.size() + part.size() > maxLineBytes_) {
        // Kept no longer: the line is passed over when its start arrives.
        overlong_ = true;
        pending_ = std::string();
        return;
    }
    pending_.append(part.rbegin(), part.rend());
}

void KeysLogTail::finishPending()
{
    if (!overlong_ && !full()) {
        line_.assign(pending_.rbegin(), pending_.rend());
        readLine(QByteArrayView(line_.data(), qsizetype(line_.size())));
    }
    pending_.clear();
    overlong_ = false;
}

void KeysLogTail::readLine(QByteArrayView line)
{
    // Only a line whose first "set" names this set can be one of its runs;
    // any other is passed over after its first few members.
    if (KeysLogReader::namedCharSet(line, scratch_) == charSet_)
        KeysLogReader::readLine(line, runs_, scratch_);
}

KeysRuns readLastKeysRuns(const QString &path, std::uint8_t charSet, std::size_t count)
{
    KeysLogTail tail(charSet, count);
    ReadableFile file;
    ReadableFile::Facts facts;
    if (file.open(path) != ReadableFile::Opened::Yes || !file.facts(facts) || !facts.regular)
        return {};
    qint64 at = facts.size;
    QByteArray bytes;
    while (at > 0 && !tail.full()) {
        const qint64 from = std::max<qint64>(0, at - ChunkBytes);
        if (!file.readAt(from, at - from, bytes) || bytes.size() != at - from)
            return tail.runs();
        tail.feedBefore(bytes);
        at = from;
    }
    if (at == 0)
        tail.finish();
    return tail.runs();
}

} // namespace tekkora
