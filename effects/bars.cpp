#include "effects/bars.h"

void BarCurtain::update() {}
void BarCurtain::draw(Framebuffer) {}
void XorBlocks::update() {}
void XorBlocks::draw(Framebuffer) {}
