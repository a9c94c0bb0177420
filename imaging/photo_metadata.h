// The photo's own information (EXIF, XMP, IPTC: camera, lens, exposure, date, place, copyright)
// carried from the photo file into the framed output through Exiv2.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <memory>

#include "base/metadata_policy.h"

class PhotoMetadata {
 public:
  PhotoMetadata();
  ~PhotoMetadata();
  PhotoMetadata(const PhotoMetadata&);
  PhotoMetadata& operator=(const PhotoMetadata&);

  // Reads the photo's EXIF, XMP and IPTC as the policy keeps them. Information Exiv2 cannot parse
  // is dropped: the result is empty and *warning (when given) says so in one line naming the file.
  static PhotoMetadata Read(const QString& path, MetadataPolicy policy, QString* warning);

  bool IsEmpty() const;

  // Writes the information into an encoded JPEG, PNG, TIFF or WebP file held in memory, set right for
  // the framed picture: Orientation 1, the new pixel size, no embedded thumbnail, Software "Lumisto".
  // When Exiv2 cannot write it the file is left as it was and *warning says why.
  void EmbedInto(QByteArray& file, QSize pixel_size, QString* warning) const;

  // The information set right the same way as blocks for formats whose encoder stores them (AVIF,
  // JPEG XL): the EXIF block as a TIFF structure and the XMP packet; each empty when there is none
  // or it cannot be made (then *warning says why).
  void Blocks(QSize pixel_size, QByteArray* exif_tiff, QByteArray* xmp_packet, QString* warning) const;

 private:
  struct Information;
  std::shared_ptr<const Information> blocks_;
};
