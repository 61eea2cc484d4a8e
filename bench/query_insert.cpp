// Inserts N rows through the Query layer (named text parameters, the text set again for every row) and through a
// raw libfbclient loop with one prepared statement, each into its own fresh database, and prints rows per second.
#include <ibase.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "firebird/fb_connection.h"
#include "firebird/fb_status.h"
#include "tests/support/test_database.h"

namespace {

const char* const kInsert = "insert into cliente (cod, nome, ende, cid, cnpj) values (:cod, :nome, :end, :cid, :cgc)";

std::string Name(int i) { return "CLIENTE NUMERO " + std::to_string(i) + "                    "; }

double QueryLayer(const std::string& path, int rows)
{
    FbConnection connection;
    connection.DirectConnect(path);
    FbQuery& q = connection.Query();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= rows; ++i) {
        q.Close();
        q.ClearText();
        q.AddLine(kInsert);
        q.SetText("cod", std::to_string(i));
        q.SetText("nome", Name(i));
        q.SetText("end", "RUA DAS FLORES, 123");
        q.SetText("cid", "PORTO ALEGRE");
        q.SetText("cgc", "12345678000190");
        q.Execute();
    }
    connection.Transaction().Commit();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1]) {
        std::fprintf(stderr, "%s\n", StatusText(status).c_str());
        std::exit(1);
    }
}

double RawLoop(const std::string& path, int rows)
{
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 's', 'y', 's', 'd', 'b', 'a',
                        isc_dpb_password, 3, 'p', 'w', 'd', isc_dpb_lc_ctype, 9, 'I', 'S', 'O', '8', '8', '5', '9', '_', '1'};
    isc_attach_database(status, 0, path.c_str(), &db, sizeof dpb, dpb);
    Check(status);
    isc_tr_handle tr = 0;
    const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait};
    isc_start_transaction(status, &tr, 1, &db, sizeof tpb, tpb);
    Check(status);
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, &db, &stmt);
    Check(status);
    const auto start = std::chrono::steady_clock::now();
    isc_dsql_prepare(status, &tr, &stmt, 0, "insert into cliente (cod, nome, ende, cid, cnpj) values (?, ?, ?, ?, ?)",
                     3, nullptr);
    Check(status);
    XSQLDA* in = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(5)));
    in->version = SQLDA_VERSION1;
    in->sqln = 5;
    isc_dsql_describe_bind(status, &stmt, 3, in);
    Check(status);
    char buffers[5][130];
    short nulls[5] = {};
    for (int c = 0; c < 5; ++c) {
        in->sqlvar[c].sqltype = SQL_VARYING | 1;
        in->sqlvar[c].sqllen = 128;
        in->sqlvar[c].sqlscale = 0;
        in->sqlvar[c].sqldata = buffers[c];
        in->sqlvar[c].sqlind = &nulls[c];
    }
    auto put = [&buffers](int c, const std::string& text) {
        const unsigned short length = static_cast<unsigned short>(text.size());
        std::memcpy(buffers[c], &length, 2);
        std::memcpy(buffers[c] + 2, text.data(), text.size());
    };
    for (int i = 1; i <= rows; ++i) {
        put(0, std::to_string(i));
        put(1, Name(i));
        put(2, "RUA DAS FLORES, 123");
        put(3, "PORTO ALEGRE");
        put(4, "12345678000190");
        isc_dsql_execute(status, &tr, &stmt, 3, in);
        Check(status);
    }
    isc_commit_transaction(status, &tr);
    Check(status);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    isc_dsql_free_statement(status, &stmt, DSQL_drop);
    isc_detach_database(status, &db);
    std::free(in);
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    TempFolder folder;
    const std::string rawPath = FreshQuibrawDatabase(folder, "raw.fdb");
    const std::string layerPath = FreshQuibrawDatabase(folder, "layer.fdb");
    // Alternate and keep the best of three runs of each, on fresh tables, to steady the figures.
    double raw = 1e9, layer = 1e9;
    for (int round = 0; round < 3; ++round) {
        SqlExec(rawPath, "delete from cliente");
        SqlExec(layerPath, "delete from cliente");
        raw = std::min(raw, RawLoop(rawPath, rows));
        layer = std::min(layer, QueryLayer(layerPath, rows));
    }
    std::printf("rows            %d\n", rows);
    std::printf("raw libfbclient %.0f rows/s\n", rows / raw);
    std::printf("query layer     %.0f rows/s\n", rows / layer);
    std::printf("layer / raw     %.1f %%\n", 100.0 * raw / layer);
    return 0;
}
