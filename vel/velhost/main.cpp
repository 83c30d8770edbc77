// velhost - the stand-in CAD host program: loads the plug-in, reads a drawing,
// runs a session script against it and writes the drawing out; or runs the
// plug-in's settings dialog on its own. Dialogs are answered by the script's
// dialog lines and drawn offscreen unless --show is given.
#include <CLI/CLI.hpp>
#include <QApplication>
#include <QFileInfo>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "platform/DisplayProbe.h"
#include "vel/dxf/DrawingFiles.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/gui/FileProgress.h"
#include "vel/gui/HostWindow.h"
#include "vel/gui/WindowLanguage.h"
#include "vel/io/DrawingFile.h"
#include "vel/io/Script.h"
#include "vel/kernel/Host.h"
#include "vel/robot/DialogRobot.h"
#include "vel/runtime/Platform.h"
#include "vel/velhost/Session.h"
#include "vel/velhost/SettingsSession.h"
#include "vel/velhost/Version.h"

namespace fs = std::filesystem;

namespace {

using velhost::kBadCommandLine;
using velhost::kBadInput;
using velhost::kOk;

// Qt's notices about the environment (no runtime directory, for one) say
// nothing about the session; everything else goes to standard error as usual.
void filterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("QStandardPaths:"))) return;
    std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << "\n";
}

// The host's own widget application, in which the plug-in's dialogs run:
// offscreen unless the dialogs are to be shown.
class HostApplication {
public:
    // `platform` is where the dialogs are shown, as ChooseDisplay found it.
    HostApplication(const char* program, bool show, const std::string& platform = "offscreen") {
        args_ = {program, "-platform", show ? platform : std::string("offscreen")};
        argc_ = 3;
        for (std::string& a : args_) argv_.push_back(a.data());
        argv_.push_back(nullptr);
        qInstallMessageHandler(filterQtMessages);
        app_ = std::make_unique<QApplication>(argc_, argv_.data());
        QApplication::setQuitOnLastWindowClosed(false);
    }

private:
    std::vector<std::string> args_;
    std::vector<char*> argv_;
    int argc_ = 1;
    std::unique_ptr<QApplication> app_;
};

using velhost::RunOptions;

// The dialog robot answers the session's dialogs in the host's widget application.
// With `show`, on the display `platform`, dialogs nobody answers are left to the user.
class RobotDialogs final : public velhost::SessionDialogs {
public:
    RobotDialogs(bool show, const std::string& platform, const char* program)
        : show_(show), platform_(platform), program_(program) {}
    void prepare() override { app_.emplace(program_, show_, platform_); }
    void answer(std::vector<std::string>& queue) override {
        robot_ = std::make_unique<vel::DialogRobot>(queue, std::cerr, show_);
    }
    bool failed() const override { return robot_ && robot_->failed(); }

private:
    bool show_;
    std::string platform_;
    const char* program_;
    std::optional<HostApplication> app_;
    std::unique_ptr<vel::DialogRobot> robot_;
};

int run(const RunOptions& o, const char* program) {
    RobotDialogs dialogs(o.show, o.platform, program);
    return velhost::runSession(o, dialogs);
}

struct GuiOptions {
    std::string plugin;
    std::string drawing;
    std::string registry;
    std::vector<std::string> outputs;
    std::optional<int> layer;
    double aperture = vel::kPickBoxPixels;
    std::string size;
    std::vector<double> view;
    std::string platform;
};

// "1200x800" as a size in pixels; none when it is not one.
std::optional<QSize> parseSize(const std::string& text) {
    int w = 0, h = 0;
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || (x != 'x' && x != 'X'))
        return std::nullopt;
    if (w < 100 || h < 100 || w > 10000 || h > 10000) return std::nullopt;
    return QSize(w, h);
}

