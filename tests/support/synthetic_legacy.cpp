// A synthetic legacy folder holding every file of the full migration, for the benchmarks and the full-run tests.
// The same scale always gives the same bytes (fixed seed, own generator).
//
//   scale 1: 20,000 clients, 1,000 suppliers, 20,000 products, 200,000 sales records (items and closings),
//            40,000 purchase items, 40,000 cash movements, 60,000 receivables, 10,000 payables, and a few
//            hundred to a few thousand rows in each reference table and in the address book.
//
// Field types and widths are those a shop's files have (the same as the copy tests write); values are ones the
// copies write without a failure: unique codes where the target has a key, texts within the QuibraW columns,
// dates from 2015 to 2024. About one record in fifty carries the deletion mark. Records are streamed to disk.
#include "tests/support/synthetic_legacy.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/dbf_writer.h"
#include "tests/support/legacy_columns.h"

namespace {

using Column = LegacyColumn;

// splitmix64: the same numbers on every platform and library, unlike the standard distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // From lo to hi, both included.
    std::int64_t Between(std::int64_t lo, std::int64_t hi)
    {
        return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool OneIn(int n) { return Next() % static_cast<std::uint64_t>(n) == 0; }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Next() % N];
    }

private:
    std::uint64_t state_;
};

// A table written record by record: the header from the test writer (its record count patched at the end),
// then each record padded as dBase pads it.
class TableStream {
public:
    TableStream(const std::string& path, std::vector<Column> columns) : columns_(std::move(columns)), out_(path, std::ios::binary)
    {
        DbfWriter writer;
        for (const Column& c : columns_) writer.Field(c.name, c.type, c.length, c.decimals);
        writer.EndOfFileMark(false);
        const std::string header = writer.TableBytes();
        out_.write(header.data(), static_cast<std::streamsize>(header.size()));
        if (!out_) throw std::runtime_error("cannot write " + path);
    }
    ~TableStream()
    {
        out_.put('\x1A');
        const std::uint32_t count = records_;
        out_.seekp(4);
        out_.write(reinterpret_cast<const char*>(&count), 4);  // little-endian, as dBase keeps it
    }

    void Add(const std::vector<std::string>& values, bool deleted = false)
    {
        if (values.size() != columns_.size()) throw std::logic_error("value count differs from the field count");
        record_.assign(1, deleted ? '*' : ' ');
        for (size_t i = 0; i < columns_.size(); ++i) {
            const Column& c = columns_[i];
            const std::string& value = values[i];
            if (static_cast<int>(value.size()) > c.length)
                throw std::logic_error(std::string("value too long for ") + c.name + ": " + value);
            const std::string padding(static_cast<size_t>(c.length) - value.size(), ' ');
            if (c.type == 'N' || c.type == 'F')
                record_ += padding + value;
            else
                record_ += value + padding;
        }
        out_.write(record_.data(), static_cast<std::streamsize>(record_.size()));
        ++records_;
    }

private:
    std::vector<Column> columns_;
    std::ofstream out_;
    std::string record_;
    std::uint32_t records_ = 0;
};

const char* const kFirst[] = {"Jo\xe3o", "Maria", "Jos\xe9", "Ana", "Carlos", "Fernanda", "Paulo", "Luc\xed" "a",
                              "Ant\xf4nio", "Beatriz", "Ricardo", "Sandra", "M\xe1rcio", "Cl\xe1udia", "Rafael", "Tatiane"};
const char* const kLast[] = {"Silva", "Santos", "Oliveira", "Souza", "Pereira", "Lima", "Carvalho", "Ferreira",
                             "Rodrigues", "Almeida", "Concei\xe7\xe3o", "Gon\xe7" "alves", "Ara\xfajo", "Ribeiro"};
const char* const kStreet[] = {"Rua das Flores", "Av. Brasil", "Rua XV de Novembro", "Av. Ipiranga", "Rua da Praia",
                               "Rua Volunt\xe1rios da P\xe1tria", "Av. Assis Brasil", "Rua Sete de Setembro"};
const char* const kCity[] = {"Porto Alegre", "Canoas", "S\xe3o Leopoldo", "Novo Hamburgo", "Caxias do Sul",
                             "Pelotas", "Santa Maria", "Gravata\xed"};
