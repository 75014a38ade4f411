#include "DrillWindow.h"

#include <windows.h>

#include <dwmapi.h>

#include <cwchar>

namespace tekkora {

namespace {

// The drill's main window by its title, among the windows the toolkit
// makes (their classes start with "Qt").
constexpr wchar_t DrillTitle[] = L"Tekkora!";

BOOL CALLBACK findDrill(HWND window, LPARAM found)
{
    wchar_t title[16] = {};
    wchar_t className[8] = {};
    if (!IsWindowVisible(window) || IsIconic(window) || GetWindowTextW(window, title, 16) == 0
        || std::wcscmp(title, DrillTitle) != 0 || GetClassNameW(window, className, 8) == 0
        || std::wcsncmp(className, L"Qt", 2) != 0)
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

} // namespace

std::optional<QRect> nativeDrillWindowFrame()
{
    // The windows come top first: with two drills, the one the player sees.
    HWND drill = nullptr;
    EnumWindows(findDrill, reinterpret_cast<LPARAM>(&drill));
    if (drill == nullptr)
        return std::nullopt;
    // The frame as drawn; the window's rectangle also holds the invisible
    // borders Windows 10 keeps for resizing.
    RECT frame;
    if (FAILED(DwmGetWindowAttribute(drill, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof frame))
        && !GetWindowRect(drill, &frame))
        return std::nullopt;
    return QRect(QPoint(frame.left, frame.top), QPoint(frame.right - 1, frame.bottom - 1));
}

} // namespace tekkora
