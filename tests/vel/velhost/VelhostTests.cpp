// VelhostTests.cpp - the velhost program end to end: the plug-in loaded from
// beside it, scripts, registry files, traces, outputs and exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "orvanta/Version.h"
#include "tests/support/Velhost.h"
#include "vel/velhost/Version.h"

namespace fs = std::filesystem;

namespace {

using Result = orvanta_test::VelhostRun;

class Velhost : public ::testing::Test {
protected:
    void SetUp() override { scratch_.emplace("velhost"); }
    void TearDown() override { scratch_.reset(); }

    std::string Path(const std::string& name) const { return scratch_->file(name); }
    void Write(const std::string& name, const std::string& text) const {
        scratch_->write(name, text);
    }
    static std::string Read(const std::string& path) { return orvanta_test::readFile(path); }
    Result Run(const std::string& args) const {
        return orvanta_test::runVelhost(args, scratch_->path());
    }

    std::optional<orvanta_test::ScratchFolder> scratch_;
};

std::vector<nlohmann::json> Lines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

TEST_F(Velhost, TwoPointContinuousRunEndsWithOneRectangleDeletion) {
    Write("registry.reg", orvanta_test::registryExport({{"mType", "2"}, {"Method", "0"}}));
    Write("session.vel", "run\nescape\n");
    const Result r =
        Run("run --script " + Path("session.vel") + " --registry " + Path("registry.reg") +
            " --trace " + Path("trace.jsonl") + " --out " + Path("out.json"));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(Read(Path("trace.jsonl")));
    size_t terminate = lines.size();
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].value("callback", "") == "terminate") terminate = i;
    ASSERT_LT(terminate, lines.size());
    ASSERT_EQ(lines.size() - terminate - 1, 1u);
    EXPECT_EQ(lines.back()["fn"], "VelSgmDeleteSegment");

    const auto drawing = nlohmann::json::parse(Read(Path("out.json")));
    EXPECT_EQ(drawing["format"], "vel-drawing");
}

