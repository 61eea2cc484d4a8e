#include "copy/declared_copy.h"

#include "common/failure.h"
#include "copy/keyed_writes.h"
#include "copy/sequence_draws.h"
#include "session/operator.h"
#include "session/session.h"

namespace {

// False when the delete failed and the copy must end.
bool PreDeleteAfterGaugeReset(CopyRun& run, const DeclaredCopy& copy)
{
    FbQuery& query = run.Query();
    SetStatement(query, copy.preDeleteSql);
    try {
        query.Execute();
        run.session.target.Transaction().Commit();
        run.op.LogAppend(copy.preDeleteLogLine);
        return true;
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        return false;
    }
}

void PreDeleteBeforeHeader(CopyRun& run, const DeclaredCopy& copy)
{
    FbQuery& query = run.Query();
    SetStatement(query, copy.preDeleteSql);
    query.Execute();
    try {
        run.session.target.Transaction().Commit();
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        // A failed commit here is let go: the rows that follow are written in the same transaction.
    }
}

}  // namespace

void RunDeclaredCopy(CopyRun& run, const DeclaredCopy& copy)
{
    if (copy.checkFile && !CheckLegacyFile(run, copy.fileName)) return;
    if (!OpenLegacyFile(run, copy.fileName, copy.openFailureTail)) return;
    FbQuery& query = run.Query();
    if (copy.explicitTransactionFirst) {
        StartTransactionExplicitly(run);
        SetStatement(query, copy.sql);
    }
    if (copy.preDelete == DeclaredCopy::PreDelete::BeforeHeader) PreDeleteBeforeHeader(run, copy);
    WriteLogHeader(run, copy.title, copy.fileName);
    ResetGauge(run);
    if (copy.explicitTransactionAfterGaugeReset) StartTransactionExplicitly(run);
    if (copy.preDelete == DeclaredCopy::PreDelete::AfterGaugeReset && !PreDeleteAfterGaugeReset(run, copy)) return;
    if (!copy.explicitTransactionFirst && !copy.statementPerRecord) SetStatement(query, copy.sql);

    LegacyTable& table = run.session.table;
    MappedFields fields(table, copy.mapping, copy.otherFields);
    std::optional<SequenceDraws> codes;
    if (copy.drawnCode) codes.emplace(copy.drawnCode->sequence, run.SecondQuery());
    std::optional<KeyedWrites> writes;
    if (copy.keyed && !copy.drawnCode && !copy.bindExtra) {
        writes.emplace(copy.keyed->table, copy.keyed->column, copy.sql);
        writes->Start(query);
    }
    RecordSteps steps;
    if (copy.deletedRecords == DeclaredCopy::DeletedRecords::PassedOver)
        steps.passOver = [&] { return table.IsDeleted(); };
    steps.bind = [&] {
        if (copy.deletedRecords == DeclaredCopy::DeletedRecords::SkippedAfterProgress) {
            while (!table.IsPastEnd() && table.IsDeleted()) table.MoveNext();
            if (table.IsPastEnd()) return false;
        }
        if (copy.keepRecord && !copy.keepRecord(fields)) return false;
        if (writes)
            writes->SetStatementFor(run, query, fields.IntegerKey(copy.keyed->column));
        else if (copy.statementPerRecord)
            SetStatement(query, copy.sql);
        if (codes) query.SetText(copy.drawnCode->parameter, codes->Next());
        if (copy.bindExtra) copy.bindExtra(run, query, fields);
        fields.BindAll(query);
        return true;
    };
    steps.execute = [&] {
        std::function<void()> landed = writes ? writes->Landed() : nullptr;
        if (copy.protection == Protection::Unguarded) {
            query.Execute();
            if (landed) landed();
        } else {
            ExecuteGuarded(run, query, std::move(landed));
        }
    };
    if (codes)
        codes->GivingBackAfter([&] { RecordLoop(run, copy.protection, steps); });
    else
        RecordLoop(run, copy.protection, steps);

    if (!copy.resyncTable.empty()) ResyncSequence(run, copy.resyncTable, copy.resyncTable, CodeForm::Text);
    if (copy.guardedCommit)
        GuardedCommit(run);
    else
        PlainCommit(run);
    if (!copy.completion.empty()) LogCountAndCompletion(run, copy.completion);
}

FieldsRead FieldsReadBy(const DeclaredCopy& copy) { return {copy.fileName, copy.what, FieldNames(copy.mapping, copy.otherFields)}; }
