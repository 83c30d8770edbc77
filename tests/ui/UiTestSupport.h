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
#include <QPainter>
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
#include <vector>

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

// The dialog's picture with a numbered mark on each control named, from 1 in that order, for the
// README's tables of what each control means; a small dialog is enlarged so that the marks leave
// its controls readable. Every control named must be there.
inline void SaveNumberedScreenshot(QDialog* dialog, const std::string& name,
                                   const std::vector<int>& ids) {
    const int scale = dialog->width() < 300 ? 3 : 1;
    QImage image = dialog->grab().toImage().convertToFormat(QImage::Format_RGB32);
    image = image.scaled(image.size() * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    for (size_t k = 0; k < ids.size(); ++k) {
        const QWidget* control = Item(dialog, ids[k]);
        ASSERT_NE(control, nullptr) << ids[k];
        const QPoint corner = control->mapTo(dialog, QPoint(0, 0)) * scale;
        const QRect mark(std::max(0, corner.x() - 7), std::max(0, corner.y() - 7), 15, 15);
        painter.setPen(Qt::black);
        painter.setBrush(QColor(255, 170, 0));
        painter.drawEllipse(mark);
        painter.drawText(mark, Qt::AlignCenter, QString::number(k + 1));
    }
    painter.end();
    ASSERT_TRUE(image.save(QString::fromStdString((ScreenshotFolder() / name).string())));
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
