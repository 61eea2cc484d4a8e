#include <gtest/gtest.h>
#include <algorithm>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/command_report.h"
#include "cli/cli_options.h"
#include "cli/console_app.h"
#include "cli/console_operator.h"
#include "maintenance/run_and_wait.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_database.h"

namespace {

struct ConsoleRun {
    int status;
    std::string out, err;
};

ConsoleRun RunCli(const std::vector<std::string>& args, bool drawProgress = false)
{
    std::ostringstream out, err;
    const int status = RunConsole(args, out, err, drawProgress);
    return {status, out.str(), err.str()};
}

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(CommandLine, usageErrorsGiveOneLineAndStatusTwo)
{
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"copy"},
        {"migrate", "--bogus"},
        {"migrate", "--legacy"},
        {"migrate", "--legacy", "/a", "extra"},
        {"renumber", "sales"},
        {"renumber", "compras", "10"},
        {"renumber", "--target", "x"},
        {"import-orvel", "--orvel"},
        {"migrate"},
        {"migrate", "--legacy", "/a"},
        {"migrate", "--legacy", "/a", "--target", "b.fdb", "--copy-sales", "--sales-from", "01/01/2023"},
        {"clear"},
        {"import-xml", "--target", "b.fdb"},
    };
    for (const auto& args : wrong) {
        const ConsoleRun run = RunCli(args);
        const std::string shown = args.empty() ? "(nothing)" : args.back();
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(LineCount(run.err), 1) << run.err;
        EXPECT_EQ(run.err.rfind("convquibraw-cli: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out, "") << shown;
    }
    // The reason names what was wrong.
    EXPECT_NE(RunCli({"migrate", "--bogus"}).err.find("--bogus"), std::string::npos);
    EXPECT_NE(RunCli({"migrate", "--target"}).err.find("falta o valor da opção --target"), std::string::npos);
    EXPECT_NE(RunCli({"migrate", "--target", "b.fdb"}).err.find("falta a opção --legacy"), std::string::npos);
    EXPECT_NE(RunCli({"clear"}).err.find("falta a opção --target"), std::string::npos);
    EXPECT_NE(RunCli({"migrate", "--legacy", "/a", "--target", "b", "--copy-sales", "--sales-to", "01/01/2023"})
                  .err.find("falta a opção --sales-from"),
              std::string::npos);
}

TEST(CommandLine, helpAndVersion)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"migrate", "--bogus", "--help"}}) {
        const ConsoleRun help = RunCli(args);
        EXPECT_EQ(help.status, 0);
        for (const char* word : {"migrate", "clear", "backup", "renumber sales|nfe N", "update-field",
                                 "reconcile-receivables", "import-orvel", "import-xml", "inspect FILE", "--legacy",
                                 "--target", "--orvel", "--folder", "--column", "--field", "--sales-from",
                                 "--sales-to", "--copy-sales", "--copy-purchases", "--auto-pecas", "--codepage"})
            EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    const ConsoleRun version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("convquibraw-cli ") + CONVQUIBRAW_VERSION + "\n");
}

