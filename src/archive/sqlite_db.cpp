#include "archive/sqlite_db.h"

#include <sqlite3.h>

namespace {

[[noreturn]] void Fail(sqlite3* db, int code) {
    throw CSqliteError(code, db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

}  // namespace

void CSqliteDb::Open(const std::filesystem::path& path, bool readOnly, bool create) {
    Close();
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create && !readOnly) flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        Close();
        throw CSqliteError(rc, message);
    }
    sqlite3_extended_result_codes(m_db, 1);
    // Another process (the command-line tool) may hold the write lock for a moment.
    sqlite3_busy_timeout(m_db, 2000);
}

void CSqliteDb::Close() {
    if (m_db) sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void CSqliteDb::Exec(const char* sql) {
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Fail(m_db, rc);
}

std::int64_t CSqliteDb::LastInsertRowId() const { return sqlite3_last_insert_rowid(m_db); }

int CSqliteDb::Changes() const { return sqlite3_changes(m_db); }

CStatement::CStatement(CSqliteDb& db, std::string_view sql) : m_db(db) {
    const int rc = sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) Fail(db.Handle(), rc);
}

CStatement::~CStatement() { sqlite3_finalize(m_stmt); }

CStatement& CStatement::Bind(int index, std::string_view text) {
    // An empty view may have no data pointer, which SQLite would bind as NULL.
    const char* data = text.data() ? text.data() : "";
    const int rc = sqlite3_bind_text64(m_stmt, index, data, text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK) Fail(m_db.Handle(), rc);
    return *this;
}

CStatement& CStatement::Bind(int index, std::int64_t value) {
    const int rc = sqlite3_bind_int64(m_stmt, index, value);
    if (rc != SQLITE_OK) Fail(m_db.Handle(), rc);
    return *this;
}

CStatement& CStatement::BindNull(int index) {
    const int rc = sqlite3_bind_null(m_stmt, index);
    if (rc != SQLITE_OK) Fail(m_db.Handle(), rc);
    return *this;
}

bool CStatement::Step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(m_stmt);
    Fail(m_db.Handle(), rc);
}

void CStatement::Run() {
    while (Step()) {
    }
    Reset();
}

void CStatement::Reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

std::string CStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column))) : std::string();
}

std::int64_t CStatement::Int(int column) const { return sqlite3_column_int64(m_stmt, column); }

bool CStatement::IsNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }

bool CStatement::IsInteger(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_INTEGER; }

CTransaction::~CTransaction() {
    if (!m_bDone) sqlite3_exec(m_db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void CTransaction::Commit() {
    m_db.Exec("COMMIT");
    m_bDone = true;
}
