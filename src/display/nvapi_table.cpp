#include "display/nvapi_table.h"

void BindNvApiTable(NvApiTableEntry* table, const NvApiLookup& lookup) {
    if (!table || !lookup) return;
    for (NvApiTableEntry* entry = table; entry->id != 0; ++entry) entry->address = lookup(entry->id);
}