TEST(CommandLine, optionsStandForBoxesAndDialogAnswers)
{
    const ConsoleRequest request = ParseCommandLine(
        {"renumber", "nfe", "0012", "--legacy", "/dados/antigo", "--target", "srv:/dados/bd.fdb", "--orvel",
         "/orvel.fdb", "--folder", "/xml", "--column", "referencia", "--field", "REF", "--sales-from",
         "01/01/2023", "--sales-to", "31/01/2023", "--copy-sales", "--auto-pecas", "--codepage", "CP850"});
    ASSERT_EQ(request.action, ConsoleRequest::Action::RunCommand);
    EXPECT_EQ(request.command, Command::RenumberNfe);
    const ConsoleAnswers& a = request.answers;
    EXPECT_EQ(a.numbering, "0012");
    EXPECT_EQ(a.legacyFolder, "/dados/antigo");
    EXPECT_EQ(a.target, "srv:/dados/bd.fdb");
    EXPECT_EQ(a.orvel, "/orvel.fdb");
    EXPECT_EQ(a.xmlFolder, "/xml");
    EXPECT_EQ(a.column, "referencia");
    EXPECT_EQ(a.field, "REF");
    EXPECT_EQ(a.salesFrom, "01/01/2023");
    EXPECT_EQ(a.salesTo, "31/01/2023");
    EXPECT_TRUE(a.copySales);
    EXPECT_FALSE(a.copyPurchases);
    EXPECT_TRUE(a.autoPecas);
    EXPECT_EQ(a.codePage, CodePage::Cp850);
    EXPECT_EQ(ParseCommandLine({"migrate"}).answers.codePage, CodePage::AsStored);
    EXPECT_EQ(ParseCommandLine({"migrate", "--codepage", "utf8"}).action, ConsoleRequest::Action::UsageError);

    // Untouched date boxes read as the window's empty ones.
    EXPECT_EQ(ParseCommandLine({"migrate"}).answers.salesFrom, "  /  /    ");
    EXPECT_EQ(ParseCommandLine({"migrate"}).answers.salesTo, "  /  /    ");

    const ConsoleRequest inspect = ParseCommandLine({"inspect", "KQ000012.dat", "--cp850"});
    EXPECT_EQ(inspect.action, ConsoleRequest::Action::Inspect);
    EXPECT_EQ(inspect.inspectArgs, (std::vector<std::string>{"KQ000012.dat", "--cp850"}));
}

TEST(ConsoleOperator, boxesLogAndGauge)
{
    std::ostringstream out, err;
    {
        ConsoleOperator op({}, out, err, /*drawProgress=*/false);
        op.LogAppend("Iniciando Cópia Agenda...");
        op.ShowMessage("Cópia Realizada com Sucesso!");
        op.GaugeShow();
        op.GaugeAdvance(50);
        EXPECT_FALSE(op.ErrorReported());
        op.ReportFailure("Tabela corrompida");
        EXPECT_TRUE(op.ErrorReported());
    }
    EXPECT_EQ(out.str(), "Iniciando Cópia Agenda...\nConvQuibraW: Cópia Realizada com Sucesso!\n");
    // No bar unless asked for (the program asks only when stderr is a terminal).
    EXPECT_EQ(err.str(), "ConvQuibraW: erro: Tabela corrompida.\n");

    std::ostringstream barOut, bar;
    {
        ConsoleOperator op({}, barOut, bar, /*drawProgress=*/true);
        op.GaugeAdvance(10);  // hidden: nothing drawn
        EXPECT_EQ(bar.str(), "");
        op.GaugeShow();
        op.GaugeAdvance(200);
        op.LogAppend("Cópia Concluída");
    }
    EXPECT_NE(bar.str().find("] 100%"), std::string::npos) << bar.str();
    EXPECT_EQ(bar.str().back(), '\n');  // the bar's line ends before the log goes on
    EXPECT_EQ(barOut.str(), "Cópia Concluída\n");
}

