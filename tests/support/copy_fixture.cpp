#include "tests/support/copy_fixture.h"

#include <filesystem>

CopyFixture::CopyFixture()
    : legacyFolder(folder.Path() + "/legacy"), databasePath(FreshQuibrawDatabase(folder))
{
    std::filesystem::create_directories(legacyFolder);
    session.paths.legacyFolder = legacyFolder;
    session.paths.targetDatabase = databasePath;
}

void CopyFixture::WriteLegacy(const std::string& fileName, const DbfWriter& writer)
{
    writer.Write(legacyFolder + "/" + fileName);
}

void CopyFixture::Connect() { ASSERT_TRUE(session.target.Connect(op, session.paths)); }

void CopyFixture::CommitPending()
{
    if (session.target.Transaction().Active()) session.target.Transaction().Commit();
}

std::string CopyFixture::NextValue(const std::string& sequence)
{
    return Scalar("select gen_id(" + sequence + ", 1) from rdb$database");
}
