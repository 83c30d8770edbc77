// OrvantaPlugin.cpp - the menu entry, and each choice of it as one run of the command. The
// plug-in proper is loaded from the folder "orvanta" beside this library, where LibreCAD, which
// takes every library of its plug-in folders for a plug-in of its own, does not look.
#include "vel/librecad/OrvantaPlugin.h"

#include <dlfcn.h>

#include <filesystem>

#include "vel/librecad/LibreCadSession.h"

namespace vel::librecad {

namespace {

std::string PluginPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&PluginPath), &info) == 0 || !info.dli_fname) return {};
    return (std::filesystem::path(info.dli_fname).parent_path() / "orvanta" / "libOrvanta.so")
        .string();
}

}  // namespace

QString OrvantaPlugin::name() const {
    return QStringLiteral("Orvanta");
}

PluginCapabilities OrvantaPlugin::getCapabilities() const {
    PluginCapabilities capabilities;
    capabilities.menuEntryPoints << PluginMenuLocation(QStringLiteral("plugins_menu"),
                                                       QStringLiteral("Orvanta insert"));
    return capabilities;
}

void OrvantaPlugin::execComm(Document_Interface* doc, QWidget* parent, QString) {
    if (!doc) return;
    LibreCadSession session(*doc, parent, PluginPath());
    session.run();
}

}  // namespace vel::librecad
