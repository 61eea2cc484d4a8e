#include "tests/support/test_database.h"

#include <ibase.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kUser = "SYSDBA";
constexpr const char* kPassword = "pxlortevn";
constexpr const char* kCharset = "ISO8859_1";
constexpr unsigned short kDialect = 3;
// Every result column is fetched as a varying text of this many bytes.
constexpr short kColumnTextLength = 4000;

std::string StatusText(const ISC_STATUS* status)
{
    std::string text;
    const ISC_STATUS* vector = status;
    char line[1024];
    while (fb_interpret(line, sizeof line, &vector) > 0) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text.empty() ? "Firebird error without a message" : text;
}

void Check(const ISC_STATUS* status, const std::string& doing)
{
    if (status[0] == 1 && status[1] != 0) {
        throw std::runtime_error(doing + ": " + StatusText(status));
    }
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

// One attachment with one transaction; rolls back and detaches whatever is left open.
class Session {
public:
    explicit Session(const std::string& dbPath)
    {
        std::string dpb(1, static_cast<char>(isc_dpb_version1));
        AddDpbText(dpb, isc_dpb_user_name, kUser);
        AddDpbText(dpb, isc_dpb_password, kPassword);
        AddDpbText(dpb, isc_dpb_lc_ctype, kCharset);
        ISC_STATUS_ARRAY status;
        isc_attach_database(status, 0, dbPath.c_str(), &db_, static_cast<short>(dpb.size()), dpb.data());
        Check(status, "attaching " + dbPath);
        StartTransaction();
    }

    // Takes over an attachment made elsewhere (by CREATE DATABASE).
    explicit Session(isc_db_handle db) : db_(db) { StartTransaction(); }

    ~Session()
    {
        ISC_STATUS_ARRAY status;
        if (tr_) isc_rollback_transaction(status, &tr_);
        if (db_) isc_detach_database(status, &db_);
    }

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void ExecuteImmediate(const std::string& sql)
    {
        ISC_STATUS_ARRAY status;
        isc_dsql_execute_immediate(status, &db_, &tr_, 0, sql.c_str(), kDialect, nullptr);
        Check(status, "executing " + sql);
    }

    void Commit()
    {
        ISC_STATUS_ARRAY status;
        isc_commit_transaction(status, &tr_);
        Check(status, "committing");
    }

    void Detach()
    {
        ISC_STATUS_ARRAY status;
        isc_detach_database(status, &db_);
        Check(status, "detaching");
    }

    std::vector<std::vector<std::string>> Select(const std::string& sql);

private:
    static void AddDpbText(std::string& dpb, char tag, const std::string& value)
    {
        dpb += tag;
        dpb += static_cast<char>(value.size());
        dpb += value;
    }

    void StartTransaction()
    {
        ISC_STATUS_ARRAY status;
        isc_start_transaction(status, &tr_, 1, &db_, 0, nullptr);
        Check(status, "starting a transaction");
    }

    isc_db_handle db_ = 0;
    isc_tr_handle tr_ = 0;
};

struct SqldaFree {
    void operator()(XSQLDA* sqlda) const { std::free(sqlda); }
};
using SqldaPtr = std::unique_ptr<XSQLDA, SqldaFree>;

SqldaPtr NewSqlda(short columns)
{
    auto* sqlda = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(columns)));
    if (!sqlda) throw std::bad_alloc();
    sqlda->version = SQLDA_VERSION1;
    sqlda->sqln = columns;
    return SqldaPtr(sqlda);
}

