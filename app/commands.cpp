#include "app/commands.h"

#include "app/choosers.h"
#include "app/full_migration.h"
#include "app/operator.h"
#include "app/session.h"
#include "common/failure.h"
#include "copy/receivables_reconciliation.h"

namespace {

void NotAvailableYet(Operator& op) { op.ShowMessage("Este comando ainda não está disponível nesta versão."); }

}  // namespace

void RunCommandUnreported(Command command, Session& session, Operator& op)
{
    switch (command) {
    case Command::ChooseLegacyFolder: ChooseLegacyFolder(op, session.paths); return;
    case Command::ChooseTargetDatabase: ChooseTargetDatabase(op, session.paths); return;
    case Command::StartCopy: RunFullMigration(session, op); return;
    case Command::DeleteRemovedReceivables: DeleteRemovedReceivables(session, op); return;
    case Command::BackupRestore:
    case Command::ClearDatabase:
    case Command::OrvelImport:
    case Command::UpdateProductField:
    case Command::RenumberSales:
    case Command::RenumberNfe:
    case Command::ConvertXmls: NotAvailableYet(op); return;
    }
}

void RunCommand(Command command, Session& session, Operator& op)
{
    try {
        RunCommandUnreported(command, session, op);
    } catch (const std::exception& failure) {
        op.ReportFailure(failure.what());
    }
}
