#pragma once

// Private-profile (INI) files in 8-bit text, read and written by the rules
// the settings file relies on:
//  - section and key names match without regard to case (ASCII);
//  - a section header's name is trimmed of blanks and tabs, and so is a key's
//    name; a line without '=' holds no key;
//  - only the first section of a name and, inside it, the first key of a
//    name count;
//  - the value is the text after the first '=', blanks and tabs removed at
//    both ends; a value enclosed in a matching pair of double or single quotes
//    loses the quotes;
//  - ';' and '#' have no special meaning ("Num=30 ;x" reads "30 ;x");
//  - CR, LF and CR LF all end a line;
//  - a missing file, section or key gives the default;
//  - every other byte, NUL included, is plain text.
// A write creates the file and the section when they are missing (CR LF line
// ends, keys in the order written), replaces the value of an existing key in
// place (the line keeps its own line end), puts a missing key after the last
// non-blank line of its section, and leaves every other line as it was; a
// last line without a line end gets CR LF when a line must follow it.
//
// Files are never read whole without a bound, and a read and a write see
// the same part of a file. A file larger than MaxFileSize is too large to
// handle: a read looks at its first MaxFileSize bytes only, so a runaway
// tekora.ini cannot stall the start, and a write, which needs the whole
// file, leaves it untouched and fails rather than drop what the read did not
// see. A name held by a directory, a pipe or a device reads as a missing
// file and is never written.

#include "FileResult.h"

#include <QString>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tekkora::profile {

inline constexpr qint64 MaxFileSize = qint64(1) << 26; // 64 MiB

// The value of key in section of the given file contents, or the default.
std::string lookupValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view defaultValue);

// lookupValue() copied like GetPrivateProfileStringA copies: at most
// size - 1 bytes into buffer, always ended with a NUL (nothing at all when
// size is 0). Returns the number of bytes copied, NUL not counted.
std::size_t readValue(std::string_view contents, std::string_view section, std::string_view key,
                      std::string_view defaultValue, char *buffer, std::size_t size);

// The contents after storing key=value in section. A value stops at its
// first CR or LF, so it cannot add lines of its own. The section and key
// names are the caller's own constants: no line ends, '=', ']' or leading '['.
std::string withValue(std::string_view contents, std::string_view section, std::string_view key,
                      std::string_view value);

// Reads like GetPrivateProfileStringA: copies at most size - 1 bytes of the
// value (or of the default) into buffer and always ends it with a NUL.
// Returns the number of bytes copied, NUL not counted. A file that cannot be
// read counts as missing.
std::size_t getPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, char *buffer, std::size_t size,
                                    const QString &path);

// Stores key=value in section of the file. The new contents replace the old
// file atomically (temporary file in the same directory, flushed, renamed,
// permissions kept), so the file is always either the old or the new one.
// A file the user cannot write (made read-only) is left alone and reported
// like any other failure.
FileResult writePrivateProfileString(std::string_view section, std::string_view key,
                                      std::string_view value, const QString &path);

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

// Stores several keys, in the order given, in one replacement of the file:
// either all of them reach it or none.
FileResult writePrivateProfileStrings(std::string_view section, std::initializer_list<KeyValue> entries,
                                       const QString &path);

} // namespace tekkora::profile
