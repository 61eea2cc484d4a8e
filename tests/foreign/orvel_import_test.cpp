#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "session/session.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/test_database.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSuccess = "Produtos copiados com sucesso!";

// An empty ORVEL database, created once per test run and copied per test.
const std::string& OrvelTemplatePath()
{
    struct Template {
        TempFolder folder;
        std::string path = folder.File("orvel_template.fdb");
        Template()
        {
            const fs::path script = fs::path(QUIBRAW_SCHEMA_PATH).parent_path() / "orvel_schema.sql";
            CreateDatabaseFromScript(path, script.string());
        }
    };
    static const Template instance;
    return instance.path;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class OrvelImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        targetPath_ = FreshQuibrawDatabase(folder_);
        op_.targetBox = targetPath_;
        orvelPath_ = FreshOrvelDatabase("ORVEL", "dados.fdb");
    }

    // A copy of the empty ORVEL database in a sub-folder of the test's folder.
    std::string FreshOrvelDatabase(const std::string& subFolder, const std::string& fileName)
    {
        fs::create_directories(folder_.File(subFolder));
        const std::string path = folder_.File(subFolder + "/" + fileName);
        fs::copy_file(OrvelTemplatePath(), path);
        return path;
    }

    void AddStock(int registro, const std::string& st, const std::string& descricao = "PRODUTO",
                  const std::string& referencia = "REF", const std::string& medida = "UN",
                  const std::string& custo = "1", const std::string& preco = "2", const std::string& qtd = "3")
    {
        SqlExec(orvelPath_, "insert into estoque(registro, referencia, medida, descricao, custocompr, preco, "
                            "qtd_atual, st) values(" + std::to_string(registro) + ", " + Quoted(referencia) + ", " +
                                Quoted(medida) + ", " + Quoted(descricao) + ", " + custo + ", " + preco + ", " +
                                qtd + ", " + Quoted(st) + ")");
    }

    // Runs the command as the window does: a failure it does not handle reaches the error report.
    void Run(const std::optional<std::string>& chosen)
    {
        op_.fileAnswers.push_back(chosen);
        RunCommand(Command::OrvelImport, *session_, op_);
    }

    std::string Product(int cod, const std::string& column)
    {
        return SqlScalar(targetPath_, "select " + column + " from produto where cod = " + std::to_string(cod));
    }

    std::string ProductSequence() { return SqlScalar(targetPath_, "select gen_id(produto, 0) from rdb$database"); }

    TempFolder folder_;
    std::string targetPath_;
    std::string orvelPath_;
    ScriptedOperator op_;
    std::unique_ptr<Session> session_ = std::make_unique<Session>();
};

}  // namespace

TEST_F(OrvelImportTest, translatesTheTaxSituation)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"12", "1"},    {"17", "2"},   {"25", "3"},    {"6,80", "4"}, {"3,50", "5"},   {"3", "6"},
        {"FFF", "10"},  {"III", "11"}, {"NNN", "12"},  {"fff", "10"}, {"nNn", "12"},
        // No line matches: the whole name must be equal, blanks and missing zeros included.
        {"12 ", "2"},   {" 12", "2"},  {"3,5", "2"},   {"6,8", "2"},  {"xyz", "2"},    {"", "2"},
        {"12=1", "2"},  {"FF", "2"},
    };
    for (size_t i = 0; i < cases.size(); ++i) AddStock(static_cast<int>(i) + 1, cases[i].first);

    Run(orvelPath_);

    ASSERT_EQ(op_.Boxes(), std::vector<std::string>{"message: " + std::string(kSuccess)});
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(Product(static_cast<int>(i) + 1, "aliquota"), cases[i].second) << "st '" << cases[i].first << "'";
}

TEST_F(OrvelImportTest, mapsOneRowToOneProduct)
{
    const std::string description50(50, 'D');
    AddStock(7, "17", description50, "78912345678901234567", "CAIXA12", "12.3456", "19.90", "2.125");
    AddStock(8, "25", "CURTO", "789", "KG", "0.0001", "0", "-1.5");

    Run(orvelPath_);

    ASSERT_EQ(op_.messages, std::vector<std::string>{kSuccess});
    EXPECT_EQ(SqlRows(targetPath_, "select cod, grupo, codbar, unid, nome, p_compra, p_venda, quant, aliquota "
                                   "from produto order by cod"),
              (std::vector<std::vector<std::string>>{
                  {"7", "1", "789123456789012", "CAIXA1", std::string(40, 'D'), "12.3456", "19.9000", "2.1250", "2"},
                  {"8", "1", "789", "KG", "CURTO", "0.0001", "0.0000", "-1.5000", "3"},
              }));
    // The ORVEL database is only read.
    EXPECT_EQ(SqlScalar(orvelPath_, "select count(*) from estoque"), "2");
}

