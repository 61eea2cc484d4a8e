-- QuibraW test schema: the tables, columns and sequences that ConvQuibraW's statements name.
-- The utility never creates a schema; the tests build their QuibraW databases from this script.
-- The database itself is created with DEFAULT CHARACTER SET ISO8859_1 by the test fixture.
-- The script is plain DDL separated by ";": no procedures, triggers or SET TERM.
-- There are no foreign keys, so the clearing command may delete in any order.
-- Money columns are numeric(15,4); codes are integers, so bound texts such as "0012" are converted
-- by the server; texts that travel "as read" (untrimmed) get columns wide enough for their padding.
-- Columns cut by the copies ("first N") are exactly N wide: that cut exists because the column is short.

-- Written by: the CFOP copy (update or insert ... matching(cod)).
create table COD_OP (
  cod integer not null primary key,
  nome varchar(25),
  pis varchar(1),
  icms varchar(1),
  cod_ispis varchar(3)
);

-- Written by: the cash history copy (update or insert on the primary key).
create table HISCAIXA (
  cod integer not null primary key,
  grupo varchar(25)
);

-- Written by: the seller copy (delete, then update or insert on the primary key); the clearing
-- command (delete, then re-creates seller 1).
create table vendedor (
  cod integer not null primary key,
  nome varchar(60)
);

-- Written by: the address book copy (update or insert, cod drawn from the sequence agenda);
-- emptied by the clearing command.
create table AGENDA (
  cod integer not null primary key,
  nome varchar(60),
  ENDERECO varchar(60),
  FONE varchar(20),
  FAX varchar(20),
  CIDADE varchar(40),
  ESTADO varchar(2),
  CONTATO varchar(40),
  OBS varchar(250),
  BAIRRO varchar(40),
  CEP varchar(10)
);

-- Written by: the product group copy (delete, update or insert, sequence restart); emptied by the
-- clearing command.
create table grupoprod (
  cod integer not null primary key,
  nome varchar(40)
);

-- Written by: the cash group copy (delete, update or insert, sequence restart).
create table grupodecaixa (
  cod integer not null primary key,
  grupo varchar(40)
);

-- Written by: the manufacturer copy (update or insert, sequence restart); emptied by the clearing
-- command.
create table fabricante (
  cod integer not null primary key,
  nome varchar(30)
);

-- Written by: the supplier copy (update or insert on the primary key, sequence restart); emptied by
-- the clearing command.
create table fornecedor (
  cod integer not null primary key,
  nome varchar(60),
  endereco varchar(60),
  cep varchar(10),
  fone varchar(20),
  fax varchar(20),
  cidade varchar(40),
  estado varchar(2),
  contato varchar(40),
  obs varchar(250),
  bairro varchar(40),
  cnpj varchar(20),
  ies varchar(20),
  cod_mun integer,
  suframa varchar(20),
  tipo varchar(2),
  cpf varchar(20)
);

-- Written by: the client copy (update or insert on the primary key, sequence restart); emptied by
-- the clearing command.
create table cliente (
  cod integer not null primary key,
  nome varchar(60),
  tipo integer,
  ende varchar(60),
  bairro varchar(40),
  cep varchar(10),
  tel varchar(20),
  cid varchar(40),
  est varchar(2),
  data date,
  ci varchar(1),
  org varchar(20),
  titular varchar(60),
  telres varchar(20),
  telcom varchar(20),
  nat varchar(40),
  nac varchar(40),
  estcv integer,
  prof varchar(40),
  conj varchar(60),
  ocup varchar(40),
  pai varchar(60),
  mae varchar(60),
  nome1 varchar(60),
  nome2 varchar(60),
  nome3 varchar(60),
  end1 varchar(60),
  end2 varchar(60),
  end3 varchar(60),
  tel1 varchar(20),
  tel2 varchar(20),
  tel3 varchar(20),
  obs varchar(250),
  email varchar(60),
  ies varchar(20),
  ativo varchar(1),
  faturar varchar(1),
  prazo numeric(15,4),
  lim_atraso numeric(15,4),
  cnpj varchar(20),
  lim_compra numeric(15,4),
  sal numeric(15,4)
);

