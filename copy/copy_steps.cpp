#include "copy/copy_steps.h"

#include <filesystem>

#include "common/failure.h"
#include "common/interruption.h"
#include "session/operator.h"
#include "session/session.h"
#include "legacy/field_values.h"
#include "legacy/file_lookup.h"

namespace {
const char* const kSeparator = "**************************";
}

FbQuery& CopyRun::Query() { return session.target.Query(); }
FbQuery& CopyRun::SecondQuery() { return session.target.SecondQuery(); }

std::string CopyRun::LegacyPath(const std::string& fileName) const
{
    // A folder typed with its trailing "/" gives no "//".
    const std::string& folder = session.paths.legacyFolder;
    return folder + (folder.ends_with('/') ? "" : "/") + fileName;
}

bool CheckLegacyFile(CopyRun& run, const std::string& fileName)
{
    if (FindInFolderIgnoringCase(run.session.paths.legacyFolder, fileName)) return true;
    run.op.ShowMessage("Arquivo " + run.LegacyPath(fileName) + " Não Encontrado");
    return false;
}

bool OpenLegacyFile(CopyRun& run, const std::string& fileName, const std::string& messageTail)
{
    LegacyTable& table = run.session.table;
    try {
        table.Close();
        const auto found = FindInFolderIgnoringCase(run.session.paths.legacyFolder, fileName);
        table.SetDBFFileName(found ? *found : run.LegacyPath(fileName));
        table.SetTextCodePage(run.op.LegacyCodePage());
        table.Open();
        if (!table.HasRecords()) {
            table.Close();
            return false;
        }
        table.MoveFirst();
        run.session.copy.copiedCount = 0;
        return true;
    } catch (const std::exception&) {
        run.op.ShowMessage("Não Foi Possivel Conectar em " + fileName + ". Verifique Se o Caminho Está Correto." +
                          messageTail);
        return false;
    }
}

void WriteLogHeader(CopyRun& run, const std::string& title, const std::string& fileName)
{
    if (run.op.LogHasLines())
        run.op.LogAppend(kSeparator);
    else
        run.op.LogClear();
    run.op.LogAppend(title);
    run.op.LogAppend("Origem: " + run.LegacyPath(fileName));
    run.op.LogAppend("Destino: " + run.session.paths.targetDatabase);
}

void ResetGauge(CopyRun& run)
{
    run.op.GaugeReset();
    run.op.ProcessEvents();
    run.session.copy.progressThreshold = 10;
    run.op.GaugeShow();
}

void StartTransactionExplicitly(CopyRun& run)
{
    FbTransaction& transaction = run.session.target.Transaction();
    if (transaction.Active()) transaction.Commit();
    transaction.Start();
}

void SetStatement(FbQuery& query, const std::string& sql)
{
    query.Close();
    query.ClearText();
    query.AddLine(sql);
}

void ProgressStep(CopyRun& run) { ProgressStep(run, run.session.table.RecordTotal()); }

void ProgressStep(CopyRun& run, std::int32_t recordTotal)
{
    LegacyTable& table = run.session.table;
    std::int32_t& threshold = run.session.copy.progressThreshold;
    const std::int32_t n = table.RecordNumber();
    if (n < threshold) return;
    run.op.ProcessEvents();
    const double hundredth = recordTotal / 100.0;
    const double p = n / hundredth;
    // A file of fewer than 100 records divides by a fraction; an empty one by zero (infinity, which passes).
    if (p >= threshold) {
        run.op.GaugeAdvance(10);
        threshold += 10;
    }
}

bool Guarded(CopyRun& run, const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        run.op.ShowMessage(std::string("Ocorreu um Erro: ") + failure.what());
        return false;
    }
}

namespace {

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The failure's lines as one log line.
std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

// A failure inside the per-record protection: its box, the log line naming the record, and the report's entry.
void RecordFailedHere(CopyRun& run, const std::string& fileName, const std::string& text)
{
    LegacyTable& table = run.session.table;
    RecordFailure failure{fileName, table.RecordNumber(), "", text};
    try {
        if (!table.IsPastEnd()) failure.key = AsText(table.Fields().at(0));
    } catch (const std::exception&) {
        // A record that cannot be read has no key to show.
    }
    run.op.ShowRecordFailureMessage("Ocorreu um Erro: " + text);
    run.op.LogAppend("Registro " + std::to_string(failure.recordNumber) + " de " + fileName + ": " + OneLine(text));
    run.op.RecordFailed(failure);
}

}  // namespace

void RecordLoop(CopyRun& run, Protection protection, const RecordSteps& steps)
{
    LegacyTable& table = run.session.table;
    // The file is held open exclusively, so its size stays what it was; reading it again for every record cost a
    // system call each.
    const std::int32_t recordTotal = table.RecordTotal();
    CopyCounts counts{FileNameOf(table.DBFFileName())};
    run.op.CopyStarted(counts.fileName);
    // The protection of the record's steps: a failure is shown, named and counted, and the loop goes on.
    auto guarded = [&](const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& failure) {
            RethrowIfFatal(failure);
            ++counts.failed;
            RecordFailedHere(run, counts.fileName, failure.what());
        }
    };
    while (!table.IsPastEnd()) {
        StopIfInterrupted();
        ++counts.read;
        if (steps.beforeCount) steps.beforeCount();
        if (steps.passOver && steps.passOver()) {
            ++counts.skipped;
            table.MoveNext();
            continue;
        }
        ++run.session.copy.copiedCount;
        auto execute = [&] {
            steps.execute();
            ++counts.written;
        };
        auto work = [&] {
            ProgressStep(run, recordTotal);
            if (!steps.bind()) {
                ++counts.skipped;
                return;
            }
            if (protection == Protection::ExecutionGuarded)
                guarded(execute);
            else
                execute();
        };
        if (protection == Protection::RecordGuarded)
            guarded(work);
        else
            work();
        table.MoveNext();
    }
    run.op.CopyCounted(counts);
}

bool GuardedRecordWrite(CopyRun& run, const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        RecordFailedHere(run, FileNameOf(run.session.table.DBFFileName()), failure.what());
        return false;
    }
}

void PlainCommit(CopyRun& run)
{
    FbTransaction& transaction = run.session.target.Transaction();
    if (transaction.Active()) transaction.Commit();
}

void GuardedCommit(CopyRun& run)
{
    FbTransaction& transaction = run.session.target.Transaction();
    if (!transaction.Active()) return;
    try {
        transaction.Commit();
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        run.op.ShowMessage(std::string("Erro: ") + failure.what() + ". Tente Novamente");
        transaction.Rollback();
    }
}

void ResyncSequence(CopyRun& run, const std::string& table, const std::string& sequence, CodeForm form,
                    const std::string& maxColumn)
{
    FbQuery& query = run.Query();
    SetStatement(query, "select max(" + maxColumn + ") as " + maxColumn + " from " + table);
    query.Open();
    std::string highest =
        form == CodeForm::Integer ? std::to_string(query.ColumnInteger(maxColumn)) : query.ColumnText(maxColumn);
    query.Close();
    // An empty table has no highest code: restart at 0 rather than send an incomplete statement.
    if (highest.empty()) highest = "0";
    run.session.copy.highestCode = highest;
    query.ClearText();
    query.AddLine("ALTER SEQUENCE " + sequence + " RESTART WITH " + highest);
    query.Execute();
}

void LogCountAndCompletion(CopyRun& run, const std::string& completion)
{
    run.op.LogAppend(std::to_string(run.session.copy.copiedCount) + " Registros Copiados.");
    run.op.LogAppend(completion);
}
