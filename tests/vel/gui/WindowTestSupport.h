// WindowTestSupport.h - what the tests of velhost's window share: the widget application
// they all run in, the plug-in loaded as velhost loads it, and the WindowSessions fixture that
// opens the window offscreen, plays a session script on it with clicks, drags and keys, and
// keeps pictures of what the person sees in the test output.
#pragma once

#include <dlfcn.h>

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Sessions.h"
#include "vel/dxf/DrawingFiles.h"
#include "vel/gui/Canvas.h"
#include "vel/gui/HostWindow.h"
#include "vel/io/Script.h"

namespace e2e {

inline const std::string kExamples = std::string(ORVANTA_SOURCE_DIR) + "/examples";
inline const QSize kCanvas(900, 600);

inline std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// The plug-in as velhost loads it, once for the process; its command registered anew.
inline void StartPlugin() {
    static void* library = dlopen(ORVANTA_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto startup = reinterpret_cast<int (*)()>(dlsym(library, "Startup"));
    ASSERT_NE(startup, nullptr);
    ASSERT_EQ(startup(), 0);
}

// The widget application the window runs in, as velhost makes it, for the whole
// program; the plug-in's dialogs run in it too. It goes before the program ends,
// and with it what the font system holds for it.
class Application : public ::testing::Environment {
public:
    void SetUp() override {
        app_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[10] = "gui_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};
// Registered once for the whole program, whichever test files include this.
[[maybe_unused]] inline ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new Application);

class WindowSessions : public Session {
protected:
    void SetUp() override {
        Session::SetUp();
        // The window's remembered snaps and recent files in this test's own folder: tests run
        // side by side, and one window's snaps written into a shared file would show in another's.
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(Path("settings")));
        registry_.emplace(Path("window.reg"));
        host().reset();
        StartPlugin();
    }
    void TearDown() override {
        window_.reset();
        host().escape();
        host().setTrace(nullptr);
        host().reset();
        registry_.reset();
        Session::TearDown();
    }

    static vel::Host& host() { return vel::Host::instance(); }

    void OpenWindow(const std::string& drawing) {
        velgui::WindowOptions options;
        options.leftOut = vel::readDrawing(host().drawing(), drawing);
        options.drawing = drawing;
        options.size = kCanvas;
        window_ = std::make_unique<velgui::HostWindow>(host(), options);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        QTest::qWait(20);
        EXPECT_EQ(canvas().size(), kCanvas);  // the drawing area has the size asked for
    }
    velgui::Canvas& canvas() { return window_->canvas(); }

    // The pixel a person clicks for a drawing point, and the drawing point it stands for.
    QPoint PixelOf(double x, double y) { return canvas().screenPointOf({x, y}); }

    // A window dragged over the canvas with the left button, as a hand moves it.
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers keys = {}) {
        QTest::mousePress(&canvas(), Qt::LeftButton, keys, from);
        QTest::mouseMove(&canvas(), (from + to) / 2);
        QTest::mouseMove(&canvas(), to);
        QTest::mouseRelease(&canvas(), Qt::LeftButton, keys, to);
    }
    std::string At(QPoint pixel) {
        const vel::Point p = canvas().drawingPointOf(pixel);
        return Number(p.x) + " " + Number(p.y);
    }

    void type(const QString& text) {
        QTest::keyClicks(&canvas(), text);
        EXPECT_EQ(window_->commandLine().text(), text);  // what is typed on the canvas lands here
        QTest::keyClick(&window_->commandLine(), Qt::Key_Return);
    }

    // Plays the example's script on the window; returns the same session as a
    // script whose points are those of the pixels clicked.
    std::string Play(const std::string& scriptText, std::vector<std::string>& dialogQueue) {
        std::istringstream in(scriptText);
        const vel::Script script = vel::parseScript(in, "example");
        std::string played;
        using Kind = vel::ScriptCommand::Kind;
        for (const vel::ScriptCommand& c : script.commands) {
            const std::vector<double>& n = c.numbers;
            switch (c.kind) {
                case Kind::Run:
                    type(QStringLiteral("INSERT"));
                    played += "run\n";
                    break;
                case Kind::Pick: {
                    // The point the pixel stands for before the click: a click that
                    // makes something can move the view.
                    const QPoint p = PixelOf(n[0], n[1]);
                    const vel::Point taken = canvas().pointAt(p);  // snapped, near a figure's point
                    played += "pick " + Number(taken.x) + " " + Number(taken.y) + "\n";
                    QTest::mouseMove(&canvas(), p);
                    QTest::mouseClick(&canvas(), Qt::LeftButton, {}, p);
                    break;
                }
                case Kind::Select: {
                    const QPoint a = PixelOf(std::min(n[0], n[2]), std::max(n[1], n[3]));
                    const QPoint b = PixelOf(std::max(n[0], n[2]), std::min(n[1], n[3]));
                    Drag(a, b);
                    played += "select " + At(a) + " " + At(b) + "\n";
                    break;
                }
                case Kind::Done:
                    QTest::keyClick(&canvas(), Qt::Key_Space);
                    played += "done\n";
                    break;
                case Kind::Confirm:
                    QTest::mouseClick(&canvas(), Qt::RightButton, {}, QPoint(5, 5));
                    played += "confirm\n";
                    break;
                case Kind::Escape:
                    QTest::keyClick(&canvas(), Qt::Key_Escape);
                    played += "escape\n";
                    break;
                case Kind::Key:
                    ADD_FAILURE() << "the examples have no key line";
                    break;
                case Kind::Save:
                    break;
                case Kind::Dialog:
                    dialogQueue.insert(dialogQueue.end(), c.actions.begin(), c.actions.end());
                    played += "dialog ";
                    for (size_t i = 0; i < c.actions.size(); ++i)
                        played += (i ? ", " : "") + c.actions[i];
                    played += "\n";
                    break;
            }
        }
        return played;
    }

    static std::string DrawingJson() {
        std::ostringstream out;
        vel::makeJsonWriter()->write(host().drawing(), out);
        return out.str();
    }

    void Shot(const std::string& name) {
        const fs::path folder = fs::path(ORVANTA_TEST_OUTPUT_DIR) / "window";
        fs::create_directories(folder);
        QCoreApplication::sendPostedEvents();  // the layout follows the texts that changed
        window_->grab().save(QString::fromStdString((folder / (name + ".png")).string()));
    }

    std::unique_ptr<velgui::HostWindow> window_;
    std::optional<orvanta_test::RegistryOverride> registry_;
};

}  // namespace e2e
