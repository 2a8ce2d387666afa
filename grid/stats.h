// The texts of the statistics window, from the figures the last rebuild gathered (gstats).
#pragma once

#include <string>
#include <vector>

// The five cells of the length table's row for lights of len entries (2 to MXCL): the length,
// the count, the underchecked and overchecked numbers with their shares (" " when none), and
// the check ratio min:mean:max. Empty when there are no lights of that length.
std::vector<std::string> statsrow(int len);
// The eleven summary lines below the table.
std::vector<std::string> statslines();
