#include "varnexd/http_endpoint.h"

#include <civetweb.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace varnex::varnexd {
namespace {

// A scrape's header, or a hostile client's, is never this long.
constexpr std::size_t kMaxQuery = 1024;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string Decode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                   HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

void Send(mg_connection* connection, const HttpAnswer& answer, bool gzip, bool head) {
    const std::string body = gzip ? Gzip(answer.body) : answer.body;
    std::string header = "HTTP/1.1 " + std::to_string(answer.status) + " " +
                         mg_get_response_code_text(connection, answer.status) +
                         "\r\nContent-Type: " + answer.contentType +
                         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
    if (gzip) {
        header += "Content-Encoding: gzip\r\n";
    }
    header += "Vary: Accept-Encoding\r\n\r\n";
    mg_write(connection, header.data(), header.size());
    if (!head) {
        mg_write(connection, body.data(), body.size());
    }
}

}  // namespace

std::optional<std::string> QueryValue(const std::string& query, const std::string& name) {
    std::size_t start = 0;
    while (start <= query.size()) {
        const std::size_t end = std::min(query.find('&', start), query.size());
        const std::string pair = query.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        if (Decode(pair.substr(0, equals)) == name) {
            return equals == std::string::npos ? "" : Decode(pair.substr(equals + 1));
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::string Gzip(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

HttpEndpoint::~HttpEndpoint() {
    if (context_ != nullptr) {
        mg_stop(context_);
    }
}

bool HttpEndpoint::Start(const std::string& listen, int threads, std::string& error) {
    mg_init_library(0);
    const std::string threadCount = std::to_string(threads);
    const char* options[] = {"listening_ports",
                             listen.c_str(),
                             "num_threads",
                             threadCount.c_str(),
                             "request_timeout_ms",
                             "30000",
                             "enable_keep_alive",
                             "yes",
                             nullptr};
    mg_callbacks callbacks{};
    context_ = mg_start(&callbacks, this, options);
    if (context_ == nullptr) {
        error = "cannot listen on " + listen;
        return false;
    }
    mg_set_request_handler(context_, "/", &HttpEndpoint::Serve, this);
    return true;
}

int HttpEndpoint::Serve(mg_connection* connection, void* self) {
    const mg_request_info* info = mg_get_request_info(connection);
    const bool head = std::strcmp(info->request_method, "HEAD") == 0;
    if (!head && std::strcmp(info->request_method, "GET") != 0) {
        Send(connection, {405, "text/plain; charset=utf-8", "only GET and HEAD\n"}, false, false);
        return 405;
    }
    HttpRequest request;
    request.path = info->local_uri != nullptr ? info->local_uri : "/";
    request.query = info->query_string != nullptr ? info->query_string : "";
    if (request.query.size() > kMaxQuery) {
        Send(connection, {414, "text/plain; charset=utf-8", "query too long\n"}, false, head);
        return 414;
    }
    if (const char* timeout = mg_get_header(connection, "X-Prometheus-Scrape-Timeout-Seconds")) {
        char* end = nullptr;
        const double seconds = std::strtod(timeout, &end);
        if (end != timeout && seconds > 0) {
            request.scrapeTimeoutSeconds = seconds;
        }
    }
    const char* encoding = mg_get_header(connection, "Accept-Encoding");
    const bool gzip = encoding != nullptr && std::strstr(encoding, "gzip") != nullptr;
    const HttpAnswer answer = static_cast<HttpEndpoint*>(self)->handler_(request);
    Send(connection, answer, gzip, head);
    return answer.status;
}

}  // namespace varnex::varnexd
