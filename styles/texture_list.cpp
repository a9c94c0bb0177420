// The shipped texture tiles, cut once from the atlas compiled into the program.
#include "styles/texture_list.h"

#include "base/lumisto_error.h"

// lumisto_core is a static library, so its resources must be registered by hand before first use; the
// macro declares a function and therefore has to stand outside any namespace.
static void InitTextureResource() { Q_INIT_RESOURCE(textures); }

namespace {

// The atlas made by tools/make_textures: tile i at column i % kAtlasColumns, row i / kAtlasColumns.
constexpr char kAtlasPath[] = ":/textures/textures.png";
constexpr int kAtlasColumns = 10;

QList<QImage> CutAtlas(const QImage& atlas) {
  const QImage source = atlas.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int size = TextureList::kTileSize;
  const int rows = source.height() / size;
  QList<QImage> tiles;
  for (int i = 0; i < TextureList::kCount && i / kAtlasColumns < rows; ++i) {
    const int column = i % kAtlasColumns;
    if ((column + 1) * size > source.width()) break;
    // copy() gives each tile its own pixels, so the atlas itself is released after cutting.
    tiles.append(source.copy(column * size, (i / kAtlasColumns) * size, size, size));
  }
  return tiles;
}

}  // namespace

TextureList TextureList::LoadShipped() {
  InitTextureResource();
  QList<QImage> tiles = CutAtlas(QImage(QString::fromLatin1(kAtlasPath)));
  // Every style names tiles by number, so a short list would silently drop textures from frames.
  if (tiles.size() != kCount) {
    throw LumistoError(QStringLiteral("The texture tiles of this build are damaged: %1 of %2 found.")
                           .arg(tiles.size())
                           .arg(kCount));
  }
  return TextureList(std::move(tiles));
}
