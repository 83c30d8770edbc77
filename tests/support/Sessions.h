// Sessions.h - end-to-end sessions: velhost runs the real plug-in on a drawing
// with a registry file and a session script of the test's own, and the test
// reads back the trace of host calls, the message boxes, the written drawing and
// the registry file.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/Scratch.h"
#include "tests/support/Velhost.h"

namespace e2e {

namespace fs = std::filesystem;
using nlohmann::json;

// Failure messages as the user reads them.
inline const std::string kCannot = "Insert 형상을 작성할 수 없습니다.";
inline const std::string kCannot2 = kCannot + "(2)";
inline const std::string kCannot3 = kCannot + "(3)";
inline const std::string kCannot4 = kCannot + "(4)";
inline const std::string kCannot5 = kCannot + "(5)";

inline const std::string kPromptPickOne = "형상 선택(확정:Dialog Open)";
inline const std::string kPromptPickMany = "형상 복수 선택(확정:Dialog Open)";
inline const std::string kPromptFirstCorner = "제 1점 선택(확정:Dialog Open)";
inline const std::string kPromptSecondCorner = "제 2점 선택 :";
inline const std::string kPromptEdit = "수치변경하실 치수지시 :";

// A closed 100 x 50 rectangle (segment 1, lines 2 to 5) and a circle of radius
// 10 in its middle (segment 6, element 7).
inline const char kPlateDrawing[] = R"({"format": "vel-drawing", "version": 1,
 "segments": [
  {"id": 1, "kind": 0, "closed": true, "elements": [
    {"id": 2, "type": 1, "values": [0, 0, 100, 0]},
    {"id": 3, "type": 1, "values": [100, 0, 100, 50]},
    {"id": 4, "type": 1, "values": [100, 50, 0, 50]},
    {"id": 5, "type": 1, "values": [0, 50, 0, 0]}]},
  {"id": 6, "kind": 0, "closed": false, "elements": [
    {"id": 7, "type": 2, "values": [50, 25, 10]}]}]})";

// Around the rectangle with the default side distances (up 5, down 6, left 6,
// right 5) the insert spans x -6 to 105 and y -6 to 55. Points on its annotations:
struct AnnotationPoints {
    static constexpr double upLeft[2] = {-7.5, 56.5};
    static constexpr double upRight[2] = {106.5, 56.5};
    static constexpr double downLeft[2] = {-7.5, -7.5};
    static constexpr double downRight[2] = {106.5, -7.5};
    static constexpr double up[2] = {49.5, 52.5};
    static constexpr double down[2] = {49.5, -3.0};
    static constexpr double left[2] = {-3.0, 24.5};
    static constexpr double right[2] = {102.5, 24.5};
};

inline std::string Pick(const double (&p)[2]) {
    std::ostringstream s;
    s << "pick " << p[0] << " " << p[1] << "\n";
    return s.str();
}

inline std::string ReadFile(const fs::path& path) {
    return orvanta_test::readFile(path);
}

// A callback of the host into the plug-in and the host calls that the plug-in
// made until the next callback.
struct Step {
    std::string callback;  // prestart, ready, execute, terminate; empty before the first
    int code = -1;         // the event code of an execute
    std::vector<json> calls;

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const json& c : calls) names.push_back(c["fn"]);
        return names;
    }
    std::vector<json> CallsOf(const std::string& fn) const {
        std::vector<json> found;
        for (const json& c : calls)
            if (c["fn"] == fn) found.push_back(c);
        return found;
    }
    bool Has(const std::string& fn) const { return !CallsOf(fn).empty(); }
};

struct SessionResult {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<json> trace;
    json drawing;  // as written at the end of the session
    std::vector<Step> steps;

