// InteractionTests.cpp - the rules of interaction the window and the host inside LibreCAD share,
// as a table of moments and inputs with what each means, and points typed at a prompt.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "vel/io/Interaction.h"

namespace vel::test {
namespace {

using G = Gesture;
using M = Meaning;
using S = StepInput;

struct Row {
    const char* moment;
    InputMoment at;
    Gesture gesture;
    Meaning window;
    Meaning libreCad;
};

InputMoment moment(S input, bool typed = false, bool selected = false, bool second = false,
                   bool last = false) {
    InputMoment m;
    m.input = input;
    m.typed = typed;
    m.selectionEmpty = !selected;
    m.secondPoint = second;
    m.lastCommand = last;
    return m;
}

// Every gesture at every kind of step, in both conventions.
const std::vector<Row> kRows = {
    // No command runs: typed text runs, else the last command again (the window's right button
    // too; LibreCAD keeps its right button and Escape for itself).
    {"idle, typed", moment(S::None, true), G::Enter, M::RunTyped, M::RunTyped},
    {"idle, typed", moment(S::None, true), G::Space, M::RunTyped, M::RunTyped},
    {"idle, last command", moment(S::None, false, false, false, true), G::Enter, M::RepeatLast,
     M::RepeatLast},
    {"idle, last command", moment(S::None, false, false, false, true), G::RightButton,
     M::RepeatLast, M::Nothing},
    {"idle, nothing before", moment(S::None), G::Enter, M::Nothing, M::Nothing},
    {"idle", moment(S::None), G::EscapeInDrawing, M::Leave, M::Nothing},
    // A first prompt: the confirm input opens "Create Insert"; there is no step to go back to.
    {"figure prompt", moment(S::Figure), G::Enter, M::Confirm, M::Confirm},
    {"figure prompt", moment(S::Figure), G::Space, M::Confirm, M::Nothing},
    {"figure prompt", moment(S::Figure), G::RightButton, M::Confirm, M::Leave},
    {"figure prompt", moment(S::Figure), G::EscapeInCommandLine, M::Leave, M::Leave},
    {"figure prompt", moment(S::Figure), G::EscapeInDrawing, M::Leave, M::Leave},
    {"figure prompt, typed", moment(S::Figure, true), G::Enter, M::RunTyped, M::RunTyped},
    {"figure prompt, typed", moment(S::Figure, true), G::RightButton, M::RunTyped, M::Leave},
    {"first corner", moment(S::Point), G::RightButton, M::Confirm, M::Leave},
    // The first corner and the second, with the rubber band up.
    {"first corner", moment(S::Point), G::Enter, M::Confirm, M::Confirm},
    {"first corner, typed", moment(S::Point, true), G::Space, M::RunTyped, M::RunTyped},
    {"second corner", moment(S::Point, false, false, true), G::RightButton, M::Confirm,
     M::StepBack},
    {"second corner", moment(S::Point, false, false, true), G::EscapeInCommandLine, M::Leave,
     M::StepBack},
    {"second corner", moment(S::Point, false, false, true), G::EscapeInDrawing, M::Leave, M::Leave},
    // A selection: empty, its confirm input is the prompt's; holding figures, it ends.
    {"empty selection", moment(S::Selection), G::Enter, M::Confirm, M::Confirm},
    {"empty selection", moment(S::Selection), G::RightButton, M::Confirm, M::Leave},
    {"selection", moment(S::Selection, false, true), G::Enter, M::EndSelection, M::EndSelection},
    {"selection", moment(S::Selection, false, true), G::Space, M::EndSelection, M::Nothing},
    {"selection", moment(S::Selection, false, true), G::RightButton, M::EndSelection,
     M::EndSelection},
    {"selection", moment(S::Selection, false, true), G::EscapeInDrawing, M::Leave, M::Leave},
    // The editing step: Enter ends the editing, and the right button as it ends a selection.
    {"editing", moment(S::Element), G::Enter, M::Confirm, M::Confirm},
    {"editing", moment(S::Element), G::RightButton, M::Confirm, M::Confirm},
    {"editing", moment(S::Element), G::EscapeInDrawing, M::Leave, M::Leave},
};

TEST(Interaction, EachGestureMeansOneThingAtEachStepInEachConvention) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.moment) + ", gesture " +
                     std::to_string(static_cast<int>(row.gesture)));
        EXPECT_EQ(meaningOf(row.gesture, Convention::Window, row.at), row.window) << "window";
        EXPECT_EQ(meaningOf(row.gesture, Convention::LibreCad, row.at), row.libreCad) << "LibreCAD";
    }
}

