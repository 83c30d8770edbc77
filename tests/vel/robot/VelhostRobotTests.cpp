// VelhostRobotTests.cpp - velhost answering the plug-in's dialogs from session scripts (typing,
// clicking, choosing, keys, the close box, pictures of the dialog), cancelling a dialog nobody
// answers, refusing actions it cannot carry out, `velhost settings`, and refusing registry files
// it cannot rewrite.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "tests/support/Velhost.h"
#include "tests/ui/UiTestSupport.h"

namespace ui_test {
namespace {

using orvanta_test::otherVelhost;
using Result = orvanta_test::VelhostRun;

class VelhostRobot : public ::testing::Test {
protected:
    void SetUp() override { scratch_.emplace("robot"); }
    void TearDown() override { scratch_.reset(); }

    std::string Path(const std::string& name) const { return scratch_->file(name); }

    void WriteRegistry(const std::map<std::string, std::string>& values) const {
        scratch_->write("registry.reg", RegistryText(values));
    }
    std::map<std::string, std::string> Registry() const {
        return RegistryValues(ReadFile(Path("registry.reg")));
    }

    // velhost with the arguments, the script as its session file, and the registry file.
    Result Velhost(const std::string& args, const std::string& script,
                   const std::string& registry = "") const {
        scratch_->write("session.vel", script);
        return orvanta_test::runVelhost(args + " --script " + Path("session.vel") + " --registry " +
                                            (registry.empty() ? Path("registry.reg") : registry),
                                        scratch_->path());
    }

