// Script.cpp - parsing and running session scripts.
#include "vel/io/Script.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <sstream>

#include "vel/io/DrawingFile.h"
#include "vel/io/HostInput.h"

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
    auto check = [&](const InputResult& taken) {
        if (!taken) throw FileError(script.fileName, c.line, taken.refusal);
    };
    HostInput input(host_);
    using Kind = ScriptCommand::Kind;
    switch (c.kind) {
        case Kind::Run:
            check(input.start());
            break;
        case Kind::Escape:
            input.escape();
            break;
        case Kind::Pick:
            check(input.pick(Point{c.numbers[0], c.numbers[1]}));
            break;
        case Kind::Select: {
            Extents window;
            window.add(Point{c.numbers[0], c.numbers[1]});
            window.add(Point{c.numbers[2], c.numbers[3]});
            check(input.select(window));
            break;
        }
        case Kind::Done:
            check(input.done());
            break;
        case Kind::Confirm:
            check(input.confirm());
            break;
        case Kind::Key:
            check(input.key());
            break;
        case Kind::Save:
            if (save_) save_(c.file);
            break;
        case Kind::Dialog:
            dialogAnswers_.insert(dialogAnswers_.end(), c.actions.begin(), c.actions.end());
            break;
    }
}

}  // namespace vel
