#include "archive/archive_schema.h"

#include <string>

#include "archive/archive_twins.h"
#include "archive/sqlite_db.h"

namespace {

// Version 1: pals by address, their mails, the user's own addresses, settings, and the
// full-text index over the folded subject and body ("folded" keeps it for short queries,
// which the trigram index cannot answer).
constexpr const char* kVersion1 = R"sql(
CREATE TABLE schema_version(version INTEGER NOT NULL);
INSERT INTO schema_version VALUES(0);
CREATE TABLE settings(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE own_addresses(address TEXT PRIMARY KEY COLLATE NOCASE, position INTEGER NOT NULL);
CREATE TABLE pals(id INTEGER PRIMARY KEY, address TEXT NOT NULL UNIQUE, quiet_days INTEGER);
CREATE TABLE mails(
  id INTEGER PRIMARY KEY,
  pal_id INTEGER NOT NULL REFERENCES pals(id) ON DELETE CASCADE,
  direction INTEGER NOT NULL CHECK(direction IN (0, 1)),
  date TEXT NOT NULL,
  subject TEXT NOT NULL,
  body TEXT NOT NULL,
  message_id TEXT NOT NULL,
  source TEXT NOT NULL,
  body_hash INTEGER NOT NULL,
  folded TEXT NOT NULL);
CREATE INDEX mails_by_pal_date ON mails(pal_id, date);
CREATE INDEX mails_by_pal_direction_date ON mails(pal_id, direction, date);
CREATE UNIQUE INDEX mails_by_message_id ON mails(pal_id, message_id) WHERE message_id <> '';
CREATE VIRTUAL TABLE mails_fts USING fts5(folded, content='mails', content_rowid='id', tokenize='trigram');
CREATE TRIGGER mails_fts_insert AFTER INSERT ON mails BEGIN
  INSERT INTO mails_fts(rowid, folded) VALUES (new.id, new.folded);
END;
CREATE TRIGGER mails_fts_delete AFTER DELETE ON mails BEGIN
  INSERT INTO mails_fts(mails_fts, rowid, folded) VALUES ('delete', old.id, old.folded);
END;
)sql";

// Version 2: the index is filled by the intake, one statement per batch. A statement
// that writes to the index makes it flush its pending terms into a new segment, so a
// trigger per inserted mail made one segment, and merges, per mail. Segments are merged
// eight at a time rather than four, which halves the merge work of an intake.
constexpr const char* kVersion2 = R"sql(
DROP TRIGGER mails_fts_insert;
INSERT INTO mails_fts(mails_fts, rank) VALUES ('automerge', 8);
)sql";

// Version 3: new mails wait in "unindexed" and go into the index many at a time. Each
// write to the index adds a segment, and the index merges its segments by count, not by
// size: one segment per mail made every intake rewrite the old, large segments again and
// again, so that its cost grew with the archive. A deleted mail leaves the index only if
// it was in it.
constexpr const char* kVersion3 = R"sql(
CREATE TABLE unindexed(id INTEGER PRIMARY KEY);
DROP TRIGGER mails_fts_delete;
CREATE TRIGGER mails_fts_delete AFTER DELETE ON mails BEGIN
  INSERT INTO mails_fts(mails_fts, rowid, folded) SELECT 'delete', old.id, old.folded
    WHERE NOT EXISTS (SELECT 1 FROM unindexed WHERE id = old.id);
  DELETE FROM unindexed WHERE id = old.id;
END;
)sql";

// Version 4: the pal data file's last mails no longer stand beside the mails they copy.
// Earlier releases stored a seed again whenever a pal's last mail had changed; those
// twins go, with progress, since an archive may hold thousands.
constexpr const char* kVersion4 = "";

// Version 5: what a pal's data file record cannot hold (its card's identity, readings,
// text outside code page 932, more addresses and numbers). Keyed by the pal's row, so it
// follows an address change as the mails do. `values` holds the lists: kind 0 the
// original text of field `position`, kind 1 the extra mail addresses, kind 2 the numbers.
constexpr const char* kVersion5 = R"sql(
CREATE TABLE pal_cards(
  pal_id INTEGER PRIMARY KEY REFERENCES pals(id) ON DELETE CASCADE,
  uid TEXT NOT NULL,
  revision TEXT NOT NULL,
  reading_family TEXT NOT NULL,
  reading_given TEXT NOT NULL,
  birthday_no_year TEXT NOT NULL,
  postal_code TEXT NOT NULL,
  carddav_href TEXT NOT NULL,
  carddav_etag TEXT NOT NULL);
CREATE TABLE pal_card_values(
  pal_id INTEGER NOT NULL REFERENCES pal_cards(pal_id) ON DELETE CASCADE ON UPDATE CASCADE,
  kind INTEGER NOT NULL,
  position INTEGER NOT NULL,
  value TEXT NOT NULL,
  PRIMARY KEY(pal_id, kind, position));
)sql";

// Version 6: a Message-ID names a mail only together with its date and text. Two different
// mails may carry the same one (a program that makes them badly, a resent mail), and both
// are kept; the same mail read again still is not.
constexpr const char* kVersion6 = R"sql(
DROP INDEX mails_by_message_id;
CREATE INDEX mails_by_message_id ON mails(pal_id, message_id) WHERE message_id <> '';
)sql";

// Version 7: the mails by date alone, so that a search walks them from the newest and
// stops at the last one it shows, however many mails hold a common word.
constexpr const char* kVersion7 = "CREATE INDEX mails_by_date ON mails(date);";

// Version 8: what a conversation shows above each mail: its sender and recipients as
// written in its header (empty for mails stored before, and for texts that carry none)
// and how many attachments it had.
constexpr const char* kVersion8 = R"sql(
ALTER TABLE mails ADD COLUMN from_address TEXT NOT NULL DEFAULT '';
ALTER TABLE mails ADD COLUMN to_addresses TEXT NOT NULL DEFAULT '';
ALTER TABLE mails ADD COLUMN cc_addresses TEXT NOT NULL DEFAULT '';
ALTER TABLE mails ADD COLUMN attachments INTEGER NOT NULL DEFAULT 0;
)sql";

constexpr const char* kSteps[] = {kVersion1, kVersion2, kVersion3, kVersion4,
                                  kVersion5, kVersion6, kVersion7, kVersion8};
static_assert(std::size(kSteps) == kArchiveSchemaVersion);

}  // namespace

int ReadSchemaVersion(CSqliteDb& db) {
    CStatement tables(db, "SELECT count(*), sum(name = 'schema_version') FROM sqlite_master WHERE type = 'table'");
    tables.Step();
    if (tables.Int(0) == 0) return 0;
    if (tables.Int(1) == 0) return -1;
    CStatement version(db, "SELECT max(version) FROM schema_version");
    return version.Step() ? static_cast<int>(version.Int(0)) : -1;
}

void MigrateSchema(CSqliteDb& db, int version, int target, const MigrationProgressFn& progress) {
    for (int step = version; step < target; ++step) {
        CTransaction transaction(db);
        db.Exec(kSteps[step]);
        // A new archive has no twins to look for.
        if (step == 3 && version > 0) RemoveSeedTwins(db, progress);
        db.Exec(("UPDATE schema_version SET version = " + std::to_string(step + 1)).c_str());
        transaction.Commit();
    }
}
