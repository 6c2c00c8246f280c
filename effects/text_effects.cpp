#include "effects/text_effects.h"

// Placeholders until the fonts arrive.
void SlidingLabel::update() {}
void SlidingLabel::draw(Framebuffer) {}
void BouncingText::update() {}
void BouncingText::draw(Framebuffer) {}
void BouncingScroller::update() {}
void BouncingScroller::draw(Framebuffer) {}
