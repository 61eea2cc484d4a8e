-- ORVEL test schema: the product table `estoque` with the fields the ORVEL import reads.
-- The widths are wider than QuibraW's columns so that the import's cuts can be seen; the money
-- fields have different scales, as fixed-point numbers of the foreign system may.
create table estoque (
  registro integer not null primary key,
  referencia varchar(30),
  medida varchar(10),
  descricao varchar(80),
  custocompr numeric(18,4),
  preco numeric(15,2),
  qtd_atual numeric(15,3),
  st varchar(6)
);
