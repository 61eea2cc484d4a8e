#include <gtest/gtest.h>

#include "app/commands.h"
#include "session/session.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/test_database.h"

namespace {

class RenumberingTest : public ::testing::Test {
protected:
    void SetUp() override { path_ = FreshQuibrawDatabase(folder_); }

    ScriptedOperator Run(Command command, const std::string& number)
    {
        ScriptedOperator op;
        op.targetBox = path_;
        op.numbering = number;
        RunCommand(command, session_, op);
        return op;
    }

    std::string NextValue(const std::string& sequence)
    {
        return SqlScalar(path_, "select gen_id(" + sequence + ", 1) from rdb$database");
    }

    TempFolder folder_;
    std::string path_;
    Session session_;
};

}  // namespace

TEST_F(RenumberingTest, restartsTheSequenceAtTheTypedNumber)
{
    for (const auto& [command, sequence] : {std::pair{Command::RenumberSales, "venda"}, std::pair{Command::RenumberNfe, "nfe"}}) {
        const ScriptedOperator op = Run(command, "1000");
        EXPECT_EQ(NextValue(sequence), "1001") << sequence;
        EXPECT_EQ(op.Boxes(), std::vector<std::string>{"message: Numeração de NFe alterado para: 1000"});
        EXPECT_TRUE(op.numbering.empty());
        EXPECT_EQ(session_.paths.targetDatabase, path_);
    }
    // Zero and negative numbers are taken; leading zeros do not reach the statement.
    for (const auto& [typed, shown, next] : {std::tuple{"0", "0", "1"}, std::tuple{"-5", "-5", "-4"}, std::tuple{"0012", "12", "13"}}) {
        EXPECT_EQ(Run(Command::RenumberSales, typed).messages,
                  std::vector<std::string>{std::string("Numeração de NFe alterado para: ") + shown});
        EXPECT_EQ(NextValue("venda"), next) << typed;
    }
}

TEST_F(RenumberingTest, emptyBoxAsksForANumberAndTouchesNothing)
{
    const ScriptedOperator op = Run(Command::RenumberNfe, "");
    EXPECT_EQ(op.events, (std::vector<std::string>{"message: Informe Um Número!",
                                                   "focus: " + std::to_string(static_cast<int>(FocusTarget::NumberingBox))}));
    EXPECT_FALSE(session_.target.Database().IsOpen());
    EXPECT_TRUE(session_.paths.targetDatabase.empty());
}

TEST_F(RenumberingTest, failuresReachTheErrorReport)
{
    // Blanks are not an empty box: they fail at the conversion, connected and with the path remembered.
    const ScriptedOperator blanks = Run(Command::RenumberSales, "  ");
    EXPECT_EQ(blanks.Boxes(), std::vector<std::string>{"error: '  ' is not a valid integer value."});
    EXPECT_TRUE(session_.target.Database().IsOpen());
    EXPECT_EQ(session_.paths.targetDatabase, path_);
    EXPECT_EQ(NextValue("venda"), "1");

    // A sequence the database lacks: nothing shown but the error, the box keeps its number.
    SqlExec(path_, "drop sequence nfe");
    const ScriptedOperator missing = Run(Command::RenumberNfe, "50");
    ASSERT_EQ(missing.Boxes().size(), 1u);
    EXPECT_NE(missing.errors.at(0).find("NFE"), std::string::npos) << missing.errors.at(0);
    EXPECT_EQ(missing.numbering, "50");
}