TEST(ConsoleOperator, dialogsAnswerFromOptions)
{
    std::ostringstream out, err;
    {  // Without options every dialog acts as cancelled.
        ConsoleOperator op({}, out, err, false);
        EXPECT_EQ(op.ChooseFolder("Procure a Pasta do Quibra_DOS"), "");
        EXPECT_EQ(op.ChooseFolder("Procure a Pasta dos XMLs"), "");
        EXPECT_EQ(op.ChooseDatabaseFile(""), std::nullopt);
        EXPECT_EQ(op.ChooseDatabaseFile("Localizar BD ORVELSOFT"), std::nullopt);
        EXPECT_EQ(op.AskText("Atualizar Campo", "Campo", ""), std::nullopt);
    }
    ConsoleAnswers answers;
    answers.legacyFolder = "/antigo";
    answers.target = "/bd.fdb";
    answers.orvel = "/orvel.fdb";
    answers.xmlFolder = "/xml";
    answers.column = "referencia";
    answers.field = "REF";
    answers.numbering = "15";
    ConsoleOperator op(answers, out, err, false);
    EXPECT_EQ(op.ChooseFolder("Procure a Pasta do Quibra_DOS"), "/antigo");
    EXPECT_EQ(op.ChooseFolder("Procure a Pasta dos XMLs"), "/xml");
    EXPECT_EQ(op.ChooseDatabaseFile(""), "/bd.fdb");
    EXPECT_EQ(op.ChooseDatabaseFile("Localizar BD ORVELSOFT"), "/orvel.fdb");
    // The two input boxes of the product field update, in order; a third acts as cancelled.
    EXPECT_EQ(op.AskText("a", "b", ""), "referencia");
    EXPECT_EQ(op.AskText("a", "b", ""), "REF");
    EXPECT_EQ(op.AskText("a", "b", ""), std::nullopt);

    // The boxes start with the options and change apart from the dialogs' answers.
    EXPECT_EQ(op.LegacyFolderBox(), "/antigo");
    op.SetLegacyFolderBox("");
    op.ClearNumbering();
    EXPECT_EQ(op.ChooseFolder("Procure a Pasta do Quibra_DOS"), "/antigo");
    EXPECT_EQ(op.NumberingText(), "");
}

