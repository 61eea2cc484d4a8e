#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "copy/copy_steps.h"
#include "copy/field_mapping.h"

class FbQuery;

// A copy written as data: its file, texts, statement, variants and mapping, run by RunDeclaredCopy.
struct DeclaredCopy {
    enum class PreDelete {
        None,
        // Right after opening, before the header: delete (unprotected) and commit, a failed commit ignored.
        BeforeHeader,
        // After the gauge reset: delete, commit and log line together; any failure ends the copy silently.
        AfterGaugeReset,
    };

    // Records carrying the deletion mark.
    enum class DeletedRecords {
        Copied,  // like any other
        // Moved past before the count: neither counted nor written.
        PassedOver,
        // The record in hand is counted and its progress step taken; then the loop moves on to the next unmarked
        // record and writes that one in the same pass. A file ending in marked records thus counts one pass more.
        SkippedAfterProgress,
    };

    std::string fileName;  // "KQ000039.dat"
    std::string what;  // what the file holds, in the operator's words: "CFOPs"
    std::string openFailureTail;  // appended to the message of a file that cannot be opened
    bool checkFile = false;
    std::string title;
    std::string completion;  // empty: the copy logs no count and no completion
    // Start the transaction and set the statement before the header (otherwise the first statement starts it).
    bool explicitTransactionFirst = false;
    // Commit an active transaction and start it right after the gauge reset.
    bool explicitTransactionAfterGaugeReset = false;
    PreDelete preDelete = PreDelete::None;
    std::string preDeleteSql;
    std::string preDeleteLogLine;
    DeletedRecords deletedRecords = DeletedRecords::Copied;
    bool statementPerRecord = false;
    Protection protection = Protection::Unguarded;
    bool guardedCommit = false;
    std::string resyncTable;  // restarted through the sequence of the same name, text form
    std::string sql;
    std::vector<FieldMapping> mapping;
    // Fields read besides the mapping's, by keepRecord and bindExtra.
    std::vector<std::string> otherFields;
    // Skip rule: false leaves the record counted but not written.
    std::function<bool(MappedFields&)> keepRecord;
    // A code drawn for every record kept, bound to the parameter: the next value of the sequence.
    struct DrawnCode {
        std::string parameter;
        std::string sequence;
    };
    std::optional<DrawnCode> drawnCode;
    // Values that come from elsewhere than the mapping (drawn codes, computed values); fields through the mapping's
    // lookups, so that each is looked up once per copy.
    std::function<void(CopyRun&, FbQuery&, MappedFields&)> bindExtra;
    // The table's primary key, when the statement is an "update or insert" on it whose value comes through the
    // mapping: where nothing written before the copy can match, the rows go as plain inserts and keyed updates
    // (see KeyedWrites). Not with a drawn code or bindExtra, whose values the key could not be told from.
    struct Keyed {
        std::string table;
        std::string column;
    };
    std::optional<Keyed> keyed;
};

void RunDeclaredCopy(CopyRun& run, const DeclaredCopy& copy);
FieldsRead FieldsReadBy(const DeclaredCopy& copy);
