#include "copy/receivables_reconciliation.h"

#include "session/choosers.h"
#include "firebird/fb_query.h"
#include "session/operator.h"
#include "session/session.h"
#include "copy/copy_steps.h"
#include "session/value_helpers.h"
#include "legacy/field_values.h"

void VerifyReceivables(CopyRun& run)
{
    const std::string fileName = "KQ000015.dat";
    if (!OpenLegacyFile(run, fileName, "11")) return;
    WriteLogHeader(run, "Iniciando Verificação de Contas a Receber...", fileName);
    ResetGauge(run);

    LegacyTable& table = run.session.table;
    FbQuery& query = run.Query();
    RecordSteps steps;
    // The delete comes before the record is counted: a failing one ends the operation uncounted.
    steps.beforeCount = [&] {
        if (!table.IsDeleted()) return;
        SetStatement(query, "delete from contasreceber where documento = :doc and historico = :hist");
        query.SetText("doc", AsText(table.FieldNamed("documento")));
        query.SetText("hist", Trimmed(AsText(table.FieldNamed("historico"))));
        query.Execute();
    };
    steps.bind = [] { return false; };
    RecordLoop(run, Protection::Unguarded, steps);

    GuardedCommit(run);
    run.op.LogAppend("Verificação de Contas a Receber Concluída");
}

void DeleteRemovedReceivables(Session& session, Operator& op)
{
    if (op.TargetBox().empty()) ChooseTargetDatabase(op, session.paths);
    if (op.LegacyFolderBox().empty()) ChooseLegacyFolder(op, session.paths);
    if (op.TargetBox().empty() || op.LegacyFolderBox().empty()) return;

    session.paths.legacyFolder = op.LegacyFolderBox();
    session.paths.targetDatabase = op.TargetBox();
    if (session.target.Database().IsOpen()) session.target.Database().Close();
    session.target.DirectConnect(op.TargetBox());

    op.GaugeShow();
    CopyRun run{session, op};
    VerifyReceivables(run);
}
