#pragma once

#include "common/failure.h"

class Operator;
struct Session;

// The end of a command that met a fatal fault: the target's pending rows are rolled back and the connection is
// closed, so that nothing of the copy is committed later; then the operator is told what happened. An
// interruption is one log line; the other faults reach the general error report with the server's text.
void EndAfterFatalFault(const Failure& fault, Session& session, Operator& op);

// "A conexão com o banco de dados foi perdida. ..." with the server's text.
std::string FatalFaultMessage(const Failure& fault);
