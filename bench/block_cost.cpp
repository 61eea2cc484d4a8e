// What one row of a wide insert costs sent alone and inside EXECUTE BLOCKs of several sizes, on the embedded engine
// or through a server, and where the server's processor time goes: the bound of what batching can reach.
//   block-cost [--rows N] [--server [HOST]]
// The insert is the client copy's: 34 columns (an integer code and 33 texts), into a fresh QuibraW database. Rows
// go alone, in an EXECUTE BLOCK that declares one parameter per value (as the batched execution does, without its
// savepoint per row), or in one insert whose select is a union of the rows, each value cast to its column's type.
// Through a server the figures add the server process's own processor time per row (from /proc, when the server runs
// on this machine as "firebird").
#include <ibase.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "firebird/fb_status.h"
#include "tests/support/test_database.h"

namespace {

const char* const kColumns[] = {"nome", "ende", "bairro", "cep", "tel", "cid", "est", "org", "titular",
                                "telres", "telcom", "nat", "nac", "prof", "conj", "ocup", "pai", "mae",
                                "nome1", "nome2", "nome3", "end1", "end2", "end3", "tel1", "tel2", "tel3",
                                "obs", "email", "ies", "ativo", "faturar", "cnpj"};
constexpr int kTexts = sizeof kColumns / sizeof *kColumns;

void Check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1]) {
        std::fprintf(stderr, "%s\n", StatusText(status).c_str());
        std::exit(1);
    }
}

// User and system ticks of the server process, when it can be read.
std::optional<long> ServerTicks()
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream comm(entry.path() / "comm");
        std::string name;
        if (!(comm >> name) || name != "firebird") continue;
        std::ifstream stat(entry.path() / "stat");
        std::string field;
        long user = 0, system = 0;
        for (int i = 1; i <= 15 && stat >> field; ++i) {
            if (i == 14) user = std::atol(field.c_str());
            if (i == 15) system = std::atol(field.c_str());
        }
        return user + system;
    }
    return std::nullopt;
}

std::string InsertText(const std::function<std::string(int)>& value)
{
    std::string text = "insert into cliente(cod";
    for (const char* column : kColumns) text += std::string(",") + column;
    text += ") values (" + value(0);
    for (int c = 1; c <= kTexts; ++c) text += "," + value(c);
    return text + ")";
}

