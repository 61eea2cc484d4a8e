#pragma once

#include <string>

#include "copy/field_mapping.h"

struct CopyRun;
struct Session;
class Operator;

// "KQ000006.dat" into produto; deleted legacy products are left out.
void CopyProducts(CopyRun& run);

// "Atualizar Campo": overwrites one produto column, for every legacy product, with one legacy field.
void UpdateProductField(Session& session, Operator& op);

// A name that may stand as a column in a statement's text: a letter, then letters, digits, "_" or "$", at most 31.
bool IsPlainIdentifier(const std::string& name);

// The fields the product copy reads from its legacy file.
FieldsRead ProductCopyFieldsRead();
