// demo-data DIR: a small legacy folder and an empty QuibraW database for trying the program by hand.
//
//   DIR/legacy/KQ0000nn.dat   cash groups, sellers, manufacturers, product groups, cash histories, CFOPs and an
//                             address book, texts in ISO 8859-1 as the legacy system keeps them
//   DIR/bd.fdb                the QuibraW test schema, no rows
//
// Whatever is already there is replaced.
#include <filesystem>
#include <iostream>
#include <string>

#include "tests/support/dbf_writer.h"
#include "tests/support/test_database.h"

namespace {

void WriteLegacyFolder(const std::string& folder)
{
    DbfWriter cashGroups;
    cashGroups.Field("CODIGO", 'N', 4).Field("GRUPO", 'C', 30);
    cashGroups.Record({"1", "Vendas"}).Record({"2", "Despesas Gerais"}).Record({"3", "Retiradas"});
    cashGroups.Write(folder + "/KQ000004.dat");

    DbfWriter sellers;
    sellers.Field("CODIGO", 'C', 4).Field("VENDEDOR", 'C', 30);
    sellers.Record({"1", "Jo\xe3o Batista"}).Record({"2", "Maria Concei\xe7\xe3o"}).Record({"3", "Balc\xe3o"});
    sellers.DeletedRecord({"4", "Ex-vendedor"});
    sellers.Write(folder + "/KQ000017.dat");

    DbfWriter manufacturers;
    manufacturers.Field("CODIGO", 'N', 6).Field("NOME", 'C', 40);
    manufacturers.Record({"10", "Bosch"}).Record({"11", "Cofap"}).Record({"12", "Metal Leve"});
    manufacturers.Record({"15", "Fras-le"});
    manufacturers.Write(folder + "/KQ000029.dat");

    DbfWriter productGroups;
    productGroups.Field("CODIGO", 'N', 4).Field("NOME", 'C', 30);
    productGroups.Record({"1", "Pe\xe7" "as"}).Record({"2", "Acess\xf3rios"}).Record({"3", "Lubrificantes"});
    productGroups.Write(folder + "/kq000030.DAT");

    DbfWriter histories;
    histories.Field("CODIGO", 'N', 4).Field("GRUPO", 'C', 30);
    histories.Record({"1", "Venda \xe0 Vista"}).Record({"2", "Recebimento"}).Record({"3", "Pagamento"});
    histories.Write(folder + "/KQ000034.dat");

    DbfWriter cfops;
    cfops.Field("CODIGO", 'N', 4).Field("NOME", 'C', 40).Field("PIS", 'C', 1).Field("ICMS", 'C', 1);
    cfops.Field("COD_ISPIS", 'C', 3);
    cfops.Record({"5102", "Venda de Mercadoria", "S", "S", "01"});
    cfops.Record({"5405", "Venda com Substitui\xe7\xe3o", "S", "N", "04"});
    cfops.Record({"1102", "Compra para Comercializa\xe7\xe3o", "N", "S", "50"});
    cfops.Write(folder + "/KQ000039.dat");

    DbfWriter addressBook;
    addressBook.Field("NOME", 'C', 40).Field("ENDERECO", 'C', 40).Field("FONE", 'C', 14).Field("FAX", 'C', 14);
    addressBook.Field("CIDADE", 'C', 25).Field("ESTADO", 'C', 2).Field("CONTATO", 'C', 20).Field("OBS", 'C', 40);
    addressBook.Field("BAIRRO", 'C', 20).Field("CEP", 'C', 9);
    addressBook.Record({"Distribuidora Sul", "Rua das Flores, 120", "(51)3333-1234", "", "Porto Alegre", "RS",
                        "Carlos", "entrega \xe0s ter\xe7" "as", "Centro", "90010-000"});
    addressBook.Record({"Oficina do Z\xe9", "Av. Brasil, 45", "(11)2222-9876", "(11)2222-9877", "S\xe3o Paulo", "SP",
                        "Jos\xe9", "", "Mooca", "03100-000"});
    addressBook.Record({"", "registro sem nome", "", "", "", "", "", "", "", ""});
    addressBook.Write(folder + "/KQ000051.dat");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "uso: demo-data PASTA\n";
        return 2;
    }
    namespace fs = std::filesystem;
    const std::string root = fs::absolute(argv[1]).lexically_normal().string();
    try {
        fs::create_directories(root + "/legacy");
        WriteLegacyFolder(root + "/legacy");
        fs::remove(root + "/bd.fdb");
        CreateDatabaseFromScript(root + "/bd.fdb", QUIBRAW_SCHEMA_PATH);
    } catch (const std::exception& failure) {
        std::cerr << "demo-data: " << failure.what() << '\n';
        return 1;
    }
    std::cout << root << "/legacy\n" << root << "/bd.fdb\n";
    return 0;
}
