// The imaging I/O layer on a 24-megapixel photo: JPEG decoding at full and 1/8 scale (by libjpeg and
// for thumbnails from the DC coefficients), header-only size reads, JPEG encoding at quality 100 and a
// quarter turn.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "bench/bench_fixtures.h"
#include "imaging/image_io.h"
#include "imaging/jpeg_codec.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kHeaderFiles = 1000;

struct Photo {
  QTemporaryDir dir;
  QString path;
  QStringList header_copies;  // the photo's first 64 KiB under 1,000 names: headers to scan
  QImage decoded;
};

const Photo& ThePhoto() {
  static Photo* photo = [] {
    auto* p = new Photo;
    p->path = p->dir.filePath(QStringLiteral("photo.jpg"));
    WriteJpegOrExit(CameraLikePhoto(kWidth, kHeight), p->path, 92);
    QFile file(p->path);
    file.open(QIODevice::ReadOnly);
    const QByteArray head = file.read(64 * 1024);
    QDir().mkpath(p->dir.filePath(QStringLiteral("headers")));
    for (int i = 0; i < kHeaderFiles; ++i) {
      const QString name = p->dir.filePath(QStringLiteral("headers/%1.jpg").arg(i));
      QFile copy(name);
      copy.open(QIODevice::WriteOnly);
      copy.write(head);
      p->header_copies << name;
    }
    p->decoded = LoadImage(p->path).image;
    std::fprintf(stderr, "photo: %lld bytes, %dx%d\n", static_cast<long long>(file.size()), kWidth, kHeight);
    return p;
  }();
  return *photo;
}

void DecodeFull(benchmark::State& state) {
  const Photo& photo = ThePhoto();
  for (auto _ : state) {
    LoadedImage loaded = LoadImage(photo.path);
    benchmark::DoNotOptimize(loaded.image.constBits());
    if (loaded.image.size() != QSize(kWidth, kHeight)) state.SkipWithError("wrong size");
  }
}
BENCHMARK(DecodeFull)->Unit(benchmark::kMillisecond);

void DecodeEighth(benchmark::State& state, ScaledDetail detail) {
  const Photo& photo = ThePhoto();
  for (auto _ : state) {
    LoadedImage loaded = LoadImageAtLeast(photo.path, QSize(kWidth / 8, kHeight / 8), detail);
    benchmark::DoNotOptimize(loaded.image.constBits());
    if (loaded.image.size() != QSize(kWidth / 8, kHeight / 8)) state.SkipWithError("wrong size");
  }
}
BENCHMARK_CAPTURE(DecodeEighth, Exact, ScaledDetail::Exact)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeEighth, Thumbnail, ScaledDetail::Thumbnail)->Unit(benchmark::kMillisecond);

void ReadImageSizeOfThousandFiles(benchmark::State& state) {
  const Photo& photo = ThePhoto();
  for (auto _ : state) {
    for (const QString& name : photo.header_copies) {
      if (ReadImageSize(name) != QSize(kWidth, kHeight)) state.SkipWithError("wrong size");
    }
  }
  state.SetItemsProcessed(state.iterations() * kHeaderFiles);
}
BENCHMARK(ReadImageSizeOfThousandFiles)->Unit(benchmark::kMillisecond);

void EncodeJpegQ100ToFile(benchmark::State& state) {
  const Photo& photo = ThePhoto();
  const QString out = photo.dir.filePath(QStringLiteral("out.jpg"));
  for (auto _ : state) {
    QString error;
    if (!EncodeImage(photo.decoded, out, QStringLiteral("image/jpeg"), 100, &error)) {
      state.SkipWithError(qPrintable(error));
    }
  }
}
BENCHMARK(EncodeJpegQ100ToFile)->Unit(benchmark::kMillisecond);

// The same without the file: shows what writing and renaming cost on top.
void EncodeJpegQ100InMemory(benchmark::State& state) {
  const Photo& photo = ThePhoto();
  for (auto _ : state) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!EncodeJpeg(photo.decoded, 100, buffer)) state.SkipWithError("encoding failed");
    benchmark::DoNotOptimize(buffer.data().constData());
  }
}
BENCHMARK(EncodeJpegQ100InMemory)->Unit(benchmark::kMillisecond);

void RotateFlipQuarterTurn(benchmark::State& state) {
  QImage image = ThePhoto().decoded;
  image.bits();  // a private copy: the loop turns it in place
  for (auto _ : state) {
    benchmark::DoNotOptimize(RotateFlip(image, RotateFlipType::Turn90));
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(RotateFlipQuarterTurn)->Unit(benchmark::kMillisecond);

}  // namespace
