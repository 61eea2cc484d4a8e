#include <gtest/gtest.h>

#include "common/failure.h"
#include "copy/reference_copies.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {
class ReferenceCopiesTest : public CopyFixture {};

std::vector<std::string> Header(const std::string& title, const std::string& origin, const std::string& target)
{
    return {title, "Origem: " + origin, "Destino: " + target};
}
}  // namespace

TEST_F(ReferenceCopiesTest, cfopsConvertCodesAndCutTexts)
{
    Connect();
    DbfWriter w;
    w.Field("CODIGO", 'C', 6).Field("NOME", 'C', 40).Field("PIS", 'C', 2).Field("ICMS", 'C', 2).Field("COD_ISPIS", 'C', 5);
    w.Record({"0012", std::string(40, 'N'), "SX", "TY", "12345"});
    w.Record({"ABC", "SEM CODIGO", "", "", ""});
    WriteLegacy("kq000039.DAT", w);
    CopyCfops(run);
    CommitPending();
    EXPECT_EQ(Select("select cod, nome, pis, icms, cod_ispis from COD_OP order by cod"),
              (Rows{{"0", "SEM CODIGO               ", " ", " ", "   "}, {"12", std::string(25, 'N'), "S", "T", "123"}}));
    // No count: the CFOP copy logs only its header.
    EXPECT_EQ(op.log, Header("Iniciando Cópia de CFOPs...", legacyFolder + "/KQ000039.dat", databasePath));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(ReferenceCopiesTest, cfopAndHistoryCopiesCheckTheirFile)
{
    Connect();
    CopyCfops(run);
    CopyCashHistories(run);
    EXPECT_EQ(op.messages, (std::vector<std::string>{"Arquivo " + legacyFolder + "/KQ000039.dat Não Encontrado",
                                                     "Arquivo " + legacyFolder + "/KQ000034.dat Não Encontrado"}));
}

TEST_F(ReferenceCopiesTest, unguardedCfopFailureEndsWithTheTransactionOpen)
{
    Connect();
    DbfWriter w;
    w.Field("CODIGO", 'C', 6).Field("NOME", 'C', 40);  // no PIS field
    w.Record({"1", "A"});
    WriteLegacy("KQ000039.dat", w);
    try {
        CopyCfops(run);
        FAIL() << "a missing field must end the copy";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "table1: Field 'pis' not found");
    }
    EXPECT_TRUE(session.target.Transaction().Active());
    EXPECT_TRUE(session.table.IsOpen());
}

TEST_F(ReferenceCopiesTest, historiesWriteCodeAndGroup)
{
    Connect();
    DbfWriter w;
    w.Field("CODIGO", 'N', 4).Field("GRUPO", 'C', 30);
    w.Record({"7", "VENDAS A VISTA"}).DeletedRecord({"8", "APAGADO"});
    WriteLegacy("KQ000034.dat", w);
    CopyCashHistories(run);
    CommitPending();
    EXPECT_EQ(Select("select cod, grupo from HISCAIXA order by cod"),
              (Rows{{"7", "VENDAS A VISTA           "}, {"8", "APAGADO                  "}}));
}

TEST_F(ReferenceCopiesTest, sellersAreReplacedAndCodesWithoutDigitsSkipped)
{
    Connect();
    SqlExec(databasePath, "insert into vendedor (cod, nome) values (99, 'ANTIGO')");
    DbfWriter w;
    w.Field("CODIGO", 'C', 12).Field("VENDEDOR", 'C', 20);
    w.Record({"V-01", "  ANA  "}).Record({"XX", "SEM DIGITOS"}).Record({"000", "ZEROS"});
    w.Record({"99999999999", "GRANDE"}).Record({"2", "BETO"});
    WriteLegacy("KQ000017.dat", w);
    CopySellers(run);
    CopySellers(run);  // a second run leaves the same sellers
    CommitPending();
    EXPECT_EQ(Select("select cod, nome from vendedor order by cod"), (Rows{{"1", "ANA"}, {"2", "BETO"}}));
    EXPECT_EQ(op.messages, std::vector<std::string>(2, "Ocorreu um Erro: '99999999999' is not a valid integer value"));
    std::vector<std::string> expected = Header("Iniciando Cópia Vendedores...", legacyFolder + "/KQ000017.dat", databasePath);
    expected.push_back("Registro 4 de KQ000017.dat: '99999999999' is not a valid integer value");
    expected.push_back("5 Registros Copiados.");
    expected.push_back("Cópia de Vendedores Concluída");
    EXPECT_EQ(std::vector<std::string>(op.log.end() - 6, op.log.end()), expected);
}

