// rasterise-glyphs: draws the glyph masks of the two fonts from DejaVu
// typefaces with FreeType and prints them as text (one block per glyph, "#"
// for ink, "." for none). It was run once; its output is kept in
// goldbar-glyphs.txt and simple-glyphs.txt, which make-fonts reads, so that
// the font images do not depend on the FreeType or font files of a machine.
//
//   rasterise-glyphs goldbar|simple FONT.ttf > FILE.txt
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Style {
  const char* characters;
  int cellWidth, cellHeight;
  int pixelSize;    // em size in pixels
  int embolden;     // outline emboldening in 1/64 pixel
  int baseline;     // row of the baseline in the cell
  int maxInkWidth;  // wider glyphs are squeezed horizontally to this
};

const Style kGoldBar = {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!., ", 32, 32, 36, 56, 29, 28};
const Style kSimple = {
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!", 16, 28, 24, 40, 21, 15};

// The outline of one character, emboldened, squeezed to at most the ink width.
bool loadOutline(FT_Face face, char c, const Style& style, long squeeze) {
  FT_Matrix matrix = {squeeze, 0, 0, 0x10000};
  FT_Set_Transform(face, &matrix, nullptr);
  if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING))
    return false;
  FT_Outline_Embolden(&face->glyph->outline, style.embolden);
  return true;
}

void printGlyph(FT_Face face, char c, const Style& style) {
  std::vector<std::string> rows(style.cellHeight, std::string(style.cellWidth, '.'));
  long squeeze = 0x10000;
  if (c != ' ' && loadOutline(face, c, style, squeeze)) {
    FT_BBox box;
    FT_Outline_Get_CBox(&face->glyph->outline, &box);
    long width = (box.xMax - box.xMin + 63) / 64;
    if (width > style.maxInkWidth) {
      squeeze = 0x10000L * style.maxInkWidth / width;
      loadOutline(face, c, style, squeeze);
      FT_Outline_Get_CBox(&face->glyph->outline, &box);
    }
    // Centre the ink in the cell.
    long inkCentre = (box.xMin + box.xMax) / 2;
    FT_Outline_Translate(&face->glyph->outline, style.cellWidth * 32 - inkCentre, 0);
    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    int left = face->glyph->bitmap_left;
    int top = style.baseline - face->glyph->bitmap_top;
    for (unsigned y = 0; y < bitmap.rows; y++) {
      for (unsigned x = 0; x < bitmap.width; x++) {
        int cx = left + static_cast<int>(x), cy = top + static_cast<int>(y);
        if (cx < 0 || cy < 0 || cx >= style.cellWidth || cy >= style.cellHeight) continue;
        if (bitmap.buffer[y * bitmap.pitch + x] >= 128) rows[cy][cx] = '#';
      }
    }
  }
  std::printf("glyph %c\n", c);
  for (const std::string& row : rows) std::printf("%s\n", row.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "goldbar") && std::strcmp(argv[1], "simple"))) {
    std::fprintf(stderr, "usage: rasterise-glyphs goldbar|simple FONT.ttf\n");
    return 2;
  }
  const Style& style = std::strcmp(argv[1], "goldbar") == 0 ? kGoldBar : kSimple;
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) || FT_New_Face(library, argv[2], 0, &face)) {
    std::fprintf(stderr, "rasterise-glyphs: %s: cannot open the font\n", argv[2]);
    return 2;
  }
  FT_Set_Pixel_Sizes(face, 0, style.pixelSize);
  std::printf("// %dx%d glyph masks drawn by rasterise-glyphs from %s\n", style.cellWidth,
              style.cellHeight,
              std::strrchr(argv[2], '/') ? std::strrchr(argv[2], '/') + 1 : argv[2]);
  for (const char* c = style.characters; *c; c++) printGlyph(face, *c, style);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return 0;
}
