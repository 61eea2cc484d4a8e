#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/support/test_database.h"

namespace {

// What ConvQuibraW's statements write, empty or restart, read from each command's statements.
const std::set<std::string> kTables = {
    // written by the copies and commands
    "COD_OP", "HISCAIXA", "VENDEDOR", "AGENDA", "GRUPOPROD", "GRUPODECAIXA", "FABRICANTE", "FORNECEDOR",
    "CLIENTE", "PRODUTO", "CAIXA", "CONTASPAGAR", "CONTASRECEBER", "VENDA", "ITEM_VENDA", "ENTRADA",
    "ITEM_ENTRADA", "NFCE", "USUARIO",
    // only emptied by the clearing command
    "CARNE", "CONFIG_TEMA", "DUPLICATAS", "CONVENIO", "ORCAMENTO", "ITEM_ORCAMENTO", "TRANSFERENCIA",
    "ROTA", "ITEM_COMPRA", "COMPRA", "FVMT", "JUSTIFICATIVA", "OS_VENDA", "OS_ITENS", "SERVICO", "ACERTO",
    "SPEDDADOSADIC", "SPED_REDUCAOZ", "TRANSPORTADORA", "ECF", "MOV_FRE", "NFE"};

const std::set<std::string> kSequences = {
    "ACERTO", "ACERTO_SEQ", "AGENDA", "CLIENTE", "COMPRA", "CPAGAR", "CRECEBER", "DUPLI_UNICA", "ENTRADA",
    "FABRICANTE", "FORNECEDOR", "GRUPODECAIXA", "GRUPOPROD", "MOVCAIXA", "NFCE", "NFE", "ORCAMENTO",
    "PRODUTO", "RECIBO_PAGA", "ROTA", "SERVICO", "TRANSPORTADORA", "TRANSFERENCIA", "USUARIO", "VENDA",
    "VENDEDOR"};

std::set<std::string> TrimmedFirstColumn(const std::string& db, const std::string& sql)
{
    std::set<std::string> names;
    for (const auto& row : SqlRows(db, sql)) {
        std::string name = row.at(0);
        name.erase(name.find_last_not_of(' ') + 1);
        names.insert(name);
    }
    return names;
}

std::string KeyColumns(const std::string& db, const std::string& constraintType, const std::string& table)
{
    std::string columns;
    for (const auto& row : SqlRows(db,
             "select trim(s.rdb$field_name) from rdb$relation_constraints c"
             " join rdb$index_segments s on s.rdb$index_name = c.rdb$index_name"
             " where c.rdb$constraint_type = '" + constraintType + "' and c.rdb$relation_name = '" + table +
             "' order by s.rdb$field_position")) {
        columns += (columns.empty() ? "" : ",") + row.at(0);
    }
    return columns;
}

}  // namespace

TEST(QuibrawSchema, holdsEveryTableAndSequenceTheCommandsName)
{
    TempFolder folder;
    const std::string db = FreshQuibrawDatabase(folder);

    EXPECT_EQ(TrimmedFirstColumn(db, "select rdb$relation_name from rdb$relations where rdb$system_flag = 0"),
              kTables);
    EXPECT_EQ(TrimmedFirstColumn(db, "select rdb$generator_name from rdb$generators where rdb$system_flag = 0"),
              kSequences);
    EXPECT_EQ(SqlScalar(db, "select trim(rdb$character_set_name) from rdb$database"), "ISO8859_1");
}

TEST(QuibrawSchema, keysMatchWhatTheStatementsMatchOn)
{
    TempFolder folder;
    const std::string db = FreshQuibrawDatabase(folder);

    // "update or insert" without a matching clause needs a primary key.
    for (const char* table : {"HISCAIXA", "VENDEDOR", "AGENDA", "GRUPOPROD", "GRUPODECAIXA", "FABRICANTE",
                              "FORNECEDOR", "CLIENTE", "PRODUTO"}) {
        EXPECT_EQ(KeyColumns(db, "PRIMARY KEY", table), "COD") << table;
    }
    EXPECT_EQ(KeyColumns(db, "PRIMARY KEY", "VENDA"), "NOTA");
    // The matching clauses name the key of their table.
    EXPECT_EQ(KeyColumns(db, "PRIMARY KEY", "COD_OP"), "COD");
    EXPECT_EQ(KeyColumns(db, "PRIMARY KEY", "ITEM_VENDA"), "NOTA,COD");
    EXPECT_EQ(KeyColumns(db, "PRIMARY KEY", "ENTRADA"), "NOTA,FORNEC");
    EXPECT_EQ(KeyColumns(db, "PRIMARY KEY", "ITEM_ENTRADA"), "COD,NOTA,DESTINO");
}

