// Summary figures of the results: for each kind of row present, how many
// there are and the mean, sample standard deviation, minimum and maximum of
// their values. Notes have no value and are left out.
#pragma once

#include "engine/RgnData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The rows summed up together: one kind, and for a kind that lists its parts
// (a 2-circle measurement) which row of it (0 its own, 1 the first part,
// 2 the second), as the list names them apart.
struct SUMMARY_GROUP {
    int32_t nKind;
    int nPart;
};

struct RESULT_SUMMARY {
    SUMMARY_GROUP group;
    size_t nCount;
    double dMean;
    double dStdDev; // n - 1 in the denominator; meaningless (0) for one value
    double dMin;
    double dMax;
    bool HasStdDev() const { return nCount > 1; }
};

// The group of row i (its part found from the rows before it, as the list
// labels it); nKind -1 for a note.
SUMMARY_GROUP SummaryGroupOfRow(const std::vector<MEASURE_DATA>& rows, size_t i);

// One entry per group present, in the order of the kinds, then of the parts.
std::vector<RESULT_SUMMARY> SummariseResults(const std::vector<MEASURE_DATA>& rows);
