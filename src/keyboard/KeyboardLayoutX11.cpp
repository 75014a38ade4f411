#include "XkbAnswers.h"
#include "KeyboardLayoutXkb.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace tekkora {

namespace {

// The XKB events' kinds (the protocol's XkbNewKeyboardNotify and
// XkbMapNotify); libxcb's xcb/xkb.h cannot be read as C++.
constexpr std::uint8_t NewKeyboardNotify = 0;
constexpr std::uint8_t MapNotify = 1;

// The core keyboard's keymap, read from the X server on the toolkit's own
// connection. The toolkit already asks the server for its keyboard
// notifications; this only watches them go by and reads the keymap again at
// the next key press after one of them.
class X11KeyboardLayout final : public KeyboardLayout, private QAbstractNativeEventFilter {
public:
    explicit X11KeyboardLayout(xcb_connection_t *connection) : connection_(connection) {}

    ~X11KeyboardLayout() override { xkb_context_unref(context_); }

    const KeycodeAnswers *answers() override
    {
        if (!setUp_) {
            setUp_ = true;
            if (!setUp())
                return nullptr;
        }
        if (stale_ && device_ != -1) {
            stale_ = false;
            if (xkb_keymap *keymap = xkb_x11_keymap_new_from_device(context_, connection_, device_,
                                                                     XKB_KEYMAP_COMPILE_NO_FLAGS)) {
                answers_.read(keymap);
                xkb_keymap_unref(keymap);
                readable_ = true;
            }
        }
        return readable_ ? &answers_.table() : nullptr;
    }

private:
    bool setUp()
    {
        if (!xkb_x11_setup_xkb_extension(connection_, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                         XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &firstEvent_,
                                         nullptr))
            return false;
        device_ = xkb_x11_get_core_keyboard_device_id(connection_);
        context_ = xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
        if (device_ == -1 || context_ == nullptr)
            return false;
        QCoreApplication::instance()->installNativeEventFilter(this);
        return true;
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) == firstEvent_) {
            // Every XKB event has its kind after the event code.
            const std::uint8_t kind = reinterpret_cast<const std::uint8_t *>(event)[1];
            if (kind == NewKeyboardNotify || kind == MapNotify)
                stale_ = true;
        }
        return false;
    }

    xcb_connection_t *connection_;
    xkb_context *context_ = nullptr;
    std::int32_t device_ = -1;
    std::uint8_t firstEvent_ = 0;
    bool setUp_ = false;
    bool stale_ = true;
    bool readable_ = false;
    XkbAnswers answers_;
};

} // namespace

std::unique_ptr<KeyboardLayout> x11KeyboardLayout()
{
    const auto *x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return nullptr;
    return std::make_unique<X11KeyboardLayout>(x11->connection());
}

} // namespace tekkora