TEST_F(ReferenceCopiesTest, addressBookDrawsNewCodesAndSkipsBlankNames)
{
    Connect();
    DbfWriter w;
    for (const char* name : {"NOME", "ENDERECO", "FONE", "FAX", "CIDADE", "ESTADO", "CONTATO", "OBS", "BAIRRO", "CEP"})
        w.Field(name, 'C', 30);
    w.Record({" JOAO ", "RUA A", "123", "456", "CANOAS", "RS", "MARIA", "CLIENTE BOM", "CENTRO", "92000-000"});
    w.Record({"   ", "RUA B", "", "", "", "", "", "", "", ""});
    WriteLegacy("KQ000051.dat", w);
    CopyAddressBook(run);
    CopyAddressBook(run);
    CommitPending();
    EXPECT_EQ(Select("select cod, nome, endereco, fone, fax, cidade, estado, contato, obs, bairro, cep from AGENDA order by cod"),
              (Rows{{"1", "JOAO", "RUA A", "123", "456", "CANOAS", "RS", "MARIA", "CLIENTE BOM", "CENTRO", "92000-000"},
                    {"2", "JOAO", "RUA A", "123", "456", "CANOAS", "RS", "MARIA", "CLIENTE BOM", "CENTRO", "92000-000"}}));
    EXPECT_EQ(op.log.end()[-2], "2 Registros Copiados.");
    EXPECT_EQ(op.log.back(), "Cópia da Agenda Concluída");
}

TEST_F(ReferenceCopiesTest, productGroupsEmptyTheTableAndResynchroniseItsSequence)
{
    Connect();
    SqlExec(databasePath, "insert into grupoprod (cod, nome) values (500, 'VELHO')");
    DbfWriter w;
    w.Field("CODIGO", 'C', 5).Field("NOME", 'C', 20);
    w.Record({"  150", " FERRAGENS "}).Record({"3", "TINTAS"});
    WriteLegacy("KQ000030.dat", w);
    op.log.push_back("linha anterior");
    CopyProductGroups(run);
    EXPECT_EQ(Select("select cod, nome from grupoprod order by cod"), (Rows{{"3", "TINTAS"}, {"150", "FERRAGENS"}}));
    std::vector<std::string> expected{"linha anterior", "**************************"};
    for (auto& line : Header("Iniciando Cópia Grupo de Produtos...", legacyFolder + "/KQ000030.dat", databasePath))
        expected.push_back(line);
    expected.push_back("Registros de Grupo de Produtos Apagados");
    expected.push_back("2 Registros Copiados.");
    expected.push_back("Cópia de Grupos de produtos Concluída");
    EXPECT_EQ(op.log, expected);
    EXPECT_EQ(session.copy.highestCode, "150");
    EXPECT_EQ(NextValue("grupoprod"), "151");
}

TEST_F(ReferenceCopiesTest, cashGroupsKeepTheLaterOfTwoEqualCodes)
{
    Connect();
    DbfWriter w;
    w.Field("CODIGO", 'N', 3).Field("GRUPO", 'C', 20);
    w.Record({"4", "PRIMEIRO"}).Record({"4", "SEGUNDO"});
    WriteLegacy("KQ000004.dat", w);
    CopyCashGroups(run);
    EXPECT_EQ(Select("select cod, grupo from grupodecaixa"), (Rows{{"4", "SEGUNDO"}}));
    EXPECT_EQ(op.log[0], "Iniciando Cópia Grupos de Caixa...");
    EXPECT_EQ(op.log[3], "Registros de Caixa Apagados");
    EXPECT_EQ(NextValue("grupodecaixa"), "5");
}

TEST_F(ReferenceCopiesTest, manufacturersCutNamesToThirty)
{
    Connect();
    DbfWriter w;
    w.Field("CODIGO", 'C', 5).Field("NOME", 'C', 35);
    w.Record({"12", std::string(35, 'F')}).Record({"x", "SEM CODIGO"});
    WriteLegacy("KQ000029.dat", w);
    CopyManufacturers(run);
    EXPECT_EQ(Select("select cod, nome from fabricante order by cod"),
              (Rows{{"0", "SEM CODIGO" + std::string(20, ' ')}, {"12", std::string(30, 'F')}}));
    EXPECT_EQ(op.log[0], "Iniando Cópia Fabricantes...");
    EXPECT_EQ(NextValue("fabricante"), "13");
}
