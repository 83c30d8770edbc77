// Script.cpp - parsing and running session scripts.
#include "vel/io/Script.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <sstream>

#include "vel/io/DrawingFile.h"

namespace vel {

namespace {

std::string trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

bool parseNumber(const std::string& text, double& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    return ec == std::errc() && ptr == last && std::isfinite(value);
}

struct Syntax {
    const char* name;
    ScriptCommand::Kind kind;
    int numbers;  // -1: takes a file or a list instead
};

constexpr Syntax kSyntax[] = {
    {"run", ScriptCommand::Kind::Run, 0},        {"escape", ScriptCommand::Kind::Escape, 0},
    {"pick", ScriptCommand::Kind::Pick, 2},      {"select", ScriptCommand::Kind::Select, 4},
    {"done", ScriptCommand::Kind::Done, 0},      {"confirm", ScriptCommand::Kind::Confirm, 0},
    {"key", ScriptCommand::Kind::Key, 0},        {"save", ScriptCommand::Kind::Save, -1},
    {"dialog", ScriptCommand::Kind::Dialog, -1},
};

}  // namespace

Script parseScript(std::istream& in, const std::string& fileName) {
    Script script;
    script.fileName = fileName;
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        const size_t hash = raw.find('#');
        const std::string line = trim(hash == std::string::npos ? raw : raw.substr(0, hash));
        if (line.empty()) continue;
        const size_t space = line.find_first_of(" \t");
        const std::string name = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : trim(line.substr(space));

        const Syntax* syntax = nullptr;
        for (const Syntax& s : kSyntax)
            if (name == s.name) syntax = &s;
        if (!syntax) throw FileError(fileName, lineNo, "unknown command '" + name + "'");

        ScriptCommand c;
        c.kind = syntax->kind;
        c.line = lineNo;
        if (syntax->numbers >= 0) {
            const auto args = words(rest);
            if (static_cast<int>(args.size()) != syntax->numbers)
                throw FileError(fileName, lineNo,
                                name + " takes " + std::to_string(syntax->numbers) +
                                    " number(s), got " + std::to_string(args.size()));
            for (const std::string& a : args) {
                double v = 0.0;
                if (!parseNumber(a, v))
                    throw FileError(fileName, lineNo, "'" + a + "' is not a finite number");
                c.numbers.push_back(v);
            }
        } else if (c.kind == ScriptCommand::Kind::Save) {
            if (rest.empty()) throw FileError(fileName, lineNo, "save needs a file name");
            c.file = rest;
        } else {
            std::istringstream list(rest);
            for (std::string action; std::getline(list, action, ',');) {
                action = trim(action);
                if (action.empty())
                    throw FileError(fileName, lineNo, "dialog needs a non-empty action list");
                c.actions.push_back(action);
            }
            if (c.actions.empty())
                throw FileError(fileName, lineNo, "dialog needs at least one action");
        }
        script.commands.push_back(std::move(c));
    }
    if (in.bad()) throw FileError(fileName, lineNo, "cannot read the script");
    return script;
}

ScriptRunner::ScriptRunner(Host& host, SaveFunction save) : host_(host), save_(std::move(save)) {}

void ScriptRunner::run(const Script& script) {
    try {
        for (const ScriptCommand& c : script.commands) execute(script, c);
    } catch (...) {
        // A faulty script still leaves the command, so the plug-in can clean up.
        host_.escape();
        throw;
    }
    host_.escape();
}

void ScriptRunner::execute(const Script& script, const ScriptCommand& c) {
    auto fail = [&](const std::string& message) {
        throw FileError(script.fileName, c.line, message);
    };
    auto needRun = [&](const char* what) {
        if (!host_.running()) fail(std::string(what) + " needs a running command");
    };
    using Kind = ScriptCommand::Kind;
    switch (c.kind) {
        case Kind::Run:
            if (!host_.registered()) fail("no command is registered");
            if (host_.running()) fail("the command is already running");
            host_.startCommand();
            break;
        case Kind::Escape:
            host_.escape();
            break;
        case Kind::Pick:
            pick(script, c);
            break;
        case Kind::Select: {
            needRun("select");
            if (host_.eventMask() != VEL_MASK_SELECTION) fail("no selection is armed");
            Extents window;
            window.add(Point{c.numbers[0], c.numbers[1]});
            window.add(Point{c.numbers[2], c.numbers[3]});
            for (int id : host_.segmentsInside(window)) host_.addToSelection(id);
            break;
        }
        case Kind::Done:
        case Kind::Confirm:
        case Kind::Key: {
            needRun(c.kind == Kind::Done ? "done" : c.kind == Kind::Confirm ? "confirm" : "key");
            VelEventData e;
            e.code = c.kind == Kind::Done      ? VEL_EVENT_SELECTION_DONE
                     : c.kind == Kind::Confirm ? VEL_EVENT_CONFIRM
                                               : VEL_EVENT_OTHER;
            host_.dispatch(e);
            break;
        }
        case Kind::Save:
            if (save_) save_(c.file);
            break;
        case Kind::Dialog:
            dialogAnswers_.insert(dialogAnswers_.end(), c.actions.begin(), c.actions.end());
            break;
    }
}

void ScriptRunner::pick(const Script& script, const ScriptCommand& c) {
    auto fail = [&](const std::string& message) {
        throw FileError(script.fileName, c.line, message);
    };
    if (!host_.running()) fail("pick needs a running command");
    const Point p{c.numbers[0], c.numbers[1]};
    std::ostringstream where;
    where << "(" << p.x << ", " << p.y << ")";
    VelEventData e;
    e.code = VEL_EVENT_POINTER;
    e.hasPoint = true;
    e.point = p;
    switch (host_.eventMask()) {
        case VEL_MASK_FIGURE: {
            const auto seg = host_.nearestSegment(p);
            if (!seg) fail("nothing within reach of " + where.str());
            e.segmentId = *seg;
            e.instanceId = 1;
            break;
        }
        case VEL_MASK_ELEMENT: {
            const auto el = host_.nearestElement(p);
            if (!el) fail("no pickable element within reach of " + where.str());
            e.elementId = *el;
            e.segmentId = host_.drawing().segmentOfElement(*el)->id;
            e.instanceId = 1;
            break;
        }
        case VEL_MASK_POINT:
            break;
        case VEL_MASK_SELECTION: {
            const auto seg = host_.nearestSegment(p);
            if (!seg) fail("nothing within reach of " + where.str());
            host_.addToSelection(*seg);
            return;
        }
        default:
            fail("no pick is armed");
    }
    host_.dispatch(e);
}

}  // namespace vel
