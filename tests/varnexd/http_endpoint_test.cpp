// varnexd's HTTP side over a real loopback connection: GET and HEAD only,
// gzip when asked, the scrape timeout header handed on, query decoding.
#include <arpa/inet.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "varnexd/http_endpoint.h"
#include "varnexd_test_support.h"

namespace varnex::varnexd::testing {
namespace {

TEST(QueryValue, DecodesAndFindsTheNamedValue) {
    for (const auto& [query, name, value] :
         std::vector<std::tuple<std::string, std::string, std::optional<std::string>>>{
             {"target=u1", "target", "u1"},
             {"module=x&target=127.1.0.1", "target", "127.1.0.1"},
             {"target=a%20b+c%2", "target", "a b c%2"},
             {"target", "target", ""},
             {"targets=x", "target", std::nullopt},
             {"", "target", std::nullopt},
         }) {
        EXPECT_EQ(QueryValue(query, name), value) << query;
    }
}

TEST(HttpEndpoint, ServesGetAndHeadOnlyAndCompressesWhenAsked) {
    std::optional<double> seenTimeout;
    HttpEndpoint endpoint([&seenTimeout](const HttpRequest& request) {
        seenTimeout = request.scrapeTimeoutSeconds;
        return HttpAnswer{200, "text/plain", request.path + "?" + request.query + "\n"};
    });
    const std::string address = "127.0.0.1:" + std::to_string(FreeTcpPort());
    std::string error;
    ASSERT_TRUE(endpoint.Start(address, 2, error)) << error;
    const std::string curl = "curl -s --max-time 5 ";
    struct Case {
        std::string options;
        std::string output;
    };
    for (const Case& c : std::vector<Case>{
             {"http://" + address + "/probe?target=u1", "/probe?target=u1\n"},
             {"--compressed -D - http://" + address + "/metrics", "Content-Encoding: gzip"},
             {"--compressed http://" + address + "/metrics", "/metrics?\n"},
             {"-I http://" + address + "/metrics", "Content-Length: 10"},
             {"-X POST -o /dev/null -w %{http_code} http://" + address + "/metrics", "405"},
         }) {
        EXPECT_THAT(RunCommand(curl + c.options).second, ::testing::HasSubstr(c.output))
            << c.options;
    }
    RunCommand(curl + "-H 'X-Prometheus-Scrape-Timeout-Seconds: 2.5' http://" + address + "/");
    EXPECT_EQ(seenTimeout, 2.5);
    HttpEndpoint second([](const HttpRequest&) { return HttpAnswer{}; });
    EXPECT_FALSE(second.Start(address, 1, error));  // the port is taken
    EXPECT_EQ(error, "cannot listen on " + address);
}

}  // namespace
}  // namespace varnex::varnexd::testing