-- Written by: the product copy (update or insert on the primary key, sequence restart), the product
-- field update (update ... where cod), the ORVEL import (plain insert, sequence restart); emptied by
-- the clearing command. nome, codbar and unid are as wide as the ORVEL import cuts them.
create table produto (
  cod integer not null primary key,
  nome varchar(40),
  unid varchar(6),
  igual varchar(20),
  codbar varchar(15),
  localiza varchar(20),
  fornec integer,
  fabric integer,
  aliquota varchar(4),
  refori varchar(20),
  classif varchar(12),
  aplic varchar(60),
  grupo integer,
  serie varchar(20),
  is_pis varchar(4),
  emb varchar(10),
  desc_atac numeric(15,4),
  p_venda numeric(15,4),
  p_venda1 numeric(15,4),
  p_compra numeric(15,4),
  lucro numeric(15,4),
  quant numeric(15,4),
  deposito numeric(15,4),
  comissao numeric(15,4),
  credicm numeric(15,4),
  basecred numeric(15,4),
  debicm numeric(15,4),
  basedeb numeric(15,4),
  frete numeric(15,4),
  encargos numeric(15,4),
  fracao numeric(15,4),
  agregado numeric(15,4),
  sal numeric(15,4),
  sad numeric(15,4),
  sugestao numeric(15,4),
  compra numeric(15,4),
  dev_icm numeric(15,4),
  equiva varchar(20)
);

-- Written by: the cash movement copy (plain insert, codmov from gen_id(movcaixa,1)); emptied by the
-- clearing command. data carries the time of day at which the row was copied.
create table caixa (
  codmov integer not null primary key,
  formpagto integer,
  codgru integer,
  data timestamp,
  documento varchar(20),
  vencimento date,
  codhis integer,
  historico varchar(80),
  saida numeric(15,4),
  entrada numeric(15,4)
);

-- Written by: the payables copy (plain insert); emptied by the clearing command.
create table contaspagar (
  codgru integer,
  data date,
  vencimento date,
  documento varchar(20),
  codhis integer,
  historico varchar(80),
  total numeric(15,4),
  valor numeric(15,4)
);

-- Written by: the receivables copy (plain insert, cod from gen_id(creceber,1)); rows deleted by
-- document and history by the receivables reconciliation; emptied by the clearing command.
-- documento and historico are texts: the reconciliation compares them ignoring trailing blanks.
create table contasreceber (
  cod integer not null primary key,
  nota varchar(20),
  codgru integer,
  formpagto integer,
  datamov date,
  vendedor integer,
  data date,
  vencimento date,
  documento varchar(20),
  codhis integer,
  historico varchar(80),
  total numeric(15,4),
  valor numeric(15,4),
  pago numeric(15,4)
);

-- Written by: the sales copy (update or insert on the primary key nota, sequence restart);
-- emptied by the clearing command; its sequence is restarted by the renumbering command.
create table venda (
  nota integer not null primary key,
  crc varchar(40),
  data date,
  total numeric(15,4),
  vendedor integer,
  cliente integer,
  desconto numeric(15,4),
  entrega varchar(20),
  codhis integer,
  prazo varchar(20),
  entrada numeric(15,4)
);

-- Written by: the sales copy (update or insert ... matching(nota, cod)); emptied by the clearing
-- command.
create table item_venda (
  nota integer not null,
  cod integer not null,
  quant numeric(15,4),
  p_venda numeric(15,4),
  p_compra numeric(15,4),
  unid varchar(10),
  aliquota varchar(4),
  origem varchar(4),
  total numeric(15,4),
  crc varchar(40),
  rep varchar(20),
  desconto numeric(15,4),
  data date,
  primary key (nota, cod)
);

-- Written by: the purchase copy (update or insert ... matching(nota, fornec)); emptied by the
-- clearing command.
create table entrada (
  nota integer not null,
  fornec integer not null,
  data date,
  chegada date,
  total_nota numeric(15,4),
  primary key (nota, fornec)
);

