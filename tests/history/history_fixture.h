// A throw-away folder with a history file, a writer on it with a clock the
// test sets, and readings made from a seed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "history/history_reader.h"
#include "history/history_writer.h"

namespace varnex::testing {

class HistoryFolder {
  public:
    HistoryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "varnex-history-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~HistoryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    HistoryFolder(const HistoryFolder&) = delete;
    HistoryFolder& operator=(const HistoryFolder&) = delete;
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A reading whose every field follows from `n`.
inline StoredReading SampleReading(int64_t timeMs, uint32_t n) {
    StoredReading reading;
    reading.timeMs = timeMs;
    for (std::size_t v = 0; v < reading.raw.size(); ++v) {
        reading.raw[v] = static_cast<uint16_t>((n * 37 + v * 511) % 4096);
    }
    reading.jumpers = {n % 3 != 0, n % 5 != 0};
    if (n % 11 != 0) {
        reading.temperature =
            TemperatureReading{n % 2 != 0, static_cast<uint8_t>(n % 60 * 4), n % 7 != 0};
    }
    reading.relaysEnergised = n % 8;
    reading.pinsHigh = (n / 8) % 32;
    reading.uptime = 100000 + n;
    return reading;
}

class HistoryTest : public ::testing::Test {
  protected:
    std::unique_ptr<HistoryWriter> OpenWriter(HistoryWriterOptions options = {}) {
        if (!options.nowMs) {
            options.nowMs = [this] { return nowMs_; };
        }
        auto opened = OpenHistoryFile(path_, HistoryAccess::Write);
        if (!std::holds_alternative<OpenedHistory>(opened)) {
            ADD_FAILURE() << std::get<HistoryFileError>(opened).text;
            return nullptr;
        }
        return std::make_unique<HistoryWriter>(std::move(std::get<OpenedHistory>(opened)),
                                               std::move(options));
    }
    HistoryReader Reader() { return std::get<HistoryReader>(HistoryReader::Open(path_)); }

    HistoryFolder folder_;
    std::string path_ = folder_.File("history.sqlite");
    int64_t nowMs_ = 1'800'000'000'000;  // 2027-01-15
};

}  // namespace varnex::testing
