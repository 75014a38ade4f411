#include "FontConfigWarmUp.h"

#include <system_error>

// Not in the browser, whose programs are linked whole, with no symbols to
// look up and no fonts but their own.
#if defined(__unix__) && !defined(__APPLE__) && !defined(__EMSCRIPTEN__)
#include <dlfcn.h>
#define TEKKORA_HAS_FONTCONFIG 1
#endif

namespace tekkora {

namespace {

using FcInitFunction = int (*)();

// Looked up in what the program has loaded already (Qt's GUI library links
// fontconfig on these systems), so the program neither needs its headers
// nor loads it where Qt would not.
FcInitFunction fontconfigInit()
{
#ifdef TEKKORA_HAS_FONTCONFIG
    return reinterpret_cast<FcInitFunction>(dlsym(RTLD_DEFAULT, "FcInit"));
#else
    return nullptr;
#endif
}

} // namespace

FontConfigWarmUp::FontConfigWarmUp()
{
    if (const FcInitFunction init = fontconfigInit()) {
        try {
            loader_ = std::thread([init] { init(); });
            started_ = true;
        } catch (const std::system_error &) {
            // No thread to be had: Qt loads the configuration itself, later.
        }
    }
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    wait();
}

void FontConfigWarmUp::wait()
{
    if (loader_.joinable())
        loader_.join();
}

} // namespace tekkora
