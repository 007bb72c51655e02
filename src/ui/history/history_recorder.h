// Joins the session to the history store: every valid status record and
// every session event of the main window's session goes to the writer,
// stamped with the UTC time it arrived. Says once when history cannot be
// kept; polling never waits for it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "history/history_writer.h"
#include "platform/platform_hooks.h"
#include "session/session.h"

namespace varnex {

inline constexpr const char* kRetentionDaysKey = "Options/History/RetentionDays";
inline constexpr int kLongestRetentionDays = 3650;

// The stored retention, or the default when none (or nonsense) is stored.
int ReadRetentionDays(const PlatformHooks& hooks);

class HistoryRecorder {
  public:
    // history.sqlite beside the station database, else in the data folder.
    HistoryRecorder(const std::string& databasePath, const std::string& dataFolderDatabasePath,
                    int retentionDays);

    SessionObserver Observer();
    void MoveStation(const std::string& from, const std::string& to);
    void SetRetentionDays(int days);
    // Why history is not kept, once (the open failed or a write failed).
    std::optional<std::string> TakeMessage();
    // The file being written; empty when none could be opened.
    std::string path() const;
    HistoryWriter* writer() { return writer_.get(); }

  private:
    std::unique_ptr<HistoryWriter> writer_;
    std::optional<std::string> openFailure_;
};

}  // namespace varnex
