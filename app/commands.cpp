#include "app/commands.h"

#include "session/choosers.h"
#include "app/fatal_fault_report.h"
#include "app/full_migration.h"
#include "app/legacy_folder_check.h"
#include "session/operator.h"
#include "session/session.h"
#include "common/failure.h"
#include "copy/product_copies.h"
#include "copy/receivables_reconciliation.h"
#include "fiscal/invoice_import.h"
#include "foreign/orvel_import.h"
#include "maintenance/backup_restore.h"
#include "maintenance/database_clearing.h"
#include "maintenance/renumbering.h"

void RunCommandUnreported(Command command, Session& session, Operator& op)
{
    switch (command) {
    case Command::ChooseLegacyFolder: ChooseLegacyFolder(op, session.paths); return;
    case Command::ChooseTargetDatabase: ChooseTargetDatabase(op, session.paths); return;
    case Command::StartCopy: RunFullMigration(session, op); return;
    case Command::BackupRestore: BackupAndRestore(session, op); return;
    case Command::ClearDatabase: ClearQuibrawDatabase(session, op); return;
    case Command::RenumberSales: RenumberDocuments(session, op, "venda"); return;
    case Command::RenumberNfe: RenumberDocuments(session, op, "nfe"); return;
    case Command::OrvelImport: ImportOrvelProducts(session, op); return;
    case Command::ConvertXmls: ImportInvoiceXmls(session, op); return;
    case Command::UpdateProductField: UpdateProductField(session, op); return;
    case Command::DeleteRemovedReceivables: DeleteRemovedReceivables(session, op); return;
    case Command::CheckLegacyFolder: CheckLegacyFolder(session, op); return;
    }
}

void RunCommand(Command command, Session& session, Operator& op)
{
    try {
        RunCommandUnreported(command, session, op);
    } catch (const Failure& failure) {
        if (failure.IsFatal())
            EndAfterFatalFault(failure, session, op);
        else
            op.ReportFailure(failure.what());
    } catch (const std::exception& failure) {
        op.ReportFailure(failure.what());
    }
}
