// Splitting per-row pixel work over the shared work pool.
#pragma once

#include <algorithm>

#include "base/work_pool.h"

// Calls work(first_row, end_row) over [0, rows) in contiguous bands, one per pool thread, when the
// job (rows x row_cost pixels) is large enough to pay for the hand-over; inline otherwise. The
// caller draws a band itself and idle pool threads the others (see ForEachIndex): inside a busy pool
// all of it runs on the caller. An exception thrown by work reaches the caller.
template <typename Work>
void ParallelRows(int rows, long long row_cost, Work&& work) {
  constexpr long long kMinPixelsPerBand = 1 << 17;
  const long long total = static_cast<long long>(rows) * std::max(1LL, row_cost);
  const int bands =
      static_cast<int>(std::clamp<long long>(total / kMinPixelsPerBand, 1, SharedWorkPool().Size()));
  if (bands <= 1 || rows < 2) {
    if (rows > 0) work(0, rows);
    return;
  }
  const int per_band = (rows + bands - 1) / bands;
  ForEachIndex(bands, [&work, rows, per_band](int band) {
    const int first = band * per_band;
    const int end = std::min(rows, first + per_band);
    if (first < end) work(first, end);
  });
}
