// Interaction.cpp - the meaning of each input at each step, and points typed at a prompt.
#include "vel/io/Interaction.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <numbers>

#include "vel/kernel/Host.h"

namespace vel {

StepInput armedInput(const Host& host) {
    if (!host.running()) return StepInput::None;
    switch (host.eventMask()) {
        case VEL_MASK_FIGURE:
            return StepInput::Figure;
        case VEL_MASK_ELEMENT:
            return StepInput::Element;
        case VEL_MASK_POINT:
            return StepInput::Point;
        case VEL_MASK_SELECTION:
            return StepInput::Selection;
        default:
            return StepInput::None;
    }
}

InputMoment momentOf(const Host& host, bool typed, bool lastCommand) {
    InputMoment m;
    m.input = armedInput(host);
    m.selectionEmpty = host.selection().empty();
    m.secondPoint = m.input == StepInput::Point && host.echo().has_value();
    m.typed = typed;
    m.lastCommand = lastCommand;
    return m;
}

namespace {

// Enter with an empty command line, in every convention: the end of a selection that holds
// something, else the step's confirm input.
Meaning confirmOrEnd(const InputMoment& m) {
    if (m.input == StepInput::Selection && !m.selectionEmpty) return Meaning::EndSelection;
    return Meaning::Confirm;
}

}  // namespace

Meaning meaningOf(Gesture gesture, Convention convention, const InputMoment& m) {
    const bool running = m.input != StepInput::None;
    const bool escape =
        gesture == Gesture::EscapeInCommandLine || gesture == Gesture::EscapeInDrawing;
    if (convention == Convention::Window) {
        // Enter, space and the right button alike: what is typed runs; else the step's confirm
        // input, or the last command again when none runs. Escape leaves, wherever the focus is.
        if (escape) return Meaning::Leave;
        if (m.typed) return Meaning::RunTyped;
        if (!running) return m.lastCommand ? Meaning::RepeatLast : Meaning::Nothing;
        return confirmOrEnd(m);
    }
    if (!running) {
        // LibreCAD's own: its right button and Escape are its, when no command of ours runs.
        if (escape || gesture == Gesture::RightButton) return Meaning::Nothing;
        if (m.typed) return Meaning::RunTyped;
        return m.lastCommand ? Meaning::RepeatLast : Meaning::Nothing;
    }
    // LibreCAD: Escape in the drawing ends the command; the right button and Escape in the
    // command line step back (a first prompt has no step before it: out of the command), and a
    // selection that holds something ends on them as on Enter. The editing of the leaders and
    // dimensions picked ends on the right button as a selection does.
    if (gesture == Gesture::EscapeInDrawing) return Meaning::Leave;
    if (gesture == Gesture::RightButton && m.input == StepInput::Element) return Meaning::Confirm;
    if (gesture == Gesture::RightButton || gesture == Gesture::EscapeInCommandLine) {
        if (m.input == StepInput::Selection && !m.selectionEmpty) return Meaning::EndSelection;
        return m.secondPoint ? Meaning::StepBack : Meaning::Leave;
    }
    if (gesture == Gesture::Space && !m.typed) return Meaning::Nothing;
    if (m.typed) return Meaning::RunTyped;
    return confirmOrEnd(m);
}

namespace {

std::string_view trimmed(std::string_view v) {
    while (!v.empty() && std::isspace(static_cast<unsigned char>(v.front()))) v.remove_prefix(1);
    while (!v.empty() && std::isspace(static_cast<unsigned char>(v.back()))) v.remove_suffix(1);
    return v;
}

// A whole, finite number, blanks around it allowed.
std::optional<double> numberOf(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double v = 0.0;
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || at != end || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

TypedPoint readTypedPoint(std::string_view text, std::optional<Point> last) {
    text = trimmed(text);
    const bool relative = !text.empty() && text.front() == '@';
    if (relative) text.remove_prefix(1);
    const size_t comma = text.find(',');
    const size_t angle = text.find('<');
    std::optional<double> a, b;
    bool polar = false;
    if (comma != std::string_view::npos && angle == std::string_view::npos) {
        a = numberOf(text.substr(0, comma));
        b = numberOf(text.substr(comma + 1));
    } else if (angle != std::string_view::npos && comma == std::string_view::npos) {
        polar = true;
        a = numberOf(text.substr(0, angle));
        b = numberOf(text.substr(angle + 1));
    }
    if (!a || !b) return {std::nullopt, TypedPoint::Problem::NotAPoint};
    if (relative && !last) return {std::nullopt, TypedPoint::Problem::NoBase};
    if (polar) {
        const double radians = *b * std::numbers::pi / 180.0;
        const Point from = relative ? *last : Point{0, 0};
        return {Point{from.x + *a * std::cos(radians), from.y + *a * std::sin(radians)}};
    }
    if (relative) return {Point{last->x + *a, last->y + *b}};
    return {Point{*a, *b}};
}

bool meantAsPoint(std::string_view text) {
    text = trimmed(text);
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    return !text.empty() && !std::all_of(text.begin(), text.end(), letter);
}

bool spaceEndsTyping(std::string_view text, StepInput input) {
    if (!takesAPick(input) || !meantAsPoint(text)) return true;
    // Any base will do: whether a relative point has one is not the text's fault.
    return readTypedPoint(text, Point{}).problem != TypedPoint::Problem::NotAPoint;
}

std::string shownCoordinate(double v) {
    char text[400];  // the longest double in fixed notation, with three decimals
    const auto [last, error] =
        std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 3);
    if (error != std::errc()) return "?";
    std::string shown(text, last);
    if (shown == "-0.000") shown.erase(0, 1);
    return shown;
}

namespace {

std::u16string lastPrompt(const Host& host) {
    return host.prompts().empty() ? std::u16string() : host.prompts().back();
}

}  // namespace

void InsertCycles::started(const Host& host) {
    mask_ = host.eventMask();
    prompt_ = lastPrompt(host);
    revision_ = host.drawing().revision();
}

bool InsertCycles::insertEnded(const Host& host) {
    if (!host.running() || host.eventMask() != mask_ || lastPrompt(host) != prompt_) return false;
    if (host.drawing().revision() == revision_) return false;
    revision_ = host.drawing().revision();
    return true;
}

}  // namespace vel
