#pragma once

#include <ibase.h>

#include <optional>
#include <string>
#include <vector>

struct ScannedSql;

// The declaration of a block parameter that takes what the statement's input variable takes, as the server
// described it. Nothing for types a block is not given here (binary objects, unknown character sets).
std::optional<std::string> DeclaredParameterType(const XSQLVAR& described);

// A statement as the block takes it: its text with "?" placeholders and its input as the server described it.
struct BlockStatement {
    const ScannedSql& scanned;
    const std::vector<XSQLVAR>& described;
};

// An EXECUTE BLOCK that runs one of the statements once per row, in row order, each row in a savepoint of its own: a
// failing row is undone and the rows after it are not run. Each row's parameters P<row>_<slot> are followed by
// R<row>, a SMALLINT: the 1-based number of the statement that runs the row; a row whose R is 0 is passed over,
// so that one block serves any number of rows up to its own. With several statements each row carries the
// parameters of all of them, P<row>_<statement>_<slot>, those of the others left NULL. The block returns
// FAILED_ROW, the 1-based number of the row that failed, 0 when every row landed, and for each of the given
// sequences its value before the last row it ran (a failed row's draws are not undone: with them the row can be
// run again with the same values). Nothing when a parameter's type cannot be declared.
std::optional<std::string> ExecuteBlockText(const std::vector<BlockStatement>& statements,
                                            const std::vector<std::string>& sequences, int rows);

// What one row adds to the block's input message, to keep the message under the server's 64 KB.
size_t RowMessageBytes(const std::vector<XSQLVAR>& described);

// The sequences that the text draws from with gen_id, upper case, each once.
std::vector<std::string> SequencesDrawn(const std::string& sql);
