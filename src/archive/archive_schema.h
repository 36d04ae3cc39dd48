// The archive's tables and their migrations. Each release that changes the tables adds
// one step; an archive is brought up step by step, each step in its own transaction.
#pragma once

#include <functional>

class CSqliteDb;

inline constexpr int kArchiveSchemaVersion = 8;

// The version the archive's tables have: 0 for an empty database, -1 for a database that
// holds tables of some other program.
int ReadSchemaVersion(CSqliteDb& db);

// Brings the tables from `version` up to `target` (an older target only for tests that
// make an old release's archive). `progress` hears (done, total) of a long step.
using MigrationProgressFn = std::function<void(int done, int total)>;
void MigrateSchema(CSqliteDb& db, int version, int target = kArchiveSchemaVersion,
                   const MigrationProgressFn& progress = {});
