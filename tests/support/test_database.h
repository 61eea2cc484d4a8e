#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

// Firebird databases for the tests: a QuibraW database built once per test process from our own
// schema script, copied into a fresh temporary folder for every test that writes to it, and a few
// helpers that read back what landed. Every failure throws std::runtime_error with Firebird's text.

// Creates a database at path (user SYSDBA, page size 8192, default character set ISO8859_1,
// dialect 3) and runs every ";"-separated statement of the script in one transaction.
void CreateDatabaseFromScript(const std::string& path, const std::string& scriptPath);

// The QuibraW template database, created on first use in a folder that is removed when the
// process ends. Tests never write to it; they take a copy with FreshQuibrawDatabase.
std::string QuibrawTemplatePath();


// The same schema without the primary keys of the columns that the sales and purchase copies match on:
// item_venda (nota, cod), entrada (nota, fornec), item_entrada (cod, nota, destino). A QuibraW database is not
// ours and may lack them.
std::string QuibrawTemplateWithoutMatchKeysPath();

enum class MatchKeys { Kept, LeftOut };

// Copies the template database into the folder under fileName and returns the copy's path.
std::string FreshQuibrawDatabase(const TempFolder& folder, const std::string& fileName = "bd.fdb",
                                 MatchKeys keys = MatchKeys::Kept);

// The text shown for a NULL column by SqlScalar and SqlRows.
inline constexpr const char* kSqlNull = "<null>";

// Runs a select and gives every column of every row as text, converted by Firebird
// (numeric(15,4) as "12.5000", dates as "2023-05-10", timestamps as "2023-05-10 14:30:00.0000").
std::vector<std::vector<std::string>> SqlRows(const std::string& dbPath, const std::string& sql);

// The first column of the first row of a select; kSqlNull when that column is NULL, and an
// error when the select gives no row.
std::string SqlScalar(const std::string& dbPath, const std::string& sql);

// Executes one statement without result and commits it.
void SqlExec(const std::string& dbPath, const std::string& sql);
