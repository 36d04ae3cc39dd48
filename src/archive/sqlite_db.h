// A thin RAII layer over the SQLite C API: one connection, prepared statements, and a
// transaction that rolls back unless committed. Failures throw CSqliteError so that one
// catch at the archive's edge turns any of them into a message.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class CSqliteError : public std::runtime_error {
public:
    CSqliteError(int code, const std::string& what) : std::runtime_error(what), m_nCode(code) {}
    int Code() const { return m_nCode; }

private:
    int m_nCode;
};

class CSqliteDb {
public:
    CSqliteDb() = default;
    ~CSqliteDb() { Close(); }
    CSqliteDb(const CSqliteDb&) = delete;
    CSqliteDb& operator=(const CSqliteDb&) = delete;

    // Opens (and with `create`, creates) the file; throws when SQLite refuses it.
    void Open(const std::filesystem::path& path, bool readOnly, bool create);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }

    void Exec(const char* sql);
    std::int64_t LastInsertRowId() const;
    int Changes() const;
    sqlite3* Handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

class CStatement {
public:
    CStatement(CSqliteDb& db, std::string_view sql);
    ~CStatement();
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    // Binds by 1-based index; returns *this to chain.
    CStatement& Bind(int index, std::string_view text);
    CStatement& Bind(int index, std::int64_t value);
    CStatement& BindNull(int index);
    // True while a row is there; false when done. Throws on failure.
    bool Step();
    // Runs a statement that returns no rows, then resets it for the next use.
    void Run();
    void Reset();

    std::string Text(int column) const;
    std::int64_t Int(int column) const;
    bool IsNull(int column) const;
    bool IsInteger(int column) const;

private:
    CSqliteDb& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless Commit ran.
class CTransaction {
public:
    explicit CTransaction(CSqliteDb& db) : m_db(db) { m_db.Exec("BEGIN IMMEDIATE"); }
    ~CTransaction();
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;
    void Commit();

private:
    CSqliteDb& m_db;
    bool m_bDone = false;
};
