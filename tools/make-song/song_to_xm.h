// The synthesised song in the XM file's terms, for the XM writer.
#pragma once

#include "tools/make-song/song.h"
#include "tools/make-song/xm_writer.h"

namespace corvexa::make_song {

XmModule toXm(const Song& song);

}  // namespace corvexa::make_song
