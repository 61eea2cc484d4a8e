#include "cli/cli_options.h"

#include <map>

namespace {

const char* const kEmptyDate = "  /  /    ";

const std::map<std::string, Command> kCommands = {
    {"migrate", Command::StartCopy},
    {"clear", Command::ClearDatabase},
    {"backup", Command::BackupRestore},
    {"update-field", Command::UpdateProductField},
    {"reconcile-receivables", Command::DeleteRemovedReceivables},
    {"import-orvel", Command::OrvelImport},
    {"import-xml", Command::ConvertXmls},
};

ConsoleRequest UsageError(const std::string& reason)
{
    ConsoleRequest request;
    request.action = ConsoleRequest::Action::UsageError;
    request.usageError = reason;
    return request;
}

// Options that take a value, and where the value goes.
std::string* TextOption(ConsoleAnswers& answers, const std::string& name)
{
    if (name == "--legacy") return &answers.legacyFolder;
    if (name == "--target") return &answers.target;
    if (name == "--sales-from") return &answers.salesFrom;
    if (name == "--sales-to") return &answers.salesTo;
    return nullptr;
}

std::optional<std::string>* AnswerOption(ConsoleAnswers& answers, const std::string& name)
{
    if (name == "--orvel") return &answers.orvel;
    if (name == "--folder") return &answers.xmlFolder;
    if (name == "--column") return &answers.column;
    if (name == "--field") return &answers.field;
    return nullptr;
}

bool* Flag(ConsoleAnswers& answers, const std::string& name)
{
    if (name == "--copy-sales") return &answers.copySales;
    if (name == "--copy-purchases") return &answers.copyPurchases;
    if (name == "--auto-pecas") return &answers.autoPecas;
    return nullptr;
}

// The options a command cannot work without; the first one missing, or null.
const char* MissingOption(Command command, const ConsoleAnswers& answers)
{
    const bool legacy = !answers.legacyFolder.empty(), target = !answers.target.empty();
    switch (command) {
    case Command::StartCopy:
    case Command::DeleteRemovedReceivables:
        if (!legacy) return "--legacy";
        if (!target) return "--target";
        if (command == Command::StartCopy && answers.copySales) {
            if (answers.salesFrom == kEmptyDate) return "--sales-from (com --copy-sales)";
            if (answers.salesTo == kEmptyDate) return "--sales-to (com --copy-sales)";
        }
        return nullptr;
    case Command::UpdateProductField:
        if (!legacy) return "--legacy";
        if (!target) return "--target";
        if (!answers.column) return "--column";
        if (!answers.field) return "--field";
        return nullptr;
    case Command::OrvelImport:
        if (!answers.orvel) return "--orvel";
        return target ? nullptr : "--target";
    case Command::ConvertXmls:
        if (!answers.xmlFolder) return "--folder";
        return target ? nullptr : "--target";
    default: return target ? nullptr : "--target";
    }
}

}  // namespace

ConsoleRequest ParseCommandLine(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            ConsoleRequest request;
            request.action = ConsoleRequest::Action::Help;
            return request;
        }
    }
    if (args.empty()) return UsageError("falta o comando");
    if (args.front() == "--version") {
        ConsoleRequest request;
        request.action = ConsoleRequest::Action::Version;
        return request;
    }
    if (args.front() == "inspect") {
        ConsoleRequest request;
        request.action = ConsoleRequest::Action::Inspect;
        request.inspectArgs.assign(args.begin() + 1, args.end());
        return request;
    }

    ConsoleRequest request;
    request.action = ConsoleRequest::Action::RunCommand;
    std::size_t next = 1;
    const std::string& name = args.front();
    if (name == "renumber") {
        if (args.size() < 3 || args[1].starts_with("--") || args[2].starts_with("--"))
            return UsageError("renumber pede sales ou nfe e o número: renumber sales|nfe N");
        if (args[1] == "sales")
            request.command = Command::RenumberSales;
        else if (args[1] == "nfe")
            request.command = Command::RenumberNfe;
        else
            return UsageError("renumber: numeração desconhecida: " + args[1] + " (use sales ou nfe)");
        request.answers.numbering = args[2];
        next = 3;
    } else if (const auto found = kCommands.find(name); found != kCommands.end()) {
        request.command = found->second;
    } else {
        return UsageError("comando desconhecido: " + name);
    }

    for (std::size_t i = next; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--report") {
            if (i + 1 >= args.size()) return UsageError("falta o valor da opção --report");
            request.reportPath = args[++i];
            continue;
        }
        if (bool* flag = Flag(request.answers, option)) {
            *flag = true;
            continue;
        }
        if (option == "--codepage") {
            if (i + 1 >= args.size()) return UsageError("falta o valor da opção " + option);
            const auto codePage = CodePageNamed(args[++i]);
            if (!codePage) return UsageError("--codepage: página de código desconhecida: " + args[i] + " (use cp850 ou cp437)");
            request.answers.codePage = *codePage;
            continue;
        }
        std::string* text = TextOption(request.answers, option);
        std::optional<std::string>* answer = AnswerOption(request.answers, option);
        if (!text && !answer) {
            if (option.starts_with("-")) return UsageError("opção desconhecida: " + option);
            return UsageError("argumento a mais: " + option);
        }
        if (i + 1 >= args.size()) return UsageError("falta o valor da opção " + option);
        const std::string& value = args[++i];
        if (text)
            *text = value;
        else
            *answer = value;
    }
    if (const char* missing = MissingOption(request.command, request.answers))
        return UsageError("falta a opção " + std::string(missing));
    return request;
}

