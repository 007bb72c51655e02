// The read-only HTTP side of varnexd on civetweb: GET and HEAD only, every
// path answered by one handler, bodies gzip-compressed when the scraper
// accepts it.
#pragma once

#include <functional>
#include <optional>
#include <string>

struct mg_context;
struct mg_connection;

namespace varnex::varnexd {

struct HttpRequest {
    std::string path;
    std::string query;                           // without the '?'
    std::optional<double> scrapeTimeoutSeconds;  // X-Prometheus-Scrape-Timeout-Seconds
};

struct HttpAnswer {
    int status = 200;
    std::string contentType = "text/plain; version=0.0.4; charset=utf-8";
    std::string body;
};

// The value of `name` in a query string, percent-decoded; nullopt when absent.
std::optional<std::string> QueryValue(const std::string& query, const std::string& name);
// The gzip stream of `data` (level 1: speed over size).
std::string Gzip(const std::string& data);

class HttpEndpoint {
  public:
    using Handler = std::function<HttpAnswer(const HttpRequest&)>;

    explicit HttpEndpoint(Handler handler) : handler_(std::move(handler)) {}
    ~HttpEndpoint();
    HttpEndpoint(const HttpEndpoint&) = delete;
    HttpEndpoint& operator=(const HttpEndpoint&) = delete;

    // `listen`: "127.0.0.1:9871", "[::1]:9871" or ":9871" (every address).
    bool Start(const std::string& listen, int threads, std::string& error);

  private:
    static int Serve(::mg_connection* connection, void* self);

    Handler handler_;
    mg_context* context_ = nullptr;
};

}  // namespace varnex::varnexd
