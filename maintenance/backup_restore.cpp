#include "maintenance/backup_restore.h"

#include <filesystem>
#include <string>
#include <vector>

#include "session/database_name.h"
#include "session/operator.h"
#include "session/session.h"
#include "common/failure.h"
#include "session/value_helpers.h"
#include "maintenance/run_and_wait.h"

namespace fs = std::filesystem;

namespace {

const char* const kInUseMessage =
    "O sistema não Pode fazer backup desse Banco de Dados. Verifique Se o Bd não está sendo usado em algum "
    "terminal";

// The folder part of a path, with its last "/" ("" when there is none).
std::string FolderOf(const std::string& path) { return path.substr(0, LastCharPos("/", path)); }

bool FileExists(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// The gbak arguments after the program: "-b" backs the first file up into the second, "-c" creates the
// second file from the backup in the first.
std::vector<std::string> GbakArguments(const std::string& program, const char* option, const std::string& from,
                                       const std::string& to)
{
    return {program, option, "-user", "sysdba", "-pass", "pxlortevn", from, to};
}

// gbak converts the file names from its locale's character set: with UTF-8 characters "Área" survives LANG=C.
const std::vector<std::string> kGbakEnvironment = {"LC_ALL=C.UTF-8"};

std::string CommandLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) line += (line.empty() ? "" : " ") + argument;
    return line;
}

// gbak's own words, or how it ended when it said nothing.
std::string FailureText(const ProcessOutcome& outcome)
{
    std::string text = Trimmed(outcome.output);
    if (text.empty()) text = "gbak terminou com o código " + std::to_string(outcome.exitStatus);
    return text;
}

// True when nobody but this connection has the database open. Connecting fails when another process's
// engine holds the file; other attachments through the same engine show up among the monitored ones.
bool OnlyWeUseTheDatabase(Session& session, Operator& op)
{
    if (!session.target.Connect(op, session.paths)) return false;
    FbQuery& query = session.target.Query();
    query.Close();
    query.ClearText();
    query.AddLine("select count(*) as others from mon$attachments");
    query.AddLine("where mon$attachment_id <> current_connection and mon$system_flag = 0");
    query.Open();
    const int others = query.ColumnInteger("others");
    query.Close();
    return others == 0;
}

// Steps after the database has been moved aside; the caller's guard shows any failure.
void BackupMovedDatabase(Session& session, Operator& op, const std::string& gbak, const std::string& databasePath,
                         const std::string& folder)
{
    const std::string oldFile = folder + "bd.old";
    const std::string backupFile = folder + "bd.bkp";
    const std::string restoredFile = folder + "bd.fdb";

    op.LogClear();
    op.LogAppend("Iniciando Backup");
    session.paths.targetDatabase = oldFile;
    const bool backupWasThere = FileExists(backupFile);
    const ProcessOutcome backup = RunAndWait(GbakArguments(gbak, "-b", oldFile, backupFile), kGbakEnvironment);
    if (!backup.Succeeded()) {
        std::error_code ignored;
        if (!backupWasThere) fs::remove(backupFile, ignored);
        fs::rename(oldFile, databasePath);
        throw Failure(FailureText(backup));
    }
    op.ShowMessage("ok");
    op.LogAppend("Aquivo .old criado");

    session.paths.targetDatabase = backupFile;
    const bool restoredWasThere = FileExists(restoredFile);
    std::vector<std::string> restore = GbakArguments("gbak", "-c", backupFile, restoredFile);
    const std::string restoreLine = CommandLine(restore);
    restore.front() = gbak;
    const ProcessOutcome restored = RunAndWait(restore, kGbakEnvironment);
    op.LogAppend(restoreLine);
    if (!restored.Succeeded()) {
        std::error_code ignored;
        if (!restoredWasThere) fs::remove(restoredFile, ignored);
        throw Failure(FailureText(restored));
    }
    // gbak's word is not enough: the restored database must be there and open.
    if (!FileExists(restoredFile))
        throw Failure("o gbak terminou sem criar " + restoredFile + "; " + oldFile + " e " + backupFile +
                      " foram mantidos");
    try {
        FbConnection restoredDatabase;
        restoredDatabase.DirectConnect(restoredFile);
        restoredDatabase.Database().Close();
    } catch (const Failure& failure) {
        throw Failure(restoredFile + " não abre (" + std::string(failure.what()) + "); " + oldFile + " e " +
                      backupFile + " foram mantidos");
    }
    fs::remove(backupFile);
}

void ClearPathsAndBoxes(Session& session, Operator& op)
{
    session.paths = RememberedPaths{};
    op.SetLegacyFolderBox("");
    op.SetTargetBox("");
}

}  // namespace

void BackupAndRestore(Session& session, Operator& op)
{
    const std::string databasePath = op.TargetBox();
    if (Trimmed(databasePath).empty()) {
        op.ShowMessage("Caminho BD QuibraW nao foi preenchido!");
        op.Focus(FocusTarget::TargetBox);
        return;
    }
    const std::string programFolder =
        session.programFolder.empty() ? RunningProgramFolder() : session.programFolder;
    const std::string gbak = programFolder + "/gbak";
    std::error_code noGbak;
    if (!fs::exists(gbak, noGbak)) {
        op.ShowMessage("O arquivo Gbak.exe Nao foi encontrado. Faça Uma copia dele para a pasta deste programa.");
        op.CommandFailed();
        return;
    }

    // The command renames files beside the database: a server's folder is out of reach.
    if (IsServerDatabaseName(databasePath)) {
        op.ShowMessage("O Backup/Restore só funciona com um BD deste computador: " + databasePath +
                       " está num servidor. Faça o backup no próprio servidor.");
        op.CommandFailed();
        return;
    }

    try {
        session.paths.targetDatabase = databasePath;
        const std::string folder = FolderOf(databasePath);
        const std::string oldFile = folder + "bd.old";
        // The restore writes "bd.fdb": another database of that name in the folder would be in the way.
        std::error_code notSame;
        if (FileExists(folder + "bd.fdb") && !fs::equivalent(folder + "bd.fdb", databasePath, notSame)) {
            op.ShowMessage("A pasta " + (folder.empty() ? std::string("atual") : folder) +
                           " já tem um bd.fdb que não é o BD escolhido. Mova ou renomeie esse arquivo antes do "
                           "Backup/Restore.");
            op.CommandFailed();
            return;
        }
        // A rename here would silently replace the backup of an earlier run.
        if (FileExists(oldFile)) {
            op.ShowMessage("Já existe o arquivo " + oldFile + ". Mova ou apague este arquivo antes do Backup/Restore.");
            op.CommandFailed();
            return;
        }
        const bool alone = OnlyWeUseTheDatabase(session, op);
        session.target.Database().Close();  // commits; the file must be free for gbak
        std::error_code renameError;
        if (alone) fs::rename(databasePath, oldFile, renameError);
        if (!alone || renameError || !FileExists(oldFile)) {
            op.ShowMessage(kInUseMessage);
            op.CommandFailed();
            return;
        }
        BackupMovedDatabase(session, op, gbak, databasePath, folder);
    } catch (const std::exception& failure) {
        if (IsFatalFailure(failure)) {
            ClearPathsAndBoxes(session, op);
            throw;
        }
        op.ShowMessage(std::string("Ocorreu um Erro: ") + failure.what());
        op.CommandFailed();
    }
    ClearPathsAndBoxes(session, op);
}
