#include "overview/overview_row.h"

#include <algorithm>

namespace varnex::overview {

RowState StateOf(const OverviewRow& row) {
    if (row.paused && !row.inSession) {
        return RowState::Paused;
    }
    if (row.passwordRefused) {
        return RowState::PasswordRefused;
    }
    if (row.silent) {
        return RowState::Silent;
    }
    return row.readings ? RowState::Up : RowState::Waiting;
}

Time SilentSince(const OverviewRow& row) {
    return std::max(row.lastValidReply.value_or(row.watchingSince), row.watchingSince);
}

}  // namespace varnex::overview
