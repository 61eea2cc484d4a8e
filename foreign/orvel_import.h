#pragma once

#include <string>
#include <string_view>
#include <vector>

class Operator;
struct Session;

// ORVEL's tax situation (`st` of `estoque`) to QuibraW's tax-rate code (`aliquota` of `produto`): a list of
// "name=value" lines, rebuilt for every run.
class TaxSituationTable {
public:
    TaxSituationTable();

    // The value of the first line whose whole name equals the text, letter case ignored; "2" when no line
    // matches (or, in general, when the value holds no digit).
    std::string CodeFor(std::string_view situation) const;

private:
    std::string ValueOf(std::string_view name) const;

    std::vector<std::string> lines_;
};

// "Orvel to QuibraW": asks for the ORVEL database, connects it (session.orvel) and the target named in the
// target box, inserts one `produto` row per `estoque` row and restarts the product sequence after the last
// `registro`. Failures inside the row loop, at the commits or at the restart are not handled here.
void ImportOrvelProducts(Session& session, Operator& op);
