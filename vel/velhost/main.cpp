// velhost - the stand-in CAD host program: loads the plug-in, reads a drawing,
// runs a session script against it and writes the drawing out; or runs the
// plug-in's settings dialog on its own. Dialogs are answered by the script's
// dialog lines and drawn offscreen unless --show is given.
#include <dlfcn.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "settings/RegistryStore.h"
#include "ui/DisplayProbe.h"
#include "ui/OrvantaDlg.h"
#include "ui/UiScope.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/gui/HostWindow.h"
#include "vel/io/DrawingFile.h"
#include "vel/io/Script.h"
#include "vel/kernel/Host.h"
#include "vel/velhost/DialogRobot.h"
#include "vel/velhost/DrawingFiles.h"

namespace fs = std::filesystem;

namespace {

enum ExitCode { kOk = 0, kBadInput = 1, kBadCommandLine = 2 };

void readDrawing(vel::Drawing& drawing, const std::string& path) {
    const std::string leftOut = velhost::ReadDrawing(drawing, path);
    if (!leftOut.empty()) std::cerr << path << ": " << leftOut << "\n";
}

fs::path programFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : self.parent_path();
}

using StartupFunc = int (*)(void);

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

// Every action of the script's dialog lines must be one the robot knows.
void checkDialogActions(const vel::Script& script) {
    for (const vel::ScriptCommand& c : script.commands) {
        if (c.kind != vel::ScriptCommand::Kind::Dialog) continue;
        for (const std::string& text : c.actions) {
            velhost::DialogAction action;
            std::string error;
            if (!velhost::ParseDialogAction(text, action, error))
                throw vel::FileError(script.fileName, c.line, error);
        }
    }
}

vel::Script readScript(const std::string& path) {
    vel::Script script;
    if (path == "-") {
        script = vel::parseScript(std::cin, "<stdin>");
    } else if (!path.empty()) {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw vel::FileError(path, 0, "cannot open");
        script = vel::parseScript(in, path);
    }
    checkDialogActions(script);
    return script;
}

void reportUnusedActions(const std::vector<std::string>& left) {
    if (left.empty()) return;
    std::cerr << "velhost: warning: " << left.size()
              << " dialog action(s) left unanswered by any dialog:";
    for (const std::string& a : left) std::cerr << " '" << a << "'";
    std::cerr << "\n";
}

// Makes `registry` (when given) the user's registry for this process and refuses a registry file
// that the plug-in could not rewrite, before anything runs.
void useRegistryFile(const std::string& registry) {
    if (!registry.empty()) setenv("VEL_REGISTRY", registry.c_str(), 1);
    const std::string file = CurrentUserRegistryFile();
    if (file.empty()) return;
    if (const std::string problem = RegistryFileProblem(file); !problem.empty())
        throw vel::FileError(file, 0, problem);
}

// Loads the plug-in (default: beside velhost) and lets it register its command.
void loadPlugin(const std::string& given) {
    const std::string plugin = given.empty() ? (programFolder() / "libOrvanta.so").string() : given;
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) throw vel::FileError(plugin, 0, std::string("cannot load: ") + dlerror());
    auto startup = reinterpret_cast<StartupFunc>(dlsym(library, "Startup"));
    if (!startup) throw vel::FileError(plugin, 0, "the library exports no Startup");
    if (startup() != 0) throw vel::FileError(plugin, 0, "Startup failed to register the command");
}

struct RunOptions {
    std::string plugin;
    std::string drawing;
    std::string script;
    std::string registry;
    std::vector<std::string> outputs;
    std::string trace;
    std::optional<int> layer;
    double aperture = 1.0;
    bool show = false;
    std::string platform;  // where --show shows the dialogs
};

int run(const RunOptions& o, const char* program) {
    useRegistryFile(o.registry);
    vel::Host& host = vel::Host::instance();
    const vel::Script script = readScript(o.script);
    HostApplication app(program, o.show, o.platform);

    std::ofstream trace;
    if (!o.trace.empty()) {
        trace.open(o.trace, std::ios::binary | std::ios::trunc);
        if (!trace) throw vel::FileError(o.trace, 0, "cannot open the trace for writing");
        host.setTrace(&trace);
    }
    host.setMessageStream(&std::cout);
    host.setAperture(o.aperture);

    loadPlugin(o.plugin);
    if (!o.drawing.empty()) readDrawing(host.drawing(), o.drawing);
    if (o.layer) host.drawing().setCurrentLayer(*o.layer);

    vel::ScriptRunner runner(
        host, [&](const std::string& file) { velhost::WriteDrawing(host.drawing(), file); });
    velhost::DialogRobot robot(runner.dialogAnswers(), std::cerr, o.show);
    runner.run(script);
    reportUnusedActions(runner.dialogAnswers());

    for (const std::string& out : o.outputs) velhost::WriteDrawing(host.drawing(), out);
    host.setTrace(nullptr);
    host.setMessageStream(nullptr);
    // The plug-in stays loaded: its globals may still be referenced by the host
    // until the process ends, as in a real host.
    return robot.Failed() ? kBadInput : kOk;
}