const char* const kDistrict[] = {"Centro", "Moinhos", "Petr\xf3polis", "Menino Deus", "Cidade Baixa", "Sarandi"};
const char* const kState[] = {"RS", "SC", "PR", "SP"};
const char* const kProductWord[] = {"Parafuso", "Porca", "Arruela", "Filtro de \xd3leo", "Pastilha de Freio",
                                    "Correia", "Vela", "L\xe2mpada", "Rolamento", "Junta", "Amortecedor", "Cabo"};
const char* const kUnit[] = {"UN", "PC", "KG", "CX", "MT"};
const char* const kRate[] = {"17", "12", "FF", "NN", "II", "0700", "1800"};
const char* const kHistory[] = {"VENDA", "PAGTO LUZ", "ALUGUEL", "FRETE", "DUPLICATA", "RECEBIMENTO", "COMPRA"};

std::string Number(std::int64_t n) { return std::to_string(n); }

// A count at the given scale; never below 10, so that every file keeps a few records.
std::int64_t Scaled(std::int64_t base, double scale) { return std::max<std::int64_t>(10, std::llround(base * scale)); }

// n with the given decimals, as a dBase numeric field holds it ("12.50").
std::string Fixed(std::int64_t hundredths, int decimals)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(hundredths) / 100.0);
    return buffer;
}

std::string Date(Random& r)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", static_cast<int>(r.Between(2015, 2024)),
                  static_cast<int>(r.Between(1, 12)), static_cast<int>(r.Between(1, 28)));
    return buffer;
}

std::string Cut(std::string text, size_t length) { return text.size() > length ? text.substr(0, length) : text; }

std::string PersonName(Random& r) { return std::string(r.Pick(kFirst)) + " " + r.Pick(kLast) + " " + r.Pick(kLast); }

std::string Address(Random& r) { return Cut(std::string(r.Pick(kStreet)) + ", " + Number(r.Between(1, 3000)), 30); }

std::string Phone(Random& r) { return "(51)" + Number(r.Between(3000, 9999)) + "-" + Number(r.Between(1000, 9999)); }

std::string Zip(Random& r) { return Number(r.Between(90000, 99999)) + "-" + Number(r.Between(100, 999)); }

std::string Digits(Random& r, int count)
{
    std::string digits;
    for (int i = 0; i < count; ++i) digits += static_cast<char>('0' + r.Between(0, 9));
    return digits;
}

bool Deleted(Random& r) { return r.OneIn(50); }

// Reference tables: a code and a name, sometimes more.
void WriteReferenceTables(const std::string& dir, double scale, Random& r)
{
    {
        TableStream t(dir + "/KQ000039.dat",
                      {{"CODIGO", 'N', 4}, {"NOME", 'C', 40}, {"PIS", 'C', 1}, {"ICMS", 'C', 1}, {"COD_ISPIS", 'C', 3}});
        for (int i = 1; i <= Scaled(500, scale); ++i)
            t.Add({Number(i), "Opera\xe7\xe3o Fiscal de Venda n\xfamero " + Number(i), r.OneIn(2) ? "S" : "N",
                   r.OneIn(3) ? "N" : "S", Number(r.Between(1, 99))},
                  Deleted(r));
    }
    {
        TableStream t(dir + "/KQ000034.dat", {{"CODIGO", 'N', 4}, {"GRUPO", 'C', 30}});
        for (int i = 1; i <= Scaled(300, scale); ++i) t.Add({Number(i), std::string(r.Pick(kHistory)) + " " + Number(i)}, Deleted(r));
    }
    {
        TableStream t(dir + "/KQ000030.dat", {{"CODIGO", 'N', 4}, {"NOME", 'C', 30}});
        for (int i = 1; i <= Scaled(300, scale); ++i) t.Add({Number(i), std::string(r.Pick(kProductWord)) + " " + Number(i)}, Deleted(r));
    }
    {
        TableStream t(dir + "/KQ000017.dat", {{"CODIGO", 'C', 4}, {"VENDEDOR", 'C', 30}});
        for (int i = 1; i <= Scaled(200, scale); ++i) t.Add({Number(i), PersonName(r)}, Deleted(r));
    }
    {
        TableStream t(dir + "/KQ000004.dat", {{"CODIGO", 'N', 4}, {"GRUPO", 'C', 30}});
        for (int i = 1; i <= Scaled(200, scale); ++i) t.Add({Number(i), "Grupo de Caixa " + Number(i)}, Deleted(r));
    }
    {
        TableStream t(dir + "/KQ000029.dat", {{"CODIGO", 'N', 6}, {"NOME", 'C', 40}});
        for (int i = 1; i <= Scaled(1000, scale); ++i)
            t.Add({Number(i), std::string(r.Pick(kLast)) + " Ind\xfastria de Pe\xe7" "as " + Number(i)}, Deleted(r));
    }
    {
        TableStream t(dir + "/KQ000051.dat",
                      {{"NOME", 'C', 40}, {"ENDERECO", 'C', 40}, {"FONE", 'C', 14}, {"FAX", 'C', 14}, {"CIDADE", 'C', 25},
                       {"ESTADO", 'C', 2}, {"CONTATO", 'C', 20}, {"OBS", 'C', 40}, {"BAIRRO", 'C', 20}, {"CEP", 'C', 9}});
        for (int i = 1; i <= Scaled(2000, scale); ++i)
            t.Add({r.OneIn(40) ? "" : PersonName(r), Address(r), Phone(r), r.OneIn(3) ? Phone(r) : "", r.Pick(kCity),
                   r.Pick(kState), r.Pick(kFirst), r.OneIn(2) ? "ligar \xe0 tarde" : "", r.Pick(kDistrict), Zip(r)},
                  Deleted(r));
    }
}