-- Written by: the purchase copy (update or insert ... matching(cod, nota, destino), codentrada from
-- the sequence entrada); emptied by the clearing command.
create table item_entrada (
  cod integer not null,
  nota integer not null,
  destino integer not null,
  quant numeric(15,4),
  p_compra numeric(15,4),
  usuario integer,
  data date,
  total numeric(15,4),
  codentrada integer,
  fornec integer,
  primary key (cod, nota, destino)
);

-- Written by: the invoice XML import (plain insert, one row per accepted file); emptied by the
-- clearing command. No key: importing the same folder twice records its invoices twice.
create table nfce (
  data date,
  chave varchar(44),
  nota integer,
  cliente integer,
  adic varchar(250)
);

-- Written by: the clearing command (delete, then insert of user 1).
create table usuario (
  cod integer not null primary key,
  nome varchar(30),
  vendedor integer,
  configu varchar(100)
);

-- Emptied by the clearing command only; the utility writes no rows into these tables.
create table carne (cod integer not null primary key, nota integer, valor numeric(15,4));
create table config_tema (cod integer not null primary key, nome varchar(40));
create table duplicatas (cod integer not null primary key, nota integer, valor numeric(15,4));
create table convenio (cod integer not null primary key, nome varchar(60));
create table orcamento (cod integer not null primary key, data date, total numeric(15,4));
create table item_orcamento (orcamento integer not null, cod integer not null, quant numeric(15,4),
  primary key (orcamento, cod));
create table transferencia (cod integer not null primary key, data date);
create table rota (cod integer not null primary key, nome varchar(40));
create table ITEM_COMPRA (compra integer not null, cod integer not null, quant numeric(15,4),
  primary key (compra, cod));
create table COMPRA (cod integer not null primary key, data date, total numeric(15,4));
create table FVMT (cod integer not null primary key, nota integer, data date);
create table JUSTIFICATIVA (cod integer not null primary key, texto varchar(250));
create table OS_VENDA (cod integer not null primary key, cliente integer, total numeric(15,4));
create table OS_ITENS (os integer not null, cod integer not null, quant numeric(15,4),
  primary key (os, cod));
create table SERVICO (cod integer not null primary key, nome varchar(60), valor numeric(15,4));
create table ACERTO (cod integer not null primary key, data date, valor numeric(15,4));
create table SPEDDADOSADIC (cod integer not null primary key, texto varchar(250));
create table SPED_REDUCAOZ (cod integer not null primary key, data date, total numeric(15,4));
create table TRANSPORTADORA (cod integer not null primary key, nome varchar(60), cnpj varchar(20));
create table ECF (cod integer not null primary key, serie varchar(30));
create table MOV_FRE (cod integer not null primary key, data date, valor numeric(15,4));
create table nfe (cod integer not null primary key, chave varchar(44), data date);

-- Sequences. Restarted after the copies that take codes from the legacy files: grupoprod,
-- grupodecaixa, fabricante, fornecedor, cliente, produto, venda.
-- Drawn with gen_id: venda, entrada, agenda, movcaixa, creceber.
-- Restarted by the clearing command: all of the above but grupodecaixa and agenda, plus COMPRA,
-- SERVICO, ACERTO, ACERTO_SEQ, TRANSPORTADORA, NFCE, nfe, cpagar, dupli_unica, orcamento,
-- recibo_paga, rota, transferencia, usuario, vendedor. Restarted by the renumbering commands: venda, nfe.
create sequence ACERTO;
create sequence ACERTO_SEQ;
create sequence agenda;
create sequence cliente;
create sequence COMPRA;
create sequence cpagar;
create sequence creceber;
create sequence dupli_unica;
create sequence entrada;
create sequence fabricante;
create sequence fornecedor;
create sequence grupodecaixa;
create sequence grupoprod;
create sequence movcaixa;
create sequence NFCE;
create sequence nfe;
create sequence orcamento;
create sequence produto;
create sequence recibo_paga;
create sequence rota;
create sequence SERVICO;
create sequence TRANSPORTADORA;
create sequence transferencia;
create sequence usuario;
create sequence venda;
create sequence vendedor;
