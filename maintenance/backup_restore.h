#pragma once

class Operator;
struct Session;

// "Backup/Restore": rebuilds the QuibraW database through gbak. The database is moved aside as "bd.old",
// backed up into "bd.bkp" and restored as a new "bd.fdb" in the same folder; "bd.bkp" is deleted once the
// restore has succeeded. gbak is the one beside this program (Session::programFolder).
// A failed gbak run is reported with gbak's own message: a failed backup puts the database back under its
// own name; a failed restore keeps "bd.old" and "bd.bkp" for the operator.
void BackupAndRestore(Session& session, Operator& op);