    std::optional<orvanta_test::ScratchFolder> scratch_;
};

TEST_F(VelhostRobot, SettingsSubcommandSavesWhatTheActionsEnteredOnOk) {
    WriteRegistry({{"mType", "0"}, {"mIsCheckHole", "0"}});
    const Result r = Velhost("settings",
                             "dialog type 12002 12.5, choose 12023 2, click 12033, "
                             "type 12036 0.25, click 12001, ok\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("settings saved to " + Path("registry.reg")), std::string::npos) << r.out;
    const auto stored = Registry();
    EXPECT_EQ(stored.size(), 30u);
    EXPECT_EQ(stored.at("mDisUp"), "12.5");
    EXPECT_EQ(stored.at("mType"), "2");
    EXPECT_EQ(stored.at("mIsCheckHole"), "1");
    EXPECT_EQ(stored.at("mCornerRHole"), "0.25");
    EXPECT_EQ(stored.at("Method"), "1");
}

TEST_F(VelhostRobot, SettingsCancelledSaveNothingButTheMissingDefaults) {
    WriteRegistry({{"mDisUp", "9.0"}});
    const Result r = Velhost("settings", "dialog type 12002 1, close\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("cancelled"), std::string::npos) << r.out;
    const auto stored = Registry();
    EXPECT_EQ(stored.at("mDisUp"), "9.0");
    EXPECT_EQ(stored.at("Color"), "MAINCOLOR06") << "a missing value is written back at load";
}

TEST_F(VelhostRobot, EnterAndEscapeLeaveTheSettingsDialogOpen) {
    // If a key had closed the dialog, the typing after it would find no dialog.
    const Result r =
        Velhost("settings", "dialog key escape, key enter, type 12002 3.25, key escape, ok\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Registry().at("mDisUp"), "3.3");
}

TEST_F(VelhostRobot, TabStopsWhereTheTemplateSaysAndButtonsActOnTheFirstClickOfTwo) {
    // "Create Insert": from the type list Tab skips the radio buttons and the controls without
    // a tab stop, to the hole's check box.
    WriteRegistry({{"mIsCheckHole", "0"}});
    const Result settings = Velhost("settings", "dialog choose 12023 1, key tab, key space, ok\n");
    ASSERT_EQ(settings.status, 0) << settings.err;
    EXPECT_EQ(Registry()["mIsCheckHole"], "1");

    // The corner popup: from the value, Tab goes to the cancel button, then to the kind that is
    // checked (chamfer), where Space takes it: the same as clicking it.
    const std::string examples = std::string(ORVANTA_SOURCE_DIR) + "/examples/";
    auto edit = [&](const std::string& answer, const std::string& out) {
        fs::copy_file(examples + "sessions/edit-annotated.reg", Path("registry.reg"),
                      fs::copy_options::overwrite_existing);
        const Result r = Velhost(
            "run --drawing " + examples + "bracket.dxf --out " + Path(out),
            "run\npick 80 0\ndialog type 12025 4, " + answer + "\npick -7.5 106.5\nconfirm\n");
        EXPECT_EQ(r.status, 0) << r.err;
        return ReadFile(Path(out));
    };
    const std::string byKeys = edit("key tab, key tab, key space", "keys.json");
    EXPECT_FALSE(byKeys.empty());
    EXPECT_EQ(byKeys, edit("click 12002", "click.json"));
    // A double click on a kind acts on its first click.
    EXPECT_EQ(edit("dblclick 12001", "double.json"), edit("click 12001", "corner.json"));
}

TEST_F(VelhostRobot, PickersOpenedFromTheDialogAreAnsweredInTurn) {
    const Result r = Velhost("settings",
                             "dialog click 12038, dblclick 17042, "
                             "click 12020, click 17083, key space, "
                             "click 12019, click 17046, cancel, "
                             "click 12039, key tab, key escape, ok\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto stored = Registry();
    EXPECT_EQ(stored.at("ColorHole"), "MAINCOLOR12");
    EXPECT_EQ(stored.at("PA_LType"), "LINETYPE07");
    EXPECT_EQ(stored.at("LType"), "LINETYPE07");
    EXPECT_EQ(stored.at("Color"), "MAINCOLOR06") << "the colour picker was cancelled";
    EXPECT_EQ(stored.count("PA_Color"), 0u);
    EXPECT_EQ(stored.at("LTypeHole"), "LINETYPE07");
}

TEST_F(VelhostRobot, ShotSavesAPictureOfTheActiveDialog) {
    const std::string dialogShot = Path("dialog.png");
    const std::string pickerShot = Path("picker.png");
    const Result r = Velhost("settings", "dialog shot " + dialogShot + ", click 12019, shot " +
                                             pickerShot + ", cancel, cancel\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage dialog(QString::fromStdString(dialogShot));
    const QImage picker(QString::fromStdString(pickerShot));
    ASSERT_FALSE(dialog.isNull());
    ASSERT_FALSE(picker.isNull());
    EXPECT_GT(dialog.width(), picker.width());
    EXPECT_GT(dialog.height(), picker.height());
    if (otherVelhost()) return;  // the folder holds this build's pictures
    fs::copy_file(dialogShot, ScreenshotFolder() / "velhost-settings.png",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(pickerShot, ScreenshotFolder() / "velhost-color-picker.png",
                  fs::copy_options::overwrite_existing);
}

TEST_F(VelhostRobot, DialogWithNothingQueuedIsCancelledWithAWarning) {
    WriteRegistry({{"mType", "0"}, {"Method", "0"}});
    const Result r = Velhost("run", "run\nconfirm\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: dialog 12017 \"Create Insert\" opened with no dialog action "
                         "queued; cancelled"),
              std::string::npos)
        << r.err;
}

TEST_F(VelhostRobot, PickerLeftWithoutActionsIsCancelledAndSoIsItsDialog) {
    const Result r = Velhost("settings", "dialog type 12002 4, click 12019\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("dialog 17079 \"Color Property\" opened with no dialog action"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("dialog 12017 \"Create Insert\" opened with no dialog action"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(Registry().at("mDisUp"), "5.0") << "cancelled, nothing saved";
}

TEST_F(VelhostRobot, ActionsNoDialogTookAreReported) {
    const Result r = Velhost("settings", "dialog cancel, ok, key enter\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("2 dialog action(s) left unanswered by any dialog: 'ok' 'key enter'"),
              std::string::npos)
        << r.err;
}

TEST_F(VelhostRobot, UnknownActionIsRefusedWithItsLineBeforeAnythingRuns) {
    const Result r = Velhost("run", "run\n\ndialog type 12002 1, press 12019\nconfirm\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("session.vel:3"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("unknown dialog action 'press'"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("registry.reg"))) << "nothing ran";

    for (const std::string bad : {"choose 12023 x", "key delete", "click", "ok now", "shot",
                                  "dblclick 12019 2", "type abc"}) {
        const Result s = Velhost("settings", "dialog " + bad + "\n");
        EXPECT_EQ(s.status, 1) << bad;
        EXPECT_NE(s.err.find("session.vel:1"), std::string::npos) << bad << ": " << s.err;
    }
}

TEST_F(VelhostRobot, ActionThatCannotBeCarriedOutFailsTheSessionAndCancels) {
    for (const std::string& bad :
         {std::string("click 4711"), std::string("type 12023 5"), std::string("choose 12023 3"),
          std::string("choose 12002 0"), "shot " + Path("no/such/folder/x.png")}) {
        const Result r = Velhost("settings", "dialog " + bad + ", type 12002 2, ok\n");
        EXPECT_EQ(r.status, 1) << bad;
        EXPECT_NE(r.err.find("dialog action '" + bad + "' on dialog 12017"), std::string::npos)
            << r.err;
        EXPECT_NE(r.out.find("cancelled"), std::string::npos) << bad;
        EXPECT_EQ(Registry().at("mDisUp"), "5.0") << bad;
    }
}

TEST_F(VelhostRobot, SettingsTakesOnlyDialogLines) {
    const Result r = Velhost("settings", "dialog ok\nrun\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("only dialog lines"), std::string::npos) << r.err;
}

TEST_F(VelhostRobot, ShowOrTheWindowWithoutAUsableDisplayIsACommandLineError) {
    if (otherVelhost()) GTEST_SKIP() << "a display is what this build's velhost needs";
    // No display at all, and one that is named but does not answer.
    for (const std::string env : {"-u DISPLAY", "DISPLAY=:4711"})
        for (const std::string use : {"settings --show", "gui"}) {
            SCOPED_TRACE(env + " " + use);
            const Result r = orvanta_test::runVelhost(
                use + " --registry " + Path("registry.reg"), scratch_->path(),
                "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + env);
            ASSERT_NE(r.status, -1) << "no abort";
            EXPECT_EQ(r.status, 2);
            EXPECT_NE(r.err.find("needs a display"), std::string::npos);
        }
}

TEST_F(VelhostRobot, ARegistryFileThatIsNoExportStopsRunAndSettingsUntouched) {
    const std::string notes = "my notes\nmType=2\n";
    std::ofstream(Path("registry.reg"), std::ios::binary) << notes;
    for (const std::string command : {"run", "settings"}) {
        const Result r = Velhost(command, command == "run" ? "run\nconfirm\n" : "dialog ok\n");
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(r.err.find("velhost: " + Path("registry.reg") + ": not a registry export"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(r.out, "") << "nothing ran";
        EXPECT_EQ(ReadFile(Path("registry.reg")), notes);
    }
}

TEST_F(VelhostRobot, SettingsThatCannotBeStoredAreReportedNotSaidSaved) {
    std::ofstream(Path("file.reg")) << "";
    const std::string underAFile = Path("file.reg") + "/registry.reg";
    const Result r = Velhost("settings", "dialog type 12002 7, ok\n", underAFile);
    EXPECT_EQ(r.status, 1);
    // What the system says comes last, in its own words.
    const std::string said = "velhost: " + underAFile +
                             ": settings not saved: cannot create the folder " + Path("file.reg") +
                             ": ";
    const size_t at = r.err.find(said);
    ASSERT_NE(at, std::string::npos) << r.err;
    EXPECT_GT(r.err.find('\n', at), at + said.size()) << r.err;
    EXPECT_EQ(r.out.find("saved to"), std::string::npos) << r.out;
}

TEST_F(VelhostRobot, KoreanTextIsTypedAsIs) {
    const Result r = Velhost(
        "settings", "dialog click 12014, type 12015 레이어, click 12033, type 12034 구멍 1, ok\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Registry().at("mLayer"), "레이어");
    EXPECT_EQ(Registry().at("mLayerHole"), "구멍 1");
}

}  // namespace
}  // namespace ui_test
