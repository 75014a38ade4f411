#include "KeyboardLayout.h"
#include "ScanCodeAnswers.h"

#include <windows.h>

namespace tekkora {

// The key events' virtual keys name the key whatever the layout.
std::unique_ptr<KeyboardLayout> keyboardLayoutOfPlatform()
{
    return nullptr;
}

// A key answers the virtual key the active layout gives its scan code, when
// that is a digit or a letter.
std::optional<ScanCodeAnswers> currentScanCodeAnswers()
{
    ScanCodeAnswers answers{};
    for (UINT scanCode = 1; scanCode < answers.size(); ++scanCode) {
        const UINT virtualKey = MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK);
        if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
            answers[scanCode] = static_cast<std::int16_t>(virtualKey);
    }
    return answers;
}

} // namespace tekkora