std::string UsageText()
{
    return "uso: convquibraw-cli COMANDO [opções]\n"
           "\n"
           "Comandos:\n"
           "  migrate                  cópia completa do Quibra Antigo para o BD QuibraW (Iniciar Cópia)\n"
           "  clear                    limpa o BD QuibraW (Limpar bd)\n"
           "  backup                   backup e restore do BD QuibraW (Backup/Restore)\n"
           "  renumber sales|nfe N     reinicia a numeração de venda ou de NF-e em N\n"
           "  update-field             atualiza um campo de produto (Atualizar Campo)\n"
           "  reconcile-receivables    apaga as contas a receber deletadas no Quibra Antigo\n"
           "  import-orvel             importa os produtos do ORVEL (Orvel to QuibraW)\n"
           "  import-xml               importa os XMLs de NFC-e (Converter XMLs)\n"
           "  inspect FILE|FOLDER [--latin1|--cp850|--cp437] [--from N] [--limit N]\n"
           "                           examina uma tabela antiga (os 20 primeiros registros) ou a pasta inteira\n"
           "\n"
           "Opções (no lugar das caixas e dos diálogos da janela; diálogo sem opção = cancelado):\n"
           "  --legacy DIR        pasta do Quibra Antigo\n"
           "  --target DB         BD QuibraW de destino\n"
           "  --orvel DB          BD do ORVEL (diálogo \"Localizar BD ORVELSOFT\")\n"
           "  --folder DIR        pasta dos XMLs (diálogo \"Procure a Pasta dos XMLs\")\n"
           "  --column C          coluna de produto a atualizar (update-field)\n"
           "  --field F           campo do Quibra Antigo que a preenche (update-field)\n"
           "  --sales-from D      data inicial das vendas, dd/mm/aaaa\n"
           "  --sales-to D        data final das vendas, dd/mm/aaaa\n"
           "  --copy-sales        marca \"Copia Vendas\"\n"
           "  --copy-purchases    marca \"Copia Entradas\"\n"
           "  --auto-pecas        marca \"Auto Peças\"\n"
           "  --codepage CP       textos do DOS: cp850 ou cp437, convertidos para ISO 8859-1 (sem a opção: como estão)\n"
           "  --report ARQUIVO    onde gravar o relatório (sem ela: $XDG_DATA_HOME/convquibraw/relatorios/)\n"
           "  --help              esta ajuda\n"
           "  --version           a versão\n"
           "\n"
           "Obrigatórias: migrate e reconcile-receivables pedem --legacy e --target (migrate --copy-sales pede\n"
           "--sales-from e --sales-to); update-field pede --legacy, --target, --column e --field; import-orvel pede\n"
           "--orvel e --target; import-xml pede --folder e --target; clear, backup e renumber pedem --target.\n"
           "\n"
           "Saída: o log e as mensagens em stdout; erros em stderr. Cada comando que grava deixa um relatório\n"
           "(o log, as mensagens, cada registro com erro e um resumo por cópia) e diz em stderr onde ficou.\n"
           "\n"
           "Status de saída:\n"
           "  0        o comando foi até o fim e nenhum registro falhou\n"
           "  3        foi até o fim, mas registros falharam (veja o relatório)\n"
           "  1        terminou em erro: erro geral, conexão que falhou ou falha grave (conexão perdida,\n"
           "           banco desligado, disco cheio)\n"
           "  2        erro de uso (comando ou opção errada ou faltando)\n"
           "  130, 143 interrompido (SIGINT, SIGTERM); o que a cópia em andamento gravou foi desfeito\n";
}
