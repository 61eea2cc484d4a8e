#include "cli/console_app.h"

#include "app/command_report.h"
#include "app/commands.h"
#include "common/interruption.h"
#include "session/session.h"
#include "cli/cli_options.h"
#include "cli/console_operator.h"
#include "cli/table_view_command.h"


int RunConsole(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool drawProgress)
{
    const ConsoleRequest request = ParseCommandLine(args);
    switch (request.action) {
    case ConsoleRequest::Action::UsageError:
        err << "convquibraw-cli: " << request.usageError << " (veja convquibraw-cli --help)\n";
        return 2;
    case ConsoleRequest::Action::Help: out << UsageText(); return 0;
    case ConsoleRequest::Action::Version: out << "convquibraw-cli " << CONVQUIBRAW_VERSION << '\n'; return 0;
    case ConsoleRequest::Action::Inspect:
        return RunInspect(request.inspectArgs, out, err);
    case ConsoleRequest::Action::RunCommand: break;
    }

    Session session;
    session.programFolder = RunningProgramFolder();
    ConsoleOperator op(request.answers, out, err, drawProgress);
    const ReportOutcome report = RunReportedCommand(request.command, session, op, request.reportPath);
    out.flush();
    if (!report.failure.empty())
        err << "ConvQuibraW: " << report.failure << '\n';
    else if (!report.path.empty() && request.reportPath.empty())
        err << "ConvQuibraW: relatório: " << report.path << '\n';
    if (const int signalNumber = InterruptionSignal()) return 128 + signalNumber;
    if (op.ErrorReported()) return 1;
    return op.RecordsFailed() ? 3 : 0;
}
