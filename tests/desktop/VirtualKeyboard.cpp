#include "VirtualKeyboard.h"

#include "virtual-keyboard-unstable-v1-client.h"

#include <QThread>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include <sys/mman.h>
#include <unistd.h>

namespace tekkora::testing {

namespace {

xkb_keymap *compile(xkb_context *context, const char *layout)
{
    const xkb_rule_names names{"evdev", "pc105", layout, "", ""};
    return xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
}

// The key whose first two levels hold the keysym.
std::uint32_t keyHolding(xkb_keymap *keymap, xkb_keysym_t wanted)
{
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap); ++key)
        for (xkb_level_index_t level = 0; level < 2; ++level) {
            const xkb_keysym_t *syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap, key, 0, level, &syms);
            for (int i = 0; i < count; ++i)
                if (syms[i] == wanted)
                    return key;
        }
    return 0;
}

void global(void *data, wl_registry *registry, std::uint32_t name, const char *interface, std::uint32_t)
{
    auto *found = static_cast<std::pair<wl_seat *, zwp_virtual_keyboard_manager_v1 *> *>(data);
    if (found->first == nullptr && std::strcmp(interface, wl_seat_interface.name) == 0)
        found->first = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        found->second = static_cast<zwp_virtual_keyboard_manager_v1 *>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
}
void globalRemove(void *, wl_registry *, std::uint32_t) {}
constexpr wl_registry_listener registryListener{global, globalRemove};

std::uint32_t milliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint32_t(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

} // namespace

VirtualKeyboard::~VirtualKeyboard()
{
    if (keyboard_ != nullptr)
        zwp_virtual_keyboard_v1_destroy(keyboard_);
    if (manager_ != nullptr)
        zwp_virtual_keyboard_manager_v1_destroy(manager_);
    if (seat_ != nullptr)
        wl_seat_destroy(seat_);
    if (display_ != nullptr)
        wl_display_disconnect(display_);
    xkb_keymap_unref(keymap_);
    xkb_keymap_unref(us_);
    xkb_context_unref(context_);
}

bool VirtualKeyboard::fail(const char *what)
{
    error_ = QString::fromLatin1(what);
    return false;
}

bool VirtualKeyboard::open(const QString &socket, const QByteArray &layout)
{
    context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    keymap_ = compile(context_, layout.constData());
    us_ = compile(context_, "us");
    if (keymap_ == nullptr || us_ == nullptr)
        return fail("libxkbcommon cannot compile the layout");
    display_ = wl_display_connect(socket.toLocal8Bit().constData());
    if (display_ == nullptr)
        return fail("cannot connect to the compositor");
    std::pair<wl_seat *, zwp_virtual_keyboard_manager_v1 *> found{};
    wl_registry *registry = wl_display_get_registry(display_);
    wl_registry_add_listener(registry, &registryListener, &found);
    wl_display_roundtrip(display_);
    wl_registry_destroy(registry);
    seat_ = found.first;
    manager_ = found.second;
    if (seat_ == nullptr || manager_ == nullptr)
        return fail("the compositor offers no seat or no virtual keyboards");
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager_, seat_);

    // The keymap goes as a file, with its terminating zero.
    char *text = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
    const std::size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    const bool written = fd >= 0 && write(fd, text, size) == ssize_t(size);
    std::free(text);
    if (!written)
        return fail("cannot write the keymap");
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, std::uint32_t(size));
    close(fd);
    if (wl_display_roundtrip(display_) < 0)
        return fail("the compositor refused the keyboard");
    // As wtype does: a first key right after the keymap may be lost.
    QThread::msleep(100);
    return true;
}

bool VirtualKeyboard::tap(std::uint32_t keycode)
{
    // The compositor takes Linux input codes: the XKB keycode less 8.
    zwp_virtual_keyboard_v1_key(keyboard_, milliseconds(), keycode - 8, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(keyboard_, milliseconds(), keycode - 8, WL_KEYBOARD_KEY_STATE_RELEASED);
    return wl_display_roundtrip(display_) >= 0;
}

std::uint32_t VirtualKeyboard::keyAnswering(char character) const
{
    const xkb_keysym_t sym = character >= 'A' && character <= 'Z' ? XKB_KEY_a + (character - 'A')
                                                                  : XKB_KEY_0 + (character - '0');
    if (const std::uint32_t key = keyHolding(keymap_, sym))
        return key;
    if (const std::uint32_t key = keyHolding(keymap_, xkb_keysym_to_upper(sym)))
        return key;
    const std::uint32_t usKey = keyHolding(us_, sym);
    return usKey != 0 ? xkb_keymap_key_by_name(keymap_, xkb_keymap_key_get_name(us_, usKey)) : 0;
}

} // namespace tekkora::testing
