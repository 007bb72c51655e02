// printf-style formatting into a std::string (always in the C locale, which
// varnexctl never leaves), its arguments checked by the compiler.
#pragma once

#include <string>

namespace varnex::ctl {

std::string Formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
void AppendFormatted(std::string& text, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace varnex::ctl
