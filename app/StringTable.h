// The program's built-in string table (Japanese texts by number).
#pragma once

#include "platform/WinTypes.h"

#include <vector>

// nullptr for a number the table does not hold.
const char16_t* LoadStringTable(UINT nID);
std::vector<UINT> StringTableIDs();
