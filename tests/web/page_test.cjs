// The browser page in Debian's Chromium, headless, driven by Playwright:
//
//   node page_test.cjs --site DIR --tool CORVEXA_TOOL --chromium CHROMIUM --artefacts DIR
//
// DIR holds the built page (index.html, corvexa.js, corvexa.wasm, corvexa.html); the test
// serves it on 127.0.0.1 itself. In order: the still title screen and
// fullscreen; the start click; ticks at the display's pace, none while hidden;
// the canvas against `corvexa-tool frames --raw` at the tick the page reports;
// the sound's start (4,096 samples of silence, then the song halved); the
// picture's placement in every window of tests/platform/window_placements.tsv,
// exactly as the desktop program places it; a press that ends
// the show; a second show from the start, its sound through a ScriptProcessor;
// placement at 1.5 device pixels per CSS pixel; the single file corvexa.html
// opened from file://. A screenshot of the show is
// left in the artefacts folder as web-mid-show.png, and the page's download
// size and start-up times are printed.
'use strict';

const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { chromium } = require('playwright-core');
const { PNG } = require('pngjs');

const kWidth = 320;
const kHeight = 180;
const kSilentSamples = 4096;

function parseArguments() {
  const options = {};
  const argv = process.argv.slice(2);
  for (let i = 0; i + 1 < argv.length; i += 2) options[argv[i].replace(/^--/, '')] = argv[i + 1];
  for (const name of ['site', 'tool', 'chromium', 'artefacts']) {
    if (!options[name]) throw new Error(`missing --${name}`);
  }
  return options;
}

// ---- A static server for the page ----------------------------------------

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
};

function serve(root) {
  const served = new Map();  // path -> bytes sent
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    const body = fs.readFileSync(file);
    served.set(path.basename(file), body);
    response.writeHead(200, {
      'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream',
      'Cache-Control': 'no-store',
    });
    response.end(body);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve({ server, served, port: server.address().port }));
  });
}

// ---- Pictures --------------------------------------------------------------

// The frame corvexa-tool draws after tick, as canvas words (alpha 255).
function toolFrame(tool, tick) {
  const directory = fs.mkdtempSync(path.join(os.tmpdir(), 'corvexa-frame-'));
  try {
    execFileSync(tool, ['frames', '--ticks', String(tick), '--raw', '--out-dir', directory]);
    const bytes = fs.readFileSync(path.join(directory, `tick-${String(tick).padStart(5, '0')}.u32`));
    assert.equal(bytes.length, kWidth * kHeight * 4);
    const words = new Uint32Array(kWidth * kHeight);
    for (let i = 0; i < words.length; i++) words[i] = (bytes.readUInt32LE(i * 4) | 0xff000000) >>> 0;
    return words;
  } finally {
    fs.rmSync(directory, { recursive: true, force: true });
  }
}

function countDifferences(actual, expected) {
  let differences = 0;
  let first = -1;
  for (let i = 0; i < expected.length; i++) {
    if ((actual[i] >>> 0) !== expected[i]) {
      differences++;
      if (first < 0) first = i;
    }
  }
  return { differences, first };
}

// A picture in which every pixel differs from its neighbours and from its
// mirror images, with the fourth byte set on some pixels and clear on others.
function testPattern() {
  const words = new Array(kWidth * kHeight);
  for (let y = 0; y < kHeight; y++) {
    for (let x = 0; x < kWidth; x++) {
      const red = x & 255;
      const green = y;
      const blue = 64 + ((x >> 8) << 6) + ((x + y) & 31);
      const fourth = (x * 7 + y * 3) % 5 === 0 ? 0x80 : (x + y) % 3 === 0 ? 0xff : 0;
      words[y * kWidth + x] = (red | (green << 8) | (blue << 16) | (fourth << 24)) >>> 0;
    }
  }
  return words;
}

// The windows of tests/platform/window_placements.tsv with the engine's
// placement for each, as the page reports it.
function windowPlacements() {
  const file = path.join(__dirname, '..', 'platform', 'window_placements.tsv');
  return fs.readFileSync(file, 'utf8').split('\n').filter((row) => /^\d/.test(row)).map((row) => {
    const [width, height, turned, scale, x, y, pictureWidth, pictureHeight] =
      row.split('\t').map(Number);
    return {
      window: { width, height }, turned: turned !== 0, scale, x, y,
      width: pictureWidth, height: pictureHeight,
    };
  });
}

