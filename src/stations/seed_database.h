// The database a first start writes: table `main` with the one factory row.
#pragma once

#include <string>

namespace varnex {

enum class SeedOutcome {
    FileExists,  // left exactly as it was, whatever it holds
    Written,
    Failed,  // no file was left behind, or one that is not ours or not empty
};

// Creates the file at `path` only when nothing exists there (never replacing
// a file, not even one that appears meanwhile) and fills it as one
// transaction. Failures are not shown: the connection that follows reports them.
SeedOutcome WriteSeedDatabaseIfMissing(const std::string& path);

}  // namespace varnex
