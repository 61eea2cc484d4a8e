#pragma once

struct CopyRun;

// "KQ000006.dat" into produto; deleted legacy products are left out.
void CopyProducts(CopyRun& run);