    // The message box texts, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        std::istringstream in(out);
        const std::string prefix = "message: ";
        for (std::string line; std::getline(in, line);)
            if (line.rfind(prefix, 0) == 0) texts.push_back(line.substr(prefix.size()));
        return texts;
    }

    // Indices of the execute steps, in order.
    std::vector<size_t> Executes() const {
        std::vector<size_t> found;
        for (size_t i = 0; i < steps.size(); ++i)
            if (steps[i].callback == "execute") found.push_back(i);
        return found;
    }
    const Step& Execute(size_t n) const { return steps.at(Executes().at(n)); }

    // What the n-th execute answered, read from what the host did next: 2 calls
    // the ready function, 0 ends the run, 3 waits for the next event. A session
    // that expects 3 must go on with another event, as the end of a script
    // leaves the command like escape does.
    int ExecuteResult(size_t n) const {
        const size_t i = Executes().at(n);
        if (i + 1 >= steps.size()) return -1;
        const std::string& next = steps[i + 1].callback;
        if (next == "ready") return 2;
        if (next == "terminate") return 0;
        if (next == "execute") return 3;
        return -1;
    }
    // The ready step that follows the n-th execute.
    const Step& ReadyAfter(size_t n) const {
        const size_t i = Executes().at(n);
        EXPECT_EQ(steps.at(i + 1).callback, "ready");
        return steps.at(i + 1);
    }

    std::vector<const Step*> Terminates() const {
        std::vector<const Step*> found;
        for (const Step& s : steps)
            if (s.callback == "terminate") found.push_back(&s);
        return found;
    }

    // Every host call of the session with the given name.
    std::vector<json> CallsOf(const std::string& fn) const {
        std::vector<json> found;
        for (const json& line : trace)
            if (line.value("fn", "") == fn) found.push_back(line);
        return found;
    }
};

inline std::vector<Step> SplitSteps(const std::vector<json>& trace) {
    std::vector<Step> steps(1);
    for (const json& line : trace) {
        if (line.contains("callback")) {
            Step s;
            s.callback = line["callback"];
            s.code = line.value("code", -1);
            steps.push_back(std::move(s));
        } else {
            steps.back().calls.push_back(line);
        }
    }
    return steps;
}

// ---- reading the written drawing ------------------------------------------------

struct Box {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void Add(double x, double y) {
        minX = std::min(minX, x), minY = std::min(minY, y);
        maxX = std::max(maxX, x), maxY = std::max(maxY, y);
    }
};

inline std::vector<json> SegmentsOfKind(const json& drawing, int kind) {
    std::vector<json> found;
    for (const json& s : drawing["segments"])
        if (s["kind"] == kind) found.push_back(s);
    return found;
}

inline std::optional<json> SegmentById(const json& drawing, int id) {
    for (const json& s : drawing["segments"])
        if (s["id"] == id) return s;
    return std::nullopt;
}

inline std::vector<json> ElementsOfType(const json& segment, int type) {
    std::vector<json> found;
    for (const json& e : segment["elements"])
        if (e.value("type", 0) == type) found.push_back(e);
    return found;
}

// The box of a figure segment's lines (corners stand between them and do not
// widen it).
inline Box LineBox(const json& segment) {
    Box b;
    for (const json& e : ElementsOfType(segment, 1)) {
        const auto& v = e["values"];
        b.Add(v[0], v[1]);
        b.Add(v[2], v[3]);
    }
    return b;
}

// Closed four-line figures on the layer (the inserts' layer 0 unless given)
// whose lines span exactly the given box.
inline int CountOutlines(const json& drawing, double minX, double minY, double maxX, double maxY,
                         std::optional<int> layer = 0) {
    int n = 0;
    for (const json& s : SegmentsOfKind(drawing, 0)) {
        if (!s["closed"].get<bool>() || ElementsOfType(s, 1).size() != 4) continue;
        if (layer && s["layer"] != *layer) continue;
        const Box b = LineBox(s);
        if (std::fabs(b.minX - minX) < 1e-9 && std::fabs(b.minY - minY) < 1e-9 &&
            std::fabs(b.maxX - maxX) < 1e-9 && std::fabs(b.maxY - maxY) < 1e-9)
            ++n;
    }
    return n;
}

inline int CountOnLayer(const json& drawing, int layer) {
    int n = 0;
    for (const json& s : drawing["segments"])
        if (s["layer"] == layer) ++n;
    return n;
}

// ---- the fixture ----------------------------------------------------------------

