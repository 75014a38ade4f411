#include "KeyboardLayout.h"

#include "BrowserKeys.h"
#include "ScanCodeAnswers.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <optional>

// Qt's platform plug-in for the browser passes on only the character a key
// typed. The place of the key (KeyboardEvent.code) is read here by a key
// listener of our own, on the window and in the capture phase, so it hears
// every key before the page's canvas does; Chromium also tells what each key
// of the player's layout shows (navigator.keyboard.getLayoutMap()), asked
// again whenever the page gets the focus back, since the player may have
// switched layouts meanwhile.
//
// The same listener keeps from the browser the keys the programs use as
// shortcuts (F5 would reload the page, Ctrl+O open a file, Alt+letters the
// browser's menus). Ctrl+N, Ctrl+T and Ctrl+W never reach a page.

// clang-format off
EM_JS(void, tekkora_request_layout_map, (), {
    if (typeof navigator === "undefined" || !navigator.keyboard || !navigator.keyboard.getLayoutMap)
        return;
    const ask = () => navigator.keyboard.getLayoutMap().then((map) => {
        let text = "";
        map.forEach((shown, code) => { text += code + "\t" + shown + "\n"; });
        if (text !== Module.tekkoraLayoutMap) {
            Module.tekkoraLayoutMap = text;
            Module.tekkoraLayoutVersion = (Module.tekkoraLayoutVersion || 0) + 1;
        }
    }).catch(() => {});
    ask();
    if (typeof window !== "undefined")
        window.addEventListener("focus", ask);
});

EM_JS(int, tekkora_layout_version, (), {
    return Module.tekkoraLayoutVersion || 0;
});

EM_JS(int, tekkora_layout_map_size, (), {
    return lengthBytesUTF8(Module.tekkoraLayoutMap || "") + 1;
});

EM_JS(void, tekkora_layout_map, (char *buffer, int size), {
    stringToUTF8(Module.tekkoraLayoutMap || "", buffer, size);
});
// clang-format on

namespace tekkora {

namespace {

// The place of the last key pressed, as its key event names it.
char lastCode[32] = {};

bool isBrowserShortcut(const EmscriptenKeyboardEvent &event)
{
    const std::size_t length = std::strlen(event.code);
    const bool letter = length == 4 && std::strncmp(event.code, "Key", 3) == 0;
    // F1 to F10; F11 and F12 stay the browser's (full screen, its tools).
    if (std::strncmp(event.code, "F", 1) == 0 && length >= 2 && length <= 3 && std::strcmp(event.code, "F11") != 0
        && std::strcmp(event.code, "F12") != 0)
        return true;
    if (event.altKey && letter)
        return true;
    // Copy, cut and paste stay the browser's, which carries them out.
    return event.ctrlKey && letter && std::strchr("CVX", event.code[3]) == nullptr;
}

EM_BOOL keyDown(int, const EmscriptenKeyboardEvent *event, void *)
{
    std::strncpy(lastCode, event->code, sizeof lastCode - 1);
    // True asks the browser not to act on the key itself; the page still
    // gets it.
    return isBrowserShortcut(*event);
}

struct Listener {
    Listener()
    {
        emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, keyDown);
        tekkora_request_layout_map();
    }
};
const Listener listener;

std::optional<KeycodeAnswers> layoutAnswers()
{
    QByteArray text(tekkora_layout_map_size(), '\0');
    tekkora_layout_map(text.data(), int(text.size()));
    const QStringList lines = QString::fromUtf8(text.constData()).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return std::nullopt;
    QList<std::pair<QString, QString>> map;
    for (const QString &line : lines)
        map.append({line.section(u'\t', 0, 0), line.section(u'\t', 1)});
    return browserLayoutAnswers(map);
}

class KeyboardLayoutWeb final : public KeyboardLayout {
public:
    const KeycodeAnswers *answers() override
    {
        if (const int version = tekkora_layout_version(); version != version_) {
            version_ = version;
            answers_ = layoutAnswers();
        }
        return answers_ ? &*answers_ : nullptr;
    }

    void addNativeKeys(KeyPress &press) const override
    {
        if (press.nativeScanCode == 0)
            press.nativeScanCode = xkbKeycodeOfBrowserCode(QString::fromLatin1(lastCode));
    }

private:
    int version_ = 0;
    std::optional<KeycodeAnswers> answers_;
};

} // namespace

std::unique_ptr<KeyboardLayout> keyboardLayoutOfPlatform()
{
    return std::make_unique<KeyboardLayoutWeb>();
}

std::optional<ScanCodeAnswers> currentScanCodeAnswers()
{
    const std::optional<KeycodeAnswers> answers = layoutAnswers();
    if (!answers)
        return std::nullopt;
    ScanCodeAnswers byScanCode{};
    for (std::size_t scanCode = 0; scanCode < byScanCode.size(); ++scanCode)
        byScanCode[scanCode] = (*answers)[scanCode + 8];
    return byScanCode;
}

} // namespace tekkora