TEST_F(Velhost, RunLeftOpenAtTheEndOfTheScriptIsEscaped) {
    Write("session.vel", "# no escape\nrun\n");
    const Result r = Run("run --script " + Path("session.vel") + " --registry " +
                         Path("registry.reg") + " --trace " + Path("trace.jsonl"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Read(Path("trace.jsonl")).find(R"({"callback":"terminate"})"), std::string::npos);
    EXPECT_NE(Read(Path("registry.reg")).find("\"mType\"=\"0\""), std::string::npos)
        << "the first run writes the defaults to the registry file given";
}

TEST_F(Velhost, ScriptFaultsNameFileAndLine) {
    struct Case {
        const char* script;
        int line;
        const char* says;
    };
    const Case cases[] = {
        {"run\nfrobnicate\n", 2, "unknown command"},
        {"run\npick 1\n", 2, "takes 2 number"},
        {"run\npick 1 nan\n", 2, "not a finite number"},
        {"pick 1 1\n", 1, "needs a running command"},
        {"run\n\n# aim at nothing\npick 500 500\n", 4, "nothing within reach"},
        {"confirm\n", 1, "needs a running command"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        Write("bad.vel", c.script);
        const Result r =
            Run("run --script " + Path("bad.vel") + " --registry " + Path("registry.reg"));
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(Path("bad.vel") + ":" + std::to_string(c.line) + ":"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
}

TEST_F(Velhost, BadCommandLinesExitWithTwo) {
    EXPECT_EQ(Run("").status, 2);
    EXPECT_EQ(Run("run --no-such-option").status, 2);
    EXPECT_EQ(Run("run --aperture -1").status, 2);
    EXPECT_EQ(Run("run --out drawing.pdf").status, 2);
}

TEST_F(Velhost, VersionNamesVelhostsAndThePluginsItWouldLoad) {
    const Result r = Run("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "velhost " ORVANTA_VERSION "\nplug-in " +
                         (fs::path(VELHOST_PATH).parent_path() / "libOrvanta.so").string() +
                         ": Orvanta " ORVANTA_VERSION "\n");
}

// The mark is found across the chunks the file is read in, and only as a whole, ended version.
TEST_F(Velhost, AVersionMarkIsReadWhereverItLiesInTheFile) {
    const std::string mark = "@(#)Orvanta 2.10.3-rc1";
    for (size_t at : {size_t{0}, size_t{(1 << 20) - 9}, size_t{(3 << 20) + 5}}) {
        Write("lib.so", std::string(at, 'x') + mark + std::string(1, '\0') + "tail");
        EXPECT_EQ(velhost::versionMarkOf(Path("lib.so")), "2.10.3-rc1") << at;
    }
    Write("none.so", std::string(3000, '@'));
    EXPECT_EQ(velhost::versionMarkOf(Path("none.so")), "");
    Write("long.so", "@(#)Orvanta " + std::string(5000, '7'));
    EXPECT_EQ(velhost::versionMarkOf(Path("long.so")), "") << "too long to be a version";
    EXPECT_EQ(velhost::versionMarkOf(Path("missing.so")), "");
}

TEST_F(Velhost, BadDrawingOrPluginExitsWithOne) {
    Write("broken.json", "{\"format\": \"vel-drawing\", \"version\": 1, \"segments\": [");
    Result r = Run("run --drawing " + Path("broken.json") + " --registry " + Path("r.reg"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(Path("broken.json")), std::string::npos) << r.err;

    r = Run("run --drawing " + Path("missing.json") + " --registry " + Path("r.reg"));
    EXPECT_EQ(r.status, 1);

    r = Run("run --plugin " + Path("nothing.so"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nothing.so"), std::string::npos) << r.err;
}

TEST_F(Velhost, ScriptFromStandardInputAndSaveMidway) {
    Write("session.vel", "run\nsave " + Path("mid.svg") + "\nescape\n");
    const Result r = Run("run --script - --registry " + Path("r.reg") + " --out " +
                         Path("end.dxf") + " <" + Path("session.vel"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Read(Path("mid.svg")).find("<svg"), std::string::npos);
    EXPECT_NE(Read(Path("end.dxf")).find("EOF"), std::string::npos);
}

// Saving replaces the drawing the user meant and nothing else: a link's target (the link
// stays), with the old file's permissions; a read-only drawing is refused and left as it was;
// a file named like the temporary one survives, and a failed save leaves no litter.
TEST_F(Velhost, SavingKeepsLinksPermissionsAndNeighbours) {
    Write("empty.json", "{\"format\": \"vel-drawing\", \"version\": 1, \"segments\": []}");
    const std::string run = "run --drawing " + Path("empty.json") + " --registry " + Path("r.reg");

    Write("target.dxf", "old");
    fs::permissions(Path("target.dxf"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("target.dxf", Path("link.dxf"));
    Write("link.dxf.tmp", "keep me");
    Result r = Run(run + " --out " + Path("link.dxf"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(Path("link.dxf")));
    EXPECT_NE(Read(Path("target.dxf")).find("EOF"), std::string::npos);
    EXPECT_EQ(fs::status(Path("target.dxf")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Read(Path("link.dxf.tmp")), "keep me");

    Write("locked.dxf", "old");
    fs::permissions(Path("locked.dxf"), fs::perms::owner_read);
    r = Run(run + " --out " + Path("locked.dxf"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("read-only"), std::string::npos) << r.err;
    EXPECT_EQ(Read(Path("locked.dxf")), "old");

    fs::create_directory(Path("folder.dxf"));
    r = Run(run + " --out " + Path("folder.dxf"));
    EXPECT_EQ(r.status, 1);
    for (const auto& entry : fs::directory_iterator(scratch_->path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "link.dxf.tmp" || !name.ends_with(".tmp")) << name;
    }
}

}  // namespace
