#include "firebird/execute_block.h"

#include <algorithm>

#include "firebird/named_parameters.h"

namespace {

struct CharacterSet {
    short id;
    const char* name;
    short bytesPerCharacter;
};

// Firebird 3's character sets, as rdb$character_sets lists them.
constexpr CharacterSet kCharacterSets[] = {
    {0, "NONE", 1},       {1, "OCTETS", 1},     {2, "ASCII", 1},      {3, "UNICODE_FSS", 3}, {4, "UTF8", 4},
    {5, "SJIS_0208", 2},  {6, "EUCJ_0208", 2},  {9, "DOS737", 1},     {10, "DOS437", 1},     {11, "DOS850", 1},
    {12, "DOS865", 1},    {13, "DOS860", 1},    {14, "DOS863", 1},    {15, "DOS775", 1},     {16, "DOS858", 1},
    {17, "DOS862", 1},    {18, "DOS864", 1},    {19, "NEXT", 1},      {21, "ISO8859_1", 1},  {22, "ISO8859_2", 1},
    {23, "ISO8859_3", 1}, {34, "ISO8859_4", 1}, {35, "ISO8859_5", 1}, {36, "ISO8859_6", 1},  {37, "ISO8859_7", 1},
    {38, "ISO8859_8", 1}, {39, "ISO8859_9", 1}, {40, "ISO8859_13", 1}, {44, "KSC_5601", 2},  {45, "DOS852", 1},
    {46, "DOS857", 1},    {47, "DOS861", 1},    {48, "DOS866", 1},    {49, "DOS869", 1},     {50, "CYRL", 1},
    {51, "WIN1250", 1},   {52, "WIN1251", 1},   {53, "WIN1252", 1},   {54, "WIN1253", 1},    {55, "WIN1254", 1},
    {56, "BIG_5", 2},     {57, "GB_2312", 2},   {58, "WIN1255", 1},   {59, "WIN1256", 1},    {60, "WIN1257", 1},
    {63, "KOI8R", 1},     {64, "KOI8U", 1},     {65, "WIN1258", 1},   {66, "TIS620", 1},     {67, "GBK", 2},
    {68, "CP943C", 2},    {69, "GB18030", 4},
};

const CharacterSet* CharacterSetOf(short subtype)
{
    const short id = static_cast<short>(subtype & 0xFF);
    for (const CharacterSet& set : kCharacterSets)
        if (set.id == id) return &set;
    return nullptr;
}

std::string Exact(const char* integerName, const char* numericName, short scale)
{
    if (scale >= 0) return integerName;
    return std::string(numericName) + "," + std::to_string(-scale) + ")";
}

std::string ParameterName(int row, size_t slot) { return "P" + std::to_string(row) + "_" + std::to_string(slot); }

}  // namespace

std::optional<std::string> DeclaredParameterType(const XSQLVAR& described)
{
    switch (described.sqltype & ~1) {
    case SQL_TEXT:
    case SQL_VARYING: {
        const CharacterSet* set = CharacterSetOf(described.sqlsubtype);
        if (!set) return std::nullopt;
        const int length = std::max(1, described.sqllen / set->bytesPerCharacter);
        return std::string((described.sqltype & ~1) == SQL_TEXT ? "CHAR(" : "VARCHAR(") + std::to_string(length) +
               ") CHARACTER SET " + set->name;
    }
    case SQL_SHORT: return Exact("SMALLINT", "NUMERIC(4", described.sqlscale);
    case SQL_LONG: return Exact("INTEGER", "NUMERIC(9", described.sqlscale);
    case SQL_INT64: return Exact("BIGINT", "NUMERIC(18", described.sqlscale);
    case SQL_FLOAT: return "FLOAT";
    case SQL_DOUBLE: return "DOUBLE PRECISION";
    case SQL_TYPE_DATE: return "DATE";
    case SQL_TYPE_TIME: return "TIME";
    case SQL_TIMESTAMP: return "TIMESTAMP";
    case SQL_BOOLEAN: return "BOOLEAN";
    default: return std::nullopt;
    }
}

