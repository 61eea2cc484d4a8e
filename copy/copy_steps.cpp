#include "copy/copy_steps.h"

#include <filesystem>
#include <optional>

#include "common/failure.h"
#include "common/interruption.h"
#include "firebird/fb_query.h"
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
        // The gauge tells how far the rows have got: the ones waiting go first.
        SendWaitingRows(run);
        run.op.GaugeAdvance(10);
        threshold += 10;
    }
}

// The counts of one record loop, and what became of the current record's execution.
struct RecordLoopTally {
    CopyCounts counts;
    // The record's row was handed to ExecuteGuarded: it counts when its outcome is known.
    bool outcomeLater = false;
};

namespace {

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The failure's lines as one log line.
std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

// The record in hand as a failure names it: file, number and key.
RecordFailure RecordInHand(CopyRun& run)
{
    LegacyTable& table = run.session.table;
    RecordFailure failure{run.loopTally ? run.loopTally->counts.fileName : FileNameOf(table.DBFFileName()),
                          table.RecordNumber(), "", ""};
    try {
        if (!table.IsPastEnd()) failure.key = AsText(table.Fields().at(0));
    } catch (const std::exception&) {
        // A record that cannot be read has no key to show.
    }
    return failure;
}

// A failure inside the per-record protection: its box, the log line naming the record, and the report's entry.
void RecordFailed(CopyRun& run, RecordFailure failure, const std::string& text)
{
    failure.text = text;
    run.op.ShowRecordFailureMessage("Ocorreu um Erro: " + text);
    run.op.LogAppend("Registro " + std::to_string(failure.recordNumber) + " de " + failure.fileName + ": " +
                     OneLine(text));
    run.op.RecordFailed(failure);
}

void RecordFailedHere(CopyRun& run, const std::string& text) { RecordFailed(run, RecordInHand(run), text); }

// Sends the rows of the records before a failure that leaves the loop, so that they and their messages come
// first. Should the sending fail too, a fatal failure already on its way is the one that goes on.
void SendWaitingRowsBefore(CopyRun& run, const std::exception* leaving)
{
    try {
        SendWaitingRows(run);
    } catch (const std::exception&) {
        if (!leaving || !IsFatalFailure(*leaving)) throw;
    }
}

void WalkRecords(CopyRun& run, Protection protection, const RecordSteps& steps, RecordLoopTally& tally)
{
    LegacyTable& table = run.session.table;
    CopyCounts& counts = tally.counts;
    // The file is held open exclusively, so its size stays what it was; reading it again for every record cost a
    // system call each.
    const std::int32_t recordTotal = table.RecordTotal();
    // The protection of the record's steps: a failure is shown, named and counted, and the loop goes on.
    auto guarded = [&](const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& failure) {
            RethrowIfFatal(failure);
            // The rows of the records before this one go first, with their messages.
            SendWaitingRows(run);
            ++counts.failed;
            RecordFailedHere(run, failure.what());
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
            tally.outcomeLater = false;
            steps.execute();
            if (!tally.outcomeLater) ++counts.written;
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
}

}  // namespace

void ExecuteGuarded(CopyRun& run, FbQuery& query, std::function<void()> onSuccess, RowCounts counts)
{
    RecordLoopTally* tally = counts == RowCounts::AsRecord ? run.loopTally : nullptr;
    if (tally) tally->outcomeLater = true;
    // A row that waits is told its outcome once the table has moved on: what names the record is taken now.
    std::optional<RecordFailure> record;
    if (query.MayWait()) record = RecordInHand(run);
    query.ExecuteBatched([&run, tally, record = std::move(record), onSuccess = std::move(onSuccess)](
                             std::exception_ptr failure) {
        if (!failure) {
            if (tally) ++tally->counts.written;
            if (onSuccess) onSuccess();
            return;
        }
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& refused) {
            RethrowIfFatal(refused);
            if (tally) ++tally->counts.failed;
            RecordFailed(run, record ? *record : RecordInHand(run), refused.what());
        }
    });
}

void SendWaitingRows(CopyRun& run) { run.session.target.Database().FlushBatches(); }

void RecordLoop(CopyRun& run, Protection protection, const RecordSteps& steps)
{
    RecordLoopTally tally{CopyCounts{FileNameOf(run.session.table.DBFFileName())}};
    struct TallyInPlace {
        CopyRun& run;
        RecordLoopTally* outer;
        ~TallyInPlace() { run.loopTally = outer; }
    } inPlace{run, run.loopTally};
    run.loopTally = &tally;
    run.op.CopyStarted(tally.counts.fileName);
    try {
        WalkRecords(run, protection, steps, tally);
    } catch (const std::exception& failure) {
        SendWaitingRowsBefore(run, &failure);
        throw;
    } catch (...) {
        SendWaitingRowsBefore(run, nullptr);
        throw;
    }
    SendWaitingRows(run);
    run.op.CopyCounted(tally.counts);
}

namespace {

// Runs the action; a failure that is not fatal is swallowed and told, after the rows waiting, so that their
// messages come first.
bool GuardedTelling(CopyRun& run, const std::function<void()>& action,
                    const std::function<void(const std::string&)>& tell)
{
    try {
        action();
        return true;
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        SendWaitingRows(run);
        tell(failure.what());
        return false;
    }
}

}  // namespace

bool Guarded(CopyRun& run, const std::function<void()>& action)
{
    return GuardedTelling(run, action, [&run](const std::string& text) {
        run.op.ShowMessage("Ocorreu um Erro: " + text);
    });
}

bool GuardedRecordWrite(CopyRun& run, const std::function<void()>& action)
{
    return GuardedTelling(run, action, [&run](const std::string& text) { RecordFailedHere(run, text); });
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
