#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/support/dbf_writer.h"
#include "tests/support/legacy_columns.h"

// A legacy table for copy tests whose records are given by field name; fields left out are blank.
//
//   LegacyRecords t({{"CODIGO", 'C', 8}, {"VALOR", 'N', 10, 2}});
//   t.Add({{"CODIGO", "7"}}).Add({{"CODIGO", "8"}}, LegacyRecords::kDeleted);
class LegacyRecords {
public:
    using Column = LegacyColumn;
    static constexpr bool kDeleted = true;

    explicit LegacyRecords(std::vector<Column> columns) : columns_(std::move(columns))
    {
        for (const Column& c : columns_) writer_.Field(c.name, c.type, c.length, c.decimals);
    }

    LegacyRecords& Add(const std::map<std::string, std::string>& values, bool deleted = false)
    {
        std::vector<std::string> record;
        for (const Column& c : columns_) {
            const auto found = values.find(c.name);
            record.push_back(found == values.end() ? "" : found->second);
        }
        if (deleted)
            writer_.DeletedRecord(record);
        else
            writer_.Record(record);
        return *this;
    }

    const DbfWriter& Writer() const { return writer_; }

private:
    std::vector<Column> columns_;
    DbfWriter writer_;
};
