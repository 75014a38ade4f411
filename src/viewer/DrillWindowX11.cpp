#include "DrillWindow.h"

#include <QByteArray>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace tekkora {

namespace {

// The drill's main window: its title, and the class both programs give
// their windows (WM_CLASS's second part, the toolkit's application name).
constexpr char DrillTitle[] = "Tekkora!";
constexpr char DrillClass[] = "Tekkora";

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

class Lookup {
public:
    explicit Lookup(xcb_connection_t *connection)
        : connection_(connection), root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root)
    {
    }

    std::optional<QRect> drillFrame()
    {
        const xcb_atom_t utf8 = atom("UTF8_STRING");
        const xcb_atom_t netName = atom("_NET_WM_NAME");
        const xcb_atom_t extentsName = atom("_NET_FRAME_EXTENTS");
        // Top first: with two drills, the one the player sees.
        const QList<xcb_window_t> windows = topLevels();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            QByteArray title = property(*it, netName, utf8);
            if (title.isEmpty())
                title = property(*it, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
            const QList<QByteArray> wmClass = property(*it, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).split('\0');
            if (title != DrillTitle || wmClass.value(1) != DrillClass || !viewable(*it))
                continue;
            Reply<xcb_get_geometry_reply_t> size(
                xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, *it), nullptr), &std::free);
            Reply<xcb_translate_coordinates_reply_t> at(
                xcb_translate_coordinates_reply(connection_, xcb_translate_coordinates(connection_, *it, root_, 0, 0),
                                                nullptr),
                &std::free);
            if (!size || !at)
                return std::nullopt;
            QRect frame(at->dst_x, at->dst_y, size->width, size->height);
            // The window manager's frame around it: left, right, top, bottom.
            const QByteArray extents = property(*it, extentsName, XCB_ATOM_CARDINAL);
            if (extents.size() == 4 * sizeof(std::uint32_t)) {
                std::uint32_t side[4];
                std::memcpy(side, extents.constData(), sizeof side);
                frame.adjust(-int(side[0]), -int(side[2]), int(side[1]), int(side[3]));
            }
            return frame;
        }
        return std::nullopt;
    }

private:
    xcb_atom_t atom(const char *name)
    {
        Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 1, std::uint16_t(std::strlen(name)), name),
                                  nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    QByteArray property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
    {
        if (name == XCB_ATOM_NONE)
            return {};
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection_, xcb_get_property(connection_, 0, window, name, type, 0, 1024), nullptr),
            &std::free);
        if (!reply || reply->type == XCB_ATOM_NONE)
            return {};
        return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
    }

    // The window manager's list of its clients, bottom to top; without a
    // window manager, the root's children.
    QList<xcb_window_t> topLevels()
    {
        QList<xcb_window_t> windows;
        const QByteArray listed = property(root_, atom("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
        if (!listed.isEmpty()) {
            windows.resize(listed.size() / qsizetype(sizeof(xcb_window_t)));
            std::memcpy(windows.data(), listed.constData(), std::size_t(windows.size()) * sizeof(xcb_window_t));
            return windows;
        }
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr), &std::free);
        if (tree) {
            const xcb_window_t *children = xcb_query_tree_children(tree.get());
            windows = QList<xcb_window_t>(children, children + xcb_query_tree_children_length(tree.get()));
        }
        return windows;
    }

    bool viewable(xcb_window_t window)
    {
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, window), nullptr),
            &std::free);
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    xcb_connection_t *connection_;
    xcb_window_t root_;
};

} // namespace

std::optional<QRect> nativeDrillWindowFrame()
{
    const auto *x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return std::nullopt;
    return Lookup(x11->connection()).drillFrame();
}

} // namespace tekkora