TEST(QuibrawSchema, convertsBoundTextsOnTheServer)
{
    TempFolder folder;
    const std::string db = FreshQuibrawDatabase(folder);

    SqlExec(db, "update or insert into cliente(cod, nome, prazo, data) values('0012', 'ANA', '12.5', '2023-05-10')"
                " matching(cod)");
    SqlExec(db, "update or insert into cliente(cod, nome) values('12', 'ANA MARIA')");
    EXPECT_EQ(SqlRows(db, "select cod, nome, prazo, data, tel from cliente"),
              (std::vector<std::vector<std::string>>{{"12", "ANA MARIA", "12.5000", "2023-05-10", kSqlNull}}));

    // A text longer than a short column is refused, as the cut copies expect.
    EXPECT_THROW(SqlExec(db, "insert into fabricante(cod, nome) values(1, '" + std::string(31, 'x') + "')"),
                 std::runtime_error);
    // Latin-1 bytes travel unchanged.
    SqlExec(db, "insert into fabricante(cod, nome) values(2, 'A\xc7\xc3O')");
    EXPECT_EQ(SqlScalar(db, "select nome from fabricante where cod = 2"), "A\xc7\xc3O");
}

TEST(TestDatabase, copiesOfTheTemplateAreIndependent)
{
    TempFolder folder;
    const std::string first = FreshQuibrawDatabase(folder);
    const std::string second = FreshQuibrawDatabase(folder, "outro.fdb");
    EXPECT_NE(first, second);

    SqlExec(first, "insert into vendedor(cod, nome) values(1, 'VENDEDOR')");
    SqlExec(first, "ALTER SEQUENCE venda RESTART WITH 41");

    EXPECT_EQ(SqlScalar(first, "select count(*) from vendedor"), "1");
    EXPECT_EQ(SqlScalar(second, "select count(*) from vendedor"), "0");
    EXPECT_EQ(SqlScalar(second, "select gen_id(venda, 0) from rdb$database"), "0");
    EXPECT_EQ(SqlScalar(QuibrawTemplatePath(), "select count(*) from vendedor"), "0");

    TempFolder other;
    EXPECT_EQ(SqlScalar(FreshQuibrawDatabase(other), "select count(*) from vendedor"), "0");
}

TEST(TestDatabase, tempFolderIsRemovedWithItsContents)
{
    std::string path;
    {
        TempFolder folder;
        path = folder.Path();
        FreshQuibrawDatabase(folder);
        ASSERT_TRUE(std::filesystem::is_directory(path));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(TestDatabase, scriptRunnerSkipsCommentsAndKeepsQuotedSemicolons)
{
    TempFolder folder;
    const std::string script = folder.Path() + "/script.sql";
    std::ofstream(script) << "-- a comment; with a semicolon\n"
                             "create table t (a varchar(10) default 'x;y'); /* another; comment */\n"
                             ";;  \n"
                             "create sequence s;\n"
                             "create table \"Odd;Name\" (b integer)";
    const std::string db = folder.Path() + "/t.fdb";
    CreateDatabaseFromScript(db, script);

    SqlExec(db, "insert into t default values");
    EXPECT_EQ(SqlScalar(db, "select a from t"), "x;y");
    EXPECT_EQ(SqlScalar(db, "select count(*) from \"Odd;Name\""), "0");
    EXPECT_EQ(SqlScalar(db, "select gen_id(s, 1) from rdb$database"), "1");
}

TEST(TestDatabase, failuresCarryFirebirdsText)
{
    TempFolder folder;
    const std::string script = folder.Path() + "/bad.sql";
    std::ofstream(script) << "create table t (a integer);\ncreate table t (a integer);\n";
    try {
        CreateDatabaseFromScript(folder.Path() + "/bad.fdb", script);
        FAIL() << "a repeated table was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("T"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("exists"), std::string::npos) << error.what();
    }

    const std::string db = FreshQuibrawDatabase(folder);
    try {
        SqlScalar(db, "select x from tabela_que_nao_existe");
        FAIL() << "a missing table was accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("TABELA_QUE_NAO_EXISTE"), std::string::npos) << error.what();
    }
    EXPECT_THROW(SqlScalar(db, "select cod from vendedor"), std::runtime_error);
}
