#include "core/scene.h"

#include <initializer_list>

#include "assets/embedded.h"
#include "base/wrapping.h"
#include "effects/tables.h"

namespace corvexa {

namespace {

// Motion parameters of the wobbling twisters, one set per narrow twister; the
// wide twister takes set 0 as well.
constexpr TwisterMotion kTwisterMotions[kNarrowTwisterCount] = {
    {384, 128, 4, 512, 4, 256}, {512, 256, 4, 128, 16, 64}, {128, 384, 6, 320, 2, 544},
    {832, 128, 2, 528, 4, 128}, {64, 256, 16, 32, 3, 352},  {512, 128, 4, 256, 4, 128},
};

constexpr uint32_t kBlockColours[4] = {0xFC7F00, 0xFFFFFF, 0xFC7F00, 0xFFFFFF};
constexpr int32_t kBlockWidths[4] = {30, 30, 29, 30};

constexpr char16_t kTitleText[] = u"Corvexa";
constexpr char16_t kTagText[] = u"Twisty!";

template <int32_t N>
constexpr Array<const char16_t> textOf(const char16_t (&text)[N]) {
  return Array<const char16_t>{N - 1, text};
}

// The blocks slide in from the right and stack up from column 12.
void slideBlocksIn(XorBlocks& blocks) {
  blocks.colours = arrayOver(kBlockColours, 4);
  blocks.widths = arrayOver(kBlockWidths, 4);
  blocks.waitX = 320;
  blocks.doneX = 12;
  blocks.launchVelocity = -1024;
  blocks.acceleration = 0;
  blocks.current = 0;
  blocks.fromX = 320;
  blocks.toX = 12;
  blocks.velocity = -1024;
  blocks.position = 320 * 256;
}

// The blocks swing out to the left, one after another.
void swingBlocksOut(XorBlocks& blocks) {
  blocks.colours = arrayOver(kBlockColours, 4);
  blocks.widths = arrayOver(kBlockWidths, 4);
  blocks.waitX = 12;
  blocks.doneX = -320;
  blocks.launchVelocity = 1280;
  blocks.acceleration = -16;
  blocks.current = 0;
  blocks.fromX = 12;
  blocks.toX = -320;
  blocks.velocity = 1280;
  blocks.position = 12 * 256;
}

void setLabel(SlidingLabel& label, const BitmapFont& font, Array<const char16_t> text, int32_t x,
              int32_t y, int32_t targetX, int32_t targetY, int32_t speed) {
  label.font = &font;
  label.text = text;
  label.spacing = 1;
  label.x = x;
  label.y = y;
  label.targetX = targetX;
  label.targetY = targetY;
  label.speed = speed;
}

// 6 groups of 4 bars under the six narrow twisters, in the same two hues.
void buildCurtain(Arena& arena, Scene& scene) {
  scene.curtainWidths = arena.makeArray<int32_t>(kCurtainBarCount);
  scene.curtainPositions = arena.makeArray<int32_t>(kCurtainBarCount);
  scene.curtainColours = arena.makeArray<uint32_t>(kCurtainBarCount);
  int32_t left = 7;
  for (int32_t group = 0; group < 6; group++) {
    int32_t hue = 8 * group;
    for (int32_t j = 0; j < 4; j++) {
      int32_t bar = 4 * group + j;
      int32_t width = j == 1 ? 12 : 11;
      scene.curtainWidths[bar] = width;
      scene.curtainPositions[bar] = left;
      scene.curtainColours[bar] =
          (j & 1) ? hsvToRgb(hue, 255, 255) : hsvToRgb((hue + 128) % 256, 255, 255);
      left += width;
    }
    left += 7;
  }
  BarCurtain& curtain = scene.barCurtain;
  curtain.widths = {kCurtainBarCount, scene.curtainWidths.items};
  curtain.xs = {kCurtainBarCount, scene.curtainPositions.items};
  curtain.colours = {kCurtainBarCount, scene.curtainColours.items};
  curtain.placed = 0;
  curtain.offset = -180;
  curtain.speed = 16;
}

void buildTimeline(Scene& scene) {
  Scene& s = scene;
  WobbleTwister* narrow = s.narrowTwisters;
  struct EntryPlan {
    int32_t start;
    int32_t animate;
    std::initializer_list<Effect*> effects;
  };
  const EntryPlan entries[kTimelineCount] = {
      {0, 0, {}},
      {1, 1, {&s.upperLabel, &s.lowerLabel}},
      {99, 1, {&s.upperLabel, &s.lowerLabel, &s.xorBlocks}},
      {519, 1, {&s.upperLabel, &s.lowerLabel, &s.swingTwister}},
      {1799, 0, {&s.upperLabel, &s.lowerLabel, &s.swingTwister}},  // the frozen picture
      {kJumpingWordTick, 1, {&s.upperLabel, &s.bouncingText, &s.wideTwister}},
      {kBlocksOutTick, 1, {&s.upperLabel, &s.lowerLabel, &s.xorBlocks}},
      {kLabelsOutTick, 1, {&s.upperLabel, &s.lowerLabel}},
      {4582, 1, {&s.barCurtain}},
      // The scroller runs between the twisters: odd ones behind it, even ones in front.
      {kLastSceneTick,
       1,
       {&narrow[1], &narrow[3], &narrow[5], &s.scroller, &narrow[0], &narrow[2], &narrow[4]}},
  };
  int32_t used = 0;
  for (int32_t i = 0; i < kTimelineCount; i++) {
    const EntryPlan& plan = entries[i];
    Effect** first = s.entryEffects + used;
    for (Effect* effect : plan.effects) s.entryEffects[used++] = effect;
    s.timeline[i] = {plan.start, {static_cast<int32_t>(plan.effects.size()), first}, plan.animate};
  }
  s.current = 0;
  s.tick = 0;
}

}  // namespace

Scene& buildScene(Arena& arena, const EffectTables& tables, const BitmapFont& goldBarFont,
                  const BitmapFont& simpleFont) {
  Scene& s = arena.make<Scene>();
  s.wideTexture = buildTwisterTexture(arena, tables, 128);
  s.narrowTexture = buildTwisterTexture(arena, tables, 48);
  s.titleText = textOf(kTitleText);
  s.tagText = textOf(kTagText);
  s.scrollText = {kScrollTxtSize, kScrollTxt};

  slideBlocksIn(s.xorBlocks);

  s.swingTwister.texture = &s.wideTexture;
  s.swingTwister.x = 8;
  s.swingTwister.hueA = 256;
  s.swingTwister.hueB = 150;

  WobbleTwister& wide = s.wideTwister;
  wide.texture = &s.wideTexture;
  wide.fadeStart = 920;
  wide.fadeLevel = 1;
  wide.x = 8;
  wide.hueA = 256;
  wide.hueB = 150;
  wide.motion = kTwisterMotions[0];

  buildCurtain(arena, s);

  for (int32_t i = 0; i < kNarrowTwisterCount; i++) {
    WobbleTwister& twister = s.narrowTwisters[i];
    twister.texture = &s.narrowTexture;
    twister.fadeStart = kNeverFades;
    twister.fadeLevel = 1;
    twister.x = 6 + 52 * i;
    twister.hueA = 8 * i;
    twister.hueB = (8 * i + 128) % 256;
    twister.motion = kTwisterMotions[i];
  }

  setLabel(s.upperLabel, simpleFont, s.titleText, 170, -simpleFont.glyphHeight, 170, 48, 1);
  setLabel(s.lowerLabel, simpleFont, s.tagText, 170, 180, 170, 104, 1);

  BouncingText& jumping = s.bouncingText;
  jumping.font = &simpleFont;
  jumping.tables = &tables;
  jumping.text = s.tagText;
  jumping.x = 170;
  jumping.y = 104;
  jumping.spacing = 1;

  BouncingScroller& scroller = s.scroller;
  scroller.font = &goldBarFont;
  scroller.text = s.scrollText;
  scroller.speedX = 2;
  scroller.speedY = 2;
  scroller.x = 320;
  scroller.y = 90;
  scroller.step = goldBarFont.glyphWidth + goldBarFont.glyphWidth / 8;

  buildTimeline(s);
  return s;
}

void runSceneTick(Scene& s) {
  const SceneEntry& entry = s.timeline[s.current];
  if (entry.animate != 0) {
    for (Effect* effect : entry.effects) effect->update();
  }
  s.tick = wrapAdd(s.tick, 1);
  if (s.current + 1 < kTimelineCount && s.tick >= s.timeline[s.current + 1].start) s.current++;

  if (s.tick >= kJumpingWordTick && s.tick <= kJumpingWordEndTick) {
    // The jump follows the wide twister's fade: 10 at full motion down to 4, then 0.
    int32_t v = s.wideTwister.fadeLevel / 100;
    if (v >= 1 && v <= 3) v = 4;
    s.bouncingText.amplitude = v;
  } else if (s.tick == kBlocksOutTick) {
    swingBlocksOut(s.xorBlocks);
  } else if (s.tick == kLabelsOutTick) {
    // Both labels leave sideways.
    const BitmapFont& font = *s.upperLabel.font;
    setLabel(s.upperLabel, font, s.titleText, 170, 48, -1000, 48, 6);
    setLabel(s.lowerLabel, font, s.tagText, 170, 104, 320, 104, 6);
  } else if (s.current == kTimelineCount - 1) {
    // The last scene, from tick 5094 on for as long as the show runs: the narrow
    // twisters' hues turn one step per tick. At tick 5094 they equal their
    // starting values, since 5094 + 26 = 5120 is a multiple of 256.
    for (int32_t i = 0; i < kNarrowTwisterCount; i++) {
      int32_t hueA = static_cast<int32_t>((static_cast<uint32_t>(s.tick) + 26u + 8u * i) % 256u);
      s.narrowTwisters[i].hueA = hueA;
      s.narrowTwisters[i].hueB = (hueA + 128) % 256;
    }
  }
  s.bouncingText.counter = wrapAdd(s.bouncingText.counter, 1);
}

void drawScene(Scene& s, Framebuffer framebuffer) {
  for (Effect* effect : s.timeline[s.current].effects) effect->draw(framebuffer);
}

}  // namespace corvexa
