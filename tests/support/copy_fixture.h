#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/session.h"
#include "copy/copy_steps.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_database.h"

// A fresh QuibraW database, an empty legacy folder and a connected session, for tests of the copies.
class CopyFixture : public ::testing::Test {
protected:
    CopyFixture();

    // Writes a legacy table into the legacy folder (file names keep the case given).
    void WriteLegacy(const std::string& fileName, const DbfWriter& writer);
    // The session connected to the database, as the full run leaves it before the copies.
    void Connect();
    // Commits what the copy left pending, so that the readers below see it.
    void CommitPending();
    std::vector<std::vector<std::string>> Select(const std::string& sql) { return SqlRows(databasePath, sql); }
    std::string Scalar(const std::string& sql) { return SqlScalar(databasePath, sql); }
    // The value the sequence gives next (advances it).
    std::string NextValue(const std::string& sequence);

    TempFolder folder;
    std::string legacyFolder;
    std::string databasePath;
    Session session;
    ScriptedOperator op;
    CopyRun run{session, op};
};
