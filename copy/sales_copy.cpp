#include "copy/sales_copy.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "firebird/fb_query.h"
#include "session/operator.h"
#include "session/session.h"
#include "copy/copy_steps.h"
#include "session/date_box_text.h"
#include "copy/field_mapping.h"
#include "copy/sequence_draws.h"
#include "copy/written_keys.h"
#include "session/value_helpers.h"
#include "legacy/field_values.h"

namespace {

using K = ValueKind;

const char* const kFileName = "KQ000009.dat";

const char* const kItemInsert =
    "update or insert into item_venda(nota, cod, quant, p_venda, p_compra, unid, aliquota, origem, total, crc, rep, "
    "desconto, data)";
const char* const kItemValues =
    " values (:nota, :cod, :quant, :p_venda, :p_compra, :unid, :aliquota, :origem, :total, :crc, :rep, :desconto, "
    ":data) matching(nota, cod)";

// Where nothing written before the copy can match: a new item, and an item whose code the sale already has.
const char* const kNewItem =
    "insert into item_venda(nota, cod, quant, p_venda, p_compra, unid, aliquota, origem, total, crc, rep, desconto, "
    "data)";
const char* const kNewItemValues =
    " values (:nota, :cod, :quant, :p_venda, :p_compra, :unid, :aliquota, :origem, :total, :crc, :rep, :desconto, "
    ":data)";
const char* const kRepeatedItem =
    "update item_venda set quant = :quant, p_venda = :p_venda, p_compra = :p_compra, unid = :unid, "
    "aliquota = :aliquota, origem = :origem, total = :total, crc = :crc, rep = :rep, desconto = :desconto, "
    "data = :data where nota = :nota and cod = :cod";

// The seller's digits go between these two, written into the statement itself; or, bound, the parameter.
const char* const kSaleHead = "update or insert into venda(nota, crc, data, total, vendedor, cliente, desconto, "
                              "entrega, codhis, prazo, entrada) values(:nota, :crc, :data, :total, ";
const char* const kSaleTail = ", :cliente, :desconto, :entrega, :codhis, :prazo, :entrada)";
const char* const kSellerParameter = ":vendedor";
const char* const kNewSaleHead = "insert into venda(nota, crc, data, total, vendedor, cliente, desconto, entrega, "
                                 "codhis, prazo, entrada) values(:nota, :crc, :data, :total, ";

// The seller's digits as the integer the target stores. A seller beyond an integer stays written into the text:
// its statement fails, and the target words that failure after where the number stands in the text.
bool SellerValue(const std::string& digits, std::int32_t& value)
{
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size();
}

// Columns of item_venda read straight from an item record; nota, origem, crc and desconto are bound apart.
const std::vector<FieldMapping> kItemMapping = {
    {"cod", "codigo", K::Digits},     {"quant", "quant", K::Money},     {"p_venda", "pvenda", K::Money},
    {"p_compra", "p_compra", K::Money}, {"unid", "unidade", K::AsRead}, {"aliquota", "aliquota", K::Trimmed},
    {"total", "p_total", K::Money},   {"rep", "rep", K::AsRead},        {"data", "data", K::Date},
};

// Columns of venda read straight from a closing record; nota, crc and vendedor are bound apart. In a closing
// record p_total is the sale's discount.
const std::vector<FieldMapping> kSaleMapping = {
    {"data", "data", K::Date},        {"total", "total", K::Money},       {"cliente", "cliente", K::Digits},
    {"desconto", "p_total", K::Money}, {"entrega", "entrega", K::AsRead}, {"codhis", "codhis", K::AsRead},
    {"prazo", "prazo", K::AsRead},    {"entrada", "entrad", K::Money},
};

// Read besides the mappings: the closing test, the item's origin and discount, the sale's seller and crc.
const std::vector<std::string> kItemOtherFields = {"codigo", "data", "origem", "total", "p_total"};
const std::vector<std::string> kSaleOtherFields = {"vendedor", "crc"};

// The legacy file stores a sale as its item records followed by one closing record; the closing record is the one
// whose codigo has no digits (or more than an integer holds).
class SalesCopy {
public:
    explicit SalesCopy(CopyRun& run)
        : run_(run), query_(run.Query()), items_(run.session.table, kItemMapping, kItemOtherFields),
          sales_(run.session.table, kSaleMapping, kSaleOtherFields), crcField_(sales_, "crc"),
          sellerField_(sales_, "vendedor"), codeField_(items_, "codigo"), dateField_(items_, "data"),
          originField_(items_, "origem"), listedField_(items_, "total"), chargedField_(items_, "p_total"),
          saleNumbers_("venda", query_)
    {
    }

