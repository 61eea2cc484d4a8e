#pragma once

class Operator;
struct Session;

// "Iniciar Cópia": makes sure both paths are known, connects and runs every copy in its fixed order.
void RunFullMigration(Session& session, Operator& op);