// Checks a screenshot against the pattern placed as `placement` says: every
// window pixel shows the framebuffer pixel it covers, opaque, or black. A
// picture shrunk to fit (scale 0) must cover exactly its rectangle (no pixel
// of the pattern is black).
function checkPlacement(png, pattern, placement) {
  const { scale, x: left, y: top, turned, width, height } = placement;
  let wrong = 0;
  let example = '';
  for (let y = 0; y < png.height; y++) {
    for (let x = 0; x < png.width; x++) {
      let expected = 0;  // black outside the picture
      const u = x - left;
      const v = y - top;
      const inside = u >= 0 && v >= 0 && u < width && v < height;
      if (inside && scale > 0) {
        // Turned: the framebuffer's top row runs up the left edge.
        const fx = turned ? kWidth - 1 - Math.floor(v / scale) : Math.floor(u / scale);
        const fy = turned ? Math.floor(u / scale) : Math.floor(v / scale);
        expected = pattern[fy * kWidth + fx] & 0xffffff;
      }
      const o = (y * png.width + x) * 4;
      const got = png.data[o] | (png.data[o + 1] << 8) | (png.data[o + 2] << 16);
      const shrunkWrong = inside && scale === 0 && got === 0;
      if ((!(inside && scale === 0) && got !== expected) || shrunkWrong || png.data[o + 3] !== 255) {
        if (wrong === 0) {
          example = `window pixel (${x}, ${y}) is ${got.toString(16)}, expected ${expected.toString(16)}`;
        }
        wrong++;
      }
    }
  }
  assert.equal(wrong, 0, `${wrong} window pixels wrong; first: ${example}`);
}

// ---- The scenario ----------------------------------------------------------