std::optional<std::string> ExecuteBlockText(const std::vector<BlockStatement>& statements,
                                            const std::vector<std::string>& sequences, int rows)
{
    const bool several = statements.size() > 1;
    std::vector<std::vector<std::string>> types(statements.size());
    for (size_t s = 0; s < statements.size(); ++s)
        for (const XSQLVAR& var : statements[s].described) {
            auto type = DeclaredParameterType(var);
            if (!type) return std::nullopt;
            types[s].push_back(std::move(*type));
        }
    auto name = [several](int row, size_t statement, size_t slot) {
        return several ? ParameterName(row, statement) + "_" + std::to_string(slot) : ParameterName(row, slot);
    };
    std::string text = "EXECUTE BLOCK (";
    for (int row = 1; row <= rows; ++row) {
        for (size_t s = 0; s < statements.size(); ++s)
            for (size_t slot = 0; slot < types[s].size(); ++slot)
                text += name(row, s, slot) + " " + types[s][slot] + " = ?,\n";
        text += "R" + std::to_string(row) + " SMALLINT = ?" + (row < rows ? ",\n" : "");
    }
    text += ")\nRETURNS (FAILED_ROW INTEGER";
    for (size_t i = 0; i < sequences.size(); ++i) text += ", SEQ_" + std::to_string(i) + " BIGINT";
    text += ") AS\nBEGIN\nFAILED_ROW = 0;\n";
    for (int row = 1; row <= rows; ++row) {
        const std::string runs = "R" + std::to_string(row);
        text += "IF (FAILED_ROW = 0 AND " + runs + (several ? " > 0" : " = 1") + ") THEN\n";
        text += "BEGIN\n";
        for (size_t i = 0; i < sequences.size(); ++i)
            text += "SEQ_" + std::to_string(i) + " = GEN_ID(" + sequences[i] + ", 0);\n";
        text += "BEGIN\n";
        for (size_t s = 0; s < statements.size(); ++s) {
            if (several)
                text += std::string(s > 0 ? "ELSE " : "") + "IF (" + runs + " = " + std::to_string(s + 1) + ") THEN\n";
            const ScannedSql& scanned = statements[s].scanned;
            size_t from = 0;
            for (size_t slot = 0; slot < scanned.placeholderOffsets.size(); ++slot) {
                const size_t at = scanned.placeholderOffsets[slot];
                text.append(scanned.sql, from, at - from);
                text += ":" + name(row, s, slot);
                from = at + 1;
            }
            text.append(scanned.sql, from, std::string::npos);
            // On a line of its own: the statement may end in a line comment.
            text += "\n;\n";
        }
        text += "WHEN ANY DO FAILED_ROW = " + std::to_string(row) + ";\nEND\nEND\n";
    }
    // Without SUSPEND a block with outputs gives no row to fetch.
    text += "SUSPEND;\nEND";
    return text;
}

size_t RowMessageBytes(const std::vector<XSQLVAR>& described)
{
    size_t bytes = 0;
    // Each value padded to eight bytes, its null flag beside it, texts with their length word.
    for (const XSQLVAR& var : described) bytes += static_cast<size_t>(std::max<short>(var.sqllen, 8)) + 2 + 2 + 8;
    return bytes;
}

std::vector<std::string> SequencesDrawn(const std::string& sql)
{
    const std::string upper = AsciiUpper(sql);
    std::vector<std::string> names;
    for (size_t at = upper.find("GEN_ID"); at != std::string::npos; at = upper.find("GEN_ID", at + 6)) {
        size_t i = at + 6;
        while (i < upper.size() && (upper[i] == ' ' || upper[i] == '\n' || upper[i] == '\t')) ++i;
        if (i >= upper.size() || upper[i] != '(') continue;
        ++i;
        while (i < upper.size() && (upper[i] == ' ' || upper[i] == '\n')) ++i;
        size_t end = i;
        while (end < upper.size() && upper[end] != ',' && upper[end] != ' ' && upper[end] != ')') ++end;
        std::string name = upper.substr(i, end - i);
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}
