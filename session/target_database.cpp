#include "session/target_database.h"

#include "session/choosers.h"
#include "session/operator.h"
#include "session/remembered_paths.h"
#include "common/failure.h"

const char* const kCannotConnectMessage =
    "Nao Foi Possivel Conectar em BD.FDB. Verifique se o caminho está correto ou se o servidor firebird está "
    "funcionando corretamente.";

bool TargetDatabase::Connect(Operator& op, RememberedPaths& paths)
{
    if (paths.targetDatabase.empty()) {
        op.ShowMessage("Selecione um BD do QuibraW");
        ChooseTargetDatabase(op, paths);
    }
    if (paths.targetDatabase.empty()) return false;
    try {
        Database().Close();
        SetFixedConnectionParams(Database());
        Database().SetName(paths.targetDatabase);
        Database().Open();
        return true;
    } catch (const Failure& failure) {
        op.ShowMessage(kCannotConnectMessage);
        op.ConnectionFailed(std::string("Motivo: ") + failure.what());
        return false;
    }
}