TEST(Interaction, PointsAreTypedAbsoluteRelativeAndPolar) {
    const Point last{10, 20};
    struct Typed {
        const char* text;
        std::optional<Point> from;
        std::optional<Point> point;
        TypedPoint::Problem problem;
    };
    using P = TypedPoint::Problem;
    const std::vector<Typed> rows = {
        {"-20,-20", {}, Point{-20, -20}, P::None},
        {" 1.5 , +2e1 ", {}, Point{1.5, 20}, P::None},
        {"@5,-5", last, Point{15, 15}, P::None},
        {"@10<90", last, Point{10, 30}, P::None},
        {"@2<-180", last, Point{8, 20}, P::None},
        {"@5,5", {}, {}, P::NoBase},  // nothing to be relative to
        {"@3<0", {}, {}, P::NoBase},
        {"12,abc", last, {}, P::NotAPoint},
        {"12,5x", last, {}, P::NotAPoint},  // trailing junk
        {"12;5", last, {}, P::NotAPoint},
        {"2<90", last, Point{0, 2}, P::None},  // from the origin
        {"@1,2<3", last, {}, P::NotAPoint},
        {"1e999,0", last, {}, P::NotAPoint},  // beyond any double
        {"nan,0", last, {}, P::NotAPoint},
        {",", last, {}, P::NotAPoint},
    };
    for (const Typed& row : rows) {
        SCOPED_TRACE(row.text);
        const TypedPoint read = readTypedPoint(row.text, row.from);
        EXPECT_EQ(read.problem, row.problem);
        ASSERT_EQ(read.point.has_value(), row.point.has_value());
        if (row.point) {
            EXPECT_NEAR(read.point->x, row.point->x, 1e-12);
            EXPECT_NEAR(read.point->y, row.point->y, 1e-12);
        }
    }
}

TEST(Interaction, TextMeantAsAPointIsToldFromACommand) {
    // Whatever the separators: a mistyped point is still a point, refused as one.
    for (const char* point : {"1,2", "@1,2", "@3<45", " @", "a,b", "12;5", "12 5", "7", "-.5"})
        EXPECT_TRUE(meantAsPoint(point)) << point;
    for (const char* command : {"insert", "u", "zoom", " Z ", "", "  "})
        EXPECT_FALSE(meantAsPoint(command)) << command;
}

// Space is Enter, except within a point being typed that does not read as one yet.
TEST(Interaction, SpaceIsABlankOnlyWithinAPointNotYetWhole) {
    const struct {
        const char* text;
        StepInput input;
        bool ends;
    } rows[] = {
        {"12", StepInput::Point, false},     {"12 ", StepInput::Figure, false},
        {"12,abc", StepInput::Point, false}, {"12,5", StepInput::Point, true},
        {"@5,5", StepInput::Point, true},  // relative: whole, whatever the base
        {"insert", StepInput::Point, true},  {"", StepInput::Point, true},
        {"12", StepInput::None, true},  // no point wanted: a command, unknown
    };
    for (const auto& row : rows)
        EXPECT_EQ(spaceEndsTyping(row.text, row.input), row.ends) << "'" << row.text << "'";
}

TEST(Interaction, CoordinatesShowThreeDecimalsAndNoNegativeZero) {
    EXPECT_EQ(shownCoordinate(-0.0004), "0.000");
    EXPECT_EQ(shownCoordinate(-0.0), "0.000");
    EXPECT_EQ(shownCoordinate(-0.0006), "-0.001");
    EXPECT_EQ(shownCoordinate(1234.5678), "1234.568");
    EXPECT_EQ(shownCoordinate(-12), "-12.000");
}

}  // namespace
}  // namespace vel::test
