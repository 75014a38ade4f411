#pragma once

// A strict reader of one JSON text (RFC 8259) in UTF-8, read in place from
// left to right: whatever it is asked for is checked as it goes, and any
// value can be skipped whole. Text that is not JSON (bad syntax, invalid
// UTF-8, a lone surrogate escape, nesting deeper than MaxDepth) sets
// failed() and every call after it fails too. Each byte is looked at a
// bounded number of times, so reading is linear in the text.

#include <QByteArrayView>

#include <string>
#include <string_view>

namespace tekkora {

class JsonCursor {
public:
    // Deeper nesting is refused rather than followed: no line this program
    // reads needs more, and a hostile one must not exhaust the stack.
    static constexpr int MaxDepth = 64;

    explicit JsonCursor(QByteArrayView text) : at_(text.data()), end_(text.data() + text.size()) {}

    bool failed() const { return failed_; }

    // The next character after any blanks, without taking it; 0 at the end.
    char peek();
    // Only blanks left.
    bool atEnd() { return peek() == 0 && !failed_; }

    // Object and array members, in a loop:
    //   if (cursor.enterObject()) for (bool first = true; cursor.nextMember(key, first); first = false) ...
    // The member's value must be read or skipped before the next call. The
    // loop ends at the closing bracket or at a syntax error (see failed()).
    bool enterObject() { return take('{'); }
    bool nextMember(std::string &key, bool first);
    bool enterArray() { return take('['); }
    bool nextElement(bool first);

    // A string, decoded to UTF-8 in `out`.
    bool readString(std::string &out);
    // A number's text, checked against the grammar.
    bool readNumber(std::string_view &text);
    // true or false.
    bool readBool(bool &value);
    bool skipValue() { return skipValue(0); }

    // Where the cursor stands, to read a value again from its start.
    const char *position() const { return at_; }
    void rewind(const char *position) { at_ = position; }

private:
    bool fail();
    bool take(char c);
    bool literal(std::string_view word);
    bool skipValue(int depth);
    bool readHex4(unsigned &value);
    void appendUtf8(std::string &out, unsigned codePoint);
    bool copyUtf8Sequence(std::string &out);

    const char *at_;
    const char *end_;
    bool failed_ = false;
};

} // namespace tekkora