TEST(ConsoleRun, migrateEndsWithStatusOfWhatHappened)
{
    TempFolder folder;
    const std::string database = FreshQuibrawDatabase(folder);
    {  // A connection that fails: the fixed message, the server's reason on stderr, status 1.
        const ConsoleRun run = RunCli({"migrate", "--legacy", folder.Path(), "--target", folder.File("falta.fdb")});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.out.find("ConvQuibraW: Nao Foi Possivel Conectar em BD.FDB."), std::string::npos) << run.out;
        EXPECT_EQ(run.err.rfind("ConvQuibraW: Motivo: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("falta.fdb"), std::string::npos) << run.err;
    }

    DbfWriter sellers;
    sellers.Field("CODIGO", 'C', 12).Field("VENDEDOR", 'C', 30);
    sellers.Record({"1", "Ana"}).Record({"2", "Bruno"});
    sellers.Write(folder.File("KQ000017.dat"));
    {
        const ConsoleRun run = RunCli({"migrate", "--legacy", folder.Path(), "--target", database}, true);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("Cópia de Vendedores Concluída\n"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("ConvQuibraW: Cópia Realizada com Sucesso!\n"), std::string::npos) << run.out;
        EXPECT_NE(run.err.find("] 0%"), std::string::npos) << run.err;  // the bar, asked for
        EXPECT_EQ(SqlScalar(database, "select count(*) from vendedor"), "2");
    }

    sellers.Record({"99999999999", "Grande"});
    sellers.Write(folder.File("KQ000017.dat"));
    {  // It ran to its end, but a record failed.
        const ConsoleRun run = RunCli({"migrate", "--legacy", folder.Path(), "--target", database});
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_NE(run.out.find("Registro 3 de KQ000017.dat: "), std::string::npos) << run.out;
    }

    DbfWriter histories;  // without the fields the copy reads: a failure no copy handles
    histories.Field("OUTRO", 'C', 10).Record({"x"});
    histories.Write(folder.File("KQ000034.dat"));
    {
        const ConsoleRun run = RunCli({"migrate", "--legacy", folder.Path(), "--target", database});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind("ConvQuibraW: erro: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out.find("Sucesso"), std::string::npos) << run.out;
    }
}

TEST(ConsoleRun, accentedPathsOpenUnderTheCLocale)
{
    TempFolder folder;
    const std::string accented = folder.Path() + "/joão/Área de Trabalho";
    std::filesystem::create_directories(accented);
    const std::string database = FreshQuibrawDatabase(folder);
    std::filesystem::rename(database, accented + "/bd.fdb");
    DbfWriter sellers;
    sellers.Field("CODIGO", 'C', 4).Field("VENDEDOR", 'C', 30).Record({"1", "Ana"});
    sellers.Write(accented + "/KQ000017.dat");
    const std::string cli = std::string(BUILD_DIR) + "/convquibraw-cli";
    const std::vector<std::string> cLocale = {"LC_ALL=C", "LANG=C"};

    const ProcessOutcome migrated =
        RunAndWait({cli, "migrate", "--legacy", accented, "--target", accented + "/bd.fdb"}, cLocale);
    EXPECT_EQ(migrated.exitStatus, 0) << migrated.output;
    EXPECT_NE(migrated.output.find("Cópia de Vendedores Concluída"), std::string::npos) << migrated.output;
    // gbak gets the same names.
    const ProcessOutcome rebuilt = RunAndWait({cli, "backup", "--target", accented + "/bd.fdb"}, cLocale);
    EXPECT_EQ(rebuilt.exitStatus, 0) << rebuilt.output;
    EXPECT_TRUE(std::filesystem::exists(accented + "/bd.old"));
    // This test process runs under the C locale itself: read the result under a plain name.
    std::filesystem::rename(accented + "/bd.fdb", folder.Path() + "/lido.fdb");
    EXPECT_EQ(SqlScalar(folder.Path() + "/lido.fdb", "select count(*) from vendedor"), "1");
}

TEST(ConsoleRun, reportNamesEachFailedRecordAndSumsUpEachCopy)
{
    TempFolder folder;
    const std::string database = FreshQuibrawDatabase(folder);
    DbfWriter sellers;
    sellers.Field("CODIGO", 'C', 12).Field("VENDEDOR", 'C', 30);
    sellers.Record({"1", "Ana"}).Record({"XX", "Sem dígitos"}).Record({"99999999999", "Grande"}).Record({"2", "Bia"});
    sellers.Write(folder.File("KQ000017.dat"));
    const std::string reportPath = folder.File("relatorio.txt");
    const ConsoleRun run =
        RunCli({"migrate", "--legacy", folder.Path(), "--target", database, "--report", reportPath});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.out.find("ConvQuibraW: Ocorreu um Erro: '99999999999' is not a valid integer value\n"
                           "Registro 3 de KQ000017.dat: '99999999999' is not a valid integer value\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.err.find("relatório"), std::string::npos) << run.err;  // the path was given

    std::ifstream file(reportPath);
    const std::string report((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(report.find("Iniciando Cópia Vendedores..."), std::string::npos) << report;
    EXPECT_NE(report.find("\nTextos do Quibra Antigo: como gravados (sem conversão)\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Mensagem: Cópia Realizada com Sucesso!"), std::string::npos) << report;
    EXPECT_NE(report.find("Registro 3 de KQ000017.dat, chave \"99999999999 \":\n"
                          "'99999999999' is not a valid integer value\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\nKQ000017.dat: lidos 4, gravados 2, ignorados 1, com erro 1\n"), std::string::npos)
        << report;

    // Without --report it goes to the data folder and stderr says where; the code page chosen is recorded.
    const ConsoleRun again = RunCli({"migrate", "--legacy", folder.Path(), "--target", database, "--codepage", "cp850"});
    const std::string prefix = "ConvQuibraW: relatório: " + DefaultReportFolder() + "/";
    ASSERT_EQ(again.err.rfind(prefix, 0), 0u) << again.err;
    const std::string written = again.err.substr(prefix.size() - DefaultReportFolder().size() - 1);
    std::ifstream againFile(written.substr(0, written.size() - 1));
    const std::string againReport((std::istreambuf_iterator<char>(againFile)), std::istreambuf_iterator<char>());
    EXPECT_NE(againReport.find("\nTextos do Quibra Antigo: CP850, convertidos para ISO 8859-1\n"), std::string::npos)
        << written;
}
