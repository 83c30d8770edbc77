// ExampleSessionTests.cpp - every example session under examples/sessions runs
// on the bracket part as shipped, with its own settings, and leaves the inserts
// and holes it says it makes, with nothing temporary left behind.
#include "tests/support/Sessions.h"

namespace e2e {
namespace {

const std::string kExamples = std::string(ORVANTA_SOURCE_DIR) + "/examples";

class ExampleSessions : public Session {
protected:
    SessionResult RunExample(const std::string& name) {
        UseDrawingFile(kExamples + "/bracket.dxf");
        Write("registry.reg", ReadFile(kExamples + "/sessions/" + name + ".reg"));
        // Pictures saved midway land in the session's folder, where velhost runs.
        return Run(ReadFile(kExamples + "/sessions/" + name + ".vel"));
    }

    // Inserts on the insert layer and holes on the hole layer; the part itself
    // (seven figures on layer 0) is not counted.
    static int Inserts(const json& drawing) {
        return static_cast<int>(SegmentsOfKind(drawing, 0).size()) - CountOnLayer(drawing, 100) - 7;
    }
    static void ExpectNothingTemporary(const json& drawing) {
        EXPECT_TRUE(SegmentsOfKind(drawing, 1).empty()) << "no dimension left";
        EXPECT_TRUE(SegmentsOfKind(drawing, 2).empty()) << "no leader left";
    }
};

struct Expected {
    const char* name;
    int inserts;
    int holes;
};

TEST_F(ExampleSessions, PickSessionsMakeTheirInsertsAndHoles) {
    for (const Expected e :
         {Expected{"bracket-insert", 1, 1}, Expected{"one-continuous", 2, 2},
          Expected{"one-annotated", 1, 1}, Expected{"window-continuous", 2, 2},
          Expected{"window-annotated", 1, 1}, Expected{"corners-continuous", 2, 2},
          Expected{"corners-annotated", 1, 1}}) {
        SCOPED_TRACE(e.name);
        const SessionResult r = RunExample(e.name);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.Messages().empty()) << r.out;
        EXPECT_EQ(Inserts(r.drawing), e.inserts);
        EXPECT_EQ(CountOnLayer(r.drawing, 100), e.holes);
        ExpectNothingTemporary(r.drawing);
    }
}

TEST_F(ExampleSessions, MainJobGrowsThePartByEightWithRoundCorners) {
    const SessionResult r = RunExample("bracket-insert");
    ASSERT_EQ(r.status, 0) << r.err;
    // The plate spans 0..160 x 0..100; the insert 8 more on every side.
    int found = 0;
    for (const json& s : SegmentsOfKind(r.drawing, 0)) {
        if (s["layer"] != 0 || ElementsOfType(s, 1).size() != 4) continue;
        const Box b = LineBox(s);
        if (std::fabs(b.minX + 8) > 1e-6 || std::fabs(b.maxX - 168) > 1e-6) continue;
        ++found;
        EXPECT_NEAR(b.minY, -8, 1e-6);
        EXPECT_NEAR(b.maxY, 108, 1e-6);
        const auto rounds = ElementsOfType(s, 7);
        ASSERT_EQ(rounds.size(), 4u);
        for (const json& c : rounds) EXPECT_NEAR(c["values"][6].get<double>(), 6.0, 1e-9);
    }
    EXPECT_EQ(found, 1);
}

TEST_F(ExampleSessions, EditSessionChangesACornerAndTheDistanceAbove) {
    const SessionResult r = RunExample("edit-annotated");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_TRUE(r.Messages().empty()) << r.out;
    ASSERT_EQ(r.Executes().size(), 4u);
    EXPECT_EQ(r.ExecuteResult(1), 2);
    EXPECT_EQ(r.ExecuteResult(2), 2);
    EXPECT_EQ(r.ExecuteResult(3), 0);
    EXPECT_EQ(Inserts(r.drawing), 1);
    EXPECT_EQ(CountOnLayer(r.drawing, 100), 1);
    ExpectNothingTemporary(r.drawing);
    for (const json& s : SegmentsOfKind(r.drawing, 0)) {
        if (s["layer"] != 0 || ElementsOfType(s, 1).size() != 4) continue;
        const Box b = LineBox(s);
        if (std::fabs(b.minX + 6) > 1e-6) continue;
        EXPECT_NEAR(b.maxY, 112, 1e-6) << "12 above the part";
        bool upperLeftRound = false;
        for (const json& c : ElementsOfType(s, 7))
            upperLeftRound |= std::fabs(c["values"][6].get<double>() - 8) < 1e-9 &&
                              c["values"][0].get<double>() < 10;
        EXPECT_TRUE(upperLeftRound) << "upper-left corner R8";
    }
}

TEST_F(ExampleSessions, SettingsSessionStoresTheDialogsValuesForTheNextRun) {
    const SessionResult r = RunExample("settings-dialog");
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.ExecuteResult(0), 0);
    const std::string stored = RegistryText();
    EXPECT_NE(stored.find("\"mType\"=\"1\""), std::string::npos);
    EXPECT_NE(stored.find("\"mIsCheckHole\"=\"1\""), std::string::npos);
    EXPECT_NE(stored.find("\"ColorHole\"=\"MAINCOLOR03\""), std::string::npos);
    EXPECT_EQ(Inserts(r.drawing), 1);
    EXPECT_EQ(CountOnLayer(r.drawing, 100), 1);
}

}  // namespace
}  // namespace e2e
