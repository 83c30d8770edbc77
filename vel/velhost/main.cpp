// velhost - the stand-in CAD host program: loads the plug-in, reads a drawing,
// runs a session script against it and writes the drawing out; or runs the
// plug-in's settings dialog on its own. Dialogs are answered by the script's
// dialog lines and drawn offscreen unless --show is given.
#include <dlfcn.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "settings/RegistryStore.h"
#include "ui/DisplayProbe.h"
#include "ui/OrvantaDlg.h"
#include "ui/UiScope.h"
#include "vel/dxf/DxfFormat.h"
#include "vel/io/DrawingFile.h"
#include "vel/io/Script.h"
#include "vel/kernel/Host.h"
#include "vel/velhost/DialogRobot.h"

namespace fs = std::filesystem;

namespace {

enum ExitCode { kOk = 0, kBadInput = 1, kBadCommandLine = 2 };

std::string extensionOf(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::unique_ptr<vel::DrawingWriter> writerFor(const std::string& path) {
    const std::string ext = extensionOf(path);
    if (ext == ".json") return vel::makeJsonWriter();
    if (ext == ".svg") return vel::makeSvgWriter();
    if (ext == ".dxf") return vel::makeDxfWriter();
    return nullptr;
}

// Written to a temporary file beside the target and renamed over it, so that a
// failed write never leaves half a drawing behind.
void writeDrawing(const vel::Drawing& drawing, const std::string& path) {
    auto writer = writerFor(path);
    if (!writer) throw vel::FileError(path, 0, "unknown output format (use .json, .dxf or .svg)");
    const fs::path target(path);
    const fs::path temp = target.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary);
        if (!out) throw vel::FileError(path, 0, "cannot open for writing");
        writer->write(drawing, out);
        out.flush();
        if (!out) throw vel::FileError(path, 0, "write failed");
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) throw vel::FileError(path, 0, "cannot replace the file: " + ec.message());
}

void readDrawing(vel::Drawing& drawing, const std::string& path) {
    const std::string ext = extensionOf(path);
    if (ext == ".dxf") {
        const vel::DxfReadReport report = vel::readDxfDrawing(path, drawing);
        if (report.leftOut.total() > 0)
            std::cerr << path << ": " << report.leftOut.summary() << "\n";
        return;
    }
    if (ext != ".json") throw vel::FileError(path, 0, "unknown drawing format (use .json or .dxf)");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw vel::FileError(path, 0, "cannot open");
    vel::readJsonDrawing(in, path, drawing);
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

    const std::string plugin =
        o.plugin.empty() ? (programFolder() / "libOrvanta.so").string() : o.plugin;
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) throw vel::FileError(plugin, 0, std::string("cannot load: ") + dlerror());
    auto startup = reinterpret_cast<StartupFunc>(dlsym(library, "Startup"));
    if (!startup) throw vel::FileError(plugin, 0, "the library exports no Startup");
    if (startup() != 0) throw vel::FileError(plugin, 0, "Startup failed to register the command");

    if (!o.drawing.empty()) readDrawing(host.drawing(), o.drawing);
    if (o.layer) host.drawing().setCurrentLayer(*o.layer);

    vel::ScriptRunner runner(host,
                             [&](const std::string& file) { writeDrawing(host.drawing(), file); });
    velhost::DialogRobot robot(runner.dialogAnswers(), std::cerr, o.show);
    runner.run(script);
    reportUnusedActions(runner.dialogAnswers());

    for (const std::string& out : o.outputs) writeDrawing(host.drawing(), out);
    host.setTrace(nullptr);
    host.setMessageStream(nullptr);
    // The plug-in stays loaded: its globals may still be referenced by the host
    // until the process ends, as in a real host.
    return robot.Failed() ? kBadInput : kOk;
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
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? kOk : kBadCommandLine;
    }
    for (const std::string& out : o.outputs) {
        if (!writerFor(out)) {
            std::cerr << out << ": unknown output format (use .json, .dxf or .svg)\n";
            return kBadCommandLine;
        }
    }
    if (o.show || so.show) {
        const DisplayChoice display = ChooseDisplay();
        if (!display.usable() || display.unnamed) {
            std::cerr << "velhost: --show needs a display (DISPLAY or WAYLAND_DISPLAY): "
                      << (display.usable() ? "none is set" : display.problem) << "\n";
            return kBadCommandLine;
        }
        o.platform = so.platform = display.platform;
    }
    try {
        if (settingsCmd->parsed()) return runSettings(so, argv[0]);
        return run(o, argv[0]);
    } catch (const vel::FileError& e) {
        std::cerr << "velhost: " << e.what() << "\n";
        return kBadInput;
    } catch (const std::exception& e) {
        std::cerr << "velhost: " << e.what() << "\n";
        return kBadInput;
    }
}
