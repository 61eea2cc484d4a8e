#include <gtest/gtest.h>

#include <filesystem>

#include "app/commands.h"
#include "app/legacy_folder_check.h"
#include "session/session.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/legacy_columns.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/synthetic_legacy.h"
#include "tests/support/temp_folder.h"

namespace {

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

DbfWriter Writer(const std::vector<LegacyColumn>& columns)
{
    DbfWriter w;
    for (const LegacyColumn& column : columns) w.Field(column.name, column.type, column.length, column.decimals);
    return w;
}

}  // namespace

TEST(LegacyFolderCheck, reportsMissingFilesAndFieldsAndValuesThatWillNotArrive)
{
    TempFolder folder;
    const std::string dir = folder.File("antigo");
    std::filesystem::create_directory(dir);
    WriteSyntheticLegacyFolder(dir, 0.0005);
    std::filesystem::remove(dir + "/KQ000009.dat");
    std::filesystem::rename(dir + "/KQ000004.dat", dir + "/kq000004.DAT");

    // Sellers without the seller's name; one code without digits.
    DbfWriter sellers;
    sellers.Field("CODIGO", 'C', 4).Field("NOME", 'C', 30);
    sellers.Record({"1", "ANA"}).DeletedRecord({"AB", "BIA"});
    sellers.Write(dir + "/KQ000017.dat");
    // Clients in code page 850: a code beyond an integer, one without digits, a date that does not exist.
    DbfWriter clients = Writer(ClientColumns());
    clients.Record({"1", "JO\xC7O DA CONCEI\x80\xC7O", "1", "", "", "", "", "", "", "20230231"});
    clients.Record({"99999999999", "A\x80\xE9" "CAR"}).Record({"-", "CAF\x90"});
    clients.Write(dir + "/KQ000012.dat");
    // Suppliers whose codes have no digits become supplier 0.
    DbfWriter suppliers = Writer(SupplierColumns());
    suppliers.Record({"X", "S\xC3O JO\xC7O"}).Record({"", "\xB5GUA"});
    suppliers.Write(dir + "/KQ000018.dat");

    const std::string report = Joined(LegacyFolderReport(dir));
    EXPECT_NE(report.find("Pasta: " + dir + "\n"), std::string::npos);
    EXPECT_NE(report.find("KQ000004.dat (grupos de caixa): 10 registros, 0 apagados\n"), std::string::npos) << report;
    EXPECT_NE(report.find("KQ000009.dat (vendas): não encontrado\n"), std::string::npos);
    EXPECT_NE(report.find("KQ000017.dat (vendedores): 2 registros, 1 apagados\n"
                          "  falta o campo VENDEDOR: a cópia falha com \"table1: Field 'vendedor' not found\"\n"
                          "  1 registros com código sem dígitos: não são copiados\n"),
              std::string::npos);
    EXPECT_NE(report.find("KQ000012.dat (clientes): 3 registros, 0 apagados\n"
                          "  DATA: 1 datas que não se leem (chegam como 30/12/1899)\n"
                          "  1 registros com código sem dígitos: não são copiados\n"
                          "  1 registros com código além de 2147483647: a cópia completa para no primeiro deles\n"),
              std::string::npos);
    EXPECT_NE(report.find("KQ000018.dat (fornecedores): 2 registros, 0 apagados\n"
                          "  2 registros com código sem dígitos: gravados como fornecedor 0 (fica só o último)\n"),
              std::string::npos);
    EXPECT_EQ(report.find("falta o campo", report.find("VENDEDOR") + 1), std::string::npos);  // only there
    EXPECT_NE(report.find("Resumo: 14 de 15 arquivos encontrados, 1 com campos faltando, 6 avisos\n"), std::string::npos)
        << report;

    // "Verificar Pasta" shows the same lines in the log.
    Session session;
    ScriptedOperator op;
    op.legacyFolderBox = dir;
    RunCommand(Command::CheckLegacyFolder, session, op);
    EXPECT_EQ(Joined(op.log), report);
    EXPECT_TRUE(op.errors.empty());
}

TEST(LegacyFolderCheck, guessesTheFoldersCodePage)
{
    TempFolder folder;
    DbfWriter w;
    w.Field("CODIGO", 'C', 4).Field("NOME", 'C', 30);
    w.Record({"1", "JO\xC7O DA CONCEI\x80\xC7O A\x80\xE9" "CAR"}).Record({"2", "CAF\x90"});
    w.Write(folder.File("KQ000029.dat"));
    const std::string report = Joined(LegacyFolderReport(folder.File("")));
    EXPECT_NE(report.find("Página de código provável da pasta: CP850\n  6 bytes acima de 127 nos textos (poucos: palpite fraco)\n"
                          "  em CP850: 6 letras do português; os mais comuns são Ç Ã É Ú\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("marque \"Textos do DOS (CP850)\" (no terminal, --codepage cp850)"), std::string::npos);
}