class Session : public ::testing::Test {
protected:
    void SetUp() override { scratch_.emplace("e2e"); }
    void TearDown() override { scratch_.reset(); }

    std::string Path(const std::string& name) const { return scratch_->file(name); }

    void Write(const std::string& name, const std::string& text) const {
        scratch_->write(name, text);
    }

    // The registry file of the session: these values under the plug-in's key;
    // the plug-in adds every other one with its default at the first run.
    void Registry(const std::vector<std::pair<std::string, std::string>>& values) const {
        Write("registry.reg", orvanta_test::registryExport(values));
    }
    std::string RegistryText() const { return ReadFile(Path("registry.reg")); }

    void UseDrawing(const std::string& jsonText) {
        Write("drawing.json", jsonText);
        drawing_ = Path("drawing.json");
    }
    void UseDrawingFile(const std::string& path) { drawing_ = path; }

    // Runs the script in velhost, in the session's folder; the drawing is
    // written to end.json (and to any further outputs given).
    SessionResult Run(const std::string& script, const std::string& extraArgs = "") const {
        Write("session.vel", script);
        std::string args = "run";
        if (!drawing_.empty()) args += " --drawing '" + drawing_ + "'";
        args += " --script " + Path("session.vel") + " --registry " + Path("registry.reg") +
                " --trace " + Path("trace.jsonl") + " --out " + Path("end.json") + " " + extraArgs;
        fs::remove(Path("trace.jsonl"));
        fs::remove(Path("end.json"));
        Record(script, extraArgs);
        const orvanta_test::VelhostRun run = orvanta_test::runVelhost(args, scratch_->path());
        SessionResult r;
        r.status = run.status;
        r.out = run.out;
        r.err = run.err;
        std::istringstream trace(ReadFile(Path("trace.jsonl")));
        for (std::string line; std::getline(trace, line);) r.trace.push_back(json::parse(line));
        r.steps = SplitSteps(r.trace);
        const std::string drawing = ReadFile(Path("end.json"));
        if (!drawing.empty()) r.drawing = json::parse(drawing);
        return r;
    }

    json ReadDrawing(const std::string& name) const { return json::parse(ReadFile(Path(name))); }

    // With ORVANTA_RECORD_SESSIONS set, the inputs of each session are kept in a folder of their
    // own below it, with the velhost arguments (one a line) in `args` and every path relative to
    // the folder, so that another build of velhost can run the same session there
    // (scripts/test-windows.sh runs them under Wine and compares what both builds write).
    void Record(const std::string& script, const std::string& extraArgs) const {
        const char* root = std::getenv("ORVANTA_RECORD_SESSIONS");
        if (!root || !*root) return;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name() + "." +
                           std::to_string(++recorded_);
        std::replace(name.begin(), name.end(), '/', '_');
        const fs::path dir = fs::path(root) / name;
        fs::remove_all(dir);
        fs::create_directories(dir);
        const auto relative = [prefix = scratch_->path().string() + "/"](std::string text) {
            for (size_t at; (at = text.find(prefix)) != std::string::npos;)
                text.erase(at, prefix.size());
            return text;
        };
        std::ofstream(dir / "session.vel", std::ios::binary) << relative(script);
        std::vector<std::string> args;
        if (!drawing_.empty()) {
            const std::string drawing = "drawing" + fs::path(drawing_).extension().string();
            fs::copy_file(drawing_, dir / drawing);
            args.insert(args.end(), {"--drawing", drawing});
        }
        if (fs::exists(Path("registry.reg")))
            fs::copy_file(Path("registry.reg"), dir / "registry.reg");
        args.insert(args.end(), {"--script", "session.vel", "--registry", "registry.reg", "--trace",
                                 "trace.jsonl", "--out", "end.json"});
        std::istringstream extra(relative(extraArgs));
        for (std::string word; extra >> word;) args.push_back(word);
        std::ofstream out(dir / "args", std::ios::binary);
        for (const std::string& arg : args) out << arg << "\n";
    }

    std::optional<orvanta_test::ScratchFolder> scratch_;
    std::string drawing_;
    mutable int recorded_ = 0;
};

}  // namespace e2e
