#pragma once

#include <cstdint>
#include <functional>
#include <string>

class Operator;
class FbQuery;
struct Session;
struct RecordLoopTally;

// The steps every copy is built from. A copy names its legacy file without folder ("KQ000039.dat").
struct CopyRun {
    Session& session;
    Operator& op;

    // The counts of the record loop walking now, for rows whose outcome comes later; null outside a loop.
    RecordLoopTally* loopTally = nullptr;

    FbQuery& Query();
    FbQuery& SecondQuery();
    // The legacy folder joined with the file name, as shown in messages.
    std::string LegacyPath(const std::string& fileName) const;
};

// The message box of a missing legacy file, "Arquivo <folder>/<file> Não Encontrado"; false when missing.
bool CheckLegacyFile(CopyRun& run, const std::string& fileName);

// Points the legacy table at the file and opens it. False (after its message) when it cannot be opened, and
// silently when it has no records. Text values are read in the operator's code page. On success the table is on
// record 1 and the copied-record counter is 0.
// messageTail is appended to the failure message (the receivables' message has always ended in "11").
bool OpenLegacyFile(CopyRun& run, const std::string& fileName, const std::string& messageTail = "");

// The separator (or a cleared log), the title, "Origem: " and "Destino: " lines.
void WriteLogHeader(CopyRun& run, const std::string& title, const std::string& fileName);

// Gauge to 0 of 100, events processed once, threshold 10, gauge shown.
void ResetGauge(CopyRun& run);

// Commits an active transaction, then starts it.
void StartTransactionExplicitly(CopyRun& run);

// Close, clear and set the statement text on the target query.
void SetStatement(FbQuery& query, const std::string& sql);

// Lets the window breathe and advances the gauge by at most one step of 10.
void ProgressStep(CopyRun& run);
// The same with the file's record count already read.
void ProgressStep(CopyRun& run, std::int32_t recordTotal);

enum class Protection { Unguarded, ExecutionGuarded, RecordGuarded };

// What a copy does with each record: read and bind (false skips the record), then execute.
struct RecordSteps {
    std::function<bool()> bind;
    std::function<void()> execute;
    // Records passed over before they are counted (date ranges, deletion marks).
    std::function<bool()> passOver;
    // Work done on every record before it is counted, unprotected (the receivables reconciliation's deletes).
    std::function<void()> beforeCount;
};

// Walks the records from the current one to the end, counting, advancing the gauge and executing under the
// given protection. A failure inside the protection shows "Ocorreu um Erro: " + text and the loop goes on; a fatal
// one (see common/failure.h) ends the loop and the command. A standing interruption request stops it before the
// next record.
void RecordLoop(CopyRun& run, Protection protection, const RecordSteps& steps);

// Runs the action; a failure shows "Ocorreu um Erro: " + its text and is swallowed, unless it is fatal. True when it
// succeeded. Rows still waiting for a batch are sent first, so that their messages come before this one.
bool Guarded(CopyRun& run, const std::function<void()>& action);

// A write that belongs to the current record besides its own statement (a purchase note's row): a failure shows
// "Ocorreu um Erro: " + text, the log names the record as the record loop does, and it is swallowed unless fatal.
// True when it succeeded.
bool GuardedRecordWrite(CopyRun& run, const std::function<void()>& action);

// Executes the query's statement for the record in hand, inside the record's protection. The row may wait and go
// to the server with the next records' rows (FbQuery::ExecuteBatched). Its failure is handled when the batch is
// sent, before anything later is shown, as the record loop handles one: a fatal one ends the command, any other
// shows its box, logs its line naming the record, goes to the report and counts the record as failed. onSuccess
// runs, and the record counts as written, only once the row has landed. A row that is no record of its own (a
// note's row, written from its last item's record) is left out of the counts.
enum class RowCounts { AsRecord, NotARecord };
void ExecuteGuarded(CopyRun& run, FbQuery& query, std::function<void()> onSuccess = {},
                    RowCounts counts = RowCounts::AsRecord);

// Sends the rows waiting on the target connection, handling the failures of those that failed.
void SendWaitingRows(CopyRun& run);

// Commits an active transaction, unprotected.
void PlainCommit(CopyRun& run);
// Commits an active transaction; a failure shows "Erro: <text>. Tente Novamente" and rolls back.
void GuardedCommit(CopyRun& run);

// "select max(cod) as cod from <table>", then the sequence restarted with that highest code (0 for an empty table).
// The text form reads the code as text, the integer form as a number.
enum class CodeForm { Text, Integer };
void ResyncSequence(CopyRun& run, const std::string& table, const std::string& sequence, CodeForm form,
                    const std::string& maxColumn = "cod");

// The count line "<n> Registros Copiados." and the completion line.
void LogCountAndCompletion(CopyRun& run, const std::string& completion);