// The window: a person uses the command with the mouse and keys.
int runGui(const GuiOptions& o, const char* program) {
    vel::useRegistryFile(o.registry);
    vel::Host& host = vel::Host::instance();
    HostApplication app(program, true, o.platform);
    host.setAperture(1.0);
    vel::loadPlugin(o.plugin);
    velgui::WindowOptions options;
    if (!o.drawing.empty()) {
        // Read before the window is made, with the box that shows a long read. Cancelled, velhost
        // ends as when the drawing cannot be read: a window on an empty drawing would write
        // that over its --out files when it closes.
        try {
            velgui::FileProgress progress(
                nullptr,
                QStringLiteral("Reading %1...")
                    .arg(QFileInfo(QString::fromStdString(o.drawing)).fileName()),
                std::chrono::milliseconds(500));
            options.leftOut = vel::readDrawing(host.drawing(), o.drawing, &progress);
            options.drawing = o.drawing;
            if (options.leftOut.total() > 0)
                std::cerr << o.drawing << ": " << options.leftOut.summary() << "\n";
        } catch (const vel::Cancelled&) {
            std::cerr << "velhost: reading " << o.drawing << " cancelled\n";
            return kBadInput;
        }
    }
    if (o.layer) host.drawing().setCurrentLayer(*o.layer);

    options.outputs = o.outputs;
    options.aperturePixels = o.aperture;
    if (!o.size.empty()) options.size = *parseSize(o.size);
    if (o.view.size() == 4) {
        vel::Extents area;
        area.add(vel::Point{o.view[0], o.view[1]});
        area.add(vel::Point{o.view[2], o.view[3]});
        options.view = area;
    }
    const velgui::WindowLanguage language;  // the window speaks the system's language
    velgui::HostWindow window(host, options);
    window.show();
    QApplication::setQuitOnLastWindowClosed(true);
    QApplication::exec();
    host.escape();
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"velhost - runs the Orvanta plug-in in the stand-in CAD host"};
    app.require_subcommand(1);
    velhost::addVersionFlag(app);
    RunOptions o;
    CLI::App* runCmd = app.add_subcommand("run", "load the plug-in and run a session script");
    velhost::addRunOptions(*runCmd, o);
    runCmd->add_flag("--show", o.show,
                     "show the plug-in's dialogs on the display instead of offscreen");
    velhost::SettingsOptions so;
    CLI::App* settingsCmd = app.add_subcommand(
        "settings", "run the settings dialog \"Create Insert\" on its own; OK saves");
    velhost::addSettingsOptions(*settingsCmd, so);
    GuiOptions go;
    CLI::App* guiCmd =
        app.add_subcommand("gui", "open the CAD window and use the command with the mouse");
    guiCmd->add_option("drawing", go.drawing, "drawing to open (.json or .dxf)");
    guiCmd->add_option("--plugin", go.plugin,
                       "plug-in library (default: libOrvanta.so beside velhost)");
    guiCmd->add_option("--registry", go.registry, "registry file for this session");
    guiCmd->add_option("--out", go.outputs,
                       "write the drawing when the window closes (.json, .dxf, .svg)");
    guiCmd->add_option("--layer", go.layer, "current layer for new segments")
        ->check(CLI::NonNegativeNumber);
    guiCmd->add_option("--aperture", go.aperture, "pick box half size in screen pixels")
        ->check(CLI::Range(1.0, 100.0));
    guiCmd->add_option("--size", go.size, "the drawing area's size in pixels, WxH")
        ->check([](const std::string& text) {
            return parseSize(text) ? std::string() : "expected WxH, each from 100 to 10000";
        });
    guiCmd->add_option("--view", go.view, "show exactly this rectangle: X1 Y1 X2 Y2")
        ->expected(4)
        ->check([](const std::string& text) {
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            return end && *end == 0 && std::isfinite(v) ? std::string() : "not a finite number";
        });
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? kOk : kBadCommandLine;
    }
    if (go.view.size() == 4 && (go.view[0] == go.view[2] || go.view[1] == go.view[3])) {
        std::cerr << "--view: the rectangle has no area\n";
        return kBadCommandLine;
    }
    if (!vel::checkOutputFormats(guiCmd->parsed() ? go.outputs : o.outputs, std::cerr))
        return kBadCommandLine;
    if (o.show || so.show || guiCmd->parsed()) {
        const DisplayChoice display = ChooseDisplay();
        if (!display.usable() || display.unnamed) {
            std::cerr << "velhost: " << (guiCmd->parsed() ? "the window" : "--show")
                      << " needs a display (DISPLAY or WAYLAND_DISPLAY): "
                      << (display.usable() ? "none is set" : display.problem) << "\n";
            return kBadCommandLine;
        }
        o.platform = so.platform = go.platform = display.platform;
    }
    try {
        if (settingsCmd->parsed()) {
            RobotDialogs dialogs(so.show, so.platform, argv[0]);
            return velhost::runSettings(so, dialogs);
        }
        if (guiCmd->parsed()) return runGui(go, argv[0]);
        return run(o, argv[0]);
    } catch (const vel::FileError& e) {
        std::cerr << "velhost: " << e.what() << "\n";
        return kBadInput;
    } catch (const std::exception& e) {
        std::cerr << "velhost: " << e.what() << "\n";
        return kBadInput;
    }
}
