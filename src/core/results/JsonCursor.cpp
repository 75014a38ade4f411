#include "JsonCursor.h"

namespace tekkora {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool JsonCursor::fail()
{
    failed_ = true;
    at_ = end_;
    return false;
}

char JsonCursor::peek()
{
    while (at_ != end_ && isBlank(*at_))
        ++at_;
    return at_ == end_ ? 0 : *at_;
}

bool JsonCursor::take(char c)
{
    if (failed_ || peek() != c)
        return fail();
    ++at_;
    return true;
}

bool JsonCursor::literal(std::string_view word)
{
    if (std::string_view(at_, std::size_t(end_ - at_)).substr(0, word.size()) != word)
        return fail();
    at_ += word.size();
    return true;
}

bool JsonCursor::nextMember(std::string &key, bool first)
{
    if (failed_)
        return false;
    if (peek() == '}') {
        ++at_;
        return false;
    }
    if (!first && !take(','))
        return false;
    return readString(key) && take(':');
}

bool JsonCursor::nextElement(bool first)
{
    if (failed_)
        return false;
    if (peek() == ']') {
        ++at_;
        return false;
    }
    return first || take(',');
}

bool JsonCursor::readHex4(unsigned &value)
{
    if (end_ - at_ < 4)
        return fail();
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = *at_++;
        value <<= 4;
        if (isDigit(c))
            value |= unsigned(c - '0');
        else if (c >= 'a' && c <= 'f')
            value |= unsigned(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            value |= unsigned(c - 'A' + 10);
        else
            return fail();
    }
    return true;
}

void JsonCursor::appendUtf8(std::string &out, unsigned codePoint)
{
    if (codePoint < 0x80) {
        out += char(codePoint);
    } else if (codePoint < 0x800) {
        out += char(0xC0 | (codePoint >> 6));
        out += char(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += char(0xE0 | (codePoint >> 12));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    } else {
        out += char(0xF0 | (codePoint >> 18));
        out += char(0x80 | ((codePoint >> 12) & 0x3F));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    }
}

// One multi-byte character as UTF-8 allows it: no overlong form, no
// surrogate, nothing past U+10FFFF.
bool JsonCursor::copyUtf8Sequence(std::string &out)
{
    const auto lead = static_cast<unsigned char>(*at_);
    int length = 0;
    unsigned codePoint = 0;
    unsigned least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, least = 0x10000;
    } else {
        return fail();
    }
    if (end_ - at_ < length)
        return fail();
    for (int i = 1; i < length; ++i) {
        const auto trail = static_cast<unsigned char>(at_[i]);
        if ((trail & 0xC0) != 0x80)
            return fail();
        codePoint = (codePoint << 6) | (trail & 0x3F);
    }
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return fail();
    out.append(at_, std::size_t(length));
    at_ += length;
    return true;
}

bool JsonCursor::readString(std::string &out)
{
    out.clear();
    if (!take('"'))
        return false;
    for (;;) {
        // The plain run up to the next quote, escape, control or non-ASCII byte.
        const char *plain = at_;
        while (at_ != end_ && static_cast<unsigned char>(*at_) >= 0x20 && static_cast<unsigned char>(*at_) < 0x80
               && *at_ != '"' && *at_ != '\\')
            ++at_;
        out.append(plain, std::size_t(at_ - plain));
        if (at_ == end_)
            return fail();
        const char c = *at_;
        if (c == '"') {
            ++at_;
            return true;
        }
        if (static_cast<unsigned char>(c) < 0x20)
            return fail();
        if (c != '\\') {
            if (!copyUtf8Sequence(out))
                return false;
            continue;
        }
        if (++at_ == end_)
            return fail();
        switch (*at_++) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
            unsigned unit = 0;
            if (!readHex4(unit))
                return false;
            if (unit >= 0xDC00 && unit <= 0xDFFF)
                return fail(); // a low surrogate alone
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                unsigned low = 0;
                if (end_ - at_ < 2 || at_[0] != '\\' || at_[1] != 'u')
                    return fail();
                at_ += 2;
                if (!readHex4(low))
                    return false;
                if (low < 0xDC00 || low > 0xDFFF)
                    return fail();
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            }
            appendUtf8(out, unit);
            break;
        }
        default: return fail();
        }
    }
}

bool JsonCursor::readNumber(std::string_view &text)
{
    if (failed_)
        return false;
    peek();
    const char *start = at_;
    auto digits = [this] {
        const char *first = at_;
        while (at_ != end_ && isDigit(*at_))
            ++at_;
        return at_ != first;
    };
    if (at_ != end_ && *at_ == '-')
        ++at_;
    if (at_ != end_ && *at_ == '0')
        ++at_;
    else if (!digits())
        return fail();
    if (at_ != end_ && *at_ == '.') {
        ++at_;
        if (!digits())
            return fail();
    }
    if (at_ != end_ && (*at_ == 'e' || *at_ == 'E')) {
        ++at_;
        if (at_ != end_ && (*at_ == '+' || *at_ == '-'))
            ++at_;
        if (!digits())
            return fail();
    }
    text = std::string_view(start, std::size_t(at_ - start));
    return true;
}

bool JsonCursor::readBool(bool &value)
{
    if (failed_)
        return false;
    switch (peek()) {
    case 't': value = true; return literal("true");
    case 'f': value = false; return literal("false");
    default: return fail();
    }
}

bool JsonCursor::skipValue(int depth)
{
    if (failed_)
        return false;
    std::string ignored;
    switch (peek()) {
    case '{':
        if (depth >= MaxDepth)
            return fail();
        ++at_;
        for (bool first = true; nextMember(ignored, first); first = false) {
            if (!skipValue(depth + 1))
                return false;
        }
        return !failed_;
    case '[':
        if (depth >= MaxDepth)
            return fail();
        ++at_;
        for (bool first = true; nextElement(first); first = false) {
            if (!skipValue(depth + 1))
                return false;
        }
        return !failed_;
    case '"': return readString(ignored);
    case 't': return literal("true");
    case 'f': return literal("false");
    case 'n': return literal("null");
    default: {
        std::string_view number;
        return readNumber(number);
    }
    }
}

} // namespace tekkora
