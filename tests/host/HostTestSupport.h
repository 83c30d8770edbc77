// HostTestSupport.h - runs the plug-in's command in the real stand-in host with a
// registry file of the test's own and reads back the trace of host calls.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "host/Lifecycle.h"
#include "tests/support/Scratch.h"
#include "vel/kernel/Host.h"

namespace orvanta_test {

// A registry export holding the given string values under the plug-in's key.
inline std::string RegistryText(const RegistryValues& values) {
    return registryExport(values);
}

class HostFixture : public ScratchRegistryTest {
protected:
    HostFixture() : ScratchRegistryTest("host") {}

    void SetUp() override {
        ScratchRegistryTest::SetUp();
        host().reset();
        host().setTrace(&trace_);
        ASSERT_EQ(Startup(), 0);
    }

    void TearDown() override {
        host().reset();
        ScratchRegistryTest::TearDown();
    }

    static vel::Host& host() { return vel::Host::instance(); }

    void WriteRegistry(const std::vector<std::pair<std::string, std::string>>& values) {
        writeRegistry(values);
    }

    std::vector<nlohmann::json> TraceLines() const {
        std::vector<nlohmann::json> lines;
        std::istringstream in(trace_.str());
        for (std::string line; std::getline(in, line);)
            lines.push_back(nlohmann::json::parse(line));
        return lines;
    }

    // The host calls made after the last call of the named callback.
    std::vector<nlohmann::json> CallsAfter(const std::string& callback) const {
        const auto lines = TraceLines();
        size_t start = lines.size();
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].value("callback", "") == callback) start = i + 1;
        std::vector<nlohmann::json> calls;
        for (size_t i = start; i < lines.size() && !lines[i].contains("callback"); ++i)
            calls.push_back(lines[i]);
        return calls;
    }

    void ClearTrace() { trace_.str(""); }

    std::ostringstream trace_;
};

}  // namespace orvanta_test
