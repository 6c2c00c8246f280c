#include "assets/resources.h"

#include "assets/embedded.h"

namespace {

constexpr char16_t kGoldBarText[] = u"Quillborrow.Corvexa.Resources.Fonts.GoldBar.gif";
constexpr char16_t kSimpleText[] = u"Quillborrow.Corvexa.Resources.Fonts.16x28 Simple.gif";
constexpr char16_t kSongText[] = u"Quillborrow.Corvexa.Resources.Music.Corvexa.gz";

// A name's text without the terminating zero.
template <int32_t N>
constexpr Array<const char16_t> nameText(const char16_t (&text)[N]) {
  return Array<const char16_t>{N - 1, text};
}

}  // namespace

const ResourceName kGoldBarFontName{nameText(kGoldBarText)};
const ResourceName kSimpleFontName{nameText(kSimpleText)};
const ResourceName kSongName{nameText(kSongText)};

const ResourceEntry kResourceTable[kResourceCount] = {
    {&kGoldBarFontName, {kGoldbarGifSize, kGoldbarGif}},
    {&kSimpleFontName, {kSimple16x28GifSize, kSimple16x28Gif}},
    {&kSongName, {kCorvexaXmGzSize, kCorvexaXmGz}},
};

const Array<const uint8_t>* lookupResource(const ResourceName& name) {
  for (const ResourceEntry& entry : kResourceTable) {
    if (entry.name == &name) return &entry.bytes;
  }
  return nullptr;
}