class Target {
public:
    explicit Target(const std::string& name)
    {
        std::string dpb(1, static_cast<char>(isc_dpb_version1));
        auto add = [&dpb](char tag, const std::string& value) {
            dpb += tag;
            dpb += static_cast<char>(value.size());
            dpb += value;
        };
        add(isc_dpb_user_name, "SYSDBA");
        add(isc_dpb_password, "pxlortevn");
        add(isc_dpb_lc_ctype, "ISO8859_1");
        ISC_STATUS_ARRAY status;
        isc_attach_database(status, 0, name.c_str(), &db_, static_cast<short>(dpb.size()), dpb.data());
        Check(status);
        const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                            isc_tpb_nowait};
        isc_start_transaction(status, &tr_, 1, &db_, sizeof tpb, tpb);
        Check(status);
    }
    ~Target()
    {
        ISC_STATUS_ARRAY status;
        isc_commit_transaction(status, &tr_);
        isc_detach_database(status, &db_);
    }

    // Inserts `rows` rows `perBlock` at a time (1: the plain insert), in an EXECUTE BLOCK or in one insert from a
    // union of the rows; the prepare and the executes timed apart.
    void Run(int rows, int perBlock, bool asUnion, double& prepareMs, double& rowMicros)
    {
        const std::string single = InsertText([](int) { return std::string("?"); });
        std::string text = single;
        auto type = [this](int c) {
            return c == 0 ? std::string("INTEGER")
                          : "VARCHAR(" + std::to_string(widths_[c]) + ") CHARACTER SET ISO8859_1";
        };
        if (perBlock > 1 && asUnion) {
            text = single.substr(0, single.find(" values")) + "\n";
            for (int r = 1; r <= perBlock; ++r) {
                text += r > 1 ? "UNION ALL SELECT " : "SELECT ";
                for (int c = 0; c <= kTexts; ++c) text += (c ? ", CAST(? AS " : "CAST(? AS ") + type(c) + ")";
                text += " FROM RDB$DATABASE\n";
            }
        } else if (perBlock > 1) {
            text = "EXECUTE BLOCK (";
            for (int r = 1; r <= perBlock; ++r) {
                const std::string p = "P" + std::to_string(r) + "_";
                for (int c = 0; c <= kTexts; ++c) text += (c ? "," : "") + p + std::to_string(c) + " " + type(c) + " = ?";
                text += r < perBlock ? ",\n" : ") AS BEGIN\n";
            }
            for (int r = 1; r <= perBlock; ++r)
                text += InsertText([r](int c) { return ":P" + std::to_string(r) + "_" + std::to_string(c); }) +
                        ";\n";
            text += "END";
        }
        ISC_STATUS_ARRAY status;
        isc_stmt_handle statement = 0;
        isc_dsql_allocate_statement(status, &db_, &statement);
        Check(status);
        const auto start = std::chrono::steady_clock::now();
        isc_dsql_prepare(status, &tr_, &statement, 0, text.c_str(), SQL_DIALECT_V6, nullptr);
        Check(status);
        const auto prepared = std::chrono::steady_clock::now();
        const int parameters = perBlock * (kTexts + 1);
        std::vector<char> sqlda(XSQLDA_LENGTH(parameters));
        XSQLDA* input = reinterpret_cast<XSQLDA*>(sqlda.data());
        input->version = SQLDA_VERSION1;
        input->sqln = static_cast<short>(parameters);
        isc_dsql_describe_bind(status, &statement, SQL_DIALECT_V6, input);
        Check(status);
        if (perBlock == 1)
            for (int c = 0; c <= kTexts; ++c) widths_[c] = input->sqlvar[c].sqllen;
        std::vector<std::vector<char>> buffers(static_cast<size_t>(parameters));
        std::vector<short> nulls(static_cast<size_t>(parameters), 0);
        for (int i = 0; i < parameters; ++i) {
            XSQLVAR& var = input->sqlvar[i];
            buffers[static_cast<size_t>(i)].assign(static_cast<size_t>(var.sqllen) + 2, 0);
            var.sqldata = buffers[static_cast<size_t>(i)].data();
            var.sqlind = &nulls[static_cast<size_t>(i)];
        }
        for (int done = 0; done < rows; done += perBlock) {
            for (int r = 0; r < perBlock; ++r) {
                XSQLVAR* row = &input->sqlvar[r * (kTexts + 1)];
                const int code = ++lastCode_;
                std::memcpy(row[0].sqldata, &code, sizeof code);
                const std::string value = "V" + std::to_string(code % 1000) + "X";
                for (int c = 1; c <= kTexts; ++c) {
                    const unsigned short length =
                        static_cast<unsigned short>(std::min<size_t>(value.size(), static_cast<size_t>(row[c].sqllen)));
                    std::memcpy(row[c].sqldata, &length, sizeof length);
                    std::memcpy(row[c].sqldata + 2, value.data(), length);
                }
            }
            isc_dsql_execute(status, &tr_, &statement, SQL_DIALECT_V6, input);
            Check(status);
        }
        const auto end = std::chrono::steady_clock::now();
        isc_dsql_free_statement(status, &statement, DSQL_drop);
        prepareMs = std::chrono::duration<double, std::milli>(prepared - start).count();
        rowMicros = std::chrono::duration<double, std::micro>(end - prepared).count() / rows;
    }

private:
    isc_db_handle db_ = 0;
    isc_tr_handle tr_ = 0;
    int lastCode_ = 0;
    short widths_[kTexts + 1] = {};
};

}  // namespace

int main(int argc, char** argv)
{
    int rows = 20000;
    std::optional<std::string> server;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rows" && i + 1 < argc)
            rows = std::atoi(argv[++i]);
        else if (arg == "--server")
            server = i + 1 < argc && argv[i + 1][0] != '-' ? argv[++i] : "localhost";
        else {
            std::fprintf(stderr, "usage: block-cost [--rows N] [--server [HOST]]\n");
            return 2;
        }
    }
    TempFolder folder;
    const std::string path = FreshQuibrawDatabase(folder, "cost.fdb");
    if (server) {
        std::filesystem::permissions(folder.Path(), std::filesystem::perms::all);
        std::filesystem::permissions(path, std::filesystem::perms::all);
    }
    Target target(server ? *server + ":" + path : path);
    std::printf("%d rows of 34 columns, %s\n\n", rows, server ? ("through the server " + *server).c_str() : "embedded");
    std::printf("    rows per execute   prepare ms   us per row%s\n", server ? "   server cpu us per row" : "");
    struct Form {
        int perBlock;
        bool asUnion;
    };
    for (const Form form : {Form{1, false}, Form{5, false}, Form{20, false}, Form{50, false}, Form{5, true},
                            Form{20, true}, Form{50, true}}) {
        const auto before = server ? ServerTicks() : std::nullopt;
        double prepareMs = 0, rowMicros = 0;
        const int blockRows = rows - rows % form.perBlock;
        target.Run(blockRows, form.perBlock, form.asUnion, prepareMs, rowMicros);
        const auto after = server ? ServerTicks() : std::nullopt;
        std::printf("%20s %12.1f %12.2f",
                    (std::to_string(form.perBlock) + (form.perBlock == 1 ? " alone" : form.asUnion ? " union" : " block"))
                        .c_str(),
                    prepareMs, rowMicros);
        if (before && after)
            std::printf(" %25.2f",
                        1e6 * static_cast<double>(*after - *before) / sysconf(_SC_CLK_TCK) / blockRows);
        std::printf("\n");
    }
    return 0;
}
