// Large image buffers that are cheap to fault in: plain anonymous pages, faulted in ahead of a writer.
#pragma once

#include <QImage>
#include <atomic>
#include <memory>

class TaskGroup;

// A new image of width x height, zero-filled (transparent for ARGB formats). Buffers of a
// megabyte and more are anonymous memory of ordinary pages, returned to the system on release;
// pages never touched cost nothing. Null on failure.
QImage NewImage(int width, int height, QImage::Format format = QImage::Format_ARGB32_Premultiplied);

// Faults in the pages of a large image on an idle thread of the work pool, from its first row on,
// while the caller fills it in the same order, so the writer finds its pages present instead of
// taking each fault itself. The pixels are never read or written (the pages are populated, not
// touched), so the two may overlap freely. Small images, kernels without the call and a pool with
// no idle thread are left alone. Waits for that thread on destruction.
class FaultInAhead {
 public:
  explicit FaultInAhead(const QImage& image);
  ~FaultInAhead();
  FaultInAhead(const FaultInAhead&) = delete;
  FaultInAhead& operator=(const FaultInAhead&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::unique_ptr<TaskGroup> task_;
};
