// OrvantaPlugin.cpp - the menu entry, and each choice of it as one run of the command. The
// plug-in proper is loaded from the folder "orvanta" beside this library, where LibreCAD, which
// takes every library of its plug-in folders for a plug-in of its own, does not look.
#include "vel/librecad/OrvantaPlugin.h"

#include <dlfcn.h>

#include <QAction>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "vel/librecad/LibreCadSession.h"

namespace vel::librecad {

namespace {

std::string pluginPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&pluginPath), &info) == 0 || !info.dli_fname) return {};
    return (std::filesystem::path(info.dli_fname).parent_path() / "orvanta" / "libOrvanta.so")
        .string();
}

}  // namespace

QString OrvantaPlugin::name() const {
    return QStringLiteral("Orvanta");
}

PluginCapabilities OrvantaPlugin::getCapabilities() const {
    // LibreCAD asks this of each plug-in it lists under Plugins: with a trace, that it did, and
    // which plug-in it found (a package's install is checked so, with no click).
    if (const char* trace = std::getenv("ORVANTA_LIBRECAD_TRACE"))
        std::ofstream(trace, std::ios::app) << "listed " << pluginPath() << std::endl;
    PluginCapabilities capabilities;
    capabilities.menuEntryPoints << PluginMenuLocation(QStringLiteral("plugins_menu"),
                                                       QStringLiteral("Orvanta insert"));
    return capabilities;
}

void OrvantaPlugin::execComm(Document_Interface* doc, QWidget* parent, QString) {
    if (!doc) return;
    // No exception may reach LibreCAD's event loop, which would end LibreCAD with the designer's
    // unsaved drawing: the session ends its own run on any; this catches what setting it up meets.
    try {
        std::unique_ptr<LibreCadSession> session = std::move(continuing_);
        if (session)
            session->resume(*doc, parent);
        else
            session = std::make_unique<LibreCadSession>(*doc, parent, pluginPath());
        if (session->run()) {
            // LibreCAD makes each of its calls of the plug-in one undo step: the run goes on in
            // the next, which the plug-in's own menu action asks for once this call has returned.
            continuing_ = std::move(session);
            QTimer::singleShot(0, this, [this] {
                const QList<QAction*> actions = findChildren<QAction*>();
                if (!actions.isEmpty()) actions.front()->trigger();
            });
        }
    } catch (const std::exception& e) {
        continuing_.reset();
        QMessageBox::warning(
            parent, QStringLiteral("Orvanta"),
            QStringLiteral("The command could not start: ") + QString::fromStdString(e.what()));
    } catch (...) {
        continuing_.reset();
        QMessageBox::warning(parent, QStringLiteral("Orvanta"),
                             QStringLiteral("The command could not start."));
    }
}

OrvantaPlugin::OrvantaPlugin() = default;
OrvantaPlugin::~OrvantaPlugin() = default;

}  // namespace vel::librecad
