// The Prometheus text exposition format written straight into one string:
// a family's HELP and TYPE once, then its samples. Collecting ten thousand
// stations through a metrics library's objects costs more than writing the
// text itself, and /metrics must stay fast.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace varnex::varnexd {

using Label = std::pair<std::string_view, std::string_view>;

class ExpositionWriter {
  public:
    // `type`: gauge, counter, histogram or untyped.
    void Family(std::string_view name, std::string_view type, std::string_view help);
    // One sample; `extra` (already written as `,name="value"...`) goes after `labels`.
    void Sample(std::string_view name, std::initializer_list<Label> labels, double value,
                std::string_view extra = {});
    const std::string& Text() const { return text_; }
    std::string Take() { return std::move(text_); }
    void Reserve(std::size_t bytes) { text_.reserve(bytes); }

  private:
    std::string text_;
};

// `,name="value"` with the value escaped as the format requires.
void AppendLabel(std::string& out, std::string_view name, std::string_view value);
// Numbers as the format writes them: integers without a point, NaN and
// infinities by name, everything else to the shortest exact form.
void AppendValue(std::string& out, double value);

}  // namespace varnex::varnexd