void WriteParties(const std::string& dir, double scale, Random& r)
{
    {
        TableStream t(dir + "/KQ000012.dat", ClientColumns());
        for (int i = 1; i <= Scaled(20000, scale); ++i) {
            const bool company = r.OneIn(4);
            // A few codes without digits: counted, not written.
            const std::string code = r.OneIn(500) ? "ABC" : Number(i);
            t.Add({code, PersonName(r), company ? "2" : "1", Address(r), r.Pick(kDistrict), Zip(r), Phone(r),
                   r.Pick(kCity), r.Pick(kState), Date(r), Digits(r, 9), PersonName(r), Phone(r),
                   r.OneIn(2) ? Phone(r) : "", r.Pick(kCity), "Brasileira", Number(r.Between(1, 4)), "Comerciante",
                   r.OneIn(2) ? PersonName(r) : "", "Aut\xf4nomo", PersonName(r), PersonName(r), PersonName(r), "", "",
                   Address(r), "", "", Phone(r), "", "", r.OneIn(5) ? "cliente antigo, paga em dia" : "",
                   r.OneIn(3) ? "cliente" + Number(i) + "@exemplo.com.br" : "", Digits(r, 12), "S", r.OneIn(3) ? "S" : "N",
                   Number(r.Between(0, 90)), Fixed(r.Between(0, 500000), 2), company ? "" : Digits(r, 11),
                   company ? Digits(r, 14) : "", Fixed(r.Between(0, 2000000), 2), Fixed(r.Between(-50000, 500000), 2)},
                  Deleted(r));
        }
    }
    {
        TableStream t(dir + "/KQ000018.dat", SupplierColumns());
        for (int i = 1; i <= Scaled(1000, scale); ++i)
            t.Add({Number(i), std::string(r.Pick(kLast)) + " Distribuidora Ltda", Address(r), Zip(r), Phone(r),
                   r.OneIn(2) ? Phone(r) : "", r.Pick(kCity), r.Pick(kState), r.Pick(kFirst),
                   r.OneIn(4) ? "entrega \xe0s ter\xe7" "as" : "", r.Pick(kDistrict), Digits(r, 14), Digits(r, 12),
                   Number(r.Between(4300000, 4399999)), "", "J", ""},
                  Deleted(r));
    }
}

void WriteProducts(const std::string& dir, double scale, Random& r)
{
    TableStream t(dir + "/KQ000006.dat", ProductColumns());
    for (int i = 1; i <= Scaled(20000, scale); ++i) {
        const std::int64_t cost = r.Between(10, 5000000);
        t.Add({Number(i), Cut(std::string(r.Pick(kProductWord)) + " " + Digits(r, 4) + " " + r.Pick(kLast), 40),
               r.Pick(kUnit), Digits(r, 8), Digits(r, 13), "P" + Number(r.Between(1, 99)) + "-" + Number(r.Between(1, 9)),
               Number(r.Between(1, 1000)), Number(r.Between(1, 1000)), r.OneIn(5) ? "" : r.Pick(kRate), Digits(r, 10),
               Digits(r, 8), r.OneIn(2) ? "Linha leve e utilit\xe1rios" : "", Number(r.Between(1, 300)), "",
               r.OneIn(2) ? "01" : "", "1", Number(r.Between(0, 10)), Fixed(cost * 2, 2), Fixed(cost * 18 / 10, 2),
               Fixed(cost, 2), Fixed(10000, 2), Fixed(r.Between(0, 50000) * 10, 3), Fixed(r.Between(0, 1000) * 10, 3),
               Fixed(r.Between(0, 500), 2), Fixed(1700, 2), Fixed(10000, 2), Fixed(1700, 2), Fixed(10000, 2),
               Fixed(r.Between(0, 1000), 2), Fixed(0, 2), Fixed(100, 3), Fixed(0, 2), Fixed(r.Between(0, 100000), 2),
               Fixed(r.Between(0, 100000), 2), Fixed(0, 2)},
              Deleted(r));
    }
}

