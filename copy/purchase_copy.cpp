#include "copy/purchase_copy.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <vector>

#include "firebird/fb_query.h"
#include "session/operator.h"
#include "session/session.h"
#include "common/failure.h"
#include "copy/copy_steps.h"
#include "session/date_box_text.h"
#include "copy/field_mapping.h"
#include "copy/sequence_draws.h"
#include "copy/written_keys.h"
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
const char* const kEntryParameter = ":CODENTRADA";

// Where nothing written before the copy can match (the table was empty when it started): new keys and keys the
// copy wrote before.
const char* const kNewNote = "insert into entrada(data, CHEGADA, TOTAL_NOTA, FORNEC, NOTA) "
                             "values(:data, :CHEGADA, :TOTAL_NOTA, :FORNEC, :NOTA)";
const char* const kRepeatedNote = "update entrada set data = :data, CHEGADA = :CHEGADA, TOTAL_NOTA = :TOTAL_NOTA "
                                  "where nota = :NOTA and fornec = :FORNEC";
const char* const kNewItem = "insert into item_entrada(COD, QUANT, P_COMPRA, DESTINO, USUARIO, NOTA, DATA, TOTAL, "
                             "CODENTRADA, FORNEC) values(:COD, :QUANT, :P_COMPRA, :DESTINO, 0, :NOTA, :DATA, :TOTAL, "
                             ":CODENTRADA, :FORNEC)";
const char* const kRepeatedItem = "update item_entrada set QUANT = :QUANT, P_COMPRA = :P_COMPRA, USUARIO = 0, "
                                  "DATA = :DATA, TOTAL = :TOTAL, CODENTRADA = :CODENTRADA, FORNEC = :FORNEC "
                                  "where cod = :COD and nota = :NOTA and destino = :DESTINO";
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

