#include <gtest/gtest.h>

#include "common/failure.h"
#include "copy/party_copies.h"
#include "tests/copy/legacy_tables.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {

class PartyCopiesTest : public CopyFixture {};

const char* const kClientColumns =
    "cod, nome, tipo, ende, bairro, cep, tel, cid, est, data, ci, org, titular, telres, telcom, nat, nac, estcv, "
    "prof, conj, ocup, pai, mae, nome1, nome2, nome3, end1, end2, end3, tel1, tel2, tel3, obs, email, ies, ativo, "
    "faturar, prazo, lim_atraso, cnpj, lim_compra, sal";

}  // namespace

TEST_F(PartyCopiesTest, suppliersMapEveryColumnAndGatherCodesWithoutDigitsInSupplierZero)
{
    Connect();
    auto legacy = SupplierTable();
    legacy.Add({{"CODIGO", "F-012"}, {"NOME", " FERRAGENS SUL "}, {"ENDERECO", " RUA A, 10"}, {"CEP", "92000-000"},
                {"FONE", "51 3333-4444"}, {"FAX", "51 3333-5555"}, {"CIDADE", "CANOAS"}, {"ESTADO", "RS"},
                {"CONTATO", " PEDRO"}, {"OBS", "ENTREGA SEXTA"}, {"BAIRRO", "CENTRO"},
                {"CNPJ", "12.345.678/0001-90"}, {"IES", "0961234567"}, {"COD_MUN", "43.046-04"},
                {"SUFRAMA", "S1"}, {"TIPO", "J"}, {"CPF", " 123.456.789-0"}});
    legacy.Add({{"CODIGO", "ABC"}, {"NOME", "PRIMEIRO SEM CODIGO"}, {"CIDADE", "ESTEIO"}});
    legacy.Add({{"CODIGO", "---"}, {"NOME", "SEGUNDO SEM CODIGO"}, {"TIPO", "F"}});
    WriteLegacy("Kq000018.Dat", legacy.Writer());

    CopySuppliers(run);

    EXPECT_EQ(Select("select cod, nome, endereco, cep, fone, fax, cidade, estado, contato, obs, bairro, cnpj, ies, "
                     "cod_mun, suframa, tipo, cpf from fornecedor order by cod"),
              (Rows{{"0", "SEGUNDO SEM CODIGO", "", "", "", "", "", "", "", "", "", "", "", "0", "", "F", ""},
                    {"12", "FERRAGENS SUL", "RUA A, 10", "92000-000", "51 3333-4444", "51 3333-5555", "CANOAS", "RS",
                     "PEDRO", "ENTREGA SEXTA", "CENTRO", "12.345.678/0001-90", "0961234567", "4304604", "S1", "J",
                     "123.456.789-0"}}));
    EXPECT_EQ(op.log, (std::vector<std::string>{"Iniando Cópia Fornecedores...", "Origem: " + legacyFolder + "/KQ000018.dat",
                                                "Destino: " + databasePath, "3 Registros Copiados.",
                                                "Cópia de Fornecedores Concluída"}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(session.target.Transaction().Active());
    EXPECT_EQ(NextValue("fornecedor"), "13");
}

TEST_F(PartyCopiesTest, clientsMapEveryColumnWithTheLiteralCiAndConcessaoAsEmail)
{
    Connect();
    auto legacy = ClientTable();
    legacy.Add({{"CODIGO", "C-0045"}, {"NOME", " MARIA DA SILVA "}, {"TIPO", "1"}, {"END", " RUA B, 20 "},
                {"BAIRRO", "NITEROI"}, {"CEP", "92100-000"}, {"TEL", "51 3000-0001"}, {"CID", "CANOAS"},
                {"EST", "RS"}, {"DATA", "20230510"}, {"ORG", "SSP/RS"}, {"TITULAR", "MARIA"},
                {"TELRES", "51 3000-0002"}, {"TELCOM", "51 3000-0003"}, {"NAT", "PORTO ALEGRE"},
                {"NAC", "BRASILEIRA"}, {"ESTCV", "c2"}, {"PROF", "PROFESSORA"}, {"CONJ", "JOAO"},
                {"OCUP", "DOCENTE"}, {"PAI", "JOSE"}, {"MAE", "ANA"}, {"NOME1", "REF UM"}, {"NOME2", "REF DOIS"},
                {"NOME3", "REF TRES"}, {"END1", "END UM"}, {"END2", "END DOIS"}, {"END3", "END TRES"},
                {"TEL1", "1111"}, {"TEL2", "2222"}, {"TEL3", "3333"}, {"OBS", " BOA PAGADORA "},
                {"CONCESSAO", " maria@exemplo.com.br "}, {"IES", "ISENTO"}, {"ATIVO", "S"}, {"FATURAR", "N"},
                {"PRAZO", "30"}, {"LIMITE", "15.50"}, {"CPF", "123.456.789-01"}, {"CGC", "99.999.999/0001-99"},
                {"CREDITO", "1500.25"}, {"SAL", "-20.10"}});
    WriteLegacy("KQ000012.DAT", legacy.Writer());

    CopyClients(run);

    EXPECT_EQ(Select(std::string("select ") + kClientColumns + " from cliente"),
              (Rows{{"45", "MARIA DA SILVA", "1", "RUA B, 20", "NITEROI", "92100-000", "51 3000-0001", "CANOAS", "RS",
                     "2023-05-10", "1", "SSP/RS", "MARIA", "51 3000-0002", "51 3000-0003", "PORTO ALEGRE",
                     "BRASILEIRA", "2", "PROFESSORA", "JOAO", "DOCENTE", "JOSE", "ANA", "REF UM", "REF DOIS",
                     "REF TRES", "END UM", "END DOIS", "END TRES", "1111", "2222", "3333", "BOA PAGADORA",
                     "maria@exemplo.com.br", "ISENTO", "S", "N", "30.0000", "15.5000", "123.456.789-01",
                     "1500.2500", "-20.1000"}}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(session.target.Transaction().Active());
    EXPECT_FALSE(session.table.IsOpen());  // the client copy lets go of its file
}

TEST_F(PartyCopiesTest, clientDocumentFollowsTheTypeAndCodesWithoutDigitsAreSkippedButCounted)
{
    Connect();
    auto legacy = ClientTable();
    const std::string cpf = "111.111.111-11", cgc = "22.222.222/0001-22";
    legacy.Add({{"CODIGO", "1"}, {"TIPO", "1"}, {"CPF", cpf}, {"CGC", cgc}});
    legacy.Add({{"CODIGO", "2"}, {"TIPO", "6"}, {"CPF", cpf}, {"CGC", cgc}});
    legacy.Add({{"CODIGO", "3"}, {"TIPO", "2"}, {"CPF", cpf}, {"CGC", cgc}});
    legacy.Add({{"CODIGO", "4"}, {"TIPO", ""}, {"CPF", cpf}, {"CGC", cgc}});
    legacy.Add({{"CODIGO", "SEM"}, {"NOME", "SEM DIGITOS"}});
    legacy.Add({{"CODIGO", "000"}, {"NOME", "SO ZEROS"}});
    // Deleted records are copied like the others.
    legacy.Add({{"CODIGO", "7"}, {"TIPO", "6"}, {"CPF", "  7"}, {"CGC", cgc}}, LegacyRecords::kDeleted);
    WriteLegacy("KQ000012.dat", legacy.Writer());
    op.log.push_back("linha de antes");

    CopyClients(run);

    // As read: neither document is trimmed.
    const std::string cpfAsRead = cpf + std::string(14 - cpf.size(), ' ');
    EXPECT_EQ(Select("select cod, tipo, cnpj from cliente order by cod"),
              (Rows{{"1", "1", cpfAsRead},
                    {"2", "6", cpfAsRead},
                    {"3", "2", cgc},
                    {"4", "0", cgc},
                    {"7", "6", "  7" + std::string(11, ' ')}}));
    EXPECT_EQ(op.log, (std::vector<std::string>{"Iniciando Cópia Clientes...", "Origem: " + legacyFolder,
                                                "Destino: " + databasePath, "7 Registros Copiados.",
                                                "Cópia de Clientes Concluída"}));
    EXPECT_EQ(NextValue("cliente"), "8");
}

TEST_F(PartyCopiesTest, emptyClientFileStillLogsAndRestartsTheSequence)
{
    Connect();
    SqlExec(databasePath, "alter sequence cliente restart with 40");
    WriteLegacy("KQ000012.dat", ClientTable().Writer());
    op.log.push_back("linha de antes");

    CopyClients(run);

    EXPECT_EQ(op.log, (std::vector<std::string>{"Iniciando Cópia Clientes...", "Origem: " + legacyFolder,
                                                "Destino: " + databasePath, "0 Registros Copiados.",
                                                "Cópia de Clientes Concluída"}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(NextValue("cliente"), "1");
}

TEST_F(PartyCopiesTest, clientFailures)
{
    SqlExec(databasePath, "alter table cliente add constraint cliente_aceito check (nome <> 'RECUSADO')");
    Connect();
    {  // a file that cannot be opened: "Erro: " and the failure's text, nothing else
        WriteFileBytes(legacyFolder + "/KQ000012.dat", "not a table");
        CopyClients(run);
        ASSERT_EQ(op.messages.size(), 1u);
        EXPECT_EQ(op.messages[0].rfind("Erro: ", 0), 0u) << op.messages[0];
        EXPECT_TRUE(op.log.empty());
    }
    {  // a refused row is reported and the copy goes on; a code beyond 32 bits ends the copy unguarded
        op.messages.clear();
        auto legacy = ClientTable();
        legacy.Add({{"CODIGO", "5"}, {"NOME", "ANTES"}});
        legacy.Add({{"CODIGO", "6"}, {"NOME", "RECUSADO"}});
        legacy.Add({{"CODIGO", "9"}, {"NOME", "DEPOIS"}});
        legacy.Add({{"CODIGO", "99999999999"}, {"NOME", "GRANDE"}});
        legacy.Add({{"CODIGO", "10"}, {"NOME", "NUNCA"}});
        WriteLegacy("KQ000012.dat", legacy.Writer());
        try {
            CopyClients(run);
            FAIL() << "a code beyond 32 bits must end the copy";
        } catch (const Failure& failure) {
            EXPECT_STREQ(failure.what(), "'99999999999' is not a valid integer value");
        }
        ASSERT_EQ(op.messages.size(), 1u);
        EXPECT_NE(op.messages[0].find("Ocorreu um Erro: "), std::string::npos) << op.messages[0];
        EXPECT_NE(op.messages[0].find("CLIENTE_ACEITO"), std::string::npos) << op.messages[0];
        // The rows written so far stay pending in the open transaction.
        EXPECT_TRUE(session.target.Transaction().Active());
        CommitPending();
        EXPECT_EQ(Select("select cod, nome from cliente order by cod"), (Rows{{"5", "ANTES"}, {"9", "DEPOIS"}}));
    }
}
