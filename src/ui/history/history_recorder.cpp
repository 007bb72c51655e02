#include "ui/history/history_recorder.h"

#include <chrono>
#include <utility>

#include "text/conversions.h"

namespace varnex {
namespace {

int64_t UtcNowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

HistoryEvent EventOf(SessionEvent event) {
    switch (event) {
        case SessionEvent::Started:
            return HistoryEvent::Started;
        case SessionEvent::Stopped:
            return HistoryEvent::Stopped;
        case SessionEvent::PasswordRefused:
            return HistoryEvent::PasswordRefused;
        case SessionEvent::Silent:
            return HistoryEvent::Silent;
        case SessionEvent::Back:
            return HistoryEvent::Back;
    }
    return HistoryEvent::Stopped;
}

}  // namespace

int ReadRetentionDays(const PlatformHooks& hooks) {
    const std::optional<std::string> stored = hooks.readSetting(kRetentionDaysKey);
    if (!stored) {
        return kDefaultRetentionDays;
    }
    const int32_t days = ParseLeadingInteger(*stored);
    return days >= 1 && days <= kLongestRetentionDays ? days : kDefaultRetentionDays;
}

HistoryRecorder::HistoryRecorder(const std::string& databasePath,
                                 const std::string& dataFolderDatabasePath, int retentionDays) {
    auto opened = OpenHistoryForWriting(HistoryPathBeside(databasePath),
                                        HistoryPathBeside(dataFolderDatabasePath));
    if (auto* error = std::get_if<HistoryFileError>(&opened)) {
        openFailure_ = "History is not kept: " + error->text;
        return;
    }
    writer_ = std::make_unique<HistoryWriter>(std::move(std::get<OpenedHistory>(opened)),
                                              HistoryWriterOptions{.retentionDays = retentionDays});
}

SessionObserver HistoryRecorder::Observer() {
    if (!writer_) {
        return {};
    }
    HistoryWriter* writer = writer_.get();
    return {[writer](const std::string& ip, const StatusRecord& record,
                     const VoltmeterJumpers& jumpers) {
                writer->Record(ip, StoredReadingOf(record, jumpers, UtcNowMs()));
            },
            [writer](const std::string& ip, SessionEvent event) {
                writer->RecordEvent(ip, UtcNowMs(), EventOf(event));
            }};
}

void HistoryRecorder::MoveStation(const std::string& from, const std::string& to) {
    if (writer_) {
        writer_->MoveStation(from, to);
    }
}

void HistoryRecorder::SetRetentionDays(int days) {
    if (writer_) {
        writer_->SetRetentionDays(days);
    }
}

std::optional<std::string> HistoryRecorder::TakeMessage() {
    if (openFailure_) {
        return std::exchange(openFailure_, std::nullopt);
    }
    return writer_ ? writer_->TakeFailure() : std::nullopt;
}

std::string HistoryRecorder::path() const {
    return writer_ ? writer_->path() : std::string();
}

}  // namespace varnex