// The digits as an integer; false when they are more than an integer holds.
bool ToInteger(const std::string& digits, std::int32_t& value)
{
    try {
        value = StrictInteger(digits);
    } catch (const Failure&) {
        return false;
    }
    return true;
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

// Every field the copy reads.
const std::vector<std::string> kPurchaseFields = {"nota", "chegada", "data", "fornec", "quant", "P_COMPRA", "codigo",
                                                  "destino"};

// The legacy file holds only item records; consecutive records with the same nota form one note, whose own
// values are those of its last record.
class PurchasesCopy {
public:
    explicit PurchasesCopy(CopyRun& run)
        : run_(run), query_(run.Query()), table_(run.session.table), fields_(table_, {}, kPurchaseFields),
          entries_("entrada", query_)
    {
    }

    void Run()
    {
        entries_.GivingBackAfter([this] { Walk(); });
    }

private:
    void Walk()
    {
        noteNumber_ = StrictInteger(DigitsOnly(Text("nota")));
        if (WriteShortcuts::Enabled()) {
            plainNotes_ = TableKnownEmpty(query_, "entrada");
            plainItems_ = TableKnownEmpty(query_, "item_entrada");
        }
        RecordSteps steps;
        steps.passOver = [this] { return ArrivedBeforeBox(); };
        steps.bind = [this] {
            const std::int32_t number = StrictInteger(DigitsOnly(Text("nota")));
            if (number != noteNumber_) EndNoteBefore(number);
            BindItem();
            return true;
        };
        steps.execute = [this] {
            const bool kept = itemKept_;
            const WrittenKeys<2>::Key key = itemKey_;
            const Money total = itemTotal_;
            if (kept) waitingKeys_.push_back(key);
            // Through a server the item waits for the note's other items; the note's row is written once they
            // are all sent, so that its total holds the items that landed.
            ExecuteGuarded(run_, query_, [this, kept, key, total] {
                if (kept) runItems_.Add(key);
                noteTotal_.tenThousandths += total.tenThousandths;
            });
        };
        RecordLoop(run_, Protection::RecordGuarded, steps);
        // The table stays on its last record past the end: that record closes the last note.
        if (run_.session.copy.copiedCount > 0) GuardedRecordWrite(run_, [this] { WriteNote(); });
        SendWaitingRows(run_);
    }

    std::string Text(const std::string& field) { return AsText(fields_.Field(field)); }

    // The first box is read again for every record, so an empty or invalid box fails here, unguarded.
    bool ArrivedBeforeBox()
    {
        const auto arrival = DateInText(Text("chegada")).value_or(kNoArrival);
        return from_.Of(run_.op.SalesFromText()) > arrival;
    }

    // The record before the current one closes the previous note. A note whose row fails is reported and left
    // behind: the current record goes on with its item.
    void EndNoteBefore(std::int32_t number)
    {
        SendWaitingRows(run_);
        waitingKeys_.clear();
        table_.MovePrior();
        GuardedRecordWrite(run_, [this] { WriteNote(); });
        noteTotal_ = Money{};
        table_.MoveNext();
        noteNumber_ = number;
    }

    // The note's row from the current record and the running total.
    void WriteNote()
    {
        const std::string number = DigitsOnly(Text("nota"));
        const std::int32_t supplier = DigitsOr(Text("fornec"), 0);
        // A number beyond an integer fails in the target as it always did, through "update or insert".
        std::int32_t key = 0;
        const bool plain = plainNotes_ && ToInteger(number, key);
        const WrittenKeys<2>::Key noteKey{key, supplier};
        SetStatement(query_, !plain ? kNoteSql : noteKeys_.Contains(noteKey) ? kRepeatedNote : kNewNote);
        query_.SetDate("data", AsDate(fields_.Field("data")));
        query_.SetDate("CHEGADA", AsDate(fields_.Field("chegada")));
        query_.SetMoney("TOTAL_NOTA", noteTotal_);
        query_.SetInteger("FORNEC", supplier);
        query_.SetText("NOTA", number);
        // Through a server the note's row waits and goes out with the next note's items.
        ExecuteGuarded(
            run_, query_, [this, plain, noteKey] {
                if (plain) noteKeys_.Add(noteKey);
            },
            RowCounts::NotARecord);
    }

    // An item's row can match only rows of its own nota. While the items' nota stays the same, the keys written
    // under it are kept; a nota met again after another one goes through "update or insert", so that only the notas
    // are remembered for the whole copy.
    bool ItemKeyKnown(std::int32_t note)
    {
        if (!plainItems_) return false;
        if (!runStarted_ || note != runNote_) {
            runStarted_ = true;
            runNote_ = note;
            runItems_.Clear();
            runFresh_ = !notesMet_.Contains({note});
            notesMet_.Add({note});
        }
        return runFresh_;
    }

    // Every copied record takes the sequence's next value, whether its row lands or not.
    void BindItem()
    {
        const std::int32_t entry = StrictInteger(entries_.Next());
        const std::int32_t code = DigitsOr(Text("codigo"), 0);
        const std::int32_t destination = DigitsOr(Text("destino"), 1);
        const std::int32_t note = DigitsOr(Text("nota"), 0);
        itemKey_ = {code, destination};
        itemKept_ = ItemKeyKnown(note);
        if (itemKept_) {
            SetStatement(query_, WrittenByKey(itemKey_) ? kRepeatedItem : kNewItem);
        } else if (WriteShortcuts::Enabled()) {
            SetStatement(query_, std::string(kItemHead) + kEntryParameter + kItemTail);
        } else {
            SetStatement(query_, kItemHead + std::to_string(entry) + kItemTail);
        }
        if (WriteShortcuts::Enabled()) query_.SetInteger("CODENTRADA", entry);
        BindItemValues(code, destination, note);
    }

    // Whether the note has a row under the key already. Items still waiting are sent first when one of them has
    // that key: whether it landed decides between the plain insert and the keyed update.
    bool WrittenByKey(const WrittenKeys<2>::Key& key)
    {
        if (std::find(waitingKeys_.begin(), waitingKeys_.end(), key) != waitingKeys_.end()) {
            SendWaitingRows(run_);
            waitingKeys_.clear();
        }
        return runItems_.Contains(key);
    }

    void BindItemValues(std::int32_t code, std::int32_t destination, std::int32_t note)
    {
        const Money quantity = AsMoney(fields_.Field("quant"));
        const Money price = AsMoney(fields_.Field("P_COMPRA"));
        itemTotal_ = Product(quantity, price);
        query_.SetInteger("COD", code);
        query_.SetMoney("QUANT", quantity);
        query_.SetMoney("P_COMPRA", price);
        query_.SetInteger("DESTINO", destination);
        query_.SetInteger("NOTA", note);
        query_.SetDate("DATA", AsDate(fields_.Field("data")));
        query_.SetMoney("TOTAL", itemTotal_);
        query_.SetInteger("FORNEC", DigitsOr(Text("fornec"), 0));
    }

    CopyRun& run_;
    FbQuery& query_;
    LegacyTable& table_;
    BoxDate from_;
    MappedFields fields_;
    std::int32_t noteNumber_ = 0;
    Money noteTotal_;
    Money itemTotal_;
    bool plainNotes_ = false, plainItems_ = false;
    WrittenKeys<2> noteKeys_;  // nota, fornec
    WrittenKeys<1> notesMet_;  // every nota an item had
    bool runStarted_ = false, runFresh_ = false;
    std::int32_t runNote_ = 0;  // the nota of the latest items
    WrittenKeys<2> runItems_;  // cod, destino of the items written under runNote_
    WrittenKeys<2>::Key itemKey_{};
    bool itemKept_ = false;  // the current item is written by key: plain insert or keyed update
    std::vector<WrittenKeys<2>::Key> waitingKeys_;  // items of the note queued since the rows were last sent
    SequenceDraws entries_;
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

FieldsRead PurchaseCopyFieldsRead() { return {kFileName, "entradas", kPurchaseFields}; }
