// DialogAction.cpp - reading the actions of a session script's dialog lines.
#include "vel/robot/DialogAction.h"

#include <charconv>
#include <utility>

namespace vel {

namespace {

bool parseInt(const std::string& text, int& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

std::string trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// The first word and the rest of the text after it.
std::pair<std::string, std::string> splitWord(const std::string& text) {
    const std::string t = trim(text);
    const size_t space = t.find_first_of(" \t");
    if (space == std::string::npos) return {t, {}};
    return {t.substr(0, space), trim(t.substr(space))};
}

}  // namespace

bool parseDialogAction(const std::string& text, DialogAction& action, std::string& error) {
    using Kind = DialogAction::Kind;
    action = DialogAction{};
    action.source = trim(text);
    const auto [verb, rest] = splitWord(text);
    auto needId = [&](std::string& remainder) {
        const auto [idText, after] = splitWord(rest);
        if (idText.empty() || !parseInt(idText, action.id)) {
            error = "'" + verb + "' needs a control id, got '" + idText + "'";
            return false;
        }
        remainder = after;
        return true;
    };
    std::string remainder;
    if (verb == "type") {
        if (!needId(remainder)) return false;
        action.kind = Kind::Type;
        action.text = remainder;
        return true;
    }
    if (verb == "click" || verb == "dblclick") {
        if (!needId(remainder)) return false;
        if (!remainder.empty()) {
            error = "'" + verb + "' takes only a control id";
            return false;
        }
        action.kind = verb == "click" ? Kind::Click : Kind::DblClick;
        return true;
    }
    if (verb == "choose") {
        if (!needId(remainder)) return false;
        if (!parseInt(remainder, action.index) || action.index < 0) {
            error = "'choose' needs an entry number 0 or more, got '" + remainder + "'";
            return false;
        }
        action.kind = Kind::Choose;
        return true;
    }
    if (verb == "key") {
        action.kind = Kind::Key;
        if (rest == "enter")
            action.key = DialogAction::Key::Enter;
        else if (rest == "escape")
            action.key = DialogAction::Key::Escape;
        else if (rest == "space")
            action.key = DialogAction::Key::Space;
        else if (rest == "tab")
            action.key = DialogAction::Key::Tab;
        else {
            error = "'key' takes enter, escape, space or tab, got '" + rest + "'";
            return false;
        }
        return true;
    }
    if (verb == "ok" || verb == "cancel" || verb == "close") {
        if (!rest.empty()) {
            error = "'" + verb + "' takes nothing after it";
            return false;
        }
        action.kind = verb == "ok" ? Kind::Ok : verb == "cancel" ? Kind::Cancel : Kind::Close;
        return true;
    }
    if (verb == "shot") {
        if (rest.empty()) {
            error = "'shot' needs a file name";
            return false;
        }
        action.kind = Kind::Shot;
        action.text = rest;
        return true;
    }
    error = "unknown dialog action '" + verb +
            "' (use type, click, dblclick, choose, key, ok, cancel, close or shot)";
    return false;
}

}  // namespace vel
