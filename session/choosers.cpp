#include "session/choosers.h"

#include "session/operator.h"
#include "session/remembered_paths.h"

void ChooseLegacyFolder(Operator& op, RememberedPaths& paths)
{
    paths.legacyFolder = op.ChooseFolder("Procure a Pasta do Quibra_DOS");
    op.SetLegacyFolderBox(paths.legacyFolder);
}

void ChooseTargetDatabase(Operator& op, RememberedPaths& paths, const std::string& title)
{
    const auto chosen = op.ChooseDatabaseFile(title);
    if (!chosen) return;
    paths.targetDatabase = *chosen;
    op.SetTargetBox(*chosen);
}
