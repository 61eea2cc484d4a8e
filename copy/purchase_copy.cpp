#include "copy/purchase_copy.h"

#include <chrono>
#include <cstdint>
#include <limits>

#include "firebird/fb_query.h"
#include "session/operator.h"
#include "session/session.h"
#include "common/failure.h"
#include "copy/copy_steps.h"
#include "session/date_box_text.h"
#include "copy/field_mapping.h"
#include "copy/sales_copy.h"
#include "session/value_helpers.h"
#include "legacy/field_values.h"

namespace {

const char* const kFileName = "KQ000026.dat";

const char* const kNoteSql = "update or insert into entrada(data, CHEGADA, TOTAL_NOTA, FORNEC, NOTA) "
                             "values(:data, :CHEGADA, :TOTAL_NOTA, :FORNEC, :NOTA) matching(nota, fornec)";

// The item's CODENTRADA goes between these two, written into the statement itself.
const char* const kItemHead = "update or insert into item_entrada(COD, QUANT, P_COMPRA, DESTINO, USUARIO, NOTA, DATA, "
                              "TOTAL, CODENTRADA, FORNEC) values(:COD, :QUANT, :P_COMPRA, :DESTINO, 0, :NOTA, :DATA, "
                              ":TOTAL, ";
const char* const kItemTail = ", :FORNEC) matching(cod, nota, destino)";

// A record whose arrival date is missing or unreadable counts as arrived on this day.
constexpr std::chrono::year_month_day kNoArrival{std::chrono::year{1900}, std::chrono::January, std::chrono::day{1}};

// The digits of the text as an integer, the fallback when they are more than an integer holds.
std::int32_t DigitsOr(const std::string& text, std::int32_t fallback)
{
    const std::string digits = DigitsOnly(text);
    std::int32_t value = 0;
    try {
        value = StrictInteger(digits);
    } catch (const Failure&) {
        return fallback;
    }
    return value;
}

__extension__ using Wide = __int128;

// a × b to four decimals, halves to even, without leaving integers.
Money Product(Money a, Money b)
{
    constexpr Wide kScale = 10000;
    const Wide exact = static_cast<Wide>(a.tenThousandths) * b.tenThousandths;
    Wide rounded = exact / kScale;
    const Wide rest = exact % kScale;
    const Wide twiceRest = (rest < 0 ? -rest : rest) * 2;
    if (twiceRest > kScale || (twiceRest == kScale && rounded % 2 != 0)) rounded += exact < 0 ? -1 : 1;
    if (rounded > std::numeric_limits<std::int64_t>::max() || rounded < std::numeric_limits<std::int64_t>::min())
        throw Failure("'" + MoneyToText(a) + " * " + MoneyToText(b) + "' is out of the money range");
    return Money{static_cast<std::int64_t>(rounded)};
}

// The legacy file holds only item records; consecutive records with the same nota form one note, whose own
// values are those of its last record.
class PurchasesCopy {
public:
    explicit PurchasesCopy(CopyRun& run)
        : run_(run), query_(run.Query()), table_(run.session.table), fields_(table_, {})
    {
    }

    void Run()
    {
        noteNumber_ = StrictInteger(DigitsOnly(Text("nota")));
        RecordSteps steps;
        steps.passOver = [this] { return ArrivedBeforeBox(); };
        steps.bind = [this] {
            const std::int32_t number = StrictInteger(DigitsOnly(Text("nota")));
            if (number != noteNumber_) EndNoteBefore(number);
            BindItem();
            return true;
        };
        steps.execute = [this] {
            query_.Execute();
            noteTotal_.tenThousandths += itemTotal_.tenThousandths;
        };
        RecordLoop(run_, Protection::RecordGuarded, steps);
        // The table stays on its last record past the end: that record closes the last note.
        if (run_.session.copy.copiedCount > 0) GuardedRecordWrite(run_, [this] { WriteNote(); });
    }

private:
    std::string Text(const std::string& field) { return AsText(fields_.Field(field)); }

    // The first box is read again for every record, so an empty or invalid box fails here, unguarded.
    bool ArrivedBeforeBox()
    {
        const auto arrival = DateInText(Text("chegada")).value_or(kNoArrival);
        return DateOfBox(run_.op.SalesFromText()) > arrival;
    }

    // The record before the current one closes the previous note. A note whose row fails is reported and left
    // behind: the current record goes on with its item.
    void EndNoteBefore(std::int32_t number)
    {
        table_.MovePrior();
        GuardedRecordWrite(run_, [this] { WriteNote(); });
        noteTotal_ = Money{};
        table_.MoveNext();
        noteNumber_ = number;
    }

    // The note's row from the current record and the running total.
    void WriteNote()
    {
        SetStatement(query_, kNoteSql);
        query_.SetDate("data", AsDate(fields_.Field("data")));
        query_.SetDate("CHEGADA", AsDate(fields_.Field("chegada")));
        query_.SetMoney("TOTAL_NOTA", noteTotal_);
        query_.SetInteger("FORNEC", DigitsOr(Text("fornec"), 0));
        query_.SetText("NOTA", DigitsOnly(Text("nota")));
        query_.Execute();
    }

    void BindItem()
    {
        const std::int32_t entry = StrictInteger(NextSequenceValue("entrada", 1, query_));
        SetStatement(query_, kItemHead + std::to_string(entry) + kItemTail);
        const Money quantity = AsMoney(fields_.Field("quant"));
        const Money price = AsMoney(fields_.Field("P_COMPRA"));
        itemTotal_ = Product(quantity, price);
        query_.SetInteger("COD", DigitsOr(Text("codigo"), 0));
        query_.SetMoney("QUANT", quantity);
        query_.SetMoney("P_COMPRA", price);
        query_.SetInteger("DESTINO", DigitsOr(Text("destino"), 1));
        query_.SetInteger("NOTA", DigitsOr(Text("nota"), 0));
        query_.SetDate("DATA", AsDate(fields_.Field("data")));
        query_.SetMoney("TOTAL", itemTotal_);
        query_.SetInteger("FORNEC", DigitsOr(Text("fornec"), 0));
    }

    CopyRun& run_;
    FbQuery& query_;
    LegacyTable& table_;
    MappedFields fields_;
    std::int32_t noteNumber_ = 0;
    Money noteTotal_;
    Money itemTotal_;
};

}  // namespace

void CopyPurchases(CopyRun& run)
{
    if (!run.op.IsChecked(CheckBox::CopiaEntradas)) return;
    if (!OpenLegacyFile(run, kFileName)) return;
    WriteLogHeader(run, "Iniciando Cópia Entradas...", kFileName);
    ResetGauge(run);
    StartTransactionExplicitly(run);
    PurchasesCopy(run).Run();
    GuardedCommit(run);
    ResyncSaleNumbers(run);
    LogCountAndCompletion(run, "Cópia de Entradas Concluída");
}
