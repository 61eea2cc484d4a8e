#pragma once

#include <vector>

// Field layouts of the legacy supplier, client and product tables (widths of a typical shop), shared by the copy
// tests and the synthetic legacy folder.
struct LegacyColumn {
    const char* name;
    char type;
    int length;
    int decimals = 0;
};

inline std::vector<LegacyColumn> SupplierColumns()
{
    return {{"CODIGO", 'C', 8},  {"NOME", 'C', 40},   {"ENDERECO", 'C', 40}, {"CEP", 'C', 9},
            {"FONE", 'C', 14},   {"FAX", 'C', 14},    {"CIDADE", 'C', 20},   {"ESTADO", 'C', 2},
            {"CONTATO", 'C', 20}, {"OBS", 'C', 40},   {"BAIRRO", 'C', 20},   {"CNPJ", 'C', 18},
            {"IES", 'C', 15},    {"COD_MUN", 'C', 9}, {"SUFRAMA", 'C', 10},  {"TIPO", 'C', 2},
            {"CPF", 'C', 14}};
}

inline std::vector<LegacyColumn> ClientColumns()
{
    return {{"CODIGO", 'C', 12},    {"NOME", 'C', 40},    {"TIPO", 'C', 1},     {"END", 'C', 40},
            {"BAIRRO", 'C', 20},    {"CEP", 'C', 9},      {"TEL", 'C', 14},     {"CID", 'C', 20},
            {"EST", 'C', 2},        {"DATA", 'D', 8},     {"ORG", 'C', 10},     {"TITULAR", 'C', 30},
            {"TELRES", 'C', 14},    {"TELCOM", 'C', 14},  {"NAT", 'C', 20},     {"NAC", 'C', 20},
            {"ESTCV", 'C', 3},      {"PROF", 'C', 20},    {"CONJ", 'C', 30},    {"OCUP", 'C', 20},
            {"PAI", 'C', 30},       {"MAE", 'C', 30},     {"NOME1", 'C', 30},   {"NOME2", 'C', 30},
            {"NOME3", 'C', 30},     {"END1", 'C', 30},    {"END2", 'C', 30},    {"END3", 'C', 30},
            {"TEL1", 'C', 14},      {"TEL2", 'C', 14},    {"TEL3", 'C', 14},    {"OBS", 'C', 40},
            {"CONCESSAO", 'C', 40}, {"IES", 'C', 15},     {"ATIVO", 'C', 1},    {"FATURAR", 'C', 1},
            {"PRAZO", 'N', 3},      {"LIMITE", 'N', 10, 2}, {"CPF", 'C', 14},   {"CGC", 'C', 18},
            {"CREDITO", 'N', 12, 2}, {"SAL", 'N', 12, 2}};
}

inline std::vector<LegacyColumn> ProductColumns()
{
    return {{"CODIGO", 'N', 6},      {"NOME", 'C', 40},       {"UNID", 'C', 3},
            {"IGUAL", 'C', 15},      {"CODBAR", 'C', 13},     {"LOCALIZA", 'C', 10},
            {"FORNEC", 'C', 6},      {"FABRIC", 'C', 6},      {"ALIQUOTA", 'C', 4},
            {"REFORI", 'C', 15},     {"CLASSIF", 'C', 10},    {"APLIC", 'C', 40},
            {"GRUPO", 'C', 4},       {"SERIE", 'C', 10},      {"IS_PIS", 'C', 2},
            {"EMB", 'C', 5},         {"DESC_ATAC", 'N', 3},   {"P_VENDA", 'N', 10, 2},
            {"P_VENDA1", 'N', 10, 2}, {"P_COMPRA", 'N', 10, 2}, {"LUCRO", 'N', 6, 2},
            {"QUANT", 'N', 10, 3},   {"DEPOSITO", 'N', 10, 3}, {"COMISSAO", 'N', 5, 2},
            {"CREDICM", 'N', 5, 2},  {"BASECRED", 'N', 6, 2}, {"DEBICM", 'N', 5, 2},
            {"BASEDEB", 'N', 6, 2},  {"FRETE", 'N', 6, 2},    {"ENCARGOS", 'N', 6, 2},
            {"FRACAO", 'N', 6, 3},   {"AGREGADO", 'N', 6, 2}, {"SUGESTAO", 'N', 8, 2},
            {"COMPRA", 'N', 8, 2},   {"DEV_ICM", 'N', 5, 2}};
}
