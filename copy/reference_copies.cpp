#include "copy/reference_copies.h"

#include "firebird/fb_query.h"
#include "session/session.h"
#include "copy/declared_copy.h"
#include "session/value_helpers.h"
#include "legacy/field_values.h"

using K = ValueKind;
using PreDelete = DeclaredCopy::PreDelete;

static DeclaredCopy CfopsDeclaration()
{
    DeclaredCopy copy;
    copy.what = "CFOPs";
    copy.fileName = "KQ000039.dat";
    copy.checkFile = true;
    copy.title = "Iniciando Cópia de CFOPs...";
    copy.explicitTransactionFirst = true;
    copy.sql = "update or insert into COD_OP(cod, nome, pis, icms, cod_ispis) "
               "values(:cod, :nome, :pis, :icms, :cod_ispis) matching(cod)";
    copy.mapping = {
        {"cod", "codigo", K::IntegerOrZero},
        {"nome", "nome", K::FirstN, 25},
        {"pis", "pis", K::FirstN, 1},
        {"icms", "icms", K::FirstN, 1},
        {"cod_ispis", "cod_ispis", K::FirstN, 3},
    };
    return copy;
}

void CopyCfops(CopyRun& run) { RunDeclaredCopy(run, CfopsDeclaration()); }

static DeclaredCopy CashHistoriesDeclaration()
{
    DeclaredCopy copy;
    copy.what = "históricos de caixa";
    copy.fileName = "KQ000034.dat";
    copy.checkFile = true;
    copy.title = "Iniciando Cópia de Históricos...";
    copy.explicitTransactionFirst = true;
    copy.keyed = DeclaredCopy::Keyed{"HISCAIXA", "cod"};
    copy.sql = "update or insert into HISCAIXA(cod, grupo) values(:cod, :grupo)";
    copy.mapping = {
        {"cod", "codigo", K::IntegerOrZero},
        {"grupo", "grupo", K::FirstN, 25},
    };
    return copy;
}

void CopyCashHistories(CopyRun& run) { RunDeclaredCopy(run, CashHistoriesDeclaration()); }

static DeclaredCopy SellersDeclaration()
{
    DeclaredCopy copy;
    copy.what = "vendedores";
    copy.fileName = "KQ000017.dat";
    copy.title = "Iniciando Cópia Vendedores...";
    copy.completion = "Cópia de Vendedores Concluída";
    copy.preDelete = PreDelete::BeforeHeader;
    copy.preDeleteSql = "delete from vendedor";
    copy.protection = Protection::RecordGuarded;
    copy.guardedCommit = true;
    copy.keyed = DeclaredCopy::Keyed{"vendedor", "cod"};
    copy.sql = "update or insert into vendedor(cod, nome) values(:cod, :nome)";
    copy.mapping = {
        {"cod", "codigo", K::Digits},
        {"nome", "vendedor", K::Trimmed},
    };
    copy.keepRecord = [](MappedFields& fields) {
        return StrictInteger(DigitsOnly(AsText(fields.Field("codigo")))) > 0;
    };
    return copy;
}

void CopySellers(CopyRun& run) { RunDeclaredCopy(run, SellersDeclaration()); }

static DeclaredCopy AddressBookDeclaration()
{
    DeclaredCopy copy;
    copy.what = "agenda";
    copy.fileName = "KQ000051.dat";
    copy.checkFile = true;
    copy.title = "Iniciando Cópia Agenda...";
    copy.completion = "Cópia da Agenda Concluída";
    copy.statementPerRecord = true;
    copy.protection = Protection::ExecutionGuarded;
    copy.guardedCommit = true;
    copy.sql = "update or insert into AGENDA(cod,nome, ENDERECO, FONE, FAX, CIDADE, ESTADO, CONTATO, OBS, BAIRRO, CEP) "
               "values(:cod,:nome, :ENDERECO, :FONE, :FAX, :CIDADE, :ESTADO, :CONTATO, :OBS, :BAIRRO, :CEP)";
    copy.mapping = {
        {"nome", "nome", K::Trimmed},         {"ENDERECO", "ENDERECO", K::Trimmed}, {"FONE", "FONE", K::Trimmed},
        {"FAX", "FAX", K::Trimmed},           {"CIDADE", "CIDADE", K::Trimmed},     {"ESTADO", "ESTADO", K::Trimmed},
        {"CONTATO", "CONTATO", K::Trimmed},   {"OBS", "OBS", K::Trimmed},           {"BAIRRO", "BAIRRO", K::Trimmed},
        {"CEP", "CEP", K::Trimmed},
    };
    copy.keepRecord = [](MappedFields& fields) { return !Trimmed(AsText(fields.Field("nome"))).empty(); };
    copy.drawnCode = DeclaredCopy::DrawnCode{"cod", "agenda"};
    return copy;
}

