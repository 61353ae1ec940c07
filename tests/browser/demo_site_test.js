// The demo site through `vantrel serve`, in headless Chromium and Firefox ESR
// with real mouse and keyboard input: a visitor opens a side menu, switches
// tabs, completes the state, picks a delivery date in the popup calendar,
// opens the right-click menu, places the order, watches the progress bar fill
// while the result page streams, and reads the posted values back.
//
//   node demo_site_test.js --vantrel PATH/vantrel --site DIR [--out DIR] [--engine NAME]
//
// Exits 0 when every case passes, 1 when one fails, 77 (skipped) when no
// browser can run (a failure under CI=true, see harness.js).
'use strict';

const childProcess = require('node:child_process');
const { parseArgs } = require('node:util');
const h = require('./harness');

const { assert } = h;
const DEADLINE_MS = 240000;
const CUSTOMER = 'Ann <Lee> & "Sons"';  // comes back HTML-encoded, reads the same

let server = null;
process.on('exit', () => {
  if (server && server.exitCode === null && server.signalCode === null) server.kill('SIGKILL');
});
setTimeout(() => {
  console.log(`FAIL: not done after ${DEADLINE_MS} ms`);
  process.exit(1);
}, DEADLINE_MS).unref();

// Starts `vantrel serve` on a free loopback port; resolves to its base URL.
function startServer(vantrel, site) {
  server = childProcess.spawn(vantrel, ['serve', '--quiet', '--port', '0', site],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  let output = '';
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`vantrel serve did not start:\n${output}`)), 10000);
    server.on('exit', (code) => reject(new Error(`vantrel serve exited with ${code}:\n${output}`)));
    for (const stream of [server.stdout, server.stderr]) {
      stream.setEncoding('utf8');
      stream.on('data', (text) => {
        output += text;
        const match = /http:\/\/127\.0\.0\.1:\d+/.exec(output);
        if (match) {
          clearTimeout(timer);
          resolve(match[0]);
        }
      });
    }
  });
}

// Clicks (real mouse input) the table cell whose text is `text`, in `frame`.
async function clickCell(page, frame, text) {
  const handle = (await frame.evaluateHandle((t) => [...document.querySelectorAll('td')]
    .find((td) => td.textContent.trim() === t && !td.querySelector('td')), text)).asElement();
  assert.ok(handle, `no cell ${text}`);
  const box = await handle.boundingBox();
  assert.ok(box, `cell ${text} is not displayed`);
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

// The page's popups (calendar, page menu) are frames; the open one is shown.
const popupOpen = (page) => page.$$eval('iframe[data-vantrel-popup]',
  (frames) => frames.some((frame) => getComputedStyle(frame).display !== 'none'));

async function popupFrame(page) {
  for (const element of await page.$$('iframe[data-vantrel-popup]')) {
    if (await element.evaluate((frame) => getComputedStyle(frame).display !== 'none')) {
      return element.contentFrame();
    }
  }
  assert.fail('no popup is open');
}

// The progress label ("NN %") while the page loads, or null between documents.
const progressLabel = (page) => page.evaluate(() => {
  const label = document.getElementById('Display');
  return label ? label.textContent.replace(/\u00a0/g, ' ') : null;
}).catch(() => null);

async function fillTheOrder(page) {
  // The side menu: a folder opens its links.
  await h.click(page, '#image_1');
  assert.ok(await page.$eval('#table_1', (t) => t.rows[1].getBoundingClientRect().height > 0),
    'the folder opens its menu');

  // The tabs: the second comes to the front.
  await h.click(page, '#p1tab1');
  assert.equal(await page.evaluate(() => {
    const r = document.getElementById('p1panel0').getBoundingClientRect();
    return document.elementFromPoint(r.left + 20, r.top + 10).closest('.panel').id;
  }), 'p1panel1', 'the second tab is in front');

  await h.type(page, 'input[name=Customer]', CUSTOMER);
  await h.type(page, 'input[name=State]', 'ar');
  assert.deepEqual(await page.$eval('input[name=State]', (f) =>
    [f.value, f.form.StateList.value]), ['Arizona', 'Arizona'], 'the state is completed');

  // The popup calendar: the 14th of the shown month.
  await h.click(page, 'img[onclick*=buildPopupCal]');
  assert.ok(await popupOpen(page), 'the calendar button opens the popup');
  await clickCell(page, await popupFrame(page), '14');
  const date = await page.$eval('input[name=DeliveryDate]', (f) => f.value);
  assert.match(date, /^\d{1,2}\/14\/\d{4}$/, 'a day click fills the date');
  assert.equal(await popupOpen(page), false, 'and closes the popup');

  // The right-click menu opens on the page; Escape closes it.
  const hint = await h.centre(page, 'p.hint');
  await page.mouse.click(hint.x, hint.y, { button: 'right' });
  assert.ok(await popupOpen(page), 'a right-click opens the page menu');
  assert.match(await (await popupFrame(page)).evaluate(() => document.body.textContent),
    /Place order/);
  await page.keyboard.press('Escape');
  assert.equal(await popupOpen(page), false, 'Escape closes the page menu');
  return date;
}

async function placeOrder(t) {
  const page = t.track(await h.open(t.browser, t.base + '/'));
  const date = await fillTheOrder(page);

  // Place the order and watch the bar while the page streams.
  const loaded = page.waitForNavigation({ waitUntil: 'load', timeout: 30000 });
  await h.click(page, 'input[name=PlaceOrder]');
  const seen = new Set();
  let done = false;
  loaded.then(() => { done = true; }, () => { done = true; });
  while (!done) {
    const label = await progressLabel(page);
    if (label) seen.add(label);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
  await loaded;
  const partial = [...seen].filter((label) => label !== '0 %' && label !== '100 %');
  assert.ok(partial.length >= 2, `the bar fills in steps while the page streams: ${[...seen]}`);

  const posted = await page.evaluate(() => Object.fromEntries([...document.querySelectorAll(
    '[id^=posted-]')].map((cell) => [cell.id.slice(7), cell.textContent])));
  assert.deepEqual(posted, { Customer: CUSTOMER, Product: 'Garden chair', Quantity: '1',
    State: 'Arizona', DeliveryDate: date, Notes: '' });
  assert.deepEqual(page.errors, [], 'the pages raised errors');
}

async function main() {
  const { values } = parseArgs({ options: { vantrel: { type: 'string' },
    site: { type: 'string' }, out: { type: 'string', default: 'browser-failures' },
    engine: { type: 'string', multiple: true } } });
  const engines = h.availableEngines(values.engine);
  if (engines.length === 0) {
    console.log('demo site browser test skipped: no browser engine available');
    return h.SKIP;
  }
  const base = await startServer(values.vantrel, values.site);
  const results = await Promise.all(engines.map(async (engine) => {
    const browser = await h.launch(engine);
    try {
      return await h.runCases([{ name: `${engine}.demo-site.order`, run: placeOrder }],
        { outDir: values.out, context: { browser, base } });
    } finally {
      await browser.close();
    }
  }));
  const failures = results.reduce((a, b) => a + b, 0);
  return failures ? 1 : 0;
}

main().then((status) => process.exit(status), (error) => {
  console.log(`FAIL: ${error.stack || error}`);
  process.exit(1);
});
