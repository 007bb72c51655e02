#include "session/command_line.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(JoinCommandLine, QuotesOnlyWordsWithBlanks) {
    EXPECT_EQ(JoinCommandLine({"varnex", "10.0.0.1"}), "varnex 10.0.0.1");
    EXPECT_EQ(JoinCommandLine({"/opt/my apps/varnex", "10.0.0.1 x"}),
              "\"/opt/my apps/varnex\" \"10.0.0.1 x\"");
    // A word that brings its own quote is passed on as typed.
    EXPECT_EQ(JoinCommandLine({"varnex", "\"10.0.0.1"}), "varnex \"10.0.0.1");
}

TEST(StartUpCommand, FollowsTheCommandLineRules) {
    const std::string longPath = "/" + std::string(110, 'p') + "/varnex";  // 118 characters
    const struct {
        std::string line;
        StartUpRequest request;
        std::string address;
    } cases[] = {
        {"varnex", StartUpRequest::LoadDefaultStation, ""},
        {"varnex \"\"", StartUpRequest::LoadDefaultStation, ""},
        {"varnex \"  127.0.0.1  \"", StartUpRequest::StartStation, "127.0.0.1"},
        {"varnex 192.168.100.100", StartUpRequest::StartStation, "192.168.100.100"},
        {"varnex 192.168.100.1000", StartUpRequest::InvalidAddress, ""},
        {"varnex \"10.0.0.1", StartUpRequest::MismatchedQuotes, ""},
        {"varnex 10.0.0.1,x", StartUpRequest::StartStation, "10.0.0.1"},
        {longPath + " 127.0.0.1", StartUpRequest::StartStation, "127.0.0.1"},  // 128
        {longPath + " 127.0.0.12", StartUpRequest::CommandLineTooLong, ""},    // 129
    };
    for (const auto& c : cases) {
        const StartUpCommand command = ReadStartUpCommand(c.line);
        EXPECT_EQ(command.request, c.request) << c.line;
        EXPECT_EQ(command.address, c.address) << c.line;
    }
}

}  // namespace
}  // namespace varnex
