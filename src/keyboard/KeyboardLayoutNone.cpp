#include "KeyboardLayout.h"
#include "ScanCodeAnswers.h"

// Platforms whose key events carry no key this program can read: the
// toolkit's key is all there is.

namespace tekkora {

std::unique_ptr<KeyboardLayout> keyboardLayoutOfPlatform()
{
    return nullptr;
}

std::optional<ScanCodeAnswers> currentScanCodeAnswers()
{
    return std::nullopt;
}

} // namespace tekkora
