#pragma once

// The lines of a log whose bytes arrive in pieces of any size: each line is
// handed on once its LF has arrived, without the LF, straight from the
// piece when it lies whole in it, else from a copy kept meanwhile. A line
// longer than the limit is not kept: it is reported as too long when it
// ends. Linear in the bytes fed, whatever they are.

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>

namespace tekkora {

class LineSplitter {
public:
    explicit LineSplitter(qsizetype maxLineBytes) : maxLineBytes_(maxLineBytes) {}

    // Calls line(QByteArrayView) for each line the bytes complete, or
    // tooLong() for one past the limit; lines() is then that line's number.
    template <typename Line, typename TooLong>
    void feed(QByteArrayView bytes, Line &&line, TooLong &&tooLong)
    {
        while (!bytes.isEmpty()) {
            const auto *newline =
                static_cast<const char *>(std::memchr(bytes.data(), '\n', std::size_t(bytes.size())));
            const qsizetype piece = newline != nullptr ? qsizetype(newline - bytes.data()) : bytes.size();
            if (!overlong_ && partial_.size() + piece > maxLineBytes_) {
                overlong_ = true;
                partial_.clear();
                partial_.squeeze();
            }
            if (newline == nullptr) {
                if (!overlong_)
                    partial_.append(bytes);
                return;
            }
            ++lines_;
            if (overlong_) {
                tooLong();
            } else if (partial_.isEmpty()) {
                line(bytes.first(piece)); // the usual case: no copy
            } else {
                partial_.append(bytes.first(piece));
                line(QByteArrayView(partial_));
            }
            overlong_ = false;
            partial_.clear();
            bytes = bytes.sliced(piece + 1);
        }
    }

    // Lines completed so far.
    qint64 lines() const { return lines_; }
    // Some of a line has arrived without its LF.
    bool waiting() const { return overlong_ || !partial_.isEmpty(); }
    // That line has grown past the limit already.
    bool overlong() const { return overlong_; }
    // What has arrived of it, when it is not too long.
    QByteArrayView unfinished() const { return partial_; }

    void reset()
    {
        partial_.clear();
        partial_.squeeze();
        overlong_ = false;
        lines_ = 0;
    }

private:
    const qsizetype maxLineBytes_;
    QByteArray partial_;
    bool overlong_ = false;
    qint64 lines_ = 0;
};

} // namespace tekkora