    void Run()
    {
        saleNumbers_.GivingBackAfter([this] { Walk(); });
    }

private:
    void Walk()
    {
        // Sale numbers above every nota already in item_venda (venda) cannot match a row written before the copy.
        if (WriteShortcuts::Enabled()) {
            const auto items = HighestNota(query_, "item_venda");
            const auto sales = HighestNota(query_, "venda");
            plainItems_ = items.has_value();
            highestItemNota_ = items.value_or(0);
            // Without a primary key the "update or insert" of venda fails for every sale; so shall it.
            plainSales_ = sales.has_value() && HasPrimaryKey(query_, "VENDA");
            lastSaleWritten_ = sales.value_or(0);
        }
        saleNumber_ = NextSaleNumber();
        RecordSteps steps;
        steps.passOver = [this] { return OutsideDateRange(); };
        steps.bind = [this] {
            // Every record's crc is read and encoded, though only closing records write it: a file without the
            // field fails on every record.
            crc_ = SaleCrc(AsText(crcField_()));
            code_ = IntegerOrZero(DigitsOnly(AsText(codeField_())));
            closing_ = code_ == 0;
            if (!closing_) BindItem();
            return true;
        };
        steps.execute = [this] {
            if (closing_) {
                CloseSale();
            } else {
                const bool kept = itemKept_;
                const std::int32_t code = code_;
                const std::int32_t number = saleNumber_;
                if (kept) waitingCodes_.push_back(code);
                // The row may land after later sales have started: its code counts only for its own sale.
                ExecuteGuarded(run_, query_, [this, kept, code, number] {
                    if (kept && number == keysNumber_) saleCodes_.Add({code});
                });
            }
        };
        RecordLoop(run_, Protection::RecordGuarded, steps);
    }

    std::int32_t NextSaleNumber() { return StrictInteger(saleNumbers_.Next()); }

    // Both boxes are read again for every record, so an empty or invalid box fails here, unguarded.
    bool OutsideDateRange()
    {
        const auto from = from_.Of(run_.op.SalesFromText());
        const auto to = to_.Of(run_.op.SalesToText());
        const auto date = AsDate(dateField_());
        return date < from || date > to;
    }

    // Whether the item's row can only match one this copy wrote: its sale number is above every nota that item_venda
    // held at the start. The codes written under the current number are kept while the numbers rise; should a
    // number ever come back, every item from then on goes through "update or insert".
    bool ItemKeyKnown()
    {
        if (!plainItems_ || saleNumber_ <= highestItemNota_) return false;
        if (!keysTaken_ || saleNumber_ > keysNumber_) {
            keysNumber_ = saleNumber_;
            keysTaken_ = true;
            saleCodes_.Clear();
            waitingCodes_.clear();
        } else if (saleNumber_ < keysNumber_) {
            plainItems_ = false;
        }
        return plainItems_;
    }

    // Whether the sale has a row under the code already. Items still waiting for their batch are sent first when
    // one of them has that code: whether it landed decides between the plain insert and the keyed update.
    bool WrittenByKey(std::int32_t code)
    {
        if (std::find(waitingCodes_.begin(), waitingCodes_.end(), code) != waitingCodes_.end()) SendWaitingRows(run_);
        if (!query_.HasWaitingRows()) waitingCodes_.clear();
        return saleCodes_.Contains({code});
    }

    void BindItem()
    {
        itemKept_ = ItemKeyKnown();
        if (!itemKept_) {
            SetStatement(query_, kItemInsert);
            query_.AddLine(kItemValues);
        } else if (WrittenByKey(code_)) {
            SetStatement(query_, kRepeatedItem);
        } else {
            SetStatement(query_, kNewItem);
            query_.AddLine(kNewItemValues);
        }
        query_.SetInteger("nota", saleNumber_);
        items_.BindAll(query_);
        const std::string origin = AsText(originField_());
        query_.SetText("origem", Trimmed(origin).empty() ? "1" : origin);
        query_.SetText("crc", "");
        const Money listed = AsMoney(listedField_());
        const Money charged = AsMoney(chargedField_());
        query_.SetMoney("desconto", Money{listed.tenThousandths - charged.tenThousandths});
    }

