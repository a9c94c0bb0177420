// Reading a JPEG's pixel size and EXIF orientation from its markers, without decoding.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>

class QIODevice;

struct JpegHeader {
  QSize stored_size;          // the frame's size as coded, before the orientation
  int orientation = 1;        // EXIF orientation 1..8 (1 when absent or unreadable)
  QByteArray exif_thumbnail;  // the JPEG embedded in the EXIF block (IFD1), empty when there is none
  QByteArray icc_profile;     // the ICC profile of the APP2 chunks, joined; empty unless every chunk is there
  bool adobe = false;         // an APP14 "Adobe" segment: CMYK ink values are stored inverted
};

// True when bytes start like a JPEG file (SOI followed by a marker).
bool LooksLikeJpeg(QByteArrayView first_bytes);

// Walks the markers from the device's current position (at SOI) to the first frame header, reading
// only the segments it needs. Returns false for data that is not a JPEG or ends before a frame header.
bool ReadJpegHeader(QIODevice& device, JpegHeader* header);

// The orientation tag (0x0112) of IFD0 of an EXIF TIFF block (the APP1 payload after "Exif\0\0");
// 1 when absent, malformed or out of range. Every offset is bounds-checked: the block is untrusted.
int ExifOrientation(QByteArrayView tiff);

// The JPEG thumbnail of an EXIF TIFF block: the bytes IFD1's JPEGInterchangeFormat (0x0201) and
// JPEGInterchangeFormatLength (0x0202) point at, when they lie inside the block and start with SOI.
// Empty otherwise. As untrusted as the orientation.
QByteArrayView ExifThumbnail(QByteArrayView tiff);

// Where the scan of a JPEG whose start is data begins: the offset of its first SOS marker, found by
// walking the segments from SOI. kJpegScanNotYet when data ends before it; kJpegScanNone when data
// does not walk like a JPEG.
constexpr qsizetype kJpegScanNotYet = -1;
constexpr qsizetype kJpegScanNone = -2;
qsizetype JpegScanStart(QByteArrayView data);

// The JPEG file with the ICC profile added as APP2 chunks after its SOI and JFIF segments (a
// profile of up to 255 chunks of 65519 bytes). The file unchanged when the profile is empty or too
// large, or the data does not start like a JPEG.
QByteArray WithJpegIccProfile(const QByteArray& jpeg, QByteArrayView icc_profile);
