#pragma once

#include <string>

// The copies of the run, by the title line each writes, with the file it reads.
struct CopyName {
    const char* title;
    const char* name;
    const char* file;
};

inline constexpr CopyName kCopies[] = {
    {"Iniciando Cópia Vendas...", "sales", "KQ000009.dat"},
    {"Iniciando Cópia Entradas...", "purchases", "KQ000026.dat"},
    {"Iniciando Cópia de Históricos...", "cash histories", "KQ000034.dat"},
    {"Iniciando Cópia de CFOPs...", "CFOPs", "KQ000039.dat"},
    {"Iniciando Cópia Clientes...", "clients", "KQ000012.dat"},
    {"Iniciando Cópia Movimento de Caixa...", "cash movements", "KQ000014.dat"},
    {"Iniando Cópia Contas a Pagar...", "payables", "KQ000016.dat"},
    {"Iniciando Cópia Contas a Receber...", "receivables", "KQ000015.dat"},
    {"Iniando Cópia Fornecedores...", "suppliers", "KQ000018.dat"},
    {"Iniciando Cópia Agenda...", "address book", "KQ000051.dat"},
    {"Iniciando Cópia Grupo de Produtos...", "product groups", "KQ000030.dat"},
    {"Iniciando Cópia Vendedores...", "sellers", "KQ000017.dat"},
    {"Iniciando Cópia Grupos de Caixa...", "cash groups", "KQ000004.dat"},
    {"Iniando Cópia Fabricantes...", "manufacturers", "KQ000029.dat"},
    {"Iniciando Cópia Produtos...", "products", "KQ000006.dat"},
};
inline constexpr int kCopyCount = sizeof kCopies / sizeof kCopies[0];

inline int CopyOfTitle(const std::string& line)
{
    for (int i = 0; i < kCopyCount; ++i)
        if (line == kCopies[i].title) return i;
    return -1;
}