    void CloseSale()
    {
        GuardedRecordWrite(run_, [this] {
            const std::string seller = DigitsOnly(AsText(sellerField_()));
            std::int32_t sellerValue = 0;
            const bool bound = WriteShortcuts::Enabled() && SellerValue(seller, sellerValue);
            // A number that failed to advance after the last sale may already have its row.
            const bool plain = bound && plainSales_ && saleNumber_ > lastSaleWritten_;
            SetStatement(query_, (plain ? kNewSaleHead : kSaleHead) + (bound ? kSellerParameter : seller) + kSaleTail);
            if (bound) query_.SetInteger("vendedor", sellerValue);
            query_.SetInteger("nota", saleNumber_);
            query_.SetText("crc", crc_);
            sales_.BindAll(query_);
            // Through a server the sale's row waits with its items and goes out with the next sales' rows.
            const std::int32_t written = saleNumber_;
            ExecuteGuarded(run_, query_, [this, written] { lastSaleWritten_ = std::max(lastSaleWritten_, written); });
        });
        // The sale ends here even when its row could not be written: the items that follow belong to the next
        // sale, and under the same number they would merge with (and overwrite) this sale's items.
        saleNumber_ = NextSaleNumber();
    }

    // The encoded crc with a "0" put before its last two characters ("4A7" is written 0417007).
    static std::string SaleCrc(const std::string& crc)
    {
        std::string encoded = CrcDigits(crc);
        if (!encoded.empty()) encoded.insert(encoded.end() - 2, '0');
        return encoded;
    }

    CopyRun& run_;
    FbQuery& query_;
    BoxDate from_, to_;
    MappedFields items_;
    MappedFields sales_;
    HeldField crcField_, sellerField_, codeField_, dateField_, originField_, listedField_, chargedField_;
    SequenceDraws saleNumbers_;
    std::int32_t saleNumber_ = 0;
    std::int32_t code_ = 0;
    bool closing_ = false;
    bool plainItems_ = false;
    std::int32_t highestItemNota_ = 0;  // in item_venda when the copy started
    bool keysTaken_ = false;
    std::int32_t keysNumber_ = 0;  // the sale number whose codes saleCodes_ holds
    WrittenKeys<1> saleCodes_;
    std::vector<std::int32_t> waitingCodes_;  // items of the sale queued since the rows were last sent
    bool itemKept_ = false;  // the current item is written by key: plain insert or keyed update
    bool plainSales_ = false;
    std::int32_t lastSaleWritten_ = 0;  // the highest nota in venda at the start, then the highest written
    std::string crc_;  // the current record's encoded crc
};

}  // namespace

std::string CrcDigits(const std::string& text)
{
    std::string digits;
    digits.reserve(2 * text.size());
    for (const char c : text) {
        // The last two places of "00" and the byte's value less 48 in decimal: "-5" for 43, "16" for 32.
        const int value = static_cast<unsigned char>(c) - '0';
        const int shown = value < 0 ? -value : value;
        digits += value < 0 && shown < 10 ? '-' : static_cast<char>('0' + shown / 10 % 10);
        digits += static_cast<char>('0' + shown % 10);
    }
    return digits;
}

void ResyncSaleNumbers(CopyRun& run) { ResyncSequence(run, "venda", "venda", CodeForm::Integer, "nota"); }

void CopySales(CopyRun& run)
{
    if (!OpenLegacyFile(run, kFileName)) return;
    WriteLogHeader(run, "Iniciando Cópia Vendas...", kFileName);
    ResetGauge(run);
    StartTransactionExplicitly(run);
    SalesCopy(run).Run();
    GuardedCommit(run);
    ResyncSaleNumbers(run);
    LogCountAndCompletion(run, "Cópia de Vendas Concluída");
}

FieldsRead SalesCopyFieldsRead()
{
    std::vector<std::string> fields = FieldNames(kItemMapping, kItemOtherFields);
    for (const std::string& field : FieldNames(kSaleMapping, kSaleOtherFields)) fields.push_back(field);
    return {kFileName, "vendas", FieldNames({}, fields)};
}
