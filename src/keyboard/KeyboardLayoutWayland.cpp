#include "XkbAnswers.h"
#include "KeyboardLayoutXkb.h"

#include <QGuiApplication>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace tekkora {

namespace {

// The keymap the compositor sends with the keyboard: a keyboard of our own
// on the toolkit's connection, so that its keymap events come in the same
// stream as the toolkit's key events and a change of layout is read before
// the keys typed with it. Its events wait in a queue of their own, dispatched
// only here, in the thread of the key events.
class WaylandKeyboardLayout final : public KeyboardLayout {
public:
    explicit WaylandKeyboardLayout(wl_display *display) : display_(display) {}

    ~WaylandKeyboardLayout() override
    {
        dropKeyboard();
        if (seat_ != nullptr)
            wl_seat_get_version(seat_) >= WL_SEAT_RELEASE_SINCE_VERSION ? wl_seat_release(seat_)
                                                                         : wl_seat_destroy(seat_);
        if (registry_ != nullptr)
            wl_registry_destroy(registry_);
        if (wrapper_ != nullptr)
            wl_proxy_wrapper_destroy(wrapper_);
        if (queue_ != nullptr)
            wl_event_queue_destroy(queue_);
        xkb_context_unref(context_);
    }

    const KeycodeAnswers *answers() override
    {
        if (queue_ == nullptr && !start())
            return nullptr;
        // Only what has already come: the events before the key being read.
        wl_display_dispatch_queue_pending(display_, queue_);
        // A keyboard that has just appeared sends its keymap after our
        // request for it: wait for that once.
        if (keymapAwaited_)
            wl_display_roundtrip_queue(display_, queue_);
        return readable_ ? &answers_.table() : nullptr;
    }

private:
    bool start()
    {
        context_ = xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
        queue_ = wl_display_create_queue(display_);
        wrapper_ = static_cast<wl_display *>(wl_proxy_create_wrapper(display_));
        if (context_ == nullptr || queue_ == nullptr || wrapper_ == nullptr)
            return false;
        wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(wrapper_), queue_);
        registry_ = wl_display_get_registry(wrapper_);
        wl_registry_add_listener(registry_, &registryListener, this);
        // The seat is announced, then its capabilities, then the keymap.
        for (int i = 0; i < 3; ++i)
            wl_display_roundtrip_queue(display_, queue_);
        return true;
    }

    void dropKeyboard()
    {
        if (keyboard_ == nullptr)
            return;
        if (wl_keyboard_get_version(keyboard_) >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
            wl_keyboard_release(keyboard_);
        else
            wl_keyboard_destroy(keyboard_);
        keyboard_ = nullptr;
        keymapAwaited_ = false;
    }

    void readKeymap(std::uint32_t format, int fd, std::uint32_t size)
    {
        keymapAwaited_ = false;
        if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1)
            return;
        void *mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped == MAP_FAILED)
            return;
        const auto *text = static_cast<const char *>(mapped);
        const std::size_t length = strnlen(text, size);
        // The compositor sends the keymap again at each change of keyboard,
        // mostly unchanged.
        if (!readable_ || keymapText_.size() != length || std::memcmp(keymapText_.data(), text, length) != 0) {
            if (xkb_keymap *keymap =
                    xkb_keymap_new_from_buffer(context_, text, length, XKB_KEYMAP_FORMAT_TEXT_V1,
                                               XKB_KEYMAP_COMPILE_NO_FLAGS)) {
                answers_.read(keymap);
                xkb_keymap_unref(keymap);
                keymapText_.assign(text, length);
                readable_ = true;
            }
        }
        munmap(mapped, size);
    }

    static void global(void *data, wl_registry *registry, std::uint32_t name, const char *interface,
                       std::uint32_t version)
    {
        auto *self = static_cast<WaylandKeyboardLayout *>(data);
        // The first seat is the toolkit's too.
        if (self->seat_ != nullptr || std::strcmp(interface, wl_seat_interface.name) != 0)
            return;
        self->seat_ = static_cast<wl_seat *>(
            wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 5u)));
        wl_seat_add_listener(self->seat_, &seatListener, self);
    }
    static void globalRemove(void *, wl_registry *, std::uint32_t) {}

    static void capabilities(void *data, wl_seat *seat, std::uint32_t capabilities)
    {
        auto *self = static_cast<WaylandKeyboardLayout *>(data);
        const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
        if (keyboard && self->keyboard_ == nullptr) {
            self->keyboard_ = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(self->keyboard_, &keyboardListener, self);
            self->keymapAwaited_ = true;
        } else if (!keyboard) {
            self->dropKeyboard();
        }
    }
    static void seatName(void *, wl_seat *, const char *) {}

    static void keymap(void *data, wl_keyboard *, std::uint32_t format, int fd, std::uint32_t size)
    {
        static_cast<WaylandKeyboardLayout *>(data)->readKeymap(format, fd, size);
        close(fd);
    }
    static void enter(void *, wl_keyboard *, std::uint32_t, wl_surface *, wl_array *) {}
    static void leave(void *, wl_keyboard *, std::uint32_t, wl_surface *) {}
    static void key(void *, wl_keyboard *, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
    static void modifiers(void *, wl_keyboard *, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                          std::uint32_t)
    {
    }
    static void repeatInfo(void *, wl_keyboard *, std::int32_t, std::int32_t) {}

    static constexpr wl_registry_listener registryListener{global, globalRemove};
    static constexpr wl_seat_listener seatListener{capabilities, seatName};
    static constexpr wl_keyboard_listener keyboardListener{keymap, enter, leave, key, modifiers, repeatInfo};

    wl_display *display_;
    wl_event_queue *queue_ = nullptr;
    wl_display *wrapper_ = nullptr;
    wl_registry *registry_ = nullptr;
    wl_seat *seat_ = nullptr;
    wl_keyboard *keyboard_ = nullptr;
    xkb_context *context_ = nullptr;
    std::string keymapText_;
    bool keymapAwaited_ = false;
    bool readable_ = false;
    XkbAnswers answers_;
};

} // namespace

std::unique_ptr<KeyboardLayout> waylandKeyboardLayout()
{
    QPlatformNativeInterface *native = qGuiApp != nullptr ? qGuiApp->platformNativeInterface() : nullptr;
    auto *display = native != nullptr ? static_cast<wl_display *>(native->nativeResourceForIntegration("wl_display"))
                                      : nullptr;
    if (display == nullptr)
        return nullptr;
    return std::make_unique<WaylandKeyboardLayout>(display);
}

} // namespace tekkora
