#pragma once

// The C++ library emscripten 3.1.6 brings (libc++ 14) converts integers
// with <charconv> but not floating-point numbers. The build for the browser
// includes this header first in every file (cmake/Web.cmake), giving it the
// overloads the program uses, on the C library's conversions, which are
// exact as the standard's are: strtod rounds correctly, printf prints the
// exact binary value rounded. As from_chars, no blank, '+' or hexadecimal
// form is read, and nothing depends on the locale (the C locale is the only
// one there).

#ifdef __cplusplus

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

namespace std {

template <typename Float, Float (*Convert)(const char *, char **)>
inline from_chars_result tekkora_from_chars_float(const char *first, const char *last, Float &value)
{
    const string text(first, last);
    const char *start = text.c_str();
    const bool sign = !text.empty() && text[0] == '-';
    if (text.empty() || text[sign] == ' ' || text[sign] == '\t' || text[sign] == '+' || text[sign] == '\n'
        || text.find_first_of("xX") != string::npos)
        return {first, errc::invalid_argument};
    char *end = nullptr;
    errno = 0;
    const Float parsed = Convert(start, &end);
    if (end == start)
        return {first, errc::invalid_argument};
    const char *ptr = first + (end - start);
    if (errno == ERANGE)
        return {ptr, errc::result_out_of_range};
    value = parsed;
    return {ptr, errc()};
}

inline from_chars_result from_chars(const char *first, const char *last, double &value,
                                    chars_format = chars_format::general)
{
    return tekkora_from_chars_float<double, strtod>(first, last, value);
}

inline from_chars_result from_chars(const char *first, const char *last, float &value,
                                    chars_format = chars_format::general)
{
    return tekkora_from_chars_float<float, strtof>(first, last, value);
}

inline to_chars_result to_chars(char *first, char *last, double value, chars_format format, int precision)
{
    const char *spec = format == chars_format::fixed ? "%.*f" : format == chars_format::scientific ? "%.*e" : "%.*g";
    const int size = snprintf(first, size_t(last - first), spec, precision, value);
    if (size < 0 || size >= last - first)
        return {last, errc::value_too_large};
    return {first + size, errc()};
}

} // namespace std

#endif
