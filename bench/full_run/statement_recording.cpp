#include "bench/full_run/statement_recording.h"

#include <ibase.h>

#include "app/full_migration.h"
#include "bench/full_run/bench_operator.h"
#include "firebird/fb_query.h"
#include "session/session.h"

namespace {

Recording* gRecording = nullptr;

template <typename T>
void Put(std::ostream& out, T value)
{
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

void StartRecordingCopy(int copy)
{
    gRecording->current = copy;
    RecordedCopy& recorded = gRecording->copies[copy];
    if (!recorded.out) {
        recorded.path = gRecording->folder + "/statements-" + std::to_string(copy) + ".bin";
        recorded.out = std::make_unique<std::ofstream>(recorded.path, std::ios::binary);
    }
}

void RecordStatement(const std::string& sql, const XSQLDA& input, FbQuery::SentAs kind)
{
    if (!gRecording || gRecording->current < 0) return;
    RecordedCopy& copy = gRecording->copies[gRecording->current];
    auto [entry, added] = copy.textIndex.emplace(sql, static_cast<std::uint32_t>(copy.texts.size()));
    if (added) {
        copy.texts.push_back(sql);
        copy.uses.push_back(0);
    }
    ++copy.uses[entry->second];
    ++copy.statements;
    std::ostream& out = *copy.out;
    Put<std::uint32_t>(out, entry->second);
    Put<std::uint8_t>(out, static_cast<std::uint8_t>(kind));
    Put<std::uint16_t>(out, static_cast<std::uint16_t>(input.sqld));
    for (short i = 0; i < input.sqld; ++i) {
        const XSQLVAR& var = input.sqlvar[i];
        const short type = static_cast<short>(var.sqltype & ~1);
        const bool null = var.sqlind && *var.sqlind < 0;
        std::uint16_t bytes = 0;
        if (!null) {
            bytes = type == SQL_VARYING ? static_cast<std::uint16_t>(2 + *reinterpret_cast<const unsigned short*>(var.sqldata))
                                        : static_cast<std::uint16_t>(var.sqllen);
        }
        Put<short>(out, var.sqltype);
        Put<short>(out, var.sqlscale);
        Put<short>(out, var.sqlsubtype);
        Put<short>(out, var.sqllen);
        Put<short>(out, null ? -1 : 0);
        Put<std::uint16_t>(out, bytes);
        if (bytes) out.write(var.sqldata, bytes);
    }
}

}  // namespace

void RecordRun(const std::string& legacy, const std::string& database, Recording& recording)
{
    gRecording = &recording;
    FbQuery::SetExecuteObserver(RecordStatement);
    BenchOperator op(legacy, database);
    op.onCopyStart = StartRecordingCopy;
    {
        Session session;
        RunFullMigration(session, op);
        session.target.Database().Close();
    }
    FbQuery::SetExecuteObserver(nullptr);
    gRecording = nullptr;
    for (RecordedCopy& copy : recording.copies)
        if (copy.out) copy.out->close();
}
