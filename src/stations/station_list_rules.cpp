#include "stations/station_list_rules.h"

#include <functional>

#include "stations/station_message.h"
#include "stations/station_table.h"
#include "stations/station_watch.h"
#include "stations/station_writers.h"
#include "text/conversions.h"

namespace varnex {
namespace {

constexpr const char* kInvalidAddressText = "Invalid IP Address";
constexpr const char* kAddressExistsText = "This IP Address already exists in the database!";
constexpr const char* kAddressNotStoredText = "This IP Address is not in the database!";
constexpr const char* kEmptyPasswordText = "Bad Password!!";
constexpr const char* kPasswordTooLongText = "Passwords are 10 characters max.";
constexpr const char* kUpdatedText = "IP Address Updated SucSuccessfully";
constexpr const char* kFactoryDeleteText = "Don't Delete the Default IP!";
constexpr const char* kDeletedText = "IP Address Deleted From Database !";
constexpr const char* kWatchNotAddedText =
    "The new station's alarm settings could not be stored, so the station was not added.";
constexpr const char* kWatchNotDeletedText =
    "The station's alarm settings could not be removed, so the station was not deleted.";

void Tell(const StationStore& store, const char* text, MessageIcon icon) {
    ShowStationMessage(store.hooks(), MessageOwner::ActiveDialog, text, icon);
}

StationDialogOutcome StayOpen(const StationStore& store, const char* text, MessageIcon icon) {
    Tell(store, text, icon);
    return {};
}

// A change of table `main` and the same change of the station's alarm
// settings, kept together or not at all. `change` tells its own failure;
// any other is told with `failureText`.
bool ChangeWithWatch(StationStore& store, const std::function<bool()>& change,
                     const std::function<bool()>& followWatch, const char* failureText) {
    bool ran = false;
    bool changed = false;
    const bool done = store.RunTogether([&] {
        ran = true;
        changed = change();
        return changed && followWatch();
    });
    if (!done && (changed || !ran)) {
        Tell(store, failureText, MessageIcon::Stop);
    }
    return done;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t characters = 0; end < text.size() && characters < count; ++characters) {
        ++end;
        while (end < text.size() && IsContinuationByte(text[end])) {
            ++end;
        }
    }
    return std::string(text.substr(0, end));
}

std::string StationAddressFromList(std::string_view listText) {
    return TrimRight(FirstCharacters(listText, kStationAddressChars));
}

StationFields EditStationOpening(StationStore& store, std::string_view listText) {
    const std::optional<LoadedStation> station =
        store.LoadStation(MessageOwner::ActiveDialog, StationAddressFromList(listText));
    if (!station) {
        return {};
    }
    return {ParseDottedAddress(station->address), station->password, station->comment};
}

StationDialogOutcome AcceptStationDialog(StationStore& store, StationDialogMode mode,
                                         const StationFields& fields) {
    if (!fields.address) {
        return StayOpen(store, kInvalidAddressText, MessageIcon::Stop);
    }
    const std::string ip = FormatDottedAddress(*fields.address);
    // A lookup that fails on its own has shown its message and counts as not found.
    const bool stored = store.LoadStation(MessageOwner::ActiveDialog, ip).has_value();
    if (mode == StationDialogMode::Add && stored) {
        return StayOpen(store, kAddressExistsText, MessageIcon::Stop);
    }
    if (mode == StationDialogMode::Edit && !stored) {
        return StayOpen(store, kAddressNotStoredText, MessageIcon::Stop);
    }
    const std::string typed = FirstCharacters(fields.password, kStationFieldChars);
    if (typed.empty()) {
        return StayOpen(store, kEmptyPasswordText, MessageIcon::Stop);
    }
    // Stored longer, it could never be sent whole and the unit would refuse it.
    if (typed.size() > kUnitPasswordChars) {
        return StayOpen(store, kPasswordTooLongText, MessageIcon::Stop);
    }
    const std::string password = PasswordAsStored(typed);
    const std::string comment = FirstCharacters(fields.comment, kStationFieldChars);

    StationDialogOutcome outcome{.closeDialog = true, .list = std::nullopt};
    if (mode == StationDialogMode::Add) {
        // A station the user adds is watched from the start.
        if (ChangeWithWatch(
                store, [&] { return InsertStation(store, ip, password, comment); },
                [&] { return SaveStationWatch(store, ip, NewStationWatch()); },
                kWatchNotAddedText)) {
            outcome.list = store.FillStationList(MessageOwner::MainWindow);
        }
    } else if (UpdateStation(store, ip, password, comment)) {
        outcome.list = store.FillStationList(MessageOwner::MainWindow);
        Tell(store, kUpdatedText, MessageIcon::Information);
    }
    return outcome;
}

DeleteStationChoices DeleteStationOpening(StationStore& store) {
    DeleteStationChoices choices;
    const std::optional<StationList> list = store.FillStationList(MessageOwner::ActiveDialog);
    if (!list) {
        return choices;
    }
    // A stored address has at most 15 characters and at least two blanks after it.
    for (const std::string& line : list->lines) {
        choices.addresses.push_back(StationAddressFromList(line));
    }
    choices.text = list->text.empty() ? std::string() : StationAddressFromList(list->text);
    return choices;
}

StationDialogOutcome AcceptDeleteStation(StationStore& store, std::string_view fieldText) {
    const std::string ip = FirstCharacters(fieldText, kStationAddressChars);
    if (ip == kFactoryAddress) {
        return StayOpen(store, kFactoryDeleteText, MessageIcon::None);
    }
    // A delete that failed has said so; claiming it deleted would be false.
    if (!ChangeWithWatch(
            store, [&] { return DeleteStation(store, ip); },
            [&] { return DeleteStationWatch(store, ip); }, kWatchNotDeletedText)) {
        return {};
    }
    StationDialogOutcome outcome{.closeDialog = true,
                                 .list = store.FillStationList(MessageOwner::MainWindow)};
    Tell(store, kDeletedText, MessageIcon::None);
    return outcome;
}

std::optional<StationList> SetDefaultFromList(StationStore& store, std::string_view listText) {
    return store.SetDefaultStation(MessageOwner::MainWindow, StationAddressFromList(listText));
}

}  // namespace varnex
