#include "maintenance/database_clearing.h"

#include <filesystem>
#include <span>
#include <string>

#include "session/choosers.h"
#include "session/database_name.h"
#include "session/operator.h"
#include "session/session.h"
#include "common/failure.h"

namespace {

struct TextParam {
    const char* name;
    const char* value;
};

// One statement of the clearing, the log line written after it (none when null) and its parameters,
// all bound as text.
struct ClearingRow {
    const char* sql;
    const char* logLine;
    std::span<const TextParam> params = {};
};

// QuibraW cannot be used without user 1 and seller 1.
constexpr TextParam kUserOne[] = {
    {"cod", "1"}, {"nome", "VENDEDOR"}, {"vendedor", "1"}, {"configu", "-0- 10,00 -1- T -2-  -3-  -4-"}};
constexpr TextParam kSellerOne[] = {{"cod", "1"}, {"nome", "VENDEDOR"}};

// The order matters: rows 1-24 are committed on their own after row 24 (kFirstCommitRow), the rest at the
// end. Repeated restarts and repeated log texts are as the shops have always seen them.
const ClearingRow kRows[] = {
    /*  1 */ {"delete from cliente", "Registros de clientes Apagados"},
    /*  2 */ {"delete from produto", "Registros de Produtos Apagados"},
    /*  3 */ {"ALTER SEQUENCE produto RESTART WITH 0", "Generator de Produtos foi zerado"},
    /*  4 */ {"ALTER SEQUENCE cliente RESTART WITH 0", "Generator cliente foi zerado"},
    /*  5 */ {"delete from caixa", "Registros de Caixa Apagados"},
    /*  6 */ {"delete from agenda", "Registros da agenda Apagados"},
    /*  7 */ {"delete from carne", "Registros de canês Apagados"},
    /*  8 */ {"delete from config_tema", "Registro de Temas Apagados"},
    /*  9 */ {"delete from contaspagar", "Registros de contas a pagar Apagados"},
    /* 10 */ {"delete from contasreceber", "Registros de Contas a Receber Apagados"},
    /* 11 */ {"delete from duplicatas", "Registros de Duplicatas Apagados"},
    /* 12 */ {"delete from convenio", "Registros de Convenios Apagados"},
    /* 13 */ {"delete from entrada", nullptr},
    /* 14 */ {"delete from item_entrada", "Registros de Entradas Apagados"},
    /* 15 */ {"delete from fabricante", "Registros de Fabricantes Apagados"},
    /* 16 */ {"delete from Fornecedor", "Registros de Fornecedores Apagados"},
    /* 17 */ {"delete from grupoprod", "Registros de Grupos de Produtos Apagados"},
    /* 18 */ {"delete from orcamento", nullptr},
    /* 19 */ {"delete from item_orcamento", "Registros de Orçamentos Apagados"},
    /* 20 */ {"delete from venda", nullptr},
    /* 21 */ {"delete from item_venda", "Registros de Vendas Apagados"},
    /* 22 */ {"delete from transferencia", "Registros de Transferencias Apagados"},
    /* 23 */ {"delete from rota", "Registros de Rotas Apagados"},
    /* 24 */ {"delete from usuario", "Registros de Usuários Apagados"},
    /* 25 */ {"delete from Vendedor", "Registros de Vendedores Apagados"},
    /* 26 */ {"delete from ITEM_COMPRA", "Registros de Itens de Compras Apagados"},
    /* 27 */ {"delete from COMPRA", "Registros de Itens de Compras Apagados"},
    /* 28 */ {"ALTER SEQUENCE COMPRA RESTART WITH 0", "Generator Compra foi zerado"},
    /* 29 */ {"delete from FVMT", "Registros de Movimentos de NFs Apagados"},
    /* 30 */ {"delete from JUSTIFICATIVA", "Registros de Saída de Estoque Apagados"},
    /* 31 */ {"delete from OS_VENDA", "Registros de Servicos Apagados"},
    /* 32 */ {"delete from OS_ITENS", "Registros de itens de Servicos Apagados"},
    /* 33 */ {"delete from SERVICO", "Registros de Servicos Apagados"},
    /* 34 */ {"ALTER SEQUENCE SERVICO RESTART WITH 0", "Generator Compra foi zerado"},
    /* 35 */ {"ALTER SEQUENCE SERVICO RESTART WITH 0", "Generator Servico foi zerado"},
    /* 36 */ {"delete from ACERTO", "Registros de Servicos Apagados"},
    /* 37 */ {"ALTER SEQUENCE ACERTO RESTART WITH 0", nullptr},
    /* 38 */ {"ALTER SEQUENCE ACERTO_SEQ RESTART WITH 0", "Generator de Acertos zerado"},
    /* 39 */ {"delete from SPEDDADOSADIC", "Registros de Dados Adicionais Apagados"},
    /* 40 */ {"delete from SPED_REDUCAOZ", nullptr},
    /* 41 */ {"delete from TRANSPORTADORA", nullptr},
    /* 42 */ {"ALTER SEQUENCE TRANSPORTADORA RESTART WITH 0", "Generator de Acertos zerado"},
    /* 43 */ {"delete from ECF", nullptr},
    /* 44 */ {"delete from MOV_FRE", nullptr},
    /* 45 */ {"delete from nfe", "Registros de NFE"},
    /* 46 */ {"delete from nfce", "Registros de NFCE"},
    /* 47 */ {"ALTER SEQUENCE NFCE RESTART WITH 0", "Generator NFE foi zerado"},
    /* 48 */ {"ALTER SEQUENCE movcaixa RESTART WITH 0", "Generator movcaixa foi zerado"},
    /* 49 */ {"ALTER SEQUENCE nfe RESTART WITH 0", "Generator NFe foi zerado"},
    /* 50 */ {"ALTER SEQUENCE cpagar RESTART WITH 0", "Generator cpagar foi zerado"},
    /* 51 */ {"ALTER SEQUENCE creceber RESTART WITH 0", "Generator creceber foi zerado"},
    /* 52 */ {"ALTER SEQUENCE dupli_unica RESTART WITH 0", "Generator duplicatas foi zerado"},
    /* 53 */ {"ALTER SEQUENCE entrada RESTART WITH 0", "Generator de entradas foi zerado"},
    /* 54 */ {"ALTER SEQUENCE fabricante RESTART WITH 0", "Generator  de Fabricantes foi zerado"},
    /* 55 */ {"ALTER SEQUENCE fornecedor RESTART WITH 0", "Generator Fornecedores foi zerado"},
    /* 56 */ {"ALTER SEQUENCE grupoprod RESTART WITH 0", "Generator grupo de produtos foi zerado"},
    /* 57 */ {"ALTER SEQUENCE movcaixa RESTART WITH 0", "Generator de Movimento de Caixa foi zerado"},
    /* 58 */ {"ALTER SEQUENCE orcamento RESTART WITH 0", "Generator de Orcamento foi zerado"},
    /* 59 */ {"ALTER SEQUENCE recibo_paga RESTART WITH 0", "Generator de Recibos foi zerado"},
    /* 60 */ {"ALTER SEQUENCE rota RESTART WITH 0", "Generator de Rotas foi zerado"},
    /* 61 */ {"ALTER SEQUENCE transferencia RESTART WITH 0", "Generator de Transferencias foi zerado"},
    /* 62 */ {"ALTER SEQUENCE usuario RESTART WITH 1", "Generator Usuário foi zerado"},
    /* 63 */ {"ALTER SEQUENCE venda RESTART WITH 0", "Generator Vendas foi zerado"},
    /* 64 */ {"ALTER SEQUENCE vendedor RESTART WITH 1", "Generator Vendedor foi zerado"},
    /* 65 */ {"insert into usuario(cod,nome,vendedor,configu) values(:cod,:nome,:vendedor,:configu)",
              "Usuario 1-Vendedor Inserido", kUserOne},
    /* 66 */ {"update or insert into Vendedor(cod,nome) values(:cod,:nome)", nullptr, kSellerOne},
};

constexpr int kFirstCommitRow = 24;

// A local file that exists, or a server's database, which only the server can look for.
bool DatabaseThere(const std::string& path)
{
    if (IsServerDatabaseName(path)) return true;
    std::error_code error;
    return std::filesystem::exists(path, error);
}

void Execute(const ClearingRow& row, FbQuery& query)
{
    query.Close();
    query.ClearText();
    query.AddLine(row.sql);
    for (const TextParam& param : row.params) query.SetText(param.name, param.value);
    query.Execute();
}

void LogAfter(const ClearingRow& row, Operator& op)
{
    if (row.logLine) op.LogAppend(row.logLine);
}

void RunRows(Session& session, Operator& op)
{
    FbQuery& query = session.target.Query();
    FbTransaction& transaction = session.target.Transaction();
    int number = 0;
    for (const ClearingRow& row : kRows) {
        ++number;
        if (number == kFirstCommitRow) {
            // A failure here is shown and the clearing goes on, still in the same transaction.
            try {
                Execute(row, query);
                LogAfter(row, op);
                transaction.Commit();
            } catch (const Failure& failure) {
                RethrowIfFatal(failure);
                op.ShowMessage(std::string("ocorreu um erro: ") + failure.what());
            }
            continue;
        }
        Execute(row, query);
        if (number == 1) {
            // The old log goes; the window gets one repaint before the long silent stretch.
            op.LogClear();
            LogAfter(row, op);
            op.ProcessEvents();
            continue;
        }
        LogAfter(row, op);
    }
    try {
        transaction.Commit();
    } catch (const Failure& failure) {
        RethrowIfFatal(failure);
        op.ShowMessage(std::string("Ocorreu um Erro: ") + failure.what() + ". Tente Novamente");
        transaction.Rollback();
    }
    session.paths.targetDatabase.clear();
}

}  // namespace

void ClearQuibrawDatabase(Session& session, Operator& op)
{
    if (!DatabaseThere(op.TargetBox())) ChooseTargetDatabase(op, session.paths);
    if (DatabaseThere(op.TargetBox())) {
        session.target.Connect(op, session.paths);  // it shows its own message; the first statement tries again
        if (!session.paths.targetDatabase.empty()) RunRows(session, op);
    }
    // The button's own clearing, done whenever the command ends normally.
    session.paths.targetDatabase.clear();
}
