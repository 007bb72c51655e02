// The window icons of the station list dialogs and the database option: a
// database drum with a mark of its own for each dialog, drawn at run time.
#pragma once

#include <QIcon>

namespace varnex {

enum class StationIcon { Add, Edit, Delete, DatabaseOptions };

QIcon StationDialogIcon(StationIcon kind);

}  // namespace varnex
