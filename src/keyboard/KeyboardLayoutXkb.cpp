#include "KeyboardLayout.h"
#include "ScanCodeAnswers.h"
#include "KeyboardLayoutXkb.h"

#include <QGuiApplication>

#include <algorithm>

namespace tekkora {

std::unique_ptr<KeyboardLayout> keyboardLayoutOfPlatform()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return x11KeyboardLayout();
    if (platform.startsWith(QLatin1String("wayland")))
        return waylandKeyboardLayout();
    return nullptr;
}

std::optional<ScanCodeAnswers> currentScanCodeAnswers()
{
    const std::unique_ptr<KeyboardLayout> layout = keyboardLayoutOfPlatform();
    const KeycodeAnswers *byKeycode = layout ? layout->answers() : nullptr;
    if (byKeycode == nullptr)
        return std::nullopt;
    // XKB numbers the keys from the scan code 8 on.
    constexpr std::size_t FirstKeycode = 8;
    ScanCodeAnswers answers{};
    std::copy_n(byKeycode->begin() + FirstKeycode, answers.size(), answers.begin());
    return answers;
}

} // namespace tekkora
