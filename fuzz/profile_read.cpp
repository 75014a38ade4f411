// Any bytes as tekora.ini, read the way the settings load reads it: the
// result must always end with a NUL inside its buffer and be the start of
// the value.

#include "platform/PrivateProfile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

void readInto(std::string_view contents, const char *key, std::size_t size)
{
    // A heap buffer of exactly the size, so a write past it is caught.
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memset(buffer.get(), ' ', size);
    const std::size_t copied = tekkora::profile::readValue(contents, "Data", key, "", buffer.get(), size);
    if (copied >= size || buffer[copied] != '\0')
        std::abort();
    const std::string whole = tekkora::profile::lookupValue(contents, "Data", key, "");
    if (whole.compare(0, copied, buffer.get(), copied) != 0 || copied != std::min(whole.size(), size - 1))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view contents(reinterpret_cast<const char *>(data), size);
    readInto(contents, "Mode", 2);
    readInto(contents, "Num", 6);
    readInto(contents, "Cap", 2);
    return 0;
}