// Sales: the items of a sale followed by its closing record, whose codigo is blank.
void WriteSales(const std::string& dir, double scale, Random& r)
{
    TableStream t(dir + "/KQ000009.dat",
                  {{"CODIGO", 'C', 12}, {"QUANT", 'N', 10, 4}, {"PVENDA", 'N', 12, 4}, {"P_COMPRA", 'N', 12, 4},
                   {"UNIDADE", 'C', 3}, {"ALIQUOTA", 'C', 5},  {"ORIGEM", 'C', 3},     {"P_TOTAL", 'N', 12, 4},
                   {"REP", 'C', 6},     {"TOTAL", 'N', 12, 4}, {"DATA", 'D', 8},       {"VENDEDOR", 'C', 14},
                   {"CRC", 'C', 3},     {"CLIENTE", 'C', 8},   {"ENTREGA", 'C', 10},   {"CODHIS", 'N', 3},
                   {"PRAZO", 'C', 10},  {"ENTRAD", 'N', 12, 4}});
    const std::int64_t records = Scaled(200000, scale);
    const char crcChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::int64_t written = 0;
    while (written < records) {
        const std::int64_t items = std::min<std::int64_t>(r.Between(1, 7), records - written - 1);
        const std::string date = Date(r);
        const std::int64_t firstProduct = r.Between(1, Scaled(20000, scale) - 8);
        std::int64_t saleTotal = 0;
        for (std::int64_t i = 0; i < items; ++i) {
            const std::int64_t quantity = r.Between(1, 12);
            const std::int64_t price = r.Between(50, 200000);
            const std::int64_t listed = quantity * price;
            const std::int64_t charged = r.OneIn(5) ? listed * 95 / 100 : listed;
            saleTotal += charged;
            t.Add({Number(firstProduct + i), Fixed(quantity * 100, 4), Fixed(price, 4), Fixed(price * 6 / 10, 4),
                   r.Pick(kUnit), r.Pick(kRate), r.OneIn(3) ? "" : "0", Fixed(charged, 4), r.OneIn(4) ? "R" + Digits(r, 3) : "",
                   Fixed(listed, 4), date, "", "", "", "", "", "", ""},
                  Deleted(r));
        }
        std::string crc;
        for (int i = 0; i < 3; ++i) crc += crcChars[r.Between(0, 35)];
        // Sellers 1 to 40: each goes into the statement's own text.
        t.Add({"", "", "", "", "", "", "", Fixed(r.OneIn(6) ? saleTotal / 20 : 0, 4), "", Fixed(saleTotal, 4), date,
               Number(r.Between(1, 40)), crc, Number(r.Between(1, Scaled(20000, scale))), r.OneIn(5) ? "ENTREGAR" : "",
               Number(r.Between(1, 300)), r.OneIn(3) ? "30/60/90" : "", Fixed(r.OneIn(4) ? saleTotal / 3 : 0, 4)},
              Deleted(r));
        written += items + 1;
    }
}

// Purchase items: consecutive records of the same nota form one note.
void WritePurchases(const std::string& dir, double scale, Random& r)
{
    TableStream t(dir + "/KQ000026.dat",
                  {{"NOTA", 'C', 12}, {"CHEGADA", 'D', 8}, {"CODIGO", 'C', 8}, {"QUANT", 'N', 10, 4},
                   {"P_COMPRA", 'N', 12, 4}, {"DESTINO", 'C', 12}, {"DATA", 'D', 8}, {"FORNEC", 'C', 8}});
    const std::int64_t records = Scaled(40000, scale);
    std::int64_t written = 0, note = 100000;
    while (written < records) {
        const std::int64_t items = std::min<std::int64_t>(r.Between(1, 8), records - written);
        const std::string issued = Date(r), arrived = issued;
        const std::string supplier = "F-" + Number(r.Between(1, 1000));
        const std::int64_t firstProduct = r.Between(1, Scaled(20000, scale) - 8);
        ++note;
        for (std::int64_t i = 0; i < items; ++i)
            t.Add({"NF-" + Number(note), arrived, Number(firstProduct + i), Fixed(r.Between(1, 50) * 100, 4),
                   Fixed(r.Between(50, 100000), 4), Number(r.Between(1, 2)), issued, supplier},
                  Deleted(r));
        written += items;
    }
}

