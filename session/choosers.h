#pragma once

#include <string>

class Operator;
struct RememberedPaths;

// "Selecionar Pasta Quibra Antigo(Origem)": a cancelled dialog empties the path and its box.
void ChooseLegacyFolder(Operator& op, RememberedPaths& paths);

// "Selecionar BD QuibraW (Destino )": a cancelled dialog changes nothing. An empty title is the platform's own.
void ChooseTargetDatabase(Operator& op, RememberedPaths& paths, const std::string& title = "");
