#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/session.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/test_database.h"

namespace {

class RenumberingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = FreshQuibrawDatabase(folder_);
        op_.targetBox = path_;
    }

    std::string NextValue(const std::string& sequence)
    {
        return SqlScalar(path_, "select gen_id(" + sequence + ", 1) from rdb$database");
    }

    TempFolder folder_;
    std::string path_;
    Session session_;
    ScriptedOperator op_;
};

}  // namespace

TEST_F(RenumberingTest, restartsEachSequenceAtTheTypedNumber)
{
    for (const auto& [command, sequence] :
         {std::pair{Command::RenumberSales, "venda"}, std::pair{Command::RenumberNfe, "nfe"}}) {
        ScriptedOperator op;
        op.targetBox = path_;
        op.numbering = "1000";
        RunCommandUnreported(command, session_, op);
        EXPECT_EQ(NextValue(sequence), "1001") << sequence;
        // The same text for both buttons.
        EXPECT_EQ(op.Boxes(), std::vector<std::string>{"message: Numeração de NFe alterado para: 1000"});
        EXPECT_TRUE(op.numbering.empty());
        EXPECT_TRUE(op.log.empty());
        EXPECT_EQ(session_.paths.targetDatabase, path_);
        EXPECT_FALSE(session_.target.Transaction().Active());
    }
}

TEST_F(RenumberingTest, acceptsZeroNegativeAndLeadingZeros)
{
    for (const auto& [typed, shown, next] :
         {std::tuple{"0", "0", "1"}, std::tuple{"-5", "-5", "-4"}, std::tuple{"0012", "12", "13"}}) {
        ScriptedOperator op;
        op.targetBox = path_;
        op.numbering = typed;
        RunCommandUnreported(Command::RenumberSales, session_, op);
        EXPECT_EQ(op.messages, std::vector<std::string>{std::string("Numeração de NFe alterado para: ") + shown});
        EXPECT_EQ(NextValue("venda"), next) << typed;
    }
}

TEST_F(RenumberingTest, emptyBoxesStopBeforeTheDatabase)
{
    // No number: message and focus, nothing else.
    RunCommandUnreported(Command::RenumberNfe, session_, op_);
    EXPECT_EQ(op_.events, (std::vector<std::string>{"message: Informe Um Número!", "focus: " + std::to_string(static_cast<int>(FocusTarget::NumberingBox))}));
    EXPECT_FALSE(session_.target.Database().IsOpen());
    EXPECT_TRUE(session_.paths.targetDatabase.empty());

    // No database and the dialog cancelled: silent stop.
    ScriptedOperator op;
    op.numbering = "10";
    RunCommandUnreported(Command::RenumberNfe, session_, op);
    EXPECT_EQ(op.events, std::vector<std::string>{"file-dialog: "});
    EXPECT_FALSE(session_.target.Database().IsOpen());
    EXPECT_EQ(op.numbering, "10");

    // The dialog's answer is used.
    ScriptedOperator chosen;
    chosen.numbering = "77";
    chosen.fileAnswers.push_back(path_);
    RunCommandUnreported(Command::RenumberNfe, session_, chosen);
    EXPECT_EQ(NextValue("nfe"), "78");
    EXPECT_EQ(session_.paths.targetDatabase, path_);
}

TEST_F(RenumberingTest, failuresReachTheErrorReport)
{
    // Blanks are not empty: they go on to the conversion, after the connection and the path.
    op_.numbering = "  ";
    RunCommand(Command::RenumberSales, session_, op_);
    EXPECT_EQ(op_.Boxes(), std::vector<std::string>{"error: '  ' is not a valid integer value."});
    EXPECT_TRUE(session_.target.Database().IsOpen());
    EXPECT_EQ(session_.paths.targetDatabase, path_);
    EXPECT_EQ(op_.numbering, "  ");
    EXPECT_EQ(NextValue("venda"), "1");

    // A sequence the database lacks: not committed, the box keeps its number.
    SqlExec(path_, "drop sequence nfe");
    ScriptedOperator op;
    op.targetBox = path_;
    op.numbering = "50";
    RunCommand(Command::RenumberNfe, session_, op);
    ASSERT_EQ(op.errors.size(), 1u);
    EXPECT_NE(op.errors[0].find("NFE"), std::string::npos) << op.errors[0];
    EXPECT_EQ(op.numbering, "50");
    EXPECT_TRUE(op.messages.empty());
}
