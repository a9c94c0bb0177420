// CMYK JPEGs for the decoder tests, written by TurboJPEG (with Adobe's marker, so read as inverted:
// the stored values are 255 - ink).
#pragma once

#include <turbojpeg.h>

#include <QByteArray>

namespace testing_support {

// stored holds width x height pixels of four bytes (C, M, Y, K as stored); empty on failure.
inline QByteArray CmykJpeg(const QByteArray& stored, int width, int height) {
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int status = tjCompress2(handle, reinterpret_cast<const unsigned char*>(stored.constData()), width, 0,
                                 height, TJPF_CMYK, &jpeg, &size, TJSAMP_444, 95, 0);
  QByteArray bytes =
      status == 0 ? QByteArray(reinterpret_cast<const char*>(jpeg), qsizetype(size)) : QByteArray();
  tjFree(jpeg);
  tjDestroy(handle);
  return bytes;
}

}  // namespace testing_support
