#include "copy/sales_copy.h"

#include <cstdint>

#include "firebird/fb_query.h"
#include "session/operator.h"
#include "session/session.h"
#include "copy/copy_steps.h"
#include "session/date_box_text.h"
#include "copy/field_mapping.h"
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

// The seller's digits go between these two, written into the statement itself.
const char* const kSaleHead = "update or insert into venda(nota, crc, data, total, vendedor, cliente, desconto, "
                              "entrega, codhis, prazo, entrada) values(:nota, :crc, :data, :total, ";
const char* const kSaleTail = ", :cliente, :desconto, :entrega, :codhis, :prazo, :entrada)";

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

// The legacy file stores a sale as its item records followed by one closing record; the closing record is the one
// whose codigo has no digits (or more than an integer holds).
class SalesCopy {
public:
    explicit SalesCopy(CopyRun& run)
        : run_(run), query_(run.Query()), items_(run.session.table, kItemMapping),
          sales_(run.session.table, kSaleMapping)
    {
    }

    void Run()
    {
        saleNumber_ = NextSaleNumber();
        RecordSteps steps;
        steps.passOver = [this] { return OutsideDateRange(); };
        steps.bind = [this] {
            // Every record's crc is read and encoded, though only closing records write it: a file without the
            // field fails on every record.
            crc_ = SaleCrc(AsText(sales_.Field("crc")));
            closing_ = IntegerOrZero(DigitsOnly(AsText(items_.Field("codigo")))) == 0;
            if (!closing_) BindItem();
            return true;
        };
        steps.execute = [this] {
            if (closing_)
                CloseSale();
            else
                query_.Execute();
        };
        RecordLoop(run_, Protection::RecordGuarded, steps);
    }

private:
    std::int32_t NextSaleNumber() { return StrictInteger(NextSequenceValue("venda", 1, query_)); }

    // Both boxes are read again for every record, so an empty or invalid box fails here, unguarded.
    bool OutsideDateRange()
    {
        const auto from = DateOfBox(run_.op.SalesFromText());
        const auto to = DateOfBox(run_.op.SalesToText());
        const auto date = AsDate(items_.Field("data"));
        return date < from || date > to;
    }

    void BindItem()
    {
        SetStatement(query_, kItemInsert);
        query_.AddLine(kItemValues);
        query_.SetInteger("nota", saleNumber_);
        items_.BindAll(query_);
        const std::string origin = AsText(items_.Field("origem"));
        query_.SetText("origem", Trimmed(origin).empty() ? "1" : origin);
        query_.SetText("crc", "");
        const Money listed = AsMoney(items_.Field("total"));
        const Money charged = AsMoney(items_.Field("p_total"));
        query_.SetMoney("desconto", Money{listed.tenThousandths - charged.tenThousandths});
    }

    void CloseSale()
    {
        GuardedRecordWrite(run_, [this] {
            SetStatement(query_, kSaleHead + DigitsOnly(AsText(sales_.Field("vendedor"))) + kSaleTail);
            query_.SetInteger("nota", saleNumber_);
            query_.SetText("crc", crc_);
            sales_.BindAll(query_);
            query_.Execute();
        });
        // The sale ends here even when its row could not be written: the items that follow belong to the next
        // sale, and under the same number they would merge with (and overwrite) this sale's items.
        saleNumber_ = NextSaleNumber();
    }

    // The encoded crc with a "0" put before its last two characters ("4A7" is written 0417007).
    static std::string SaleCrc(const std::string& crc)
    {
        std::string encoded = CrcDigits(crc);
        if (!encoded.empty()) encoded.insert(encoded.size() - 2, "0");
        return encoded;
    }

    CopyRun& run_;
    FbQuery& query_;
    MappedFields items_;
    MappedFields sales_;
    std::int32_t saleNumber_ = 0;
    bool closing_ = false;
    std::string crc_;  // the current record's encoded crc
};

}  // namespace

std::string CrcDigits(const std::string& text)
{
    std::string digits;
    for (const char c : text) {
        const std::string code = "00" + std::to_string(static_cast<unsigned char>(c) - '0');
        digits += code.substr(code.size() - 2);
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