TEST_F(OrvelImportTest, restartsTheProductSequenceAfterTheLastRecord)
{
    {  // Rows 1 to 350: restarted with 351.
        SqlExec(orvelPath_, "execute block as declare i integer = 1; begin while (i <= 350) do begin "
                            "insert into estoque(registro, descricao, custocompr, preco, qtd_atual, st) "
                            "values(:i, 'P' || :i, 1, 2, 3, '12'); i = i + 1; end end");
        Run(orvelPath_);
        EXPECT_EQ(op_.messages, std::vector<std::string>{kSuccess});
        EXPECT_EQ(SqlScalar(targetPath_, "select count(*) from produto"), "350");
        EXPECT_EQ(ProductSequence(), "351");
    }
    {  // The products already there stay; an empty table restarts the sequence with 1.
        session_ = std::make_unique<Session>();
        op_ = ScriptedOperator{};
        op_.targetBox = targetPath_;
        orvelPath_ = FreshOrvelDatabase("ORVEL2", "vazio.fdb");
        Run(orvelPath_);
        EXPECT_EQ(op_.messages, std::vector<std::string>{kSuccess});
        EXPECT_EQ(SqlScalar(targetPath_, "select count(*) from produto"), "350");
        EXPECT_EQ(ProductSequence(), "1");
    }
}

TEST_F(OrvelImportTest, acceptsOnlyPathsHoldingOrvelInCapitals)
{
    {  // Lower case only: refused before anything is connected.
        const std::string lower = FreshOrvelDatabase("orvel", "orvel.fdb");
        Run(lower);
        EXPECT_EQ(op_.events, (std::vector<std::string>{"file-dialog: Localizar BD ORVELSOFT",
                                                        "message: O Arquivo de Banco de dados do ORVEL nao é válido"}));
        EXPECT_FALSE(session_->orvel.Database().IsOpen());
        EXPECT_FALSE(session_->target.Database().IsOpen());
    }
    {  // A cancelled dialog ends the command quietly.
        op_.events.clear();
        Run(std::nullopt);
        EXPECT_EQ(op_.events, std::vector<std::string>{"file-dialog: Localizar BD ORVELSOFT"});
    }
    {  // A folder named ORVEL makes any file name acceptable.
        AddStock(1, "12");
        Run(orvelPath_);
        EXPECT_EQ(op_.messages.back(), kSuccess);
        EXPECT_EQ(Product(1, "nome"), "PRODUTO");
    }
}

TEST_F(OrvelImportTest, connectionFailuresAreShownAndNothingIsWritten)
{
    {  // No database at the chosen path.
        Run(folder_.File("ORVEL/missing.fdb"));
        ASSERT_EQ(op_.messages.size(), 1u);
        EXPECT_EQ(op_.messages[0].rfind("Ocorreu um Erro: ", 0), 0u) << op_.messages[0];
        EXPECT_FALSE(session_->target.Database().IsOpen());
        EXPECT_TRUE(op_.errors.empty());
    }
    {  // A second run on another ORVEL database in the same session: the open connection keeps its name.
        AddStock(1, "12");
        op_.messages.clear();
        Run(orvelPath_);
        ASSERT_EQ(op_.messages, std::vector<std::string>{kSuccess});
        const std::string other = FreshOrvelDatabase("ORVEL_B", "dados.fdb");
        Run(other);
        EXPECT_EQ(op_.messages.back(), "Ocorreu um Erro: Cannot perform operation -- DB is currently open");
        EXPECT_EQ(session_->orvel.Database().Name(), orvelPath_);
    }
}

TEST_F(OrvelImportTest, aDuplicateCodeEndsTheRunWithEarlierRowsPending)
{
    SqlExec(targetPath_, "insert into produto(cod, nome) values(3, 'JA EXISTE')");
    for (int registro = 1; registro <= 4; ++registro) AddStock(registro, "12", "ORVEL " + std::to_string(registro));

    Run(orvelPath_);

    ASSERT_EQ(op_.errors.size(), 1u);
    EXPECT_NE(op_.errors[0].find("PRIMARY"), std::string::npos) << op_.errors[0];
    EXPECT_TRUE(op_.messages.empty());
    EXPECT_EQ(ProductSequence(), "0");
    // Rows 1 and 2 wait in the target's open transaction; nobody else sees them yet.
    EXPECT_TRUE(session_->target.Transaction().Active());
    EXPECT_EQ(SqlScalar(targetPath_, "select count(*) from produto"), "1");
    // Closing the connection commits them; row 4 was never reached.
    session_.reset();
    EXPECT_EQ(SqlRows(targetPath_, "select cod, nome from produto order by cod"),
              (std::vector<std::vector<std::string>>{{"1", "ORVEL 1"}, {"2", "ORVEL 2"}, {"3", "JA EXISTE"}}));
    EXPECT_EQ(ProductSequence(), "0");
}
