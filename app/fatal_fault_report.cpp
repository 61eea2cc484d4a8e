#include "app/fatal_fault_report.h"

#include "session/operator.h"
#include "session/session.h"

namespace {

const char* WhatHappened(FatalKind kind)
{
    switch (kind) {
    case FatalKind::LostConnection: return "A conexão com o banco de dados foi perdida.";
    case FatalKind::DatabaseShutdown: return "O banco de dados foi desligado (shutdown).";
    case FatalKind::DatabaseFileIo:
        return "Erro de leitura ou gravação no arquivo do banco de dados (disco cheio ou arquivo sem permissão de "
               "escrita).";
    case FatalKind::Interrupted: return "O comando foi interrompido.";
    case FatalKind::None: break;
    }
    return "";
}

}  // namespace

std::string FatalFaultMessage(const Failure& fault)
{
    return std::string(WhatHappened(fault.Fatal())) +
           " O comando parou e nada desta cópia foi gravado; as cópias concluídas antes continuam no banco.\n"
           "Mensagem do servidor: " +
           fault.what();
}

void EndAfterFatalFault(const Failure& fault, Session& session, Operator& op)
{
    session.target.Database().Abandon();
    if (fault.Fatal() == FatalKind::Interrupted) {
        op.LogAppend("Comando interrompido: o que esta cópia gravou foi desfeito.");
        return;
    }
    op.ReportFailure(FatalFaultMessage(fault));
}
