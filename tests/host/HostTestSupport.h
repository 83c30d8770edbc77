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
#include "vel/kernel/Host.h"

namespace orvanta_test {

// A registry export holding the given string values under the plug-in's key.
inline std::string RegistryText(const std::vector<std::pair<std::string, std::string>>& values) {
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    text += "[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\r\n";
    for (const auto& [name, value] : values) text += "\"" + name + "\"=\"" + value + "\"\r\n";
    return text;
}

class HostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("orvanta-host-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        registry_ = (folder_ / "registry.reg").string();
        ::setenv("VEL_REGISTRY", registry_.c_str(), 1);
        host().reset();
        host().setTrace(&trace_);
        ASSERT_EQ(Startup(), 0);
    }

    void TearDown() override {
        host().reset();
        ::unsetenv("VEL_REGISTRY");
        std::filesystem::remove_all(folder_);
    }

    static vel::Host& host() { return vel::Host::instance(); }

    void WriteRegistry(const std::vector<std::pair<std::string, std::string>>& values) {
        std::ofstream(registry_, std::ios::binary) << RegistryText(values);
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

    std::filesystem::path folder_;
    std::string registry_;
    std::ostringstream trace_;
};

}  // namespace orvanta_test
