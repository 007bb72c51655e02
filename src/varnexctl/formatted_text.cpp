#include "varnexctl/formatted_text.h"

#include <cstdarg>
#include <cstdio>

namespace varnex::ctl {
namespace {

void Append(std::string& text, const char* format, va_list arguments) {
    va_list again;
    va_copy(again, arguments);
    char small[256];
    const int size = std::vsnprintf(small, sizeof small, format, arguments);
    if (size < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(size) < sizeof small) {
        text.append(small, static_cast<std::size_t>(size));
    } else {
        const std::size_t start = text.size();
        text.resize(start + static_cast<std::size_t>(size) + 1);
        std::vsnprintf(text.data() + start, static_cast<std::size_t>(size) + 1, format, again);
        text.resize(start + static_cast<std::size_t>(size));
    }
    va_end(again);
}

}  // namespace

std::string Formatted(const char* format, ...) {
    std::string text;
    va_list arguments;
    va_start(arguments, format);
    Append(text, format, arguments);
    va_end(arguments);
    return text;
}

void AppendFormatted(std::string& text, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    Append(text, format, arguments);
    va_end(arguments);
}

}  // namespace varnex::ctl