struct GuiOptions {
    std::string plugin;
    std::string drawing;
    std::string registry;
    std::vector<std::string> outputs;
    std::optional<int> layer;
    double aperture = 5.0;
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
    useRegistryFile(o.registry);
    vel::Host& host = vel::Host::instance();
    HostApplication app(program, true, o.platform);
    host.setAperture(1.0);
    loadPlugin(o.plugin);
    if (!o.drawing.empty()) readDrawing(host.drawing(), o.drawing);
    if (o.layer) host.drawing().setCurrentLayer(*o.layer);

    velgui::WindowOptions options;
    options.drawing = o.drawing;
    options.outputs = o.outputs;
    options.aperturePixels = o.aperture;
    if (!o.size.empty()) options.size = *parseSize(o.size);
    if (o.view.size() == 4) {
        vel::Extents area;
        area.add(vel::Point{o.view[0], o.view[1]});
        area.add(vel::Point{o.view[2], o.view[3]});
        options.view = area;
    }
    velgui::HostWindow window(host, options);
    window.show();
    QApplication::setQuitOnLastWindowClosed(true);
    QApplication::exec();
    host.escape();
    return kOk;
}

struct SettingsOptions {
    std::string registry;
    std::string script;
    bool show = false;
    std::string platform;
};

// The "Create Insert" dialog on its own: loads from the registry, saves on OK. A save that
// does not store every value is bad input: the message names the file and what failed.
int runSettings(const SettingsOptions& o, const char* program) {
    useRegistryFile(o.registry);
    const vel::Script script = readScript(o.script);
    std::vector<std::string> answers;
    for (const vel::ScriptCommand& c : script.commands) {
        if (c.kind != vel::ScriptCommand::Kind::Dialog)
            throw vel::FileError(script.fileName, c.line,
                                 "only dialog lines can answer the settings dialog");
        answers.insert(answers.end(), c.actions.begin(), c.actions.end());
    }
    HostApplication app(program, o.show, o.platform);
    velhost::DialogRobot robot(answers, std::cerr, o.show);
    bool accepted = false;
    bool saved = false;
    {
        UiScope scope;
        if (!scope.Available()) throw std::runtime_error("no user interface is available");
        OrvantaDlg dlg;
        accepted = dlg.DoModal() == IDOK;
        if (accepted) saved = dlg.SaveToRegistry();
    }
    reportUnusedActions(answers);
    const std::string file = CurrentUserRegistryFile();
    if (accepted && !saved) {
        const std::string why = CurrentUserRegistry().lastError();
        throw vel::FileError(file, 0, "settings not saved" + (why.empty() ? "" : ": " + why));
    }
    if (saved)
        std::cout << "settings saved to " << file << "\n";
    else
        std::cout << "settings dialog cancelled; nothing saved\n";
    return robot.Failed() ? kBadInput : kOk;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"velhost - runs the Orvanta plug-in in the stand-in CAD host"};
    app.require_subcommand(1);
    RunOptions o;
    CLI::App* runCmd = app.add_subcommand("run", "load the plug-in and run a session script");
    runCmd->add_option("--plugin", o.plugin,
                       "plug-in library (default: libOrvanta.so beside velhost)");
    runCmd->add_option("--drawing", o.drawing, "drawing to open (.json or .dxf)");
    runCmd->add_option("--script", o.script, "session script, or - for standard input");
    runCmd->add_option("--registry", o.registry, "registry file for this run");
    runCmd->add_option("--out", o.outputs, "write the drawing at the end (.json, .dxf, .svg)");
    runCmd->add_option("--trace", o.trace, "write every host call as one JSON line");
    runCmd->add_option("--layer", o.layer, "current layer for new segments")
        ->check(CLI::NonNegativeNumber);
    runCmd->add_option("--aperture", o.aperture, "pick reach in drawing units")
        ->check(CLI::PositiveNumber);
    runCmd->add_flag("--show", o.show,
                     "show the plug-in's dialogs on the display instead of offscreen");
    SettingsOptions so;
    CLI::App* settingsCmd = app.add_subcommand(
        "settings", "run the settings dialog \"Create Insert\" on its own; OK saves");
    settingsCmd->add_option("--registry", so.registry, "registry file to read and write");
    settingsCmd->add_option("--script", so.script,
                            "dialog lines that answer the dialog, or - for standard input");
    settingsCmd->add_flag("--show", so.show, "show the dialog on the display instead of offscreen");
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
    for (const std::string& out : guiCmd->parsed() ? go.outputs : o.outputs) {
        if (!velhost::WriterFor(out)) {
            std::cerr << out << ": unknown output format (use .json, .dxf or .svg)\n";
            return kBadCommandLine;
        }
    }
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
        if (settingsCmd->parsed()) return runSettings(so, argv[0]);
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
