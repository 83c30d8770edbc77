// UiTestSupport.h - running the plug-in's real dialogs in tests: a registry file of the test's
// own, the plug-in's UI scope (its own offscreen application), scheduling what the "user" does
// once a modal dialog is up, a watchdog that never lets a test hang, pixel reads on grabbed
// pictures, and screenshots under the build folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <string>

#include "tests/support/Scratch.h"
#include "ui/TemplateDialog.h"
#include "ui/UiScope.h"
#include "ui/qt/QtDialogs.h"
#include "vel/robot/TypeText.h"

namespace ui_test {

namespace fs = std::filesystem;

// A registry export holding the given string values under the plug-in's key.
inline std::string RegistryText(const std::map<std::string, std::string>& values) {
    return orvanta_test::registryExport({values.begin(), values.end()});
}

// Every value of the plug-in's key in a registry file, by name.
inline std::map<std::string, std::string> RegistryValues(const std::string& fileText) {
    std::map<std::string, std::string> values;
    const std::regex line(R"re("([^"]*)"="([^"]*)")re");
    for (auto it = std::sregex_iterator(fileText.begin(), fileText.end(), line);
         it != std::sregex_iterator(); ++it)
        values[(*it)[1]] = (*it)[2];
    return values;
}

inline std::string ReadFile(const fs::path& path) {
    return orvanta_test::readFile(path);
}

// Where the tests leave the pictures of the dialogs for a person to look at.
inline fs::path ScreenshotFolder() {
    const fs::path folder = fs::path(ORVANTA_TEST_OUTPUT_DIR) / "ui";
    fs::create_directories(folder);
    return folder;
}

inline void SaveScreenshot(QWidget* window, const std::string& name) {
    ASSERT_TRUE(window->grab().save(QString::fromStdString((ScreenshotFolder() / name).string())));
}

// The dialog a "user" acts on: the active modal dialog, once it is shown.
using ModalAction = std::function<void(QDialog*)>;

// Runs `action` on the first visible modal dialog other than `previous`, polling the event loop
// of whichever modal run is under way.
inline void WhenModal(ModalAction action, const QWidget* previous = nullptr, int triesLeft = 2000) {
    QTimer::singleShot(triesLeft == 2000 ? 0 : 2, [action, previous, triesLeft] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog != previous && dialog->isVisible()) {
            action(dialog);
        } else if (triesLeft > 0) {
            WhenModal(action, previous, triesLeft - 1);
        } else {
            ADD_FAILURE() << "no modal dialog came up";
        }
    });
}

// A child control of a running dialog by its id.
template <class Widget = QWidget>
Widget* Item(QDialog* dialog, int id) {
    const QString name = QString::number(id);
    for (QObject* child : dialog->children())
        if (auto* w = qobject_cast<Widget*>(child); w && w->objectName() == name) return w;
    return nullptr;
}

inline QColor PixelAt(const QImage& image, QPoint p) {
    return image.pixelColor(p);
}

// The picture of a window as it is on screen, in device-independent pixels.
inline QImage Grab(QWidget* window) {
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Each test runs inside the plug-in's UI scope, with a registry file of its own; a watchdog
// cancels any dialog still up after a while, so that a broken test fails instead of hanging.
class DialogTest : public orvanta_test::ScratchRegistryTest {
protected:
    DialogTest() : ScratchRegistryTest("ui") {}

    void SetUp() override {
        ScratchRegistryTest::SetUp();
        scope_.emplace();
        ASSERT_TRUE(scope_->Available());
        watchdog_ = new QTimer;
        watchdog_->setSingleShot(true);
        QObject::connect(watchdog_, &QTimer::timeout, [this] {
            watchdogFired_ = true;
            while (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->done(2);
        });
        watchdog_->start(20000);
    }

    void TearDown() override {
        LeaveScope();
        EXPECT_FALSE(watchdogFired_) << "a dialog was left open and had to be cancelled";
        ScratchRegistryTest::TearDown();
    }

    // Ends the UI scope (and with it the application the scope made).
    void LeaveScope() {
        delete watchdog_;
        watchdog_ = nullptr;
        scope_.reset();
    }

    void WriteRegistry(const std::map<std::string, std::string>& values) const {
        folder().write("registry.reg", RegistryText(values));
    }
    std::map<std::string, std::string> Registry() const {
        return RegistryValues(ReadFile(registryFile()));
    }

    std::optional<UiScope> scope_;
    QTimer* watchdog_ = nullptr;
    bool watchdogFired_ = false;
};

}  // namespace ui_test
