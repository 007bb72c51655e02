#include "stations/seed_database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "stations/odbc_connection.h"
#include "stations/station_table.h"

namespace varnex {
namespace {

struct FileIdentity {
    dev_t device;
    ino_t inode;
};

bool FillSeedDatabase(const std::string& connectionText) {
    OdbcConnection connection;
    if (connection.Connect(connectionText) || !connection.BeginTransaction()) {
        return false;
    }
    const StationRecord seed =
        NewStationRecord(kFactoryAddress, kSeedPassword, kSeedComment, "YES");
    const bool filled =
        OdbcStatement(connection).Execute(CreateStationTableStatement(), {}) &&
        OdbcStatement(connection).Execute(InsertStationStatement(), {seed.begin(), seed.end()});
    return connection.EndTransaction(filled) && filled;
}

// Only the empty file this start created goes: anything else at the path
// may be someone's data.
void RemoveIfStillOursAndEmpty(const std::string& path, FileIdentity created) {
    struct stat now {};
    if (lstat(path.c_str(), &now) == 0 && S_ISREG(now.st_mode) && now.st_dev == created.device &&
        now.st_ino == created.inode && now.st_size == 0) {
        unlink(path.c_str());
    }
}

}  // namespace

SeedOutcome WriteSeedDatabaseIfMissing(const std::string& path) {
    const std::optional<std::string> connectionText = DatabaseConnectionText(path);
    if (!connectionText) {
        return SeedOutcome::Failed;
    }
    // O_EXCL also refuses a dangling symbolic link, so nothing is written through one.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno == EEXIST ? SeedOutcome::FileExists : SeedOutcome::Failed;
    }
    struct stat created {};
    const bool identified = fstat(fd, &created) == 0;
    close(fd);
    if (!identified) {
        return SeedOutcome::Failed;
    }
    if (FillSeedDatabase(*connectionText)) {
        return SeedOutcome::Written;
    }
    RemoveIfStillOursAndEmpty(path, {created.st_dev, created.st_ino});
    return SeedOutcome::Failed;
}

}  // namespace varnex
