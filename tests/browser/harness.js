// A small harness for driving pages in the Debian browsers: headless Chromium
// (DevTools protocol) and Firefox ESR (WebDriver BiDi), both through
// puppeteer-core, with real mouse and keyboard input. See README.md.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');

const ENGINES = {
  chromium: { executable: '/usr/bin/chromium', browser: 'chrome' },
  firefox: { executable: '/usr/bin/firefox-esr', browser: 'firefox' },
};

// Exit status that CTest counts as skipped (SKIP_RETURN_CODE).
const SKIP = 77;

let puppeteer = null;
function loadPuppeteer() {
  if (!puppeteer) puppeteer = require('puppeteer-core');
  return puppeteer;
}

// The engines that can run here. Under CI=true a missing browser or missing
// puppeteer-core is an error; otherwise it is reported and left out.
function availableEngines(wanted = Object.keys(ENGINES)) {
  const missing = [];
  try {
    loadPuppeteer();
  } catch (error) {
    missing.push('puppeteer-core (run scripts/setup, or npm ci in tests/browser)');
  }
  const engines = wanted.filter((name) => {
    if (fs.existsSync(ENGINES[name].executable)) return true;
    missing.push(`${ENGINES[name].executable} (run scripts/setup)`);
    return false;
  });
  if (missing.length) {
    const message = `missing: ${missing.join(', ')}`;
    if (process.env.CI === 'true') throw new Error(message);
    console.log(`browser tests: ${message}`);
  }
  return missing.some((m) => m.startsWith('puppeteer')) ? [] : engines;
}

// Launches one headless browser of the engine ('chromium' or 'firefox').
async function launch(engine) {
  const { executable, browser } = ENGINES[engine];
  const options = { browser, executablePath: executable, headless: true };
  let profile = null;
  if (engine === 'chromium') {
    profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-chromium-'));
    options.args = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run',
      `--user-data-dir=${profile}`];
  }
  const instance = await loadPuppeteer().launch(options);
  instance.engine = engine;
  if (profile) {
    // The profile goes once the browser has exited (close() waits for that).
    const close = instance.close.bind(instance);
    instance.close = async () => {
      await close();
      fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
    };
  }
  return instance;
}

// Serves `routes` (URL path -> body, or a function (request, response)) on
// an ephemeral loopback port, and other paths through `fallback(request,
// response)` when given (false when it does not serve the path); resolves to
// { url(path), close() }.
function serve(routes, fallback = () => false) {
  const server = http.createServer((request, response) => {
    const route = routes[new URL(request.url, 'http://x').pathname];
    if (typeof route === 'function') return route(request, response);
    if (route === undefined && fallback(request, response)) return undefined;
    if (route === undefined) {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      return response.end('not found');
    }
    const type = request.url.endsWith('.js') ? 'text/javascript' : 'text/html; charset=utf-8';
    response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-store' });
    response.end(route);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      const base = `http://127.0.0.1:${server.address().port}`;
      resolve({ url: (p) => base + p, close: () => new Promise((done) => server.close(done)) });
    });
  });
}

// A new tab whose script errors and console errors page.errors collects (not
// missing resources: pages may name images the test server does not have).
// Firefox now and then refuses a new tab while another one closes: tried again.
async function newPage(browser, { width = 800, height = 600 } = {}) {
  let page;
  for (let attempt = 1; !page; attempt++) {
    try {
      page = await browser.newPage();
    } catch (error) {
      if (attempt === 3 || !/no such frame|BrowsingContext/.test(error.message)) throw error;
    }
  }
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(`pageerror: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error' && !/^Failed to load resource/.test(message.text())) page.errors.push(`console: ${message.text()}`);
  });
  await page.setViewport({ width, height });
  return page;
}

// Opens `url` in a new tab (see newPage) and waits for its load event.
async function open(browser, url, options = {}) {
  const page = await newPage(browser, options);
  await page.goto(url, { waitUntil: 'load' });
  return page;
}

// The centre of the element `selector` (in `frame`, default the page), in
// page coordinates, so that mouse input lands on it for real.
async function centre(page, selector, frame = page.mainFrame()) {
  const handle = await frame.$(selector);
  assert.ok(handle, `no element ${selector}`);
  const box = await handle.boundingBox();
  assert.ok(box, `${selector} is not displayed`);
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}

// options: `frame` (default the page's), and the mouse's (button, count, delay).
async function click(page, selector, { frame, ...mouse } = {}) {
  const { x, y } = await centre(page, selector, frame);
  await page.mouse.click(x, y, mouse);
}

// Focuses the field by a click, then types `text` key by key.
async function type(page, selector, text) {
  await click(page, selector);
  await page.keyboard.type(text);
}

// The colour [r, g, b] the page shows at (x, y), from a screenshot (decoded
// by the page itself, through a canvas).
async function pixelAt(page, x, y) {
  const png = await page.screenshot({ clip: { x, y, width: 1, height: 1 }, encoding: 'base64' });
  return page.evaluate(async (data) => {
    const image = new Image();
    image.src = `data:image/png;base64,${data}`;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = canvas.height = 1;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    return Array.from(context.getImageData(0, 0, 1, 1).data.slice(0, 3));
  }, png);
}

// Runs the cases (objects { name, run(context) }) with at most `parallel`
// open at once; a failed case leaves a screenshot NAME.png in `outDir`.
// Resolves to the number of failures.
async function runCases(cases, { parallel = 4, outDir = '.', context = {} } = {}) {
  fs.mkdirSync(outDir, { recursive: true });
  let failures = 0;
  let next = 0;
  async function worker() {
    while (next < cases.length) {
      const test = cases[next++];
      const state = { pages: [] };
      const started = Date.now();
      try {
        await test.run({ ...context, track: (page) => (state.pages.push(page), page) });
        console.log(`ok   ${test.name} (${Date.now() - started} ms)`);
      } catch (error) {
        failures++;
        const shot = path.join(outDir, `${test.name.replace(/[^\w.-]+/g, '_')}.png`);
        const last = state.pages[state.pages.length - 1];
        if (last) await last.screenshot({ path: shot }).catch(() => {});
        console.log(`FAIL ${test.name}\n     ${String(error.message).split('\n').join('\n     ')}` +
          (last ? `\n     screenshot: ${shot}` : ''));
      } finally {
        await Promise.all(state.pages.map((page) => page.close().catch(() => {})));
      }
    }
  }
  await Promise.all(Array.from({ length: Math.min(parallel, cases.length) }, worker));
  return failures;
}

module.exports = { ENGINES, SKIP, assert, availableEngines, launch, serve, newPage, open, centre, click, pixelAt,
  type, runCases };