void CopyAddressBook(CopyRun& run) { RunDeclaredCopy(run, AddressBookDeclaration()); }

static DeclaredCopy ProductGroupsDeclaration()
{
    DeclaredCopy copy;
    copy.what = "grupos de produtos";
    copy.fileName = "KQ000030.dat";
    copy.title = "Iniciando Cópia Grupo de Produtos...";
    copy.completion = "Cópia de Grupos de produtos Concluída";
    copy.preDelete = PreDelete::AfterGaugeReset;
    copy.preDeleteSql = "delete from grupoprod";
    copy.preDeleteLogLine = "Registros de Grupo de Produtos Apagados";
    copy.statementPerRecord = true;
    copy.protection = Protection::ExecutionGuarded;
    copy.guardedCommit = true;
    copy.resyncTable = "grupoprod";
    copy.keyed = DeclaredCopy::Keyed{"grupoprod", "cod"};
    copy.sql = "update or insert into grupoprod(cod,nome) values(:cod,:nome)";
    copy.mapping = {
        {"cod", "codigo", K::AsRead},
        {"nome", "nome", K::Trimmed},
    };
    return copy;
}

void CopyProductGroups(CopyRun& run) { RunDeclaredCopy(run, ProductGroupsDeclaration()); }

static DeclaredCopy CashGroupsDeclaration()
{
    DeclaredCopy copy;
    copy.what = "grupos de caixa";
    copy.fileName = "KQ000004.dat";
    copy.title = "Iniciando Cópia Grupos de Caixa...";
    copy.completion = "Cópia de Grupos de Caixa Concluída";
    copy.preDelete = PreDelete::AfterGaugeReset;
    copy.preDeleteSql = "delete from grupodecaixa";
    copy.preDeleteLogLine = "Registros de Caixa Apagados";
    copy.statementPerRecord = true;
    copy.protection = Protection::ExecutionGuarded;
    copy.guardedCommit = true;
    copy.resyncTable = "grupodecaixa";
    copy.keyed = DeclaredCopy::Keyed{"grupodecaixa", "cod"};
    copy.sql = "update or insert into grupodecaixa(cod,grupo) values(:cod,:nome)";
    copy.mapping = {
        {"cod", "codigo", K::AsRead},
        {"nome", "grupo", K::Trimmed},
    };
    return copy;
}

void CopyCashGroups(CopyRun& run) { RunDeclaredCopy(run, CashGroupsDeclaration()); }

static DeclaredCopy ManufacturersDeclaration()
{
    DeclaredCopy copy;
    copy.what = "fabricantes";
    copy.fileName = "KQ000029.dat";
    copy.title = "Iniando Cópia Fabricantes...";
    copy.completion = "Cópia de Fabricantes Concluída";
    copy.statementPerRecord = true;
    copy.protection = Protection::ExecutionGuarded;
    copy.guardedCommit = true;
    copy.resyncTable = "fabricante";
    copy.keyed = DeclaredCopy::Keyed{"fabricante", "cod"};
    copy.sql = "update or insert into fabricante(cod,nome) values(:cod,:nome)";
    copy.mapping = {
        {"cod", "codigo", K::IntegerOrZero},
        {"nome", "nome", K::FirstN, 30},
    };
    return copy;
}

void CopyManufacturers(CopyRun& run) { RunDeclaredCopy(run, ManufacturersDeclaration()); }

std::vector<FieldsRead> ReferenceCopiesFieldsRead()
{
    std::vector<FieldsRead> reads;
    for (const DeclaredCopy& copy : {CfopsDeclaration(), CashHistoriesDeclaration(), SellersDeclaration(),
                                     AddressBookDeclaration(), ProductGroupsDeclaration(), CashGroupsDeclaration(),
                                     ManufacturersDeclaration()})
        reads.push_back(FieldsReadBy(copy));
    return reads;
}
