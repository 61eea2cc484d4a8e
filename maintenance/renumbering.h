#pragma once

#include <string>

class Operator;
struct Session;

// "Alterar Numeração Venda" / "Alterar Numeração NFe": restarts the sequence at the number typed into the
// numbering box, so the next document gets the number after it. The target path stays remembered.
void RenumberDocuments(Session& session, Operator& op, const std::string& sequence);
