#include "maintenance/renumbering.h"

#include "session/choosers.h"
#include "session/operator.h"
#include "session/session.h"
#include "session/value_helpers.h"

void RenumberDocuments(Session& session, Operator& op, const std::string& sequence)
{
    if (op.NumberingText().empty()) {
        op.ShowMessage("Informe Um Número!");
        op.Focus(FocusTarget::NumberingBox);
        return;
    }
    if (op.TargetBox().empty()) ChooseTargetDatabase(op, session.paths);
    if (op.TargetBox().empty()) return;
    session.paths.targetDatabase = op.TargetBox();

    // An open connection is used as it is, whatever database it points at.
    FbDatabase& database = session.target.Database();
    if (!database.IsOpen()) database.SetName(op.TargetBox());
    database.Open();

    const std::int32_t number = StrictInteger(op.NumberingText());
    FbQuery& query = session.target.Query();
    query.Close();
    query.ClearText();
    query.AddLine("ALTER SEQUENCE " + sequence + " RESTART WITH " + std::to_string(number));
    query.Execute();
    session.target.Transaction().Commit();

    op.ClearNumbering();
    op.ShowMessage("Numeração de NFe alterado para: " + std::to_string(number));
}
