#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

#include "cli/table_view_command.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_folder.h"

namespace {

struct InspectRun {
    int status;
    std::string out;
    std::string err;

    bool Shows(const std::string& text) const { return out.find(text) != std::string::npos; }
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
    writer.Record({"Jo\xC6o", "12.50", memo}).DeletedRecord({"Ma\x87\xC6", "", ""});
    writer.Write(path);

    const InspectRun plain = Inspect({path});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
    EXPECT_EQ(plain.out,
              "Arquivo: " + path + "\n"
              "Versão: 0x83\n"
              "Tamanho do cabeçalho: 129\n"
              "Tamanho do registro: 25\n"
              "Registros no cabeçalho: 2\n"
              "Registros pelo tamanho do arquivo: 2\n"
              "Bytes após o último registro: 1 (0x1A, a marca de fim de arquivo)\n"
              "Registros apagados: 1\n"
              "Arquivo memo: " + folder.File("KQ000012.dbt") + "\n"
              "Página de código provável: CP850\n"
              "  3 bytes acima de 127 nos textos (poucos: palpite fraco)\n"
              "  em CP850: 3 letras do português; os mais comuns são ã ç\n"
              "  em ISO 8859-1: 0 letras do português; os mais comuns são Æ \\x87\n"
              "  em CP437: 1 letra do português; os mais comuns são ╞ ç\n"
              "Campos: 3\n"
              "nome\ttipo\ttamanho\tdecimais\tposição\tespécie\n"
              "NOME\tC\t6\t0\t1\ttexto\n"
              "VALOR\tN\t8\t2\t7\tdecimal\n"
              "OBS\tM\t10\t0\t15\tmemo\n"
              "Registros 1 a 2 de 2:\n"
              "1\t \tJo\xC6o\t12,5\tnota\n"
              "2\t*\tMa\x87\xC6\t\t\n");

    // Shown in a code page: code page 850 0x87 is "ç" and 0xC6 is "ã"; ISO-8859-1 0xC6 is "Æ".
    EXPECT_TRUE(Inspect({"--latin1", path}).Shows("1\t \tJoÆo\t"));
    EXPECT_TRUE(Inspect({path, "--cp850"}).Shows("2\t*\tMaçã\t"));
}

TEST(InspectCommand, countsWarnAboutCutFilesOddLengthsAndMemoFiles)
{
    TempFolder folder;
    // The header promises 130 records; the file holds 3 whole ones, then 5 bytes of a fourth.
    const std::string cut = folder.File("cut.dat");
    DbfWriter w;
    w.Field("NOME", 'C', 10).Field("OBS", 'M', 10);
    w.Version(0x03).HeaderRecordCount(130).Record({"A", ""}).DeletedRecord({"B", ""}).DeletedRecord({"C", "1"});
    w.TrailingBytes("D    ").EndOfFileMark(false).Write(cut);
    const InspectRun run = Inspect({cut});
    EXPECT_TRUE(run.Shows("Registros no cabeçalho: 130\nRegistros pelo tamanho do arquivo: 3\n"
                          "Bytes após o último registro: 5 (um registro incompleto)\nRegistros apagados: 2\n"
                          "Arquivo memo: não usado (tabela sem memo, versão 0x03)\n"
                          "Aviso: o cabeçalho diz 130 registros, mas o arquivo só tem 3 inteiros"))
        << run.out;
    EXPECT_TRUE(run.Shows("Aviso: sem arquivo memo, os campos memo (OBS) saem vazios\n"));
    EXPECT_TRUE(run.Shows("3\t*\tC\t‹sem arquivo memo: bloco          1›\n"));
    EXPECT_FALSE(run.Shows("1 + a soma"));

    // A record one byte longer than its fields: every field is read one byte off.
    const std::string odd = folder.File("odd.dat");
    DbfWriter o;
    o.Field("NOME", 'C', 4).RecordLength(6).RawRecord(" ABCDE").Write(odd);
    EXPECT_TRUE(Inspect({odd}).Shows("Aviso: 1 + a soma dos tamanhos dos campos dá 5, mas o registro tem 6 bytes"));

    // Memo tables: a memo file missing, or held by another program.
    const std::string memoTable = folder.File("KQ000014.dat");
    DbfWriter m;
    m.Field("OBS", 'M', 10);
    m.Record({m.Memo("texto")});
    m.Write(memoTable, folder.File("kq000014.DBT"));
    const int fd = ::open(folder.File("kq000014.DBT").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(Inspect({memoTable}).Shows("Arquivo memo: " + folder.File("kq000014.DBT") +
                                           " em uso por outro programa: os memos saem vazios\n"));
    ::close(fd);
    ::unlink(folder.File("kq000014.DBT").c_str());
    EXPECT_TRUE(Inspect({memoTable}).Shows("Arquivo memo: não encontrado"));
}

TEST(InspectCommand, marksValuesThatDoNotDecodeAndEscapesControlBytes)
{
    TempFolder folder;
    const std::string path = folder.File("values.dat");
    DbfWriter w;
    w.Field("DATA", 'D', 8).Field("QTD", 'N', 5).Field("VALOR", 'N', 5).Field("ATIVO", 'L', 1).Field("OBS", 'C', 8);
    w.Record({"20230231", "42   ", "", "t", "a\tb\r\nc"});
    w.RawRecord(std::string(" 20240229   -7") + std::string("\0\0\0\0\0", 5) + "?" + "        ");
    w.Write(path);
    const InspectRun run = Inspect({path});
    EXPECT_TRUE(run.Shows("1\t \t‹inválido: \"20230231\"›\t‹inválido: \"42   \"›\t\t‹inválido: \"t\"›\ta\\tb\\r\\nc\n"))
        << run.out;
    EXPECT_TRUE(run.Shows("2\t \t29/02/2024\t-7\t‹inválido: \"\\x00\\x00\\x00\\x00\\x00\"›\t\t\n")) << run.out;
}

TEST(InspectCommand, showsTheChosenRecords)
{
    TempFolder folder;
    const std::string path = folder.File("many.dat");
    DbfWriter w;
    w.Field("N", 'N', 3);
    for (int i = 1; i <= 25; ++i) w.Record({std::to_string(i)});
    w.Write(path);

    const InspectRun first = Inspect({path});
    EXPECT_TRUE(first.Shows("Registros 1 a 20 de 25:\n1\t \t1\n"));
    EXPECT_TRUE(first.Shows("20\t \t20\nMais 5 registros depois do 20: use --from 21 para vê-los\n"));
    EXPECT_FALSE(first.Shows("21\t \t21"));
    const InspectRun range = Inspect({path, "--from", "24", "--limit", "1"});
    EXPECT_TRUE(range.Shows("Registros 24 a 24 de 25:\n24\t \t24\nMais 1 registros depois do 24"));
    EXPECT_TRUE(Inspect({path, "--limit", "0"}).Shows("Registros 1 a 25 de 25:\n"));
    EXPECT_TRUE(Inspect({path, "--from", "26"}).Shows("Registros: nenhum a partir do 26 (o arquivo tem 25)\n"));
}

TEST(InspectCommand, failsOnUsageAndUnopenableFiles)
{
    TempFolder folder;
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"--latin1"},
                                                                  {"a.dat", "b.dat"},
                                                                  {"a.dat", "--utf16"},
                                                                  {"a.dat", "--latin1", "--cp850"},
                                                                  {"a.dat", "--from", "0"},
                                                                  {"a.dat", "--limit", "x"},
                                                                  {"a.dat", "--limit"}}) {
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
