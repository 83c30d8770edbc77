// DisplayProbe.cpp - connecting to the display once, as the platform plug-in
// would, and letting go again.
#include "platform/DisplayProbe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QLibraryInfo>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// What DISPLAY names, for messages.
std::string DisplayName(const std::string& display) {
    return display.empty() ? "no display (DISPLAY is not set)" : "display '" + display + "'";
}

bool X11Answers(const std::string& display) {
    xcb_connection_t* connection =
        xcb_connect(display.empty() ? nullptr : display.c_str(), nullptr);
    const bool ok = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return ok;
}

// The compositor's socket: WAYLAND_DISPLAY as a path, or a name in XDG_RUNTIME_DIR.
bool WaylandAnswers(const std::string& display) {
    std::string path = display.empty() ? "wayland-0" : display;
    if (path.front() != '/') {
        const std::string runtime = Env("XDG_RUNTIME_DIR");
        if (runtime.empty()) return false;
        path = runtime + "/" + path;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// Qt ends the process for a platform whose plug-in is not installed, too.
bool WaylandPluginInstalled() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms");
#else
    const QDir platforms(QLibraryInfo::location(QLibraryInfo::PluginsPath) + "/platforms");
#endif
    return !platforms.entryList({"libqwayland*"}, QDir::Files).isEmpty();
}

DisplayChoice X11(const std::string& platform) {
    const std::string display = Env("DISPLAY");
    if (X11Answers(display)) return {platform, {}};
    return {{}, "cannot open " + DisplayName(display)};
}

DisplayChoice Wayland(const std::string& platform) {
    const std::string display = Env("WAYLAND_DISPLAY");
    if (!WaylandPluginInstalled()) return {{}, "no Wayland support is installed for Qt"};
    if (WaylandAnswers(display)) return {platform, {}};
    return {{}, "cannot open the Wayland display '" + display + "'"};
}

// One platform as QT_QPA_PLATFORM names it, with its options ("xcb:option").
DisplayChoice Platform(const std::string& entry) {
    const std::string name = entry.substr(0, entry.find(':'));
    if (name == "xcb") return X11(entry);
    if (name == "wayland" || name.rfind("wayland-", 0) == 0) return Wayland(entry);
    return {entry, {}};  // offscreen, minimal, vnc and the like need no display of ours
}

}  // namespace

DisplayChoice ChooseDisplay() {
    const std::string chosen = Env("QT_QPA_PLATFORM");
    if (!chosen.empty()) {
        // Qt would try the list in turn; the first that answers is named outright,
        // so that Qt never gets to one that cannot be opened.
        std::string problem;
        for (std::size_t from = 0; from <= chosen.size();) {
            const std::size_t end = std::min(chosen.find(';', from), chosen.size());
            const std::string entry = chosen.substr(from, end - from);
            from = end + 1;
            if (entry.empty()) continue;
            const DisplayChoice choice = Platform(entry);
            if (choice.usable()) return choice;
            if (problem.empty()) problem = choice.problem;
        }
        return {{}, problem.empty() ? "QT_QPA_PLATFORM names no platform" : problem};
    }
    if (!Env("DISPLAY").empty()) {
        const DisplayChoice x11 = X11("xcb");
        if (x11.usable() || Env("WAYLAND_DISPLAY").empty()) return x11;
    }
    if (!Env("WAYLAND_DISPLAY").empty()) return Wayland("wayland");
    return {"offscreen", {}, true};
}