async function waitForStatus(page, description, predicate, timeout = 20000) {
  const deadline = Date.now() + timeout;
  for (;;) {
    const status = await page.evaluate(() => window.corvexaTest && window.corvexaTest.status());
    if (status && predicate(status)) return status;
    if (Date.now() > deadline) {
      throw new Error(`timed out waiting for ${description}; page: ${JSON.stringify(status)}`);
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// A press held for 250 ms: long enough for a frame to see it (a press and
// release between two frames goes unseen, as on the desktop).
async function press(page, x, y) {
  await page.mouse.move(x, y);
  await page.mouse.down();
  await page.waitForTimeout(250);
  await page.mouse.up();
}

// The first 16,384 samples the page played: 4,096 of silence, then the
// song's samples halved (an arithmetic shift), looping if the song is short.
async function checkSound(page) {
  const song = await page.evaluate(() => window.corvexaTest.song(16384));
  let report = null;
  for (let i = 0; i < 100; i++) {
    report = await page.evaluate(() => window.corvexaTest.audioReport());
    if (report.record.length === 16384) break;
    await page.waitForTimeout(100);
  }
  assert.equal(report.record.length, 16384, 'the sound did not play 16,384 samples');
  const samples = report.record.map((value) => Math.round(value * 32768));
  for (let i = 0; i < samples.length; i++) {
    let want = 0;
    if (i >= kSilentSamples && song.length > 0) {
      want = song.samples[(i - kSilentSamples) % song.length] >> 1;
    }
    assert.equal(samples[i], want, `sample ${i} of the sound is ${samples[i]}, not ${want}`);
  }
  console.log(`  song: ${song.length} samples rendered; ${report.played} samples played, ` +
    `${report.missing} of them silence for want of a block`);
}

function step(text) {
  console.log(`ok - ${text}`);
}

async function run(options) {
  const site = path.resolve(options.site);
  fs.mkdirSync(options.artefacts, { recursive: true });
  const { server, served, port } = await serve(site);
  const browser = await chromium.launch({
    executablePath: options.chromium,
    headless: true,
    timeout: 30000,
    args: [
      '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--force-color-profile=srgb',
    ],
  });  // Playwright gives Chromium a fresh profile folder of its own
  const pageErrors = [];
  try {
    const context = await browser.newContext({ viewport: { width: 1000, height: 600 }, deviceScaleFactor: 1 });
    const page = await context.newPage();
    page.on('pageerror', (error) => pageErrors.push(String(error)));
    page.on('console', (message) => {
      if (message.type() === 'error' || message.type() === 'warning') {
        console.log(`  page ${message.type()}: ${message.text()}`);
      }
    });
    const loadStart = Date.now();
    await page.goto(`http://127.0.0.1:${port}/`);

    // 1. A still title screen that asks for the click.
    let status = await waitForStatus(page, 'the title screen', (s) => s.phase === 'title', 60000);
    const loadMs = Date.now() - loadStart;
    assert.equal(status.line, 'Click to start');
    assert.ok(await page.isVisible('#warning'), 'no photosensitivity warning on the title screen');
    assert.match(await page.textContent('#warning'), /flash more than three times a\s+second/);
    await page.waitForTimeout(300);
    status = await waitForStatus(page, 'the title screen', () => true);
    assert.equal(status.frames, 0, 'the show runs before the click');
    assert.equal(status.audio, 'none', 'sound before the click');
    step('the page opens on a still title screen with "Click to start" and the flash warning');

    // F toggles fullscreen, Escape leaves it; neither starts the show.
    await page.keyboard.press('f');
    await waitForStatus(page, 'fullscreen', (s) => s.fullscreen);
    await page.keyboard.press('Escape');
    await waitForStatus(page, 'the end of fullscreen', (s) => !s.fullscreen);
    await page.keyboard.press('F');
    await waitForStatus(page, 'fullscreen', (s) => s.fullscreen);
    await page.keyboard.press('f');
    status = await waitForStatus(page, 'the end of fullscreen', (s) => !s.fullscreen);
    assert.equal(status.phase, 'title');
    step('F toggles fullscreen and Escape leaves it');

    // 2. The click starts the show and the sound together.
    await page.mouse.click(500, 300);
    status = await waitForStatus(page, 'the show', (s) => s.phase === 'show' && s.frames > 0);
    assert.equal(status.audio, 'running', 'the sound does not run');
    assert.equal(status.sampleRate, 44100);
    const clickToFirstFrameMs = status.clickToFirstFrameMs;
    step('the start click starts the show and the sound');

    // 3. Ticks follow the display: at 60 frames per second one per frame.
    status = await waitForStatus(page, 'tick 150', (s) => s.tick >= 150);
    const before = status;
    await page.waitForTimeout(1000);
    status = await waitForStatus(page, 'the show', () => true);
    const ticks = status.tick - before.tick;
    const frames = status.frames - before.frames;
    console.log(`  ${frames} frames and ${ticks} ticks in a second`);
    // (Loose bounds: a busy machine drops frames, and the rate measurement
    // makes up for them only every 60 frames.)
    assert.ok(ticks >= 30 && ticks <= 90, `${ticks} ticks in a second, not about 62`);

    // A hidden tab runs no ticks; shown again, the show goes on where it was
    // without catching up. (Headless Chromium never hides a page, so the test
    // makes the page believe it.)
    await page.evaluate(() => {
      Object.defineProperty(document, 'hidden', { configurable: true, get: () => true });
      document.dispatchEvent(new Event('visibilitychange'));
    });
    await page.waitForTimeout(100);
    const hidden = await waitForStatus(page, 'the hidden show', () => true);
    await page.waitForTimeout(500);
    status = await waitForStatus(page, 'the hidden show', () => true);
    assert.equal(status.tick, hidden.tick, 'ticks ran while the page was hidden');
    await page.evaluate(() => {
      delete document.hidden;
      document.dispatchEvent(new Event('visibilitychange'));
    });
    await page.waitForTimeout(200);
    status = await waitForStatus(page, 'the show again', (s) => s.tick > hidden.tick);
    assert.ok(status.tick - hidden.tick < 25,
      `${status.tick - hidden.tick} ticks in 200 ms after the page was shown again`);
    step('a hidden page runs no ticks and goes on where it was when shown');

    // 4. The canvas shows exactly the frame corvexa-tool draws at that tick.
    await page.evaluate(() => window.corvexaTest.hold(true));
    status = await page.evaluate(() => window.corvexaTest.status());
    const canvas = await page.evaluate(() => window.corvexaTest.canvasPixels());
    const expected = toolFrame(options.tool, status.tick);
    const { differences, first } = countDifferences(canvas, expected);
    assert.equal(differences, 0, `at tick ${status.tick} ${differences} pixels differ from ` +
      `corvexa-tool's frame, first at (${first % kWidth}, ${Math.floor(first / kWidth)})`);
    await page.screenshot({ path: path.join(options.artefacts, 'web-mid-show.png') });
    step(`the canvas shows corvexa-tool's frame of tick ${status.tick} pixel for pixel`);

    // 5. The sound: 4,096 samples of silence, then the song halved, in order.
    await checkSound(page);
    step('the sound starts with 4,096 samples of silence, then the song halved');

    // 6. Placement, the desktop program's for every window the engine's
    // placement test holds it to: whole-number scale, centred, turned in a
    // portrait window, shrunk whole in one too small; every pixel opaque. A
    // test pattern makes every pixel tell.
    const pattern = testPattern();
    await page.evaluate((words) => window.corvexaTest.present(words), pattern);
    for (const placement of windowPlacements()) {
      const { width, height } = placement.window;
      await page.setViewportSize({ width, height });
      status = await waitForStatus(page, `the placement in ${width} x ${height}`,
        (s) => s.placement.window.width === width && s.placement.window.height === height);
      assert.deepEqual(status.placement, placement);
      checkPlacement(PNG.sync.read(await page.screenshot()), pattern, status.placement);
      step(`${width} x ${height}: scale ${placement.scale}${placement.turned ? ', turned' : ''}, ` +
        'placed as the program places it, sharp and opaque');
    }

    await page.setViewportSize({ width: 1000, height: 600 });
    await waitForStatus(page, 'a landscape placement', (s) => s.placement.window.width === 1000);
    await page.evaluate(() => window.corvexaTest.hold(false));

    // 7. A press ends the show: black picture, no sound, an offer to start again.
    const running = await waitForStatus(page, 'the show', (s) => s.frames > status.frames);
    await press(page, 400, 200);
    status = await waitForStatus(page, 'the end of the show',
      (s) => s.showsEnded === 1 && s.line === 'Click to start again', 60000);
    assert.equal(status.phase, 'title');
    assert.equal(status.audio, 'none');
    const black = await page.evaluate(() => window.corvexaTest.canvasPixels());
    assert.ok(black.every((word) => word >>> 0 === 0xff000000), 'the picture is not black');
    await page.waitForTimeout(300);
    status = await waitForStatus(page, 'the ended show', () => true);
    assert.equal(status.frames, 0, 'the show went on after the press');
    console.log(`  the press came after tick ${running.tick}`);
    step('a press ends the show: black picture, no sound, "Click to start again"');

    // 8. A second show starts from the beginning, with its sound from the
    // start of the stream. It plays through a ScriptProcessor, as where a
    // browser has no AudioWorklet (the page reads the choice at each start).
    await page.evaluate(() => history.replaceState(null, '', '?sound=script-processor'));
    await page.mouse.click(500, 300);
    status = await waitForStatus(page, 'the second show', (s) => s.phase === 'show' && s.frames > 10);
    assert.ok(status.tick < 100, `the second show began at tick ${status.tick}`);
    assert.equal(status.audio, 'running');
    await checkSound(page);
    step('a click starts the show again from its start, sound through a ScriptProcessor');

    // 9. A portrait display of 1.5 device pixels per CSS pixel: the scale
    // counts device pixels, so each framebuffer pixel is still a sharp square
    // although the picture's corner lies at a fraction of a CSS pixel.
    const dense = await browser.newContext({
      viewport: { width: 600, height: 1000 }, deviceScaleFactor: 1.5,
    });
    const densePage = await dense.newPage();
    await densePage.goto(`http://127.0.0.1:${port}/`);
    await waitForStatus(densePage, 'the title screen', (s) => s.phase === 'title', 60000);
    await densePage.addStyleTag({ content: '#message, #fullscreen { display: none; }' });
    await densePage.evaluate((words) => window.corvexaTest.present(words), pattern);
    status = await waitForStatus(densePage, 'the title screen', () => true);
    assert.deepEqual(status.placement, {
      window: { width: 900, height: 1500 }, turned: true, scale: 4, x: 90, y: 110,
      width: 720, height: 1280,
    });
    checkPlacement(PNG.sync.read(await densePage.screenshot()), pattern, status.placement);
    await dense.close();
    step('portrait, 1.5 device pixels per CSS pixel: scale 4 in device pixels, still sharp');

    // 10. The single file, opened straight from disk: it asks for nothing
    // else, carries the project's version, and plays the same show and sound.
    const single = await browser.newContext({ viewport: { width: 1000, height: 600 }, deviceScaleFactor: 1 });
    const singlePage = await single.newPage();
    singlePage.on('pageerror', (error) => pageErrors.push(`corvexa.html: ${error}`));
    singlePage.on('console', (message) => {
      if (message.type() === 'error' || message.type() === 'warning') {
        console.log(`  corvexa.html ${message.type()}: ${message.text()}`);
      }
    });
    const singleUrl = `file://${path.join(site, 'corvexa.html')}`;
    const requests = [];
    singlePage.on('request', (request) => requests.push(request.url()));
    await singlePage.goto(singleUrl);
    await waitForStatus(singlePage, 'the single file\'s title screen', (s) => s.phase === 'title', 60000);
    const version = await singlePage.evaluate(() => document.querySelector('meta[name=version]').content);
    assert.equal(`corvexa-tool ${version}`, execFileSync(options.tool, ['--version']).toString().trim());
    await singlePage.mouse.click(500, 300);
    status = await waitForStatus(singlePage, 'the single file\'s show', (s) => s.phase === 'show' && s.tick >= 200);
    assert.equal(status.audio, 'running', 'the single file plays no sound');
    await singlePage.evaluate(() => window.corvexaTest.hold(true));
    status = await singlePage.evaluate(() => window.corvexaTest.status());
    const singleFrame = countDifferences(await singlePage.evaluate(() => window.corvexaTest.canvasPixels()),
      toolFrame(options.tool, status.tick));
    assert.equal(singleFrame.differences, 0, `corvexa.html at tick ${status.tick}: ` +
      `${singleFrame.differences} pixels differ from corvexa-tool's frame`);
    await checkSound(singlePage);
    const others = requests.filter((url) => url !== singleUrl && !/^(data|blob):/.test(url));
    assert.deepEqual(others, [], 'corvexa.html asks for other files');
    await single.close();
    const singleBytes = fs.readFileSync(path.join(site, 'corvexa.html'));
    console.log(`  corvexa.html: ${singleBytes.length} bytes, ` +
      `${zlib.gzipSync(singleBytes, { level: 9 }).length} gzip'd`);
    step(`corvexa.html from file:// (version ${version}): frame of tick ${status.tick} and the sound as served`);

    assert.deepEqual(pageErrors, []);

    // The measurements.
    let raw = 0;
    let gzipped = 0;
    for (const [name, body] of served) {
      const packed = zlib.gzipSync(body, { level: 9 }).length;
      console.log(`  ${name}: ${body.length} bytes, ${packed} gzip'd`);
      raw += body.length;
      gzipped += packed;
    }
    console.log(`  the page downloads ${raw} bytes, ${gzipped} gzip'd`);
    console.log(`  page load to title screen: ${loadMs} ms (start-up in WebAssembly: ` +
      `${Math.round(status.startUpMs)} ms)`);
    console.log(`  start click to first frame: ${Math.round(clickToFirstFrameMs)} ms`);
  } finally {
    await browser.close();
    server.close();
  }
}

const started = Date.now();
run(parseArguments()).then(
  () => console.log(`all page checks passed in ${((Date.now() - started) / 1000).toFixed(1)} s`),
  (error) => {
    console.error(`FAILED: ${error.message}`);
    process.exitCode = 1;
  });
