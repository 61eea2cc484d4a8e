#pragma once

class Operator;
struct CopyRun;
struct Session;

// Deletes from contasreceber, for every record of "KQ000015.dat" that carries the deletion mark, the rows with its
// documento (as read) and historico (trimmed). Unprotected deletes, guarded commit, no count line.
void VerifyReceivables(CopyRun& run);

// "Apagar Contas Receber Deletadas": asks for the missing paths, connects directly to the chosen database and runs
// VerifyReceivables.
void DeleteRemovedReceivables(Session& session, Operator& op);