std::vector<std::vector<std::string>> Session::Select(const std::string& sql)
{
    ISC_STATUS_ARRAY status;
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, &db_, &stmt);
    Check(status, "allocating a statement");
    struct StatementFree {
        isc_stmt_handle* stmt;
        ~StatementFree()
        {
            ISC_STATUS_ARRAY ignored;
            isc_dsql_free_statement(ignored, stmt, DSQL_drop);
        }
    } statementFree{&stmt};

    SqldaPtr out = NewSqlda(1);
    isc_dsql_prepare(status, &tr_, &stmt, 0, sql.c_str(), kDialect, out.get());
    Check(status, "preparing " + sql);
    if (out->sqld > out->sqln) {
        const short columns = out->sqld;
        out = NewSqlda(columns);
        isc_dsql_describe(status, &stmt, kDialect, out.get());
        Check(status, "describing " + sql);
    }

    // Firebird converts every column to text when the output asks for a varying text.
    const short columns = out->sqld;
    std::vector<std::vector<char>> buffers(columns);
    std::vector<ISC_SHORT> nullFlags(columns);
    for (short i = 0; i < columns; ++i) {
        XSQLVAR& var = out->sqlvar[i];
        buffers[i].assign(sizeof(ISC_USHORT) + kColumnTextLength, '\0');
        var.sqltype = SQL_VARYING + 1;
        var.sqlsubtype = 0;
        var.sqlscale = 0;
        var.sqllen = kColumnTextLength;
        var.sqldata = buffers[i].data();
        var.sqlind = &nullFlags[i];
    }

    isc_dsql_execute(status, &tr_, &stmt, kDialect, nullptr);
    Check(status, "executing " + sql);

    std::vector<std::vector<std::string>> rows;
    for (;;) {
        const ISC_STATUS fetched = isc_dsql_fetch(status, &stmt, kDialect, out.get());
        if (fetched == 100) break;
        Check(status, "fetching from " + sql);
        std::vector<std::string> row;
        row.reserve(columns);
        for (short i = 0; i < columns; ++i) {
            if (nullFlags[i] < 0) {
                row.emplace_back(kSqlNull);
                continue;
            }
            ISC_USHORT length;
            std::memcpy(&length, buffers[i].data(), sizeof length);
            row.emplace_back(buffers[i].data() + sizeof length, length);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// Splits a script into its statements at each ";" that stands outside quotes and comments;
// comments are dropped and pieces holding nothing but blanks are skipped.
std::vector<std::string> ScriptStatements(const std::string& script)
{
    std::vector<std::string> statements;
    std::string current;
    auto finish = [&] {
        if (current.find_first_not_of(" \t\r\n") != std::string::npos) statements.push_back(current);
        current.clear();
    };
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (c == '-' && i + 1 < script.size() && script[i + 1] == '-') {
            i = script.find('\n', i);
            if (i == std::string::npos) break;
            current += '\n';
        } else if (c == '/' && i + 1 < script.size() && script[i + 1] == '*') {
            const std::size_t end = script.find("*/", i + 2);
            if (end == std::string::npos) throw std::runtime_error("unterminated comment in the script");
            i = end + 1;
            current += ' ';
        } else if (c == '\'' || c == '"') {
            const std::size_t end = script.find(c, i + 1);
            if (end == std::string::npos) throw std::runtime_error("unterminated quote in the script");
            current.append(script, i, end - i + 1);
            i = end;
        } else if (c == ';') {
            finish();
        } else {
            current += c;
        }
    }
    finish();
    return statements;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

// The Firebird client and the embedded engine keep process-wide caches (character set converters,
// ICU, big-number tables) that they never free; in sanitizer builds those are not our leaks.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfbclient.so\nleak:libEngine12.so\nleak:libicuuc.so\nleak:libtommath.so\n";
}

void CreateDatabaseFromScript(const std::string& path, const std::string& scriptPath)
{
    const std::vector<std::string> statements = ScriptStatements(ReadFile(scriptPath));

    const std::string create = "CREATE DATABASE " + Quoted(path) + " USER " + Quoted(kUser) + " PASSWORD " +
                               Quoted(kPassword) + " PAGE_SIZE 8192 DEFAULT CHARACTER SET " + kCharset;
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_tr_handle noTransaction = 0;
    isc_dsql_execute_immediate(status, &db, &noTransaction, 0, create.c_str(), kDialect, nullptr);
    Check(status, "creating " + path);

    Session session(db);
    for (const std::string& statement : statements) session.ExecuteImmediate(statement);
    session.Commit();
    session.Detach();
}

namespace {

// A template per schema text, shared by every test process of this build (ctest runs each test in a process of its
// own), keyed by that text, created once under a lock and published by a rename.
std::string TemplateOfSchema(const std::string& schema, const std::string& name)
{
    const fs::path folder = fs::path(BUILD_DIR) / "test-templates";
    fs::create_directories(folder);
    const std::string stem = name + "-" + std::to_string(std::hash<std::string>{}(schema));
    const fs::path target = folder / (stem + ".fdb");
    if (fs::exists(target)) return target.string();
    const int lock = open((folder / ".lock").c_str(), O_RDWR | O_CREAT, 0644);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) throw std::runtime_error("cannot lock " + folder.string());
    if (!fs::exists(target)) {
        const fs::path building = folder / ("building-" + std::to_string(getpid()) + ".fdb");
        const fs::path script = folder / (stem + ".sql");
        std::ofstream(script, std::ios::binary) << schema;
        fs::remove(building);
        CreateDatabaseFromScript(building.string(), script.string());
        fs::rename(building, target);
    }
    close(lock);
    return target.string();
}

// The table's "primary key (...)" clause taken out of its create table statement.
void RemoveKey(std::string& schema, const std::string& table)
{
    const std::size_t start = schema.find("create table " + table + " (");
    const std::size_t end = start == std::string::npos ? start : schema.find(");", start);
    const std::size_t key = end == std::string::npos ? end : schema.rfind(",\n  primary key (", end);
    if (key == std::string::npos || key < start) throw std::runtime_error("no primary key clause for " + table);
    schema.erase(key, schema.find(')', key) + 1 - key);
}

}  // namespace

std::string QuibrawTemplatePath()
{
    static const std::string path = TemplateOfSchema(ReadFile(QUIBRAW_SCHEMA_PATH), "quibraw");
    return path;
}

std::string QuibrawTemplateWithoutMatchKeysPath()
{
    static const std::string path = [] {
        std::string schema = ReadFile(QUIBRAW_SCHEMA_PATH);
        for (const char* table : {"item_venda", "entrada", "item_entrada"}) RemoveKey(schema, table);
        return TemplateOfSchema(schema, "quibraw-without-match-keys");
    }();
    return path;
}

std::string FreshQuibrawDatabase(const TempFolder& folder, const std::string& fileName, MatchKeys keys)
{
    const std::string path = (fs::path(folder.Path()) / fileName).string();
    const std::string& source =
        keys == MatchKeys::Kept ? QuibrawTemplatePath() : QuibrawTemplateWithoutMatchKeysPath();
    fs::copy_file(source, path, fs::copy_options::overwrite_existing);
    return path;
}

std::vector<std::vector<std::string>> SqlRows(const std::string& dbPath, const std::string& sql)
{
    Session session(dbPath);
    auto rows = session.Select(sql);
    session.Commit();
    return rows;
}

std::string SqlScalar(const std::string& dbPath, const std::string& sql)
{
    const auto rows = SqlRows(dbPath, sql);
    if (rows.empty() || rows.front().empty()) throw std::runtime_error("no row from " + sql);
    return rows.front().front();
}

void SqlExec(const std::string& dbPath, const std::string& sql)
{
    Session session(dbPath);
    session.ExecuteImmediate(sql);
    session.Commit();
}
