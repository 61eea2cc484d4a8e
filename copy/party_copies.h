#pragma once

struct CopyRun;

// "KQ000018.dat" into fornecedor.
void CopySuppliers(CopyRun& run);
// "KQ000012.dat" into cliente.
void CopyClients(CopyRun& run);
