#include "app/full_migration.h"

#include "session/choosers.h"
#include "session/operator.h"
#include "session/session.h"
#include "common/interruption.h"
#include "copy/copy_steps.h"
#include "copy/financial_copies.h"
#include "copy/party_copies.h"
#include "copy/product_copies.h"
#include "copy/purchase_copy.h"
#include "copy/reference_copies.h"
#include "copy/sales_copy.h"
#include "legacy/file_lookup.h"

namespace {

// One row of the run: when it applies, the file the run checks itself (empty when the copy checks its own),
// and the copy.
struct RunRow {
    bool (*applies)(Operator&);
    const char* checkedFile;
    void (*copy)(CopyRun&);
};

bool Always(Operator&) { return true; }
bool SalesTicked(Operator& op) { return op.IsChecked(CheckBox::CopiaVendas); }

const RunRow kRows[] = {
    {SalesTicked, "KQ000009.dat", CopySales},
    {Always, nullptr, CopyPurchases},  // runs only when "Copia Entradas" is ticked
    {Always, nullptr, CopyCashHistories},
    {Always, nullptr, CopyCfops},
    {Always, "KQ000012.dat", CopyClients},
    {Always, "KQ000014.dat", CopyCashMovements},
    {Always, "KQ000016.dat", CopyPayables},
    {Always, "KQ000015.dat", CopyReceivables},
    {Always, "KQ000018.dat", CopySuppliers},
    {Always, nullptr, CopyAddressBook},
    {Always, "KQ000030.dat", CopyProductGroups},
    {Always, "KQ000017.dat", CopySellers},
    {Always, "KQ000004.dat", CopyCashGroups},
    {Always, "KQ000029.dat", CopyManufacturers},
    {Always, "KQ000006.dat", CopyProducts},
};

}  // namespace

void RunFullMigration(Session& session, Operator& op)
{
    if (op.LegacyFolderBox().empty()) {
        op.ShowMessage("Selecione um Diretório do QuibraDOS");
        ChooseLegacyFolder(op, session.paths);
    }
    session.paths.legacyFolder = op.LegacyFolderBox();
    if (op.LegacyFolderBox().empty()) return;
    if (op.TargetBox().empty()) ChooseTargetDatabase(op, session.paths);
    if (op.TargetBox().empty()) return;
    session.paths.targetDatabase = op.TargetBox();
    if (!session.target.Connect(op, session.paths)) return;

    CopyRun run{session, op};
    for (const RunRow& row : kRows) {
        StopIfInterrupted();
        if (!row.applies(op)) continue;
        if (row.checkedFile && !FindInFolderIgnoringCase(session.paths.legacyFolder, row.checkedFile)) {
            op.ShowMessage(std::string("Arquivo ") + row.checkedFile + " Não Foi Encontrado.");
            continue;
        }
        row.copy(run);
    }
    session.paths = RememberedPaths{};
    op.ShowMessage("Cópia Realizada com Sucesso!");
}
