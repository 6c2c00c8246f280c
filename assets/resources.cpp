#include "assets/resources.h"

#include "assets/embedded.h"

namespace corvexa {

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
    {&kGoldBarFontName, "goldbar.gif", {kGoldbarGifSize, kGoldbarGif}},
    {&kSimpleFontName, "simple-16x28.gif", {kSimple16x28GifSize, kSimple16x28Gif}},
    {&kSongName, "corvexa.xm.gz", {kCorvexaXmGzSize, kCorvexaXmGz}},
};

ResourceTable embeddedResources() {
  return {kResourceCount, kResourceTable};
}

const ResourceEntry* findResource(ResourceTable table, const ResourceName& name) {
  for (const ResourceEntry& entry : table) {
    if (entry.name == &name) return &entry;
  }
  return nullptr;
}

const Array<const uint8_t>* lookupResource(const ResourceName& name) {
  const ResourceEntry* entry = findResource(embeddedResources(), name);
  return entry != nullptr ? &entry->bytes : nullptr;
}

}  // namespace corvexa
