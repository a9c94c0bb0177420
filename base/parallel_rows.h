// Splitting per-row pixel work over the machine's cores.
#pragma once

#include <algorithm>
#include <thread>
#include <vector>

// Calls work(first_row, end_row) over [0, rows) in contiguous bands, one per core, when the job
// (rows x row_cost pixels) is large enough to pay for the threads; inline otherwise.
template <typename Work>
void ParallelRows(int rows, long long row_cost, Work&& work) {
  constexpr long long kMinPixelsPerThread = 1 << 17;
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const long long total = static_cast<long long>(rows) * std::max(1LL, row_cost);
  const int bands = static_cast<int>(std::clamp<long long>(total / kMinPixelsPerThread, 1, cores));
  if (bands <= 1 || rows < 2) {
    if (rows > 0) work(0, rows);
    return;
  }
  std::vector<std::thread> threads;
  const int per_band = (rows + bands - 1) / bands;
  for (int b = 1; b < bands; ++b) {
    const int first = b * per_band;
    const int end = std::min(rows, first + per_band);
    if (first < end) threads.emplace_back([&work, first, end] { work(first, end); });
  }
  work(0, std::min(rows, per_band));
  for (std::thread& t : threads) t.join();
}