void WriteFinancial(const std::string& dir, double scale, Random& r)
{
    {
        TableStream t(dir + "/KQ000014.dat",
                      {{"FORMPG", 'C', 3}, {"CODGRU", 'N', 3}, {"DATA", 'D', 8}, {"DOCUMENTO", 'C', 10},
                       {"VENCIMENTO", 'D', 8}, {"CODHIS", 'C', 12}, {"HISTORICO", 'C', 12}, {"DEBITO", 'N', 12, 2},
                       {"CREDITO", 'N', 12, 2}});
        for (int i = 1; i <= Scaled(40000, scale); ++i) {
            const bool out = r.OneIn(2);
            t.Add({Number(r.Between(1, 5)), Number(r.Between(1, 200)), Date(r), Number(i / 10) + "/" + Number(i % 10),
                   r.OneIn(3) ? "" : Date(r), Number(r.Between(1, 300)), r.Pick(kHistory),
                   out ? Fixed(r.Between(100, 1000000), 2) : "0", out ? "0" : Fixed(r.Between(100, 1000000), 2)},
                  Deleted(r));
        }
    }
    {
        TableStream t(dir + "/KQ000015.dat",
                      {{"HISTORICO", 'C', 12}, {"CODGRU", 'N', 3}, {"FORMPG", 'C', 2}, {"DATA", 'D', 8},
                       {"VENDEDOR", 'C', 4}, {"VENCIMENTO", 'D', 8}, {"DOCUMENTO", 'C', 8}, {"CODHIS", 'N', 3},
                       {"TOTAL", 'N', 10, 2}, {"CREDITO", 'N', 10, 2}, {"PAGO", 'N', 10, 2}});
        for (int i = 1; i <= Scaled(60000, scale); ++i) {
            const std::int64_t total = r.Between(100, 5000000);
            t.Add({r.OneIn(4) ? "DUPLICATA" : Number(r.Between(1, 999999)) + "-VENDA", Number(r.Between(1, 200)),
                   Number(r.Between(1, 5)), Date(r), Number(r.Between(1, 40)), Date(r), Number(i) + "/" + Number(r.Between(1, 6)),
                   Number(r.Between(1, 300)), Fixed(total, 2), Fixed(total / 3, 2), Fixed(r.OneIn(3) ? total / 3 : 0, 2)},
                  Deleted(r));
        }
    }
    {
        TableStream t(dir + "/KQ000016.dat",
                      {{"CODGRU", 'C', 4}, {"DATA", 'D', 8}, {"VENCIMENTO", 'D', 8}, {"DOCUMENTO", 'C', 10},
                       {"CODHIS", 'N', 4}, {"HISTORICO", 'C', 10}, {"CREDITO", 'N', 12, 2}, {"TOTAL", 'N', 12, 2},
                       {"PAGO", 'N', 12, 2}});
        for (int i = 1; i <= Scaled(10000, scale); ++i) {
            const std::int64_t total = r.Between(100, 5000000);
            t.Add({"G" + Number(r.Between(1, 200)), Date(r), Date(r), "NF-" + Number(i), Number(r.Between(1, 300)),
                   Cut(r.Pick(kHistory), 10), Fixed(total, 2), Fixed(total, 2), r.OneIn(10) ? Fixed(total, 2) : "0"},
                  Deleted(r));
        }
    }
}

}  // namespace

void WriteSyntheticLegacyFolder(const std::string& dir, double scale)
{
    std::filesystem::create_directories(dir);
    // One generator per file group, so that a group's records do not depend on the order of the others.
    Random reference(1001), parties(1002), products(1003), sales(1004), purchases(1005), financial(1006);
    WriteReferenceTables(dir, scale, reference);
    WriteParties(dir, scale, parties);
    WriteProducts(dir, scale, products);
    WriteSales(dir, scale, sales);
    WritePurchases(dir, scale, purchases);
    WriteFinancial(dir, scale, financial);
}
