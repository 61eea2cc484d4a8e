#pragma once

class Operator;
struct Session;

// "Limpar bd": empties the business tables of the QuibraW database, restarts their sequences and creates
// again user 1 and seller 1. No confirmation is asked. At a normal end the remembered target path is empty;
// a statement that fails (other than the two guarded commits) ends the command with its rows pending.
void ClearQuibrawDatabase(Session& session, Operator& op);
