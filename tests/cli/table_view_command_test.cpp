#include <gtest/gtest.h>

#include <sstream>

#include "cli/table_view_command.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_folder.h"

namespace {

struct InspectRun {
    int status;
    std::string out;
    std::string err;
};

InspectRun Inspect(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = RunInspect(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace

TEST(InspectCommand, printsHeaderFieldsAndRecords)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000012.dat");
    DbfWriter writer;
    writer.Field("NOME", 'C', 6).Field("VALOR", 'N', 8, 2).Field("OBS", 'M', 10);
    const std::string memo = writer.Memo("nota");
    writer.Record({"Jo\xE3o", "12.50", memo}).DeletedRecord({"Ma\x87\xC6", "", ""});
    writer.Write(path);

    const InspectRun plain = Inspect({path});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
    EXPECT_EQ(plain.out,
              "Arquivo: " + path + "\n"
              "Versão: 0x83\n"
              "Tamanho do cabeçalho: 129\n"
              "Tamanho do registro: 25\n"
              "Total de registros: 2\n"
              "Arquivo memo: encontrado\n"
              "Campos: 3\n"
              "nome\ttipo\ttamanho\tdecimais\tposição\n"
              "NOME\tC\t6\t0\t1\n"
              "VALOR\tN\t8\t2\t7\n"
              "OBS\tM\t10\t0\t15\n"
              "Registros:\n"
              "1\t \tJo\xE3o  \t12,5\tnota\n"
              "2\t*\tMa\x87\xC6  \t\t\n");

    // Code pages: ISO-8859-1 0xE3 is "ã"; code page 850 0x87 is "ç" and 0xC6 is "ã".
    const InspectRun latin1 = Inspect({"--latin1", path});
    EXPECT_NE(latin1.out.find("1\t \tJoão  \t"), std::string::npos);
    const InspectRun cp850 = Inspect({path, "--cp850"});
    EXPECT_NE(cp850.out.find("2\t*\tMaçã  \t"), std::string::npos);
}

TEST(InspectCommand, failsOnUsageAndUnopenableFiles)
{
    TempFolder folder;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"--latin1"}, {"a.dat", "b.dat"}, {"a.dat", "--utf16"}, {"a.dat", "--latin1", "--cp850"}}) {
        const InspectRun run = Inspect(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("uso:"), std::string::npos);
    }
    const std::string missing = folder.File("KQ000099.dat");
    const InspectRun run = Inspect({missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("Não foi possível abrir a tabela " + missing, 0), 0u);
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1);
}
