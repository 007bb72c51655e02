#include "varnexd/exposition_writer.h"

#include <charconv>
#include <cmath>

namespace varnex::varnexd {

void AppendLabel(std::string& out, std::string_view name, std::string_view value) {
    out += ',';
    out += name;
    out += "=\"";
    for (const char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    out += '"';
}

void AppendValue(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value > 0 ? "+Inf" : "-Inf";
        return;
    }
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end);
}

void ExpositionWriter::Family(std::string_view name, std::string_view type, std::string_view help) {
    text_ += "# HELP ";
    text_ += name;
    text_ += ' ';
    for (const char c : help) {
        text_ += c == '\n' ? ' ' : c;
    }
    text_ += "\n# TYPE ";
    text_ += name;
    text_ += ' ';
    text_ += type;
    text_ += '\n';
}

void ExpositionWriter::Sample(std::string_view name, std::initializer_list<Label> labels,
                              double value, std::string_view extra) {
    text_ += name;
    if (labels.size() != 0 || !extra.empty()) {
        const std::size_t open = text_.size();
        for (const auto& [label, labelValue] : labels) {
            AppendLabel(text_, label, labelValue);
        }
        text_ += extra;
        text_[open] = '{';  // the first label's comma
        text_ += '}';
    }
    text_ += ' ';
    AppendValue(text_, value);
    text_ += '\n';
}

}  // namespace varnex::varnexd
