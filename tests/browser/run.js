// The example pages in headless Chromium and Firefox ESR, with real mouse
// and keyboard input: every component works with vantrel-compat.js loaded,
// in quirks and standards mode, and each repair is shown to be needed.
//
//   node run.js --vantrel PATH/vantrel --examples DIR [--out DIR] [--engine NAME]
'use strict';

const { parseArgs } = require('node:util');
const h = require('./harness');
const { serveExamples } = require('./example_pages');

const { assert } = h;
const MODES = ['quirks', 'standards'];

// --- helpers over one page -------------------------------------------------

// Loads examples/NAME.js's page in `mode`; `compat` '1' (default), '0', 'late'
// or 'head'.
async function load(t, name, mode, { compat = t.compat || '1', stream = false, wait = true } = {}) {
  const query = `?mode=${mode}&compat=${compat}${stream ? `&stream=${stream}` : ''}`;
  if (!wait) {
    const page = t.track(await h.newPage(t.browser));
    page.loaded = page.goto(t.server.url(`/${name}.html${query}`), { waitUntil: 'load' });
    page.loaded.catch(() => {});  // awaited by the case, or dropped with the tab
    return page;
  }
  return t.track(await h.open(t.browser, t.server.url(`/${name}.html${query}`)));
}

function noErrors(page) {
  assert.deepEqual(page.errors, [], 'the page raised errors');
}

// Clicks (real mouse input) the element the page function returns.
async function clickOn(page, find, arg, { frame = page.mainFrame(), ...mouse } = {}) {
  const handle = (await frame.evaluateHandle(find, arg)).asElement();
  assert.ok(handle, `nothing found to click for ${arg}`);
  const box = await handle.boundingBox();
  assert.ok(box, `${arg} is not displayed`);
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2, mouse);
  return box;
}

// The `nth` (default first) innermost cell with this text below the element
// `rootId` (or anywhere).
const cell = ([rootId, text, nth = 0]) => {
  const root = rootId ? document.getElementById(rootId) : document;
  return [...root.querySelectorAll('td')].filter((td) =>
    td.textContent.trim() === text && !td.querySelector('td'))[nth];
};
const todayText = () => {
  const now = new Date();
  return `${now.getMonth() + 1}/${now.getDate()}/${now.getFullYear()}`;
};

async function popupFrame(page) {
  const element = await page.$('iframe[data-vantrel-popup]');
  assert.ok(element, 'no popup was created');
  return element.contentFrame();
}

async function popupState(page) {
  return page.$eval('iframe[data-vantrel-popup]', (frame) => {
    const r = frame.getBoundingClientRect();
    const body = frame.contentDocument.body;
    return { open: getComputedStyle(frame).display !== 'none', left: r.left, top: r.top,
      width: r.width, height: r.height, contentWidth: body.scrollWidth,
      contentHeight: body.scrollHeight, text: body.textContent };
  });
}

async function fieldState(page, name) {
  return page.$eval(`input[name=${name}]`, (f) => ({ value: f.value,
    selection: [f.selectionStart, f.selectionEnd], option: f.form.StateList.selectedIndex }));
}

// Cells of the progress bar that carry the fill colour, and the label.
async function progress(page) {
  return page.evaluate(() => {
    let filled = 0;
    for (let i = 1; i <= 100; i++) {
      const colour = getComputedStyle(document.getElementById('progress' + i)).backgroundColor;
      if (colour === 'rgb(0, 128, 0)') filled++;
    }
    return { filled, label: document.getElementById('Display').textContent.replace(/\u00a0/g, ' '),
      pageShown: getComputedStyle(document.getElementById('page')).display !== 'none' };
  });
}

// What the middle cell of a visible bar shows, where its image stands.
async function cellColour(page) {
  const { x, y } = await h.centre(page, '#progress50 img');
  return h.pixelAt(page, Math.floor(x), Math.floor(y));
}

// Left edges of a tree menu's heading and of its first link, and whether its
// links are shown.
async function treeMenu(page, n) {
  return page.evaluate((table) => {
    const rows = document.getElementById(table).rows;
    const heading = rows[0].cells[1].getBoundingClientRect();
    const link = rows[1].querySelector('a').getBoundingClientRect();
    return { open: link.height > 0, headingLeft: heading.left, linkLeft: link.left };
  }, `table_${n}`);
}

const cursorOf = (page, selector) => page.$eval(selector, (e) => getComputedStyle(e).cursor);

// --- behaviours with the script loaded -------------------------------------

const behaviours = {
  async autocomplete(t, mode) {
    const page = await load(t, 'autocomplete', mode);
    await h.type(page, 'input[name=State]', 'a');
    assert.deepEqual(await fieldState(page, 'State'),
      { value: 'Alabama', selection: [1, 7], option: 0 }, 'completes with the tail selected');
    await page.keyboard.type('r');
    assert.deepEqual(await fieldState(page, 'State'),
      { value: 'Arizona', selection: [2, 7], option: 2 }, 'the next key replaces the tail');
    await page.keyboard.press('Backspace');
    assert.deepEqual(await fieldState(page, 'State'),
      { value: 'Ar', selection: [2, 2], option: 2 }, 'Backspace does not complete again');
    await page.keyboard.type('q');
    assert.equal((await fieldState(page, 'State')).value, 'Ar', 'forced mode drops the q');
    await h.type(page, 'input[name=Code]', 'az');
    assert.deepEqual(await fieldState(page, 'Code'),
      { value: 'AZ', selection: [2, 2], option: 2 }, 'by value');
    await page.keyboard.type('q');
    assert.deepEqual(await fieldState(page, 'Code'),
      { value: 'AZq', selection: [3, 3], option: -1 }, 'not forced: kept, nothing selected');
    noErrors(page);
  },

  async calendarEmbedded(t, mode) {
    const page = await load(t, 'calendar', mode);
    const grid = () => page.$eval('#cal1', (c) => c.textContent);
    assert.match(await grid(), /Feb[\s\S]*2003/);
    await clickOn(page, cell, ['cal1', '14']);
    assert.equal(await page.$eval('input[name=Chosen]', (f) => f.value), '2/14/2003');
    await clickOn(page, cell, ['cal1', '>>']);
    assert.match(await grid(), /Mar/, 'the month arrow');
    await clickOn(page, cell, ['cal1', '>>', 1]);
    assert.match(await grid(), /Mar[\s\S]*2004/, 'the year arrow');
    await clickOn(page, cell, ['cal1', '[ Today ]']);
    assert.equal(await page.$eval('input[name=Chosen]', (f) => f.value), todayText());
    const marked = await page.$$eval('#cal1 font[color=FF0000]', (f) => f.map((e) => e.textContent));
    assert.deepEqual(marked, [String(new Date().getDate())], 'today is marked');
    assert.equal(await cursorOf(page, '#cal1 td[style*="cursor:hand"]'), 'pointer');
    noErrors(page);
  },

  async calendarPopup(t, mode) {
    const page = await load(t, 'calendar', mode);
    const button = await clickOn(page, () => document.querySelector('img[onclick]'), 'button');
    let state = await popupState(page);
    assert.ok(state.open, 'the button opens the popup');
    assert.ok(Math.abs(state.left - (button.x + button.width / 2 + 10)) <= 1 &&
      Math.abs(state.top - (button.y + button.height / 2 + 10)) <= 1, 'beside the pointer');
    assert.ok(state.width >= state.contentWidth && state.height >= state.contentHeight,
      `the whole grid fits (${JSON.stringify(state)})`);
    const frame = await popupFrame(page);
    await clickOn(page, cell, [null, '>>'], { frame });
    assert.match((await popupState(page)).text, /Mar/, 'the month arrow inside the popup');
    await clickOn(page, cell, [null, '14'], { frame });
    assert.equal(await page.$eval('input[name=StartDate]', (f) => f.value), '3/14/2003');
    assert.equal((await popupState(page)).open, false, 'a day click closes it');

    await clickOn(page, () => document.querySelector('img[onclick]'), 'button');
    await page.mouse.click(5, 590);
    assert.equal((await popupState(page)).open, false, 'a click outside closes it');

    await clickOn(page, () => document.querySelector('img[onclick]'), 'button');
    await page.keyboard.press('Escape');
    assert.equal((await popupState(page)).open, false, 'Escape closes it');

    await clickOn(page, () => document.querySelector('img[onclick]'), 'button');
    state = await popupState(page);
    assert.ok(state.height >= state.contentHeight, 'the Today row is inside the popup');
    await clickOn(page, cell, [null, '[ Today ]'], { frame: await popupFrame(page) });
    assert.equal(await page.$eval('input[name=StartDate]', (f) => f.value), todayText());
    assert.equal((await popupState(page)).open, false);
    noErrors(page);
  },

  async popupMenu(t, mode) {
    const page = await load(t, 'popupmenu', mode);
    await page.evaluate(() => window.addEventListener('contextmenu', (e) => {
      window.menuSuppressed = e.defaultPrevented;
    }));
    await page.mouse.click(200, 150, { button: 'right' });
    assert.equal(await page.evaluate(() => window.menuSuppressed), true, "no browser menu");
    const state = await popupState(page);
    assert.ok(state.open && state.left === 210 && state.top === 160,
      `at the pointer + 10 (${JSON.stringify(state)})`);
    const frame = await popupFrame(page);
    const printCell = (text) => [...document.querySelectorAll('td')].find((td) =>
      td.textContent.trim() === text);
    const box = await (await frame.evaluateHandle(printCell, 'Print')).asElement().boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    assert.equal(await frame.evaluate((text) => getComputedStyle([...document.querySelectorAll('td')]
      .find((td) => td.textContent.trim() === text)).backgroundColor, 'Print'),
      'rgb(0, 0, 128)', 'hover highlights');
    assert.equal(await frame.evaluate(() => getComputedStyle(document.querySelector(
      'td[onclick]')).cursor), 'pointer');
    await page.mouse.click(600, 500);
    assert.equal((await popupState(page)).open, false, 'a click outside closes it');
    await page.mouse.click(200, 150, { button: 'right' });
    noErrors(page);
    const navigation = page.waitForNavigation();
    await clickOn(page, printCell, 'Help', { frame: await popupFrame(page) });
    await navigation;
    assert.match(page.url(), /\/help\.asp$/, 'the item runs its action');
  },

  async progressBar(t, mode) {
    const page = await load(t, 'progressbar', mode);
    for (const [n, filled] of [[1, 25], [3, 75], [0, 0], [4, 100]]) {
      await page.evaluate((k) => progress_update(k), n);
      const state = await progress(page);
      assert.equal(state.filled, filled, `progress_update(${n})`);
      assert.equal(state.label, `${filled} %`);
    }
    noErrors(page);
  },

  async progressStreamed(t, mode) {
    const key = `${t.browser.engine}.${mode}`;
    const page = await load(t, 'progressbar', mode, { stream: key, wait: false });
    await page.waitForFunction(() => document.getElementById('page'));
    for (let step = 0; step <= 4; step++) {
      if (step > 0) {
        t.server.release(key);
        await page.waitForFunction((k) => {
          const label = document.getElementById('Display');
          return label && label.textContent.startsWith(`${k}\u00a0%`);
        }, {}, step * 25);
      }
      const state = await progress(page);
      assert.equal(state.filled, step * 25, `step ${step}`);
      assert.equal(state.pageShown, step === 4, `the content is shown only at the end (${step})`);
      if (step === 3) assert.deepEqual(await cellColour(page), [0, 128, 0], 'a cell shows its fill');
    }
    t.server.release(key);
    await page.loaded;
    assert.equal(await page.$eval('#page', (p) => getComputedStyle(p).display), 'block');
    assert.equal(await page.$eval('#progress', (p) => getComputedStyle(p).display), 'none');
    noErrors(page);
  },

  async tabs(t, mode) {
    const page = await load(t, 'tabs', mode);
    for (const n of [1, 2, 0]) {
      await h.click(page, `#p1tab${n}`);
      const front = await page.evaluate(() => {
        const r = document.getElementById('p1panel0').getBoundingClientRect();
        return document.elementFromPoint(r.left + 20, r.top + 10).closest('.panel').id;
      });
      assert.equal(front, `p1panel${n}`, `tab ${n}`);
    }
    assert.equal(await cursorOf(page, '.tab'), 'pointer');
    noErrors(page);
  },

  async tree(t, mode) {
    const page = await load(t, 'tree', mode);
    await h.click(page, '#image_1');
    let menu = await treeMenu(page, 1);
    assert.ok(menu.open, 'the folder opens its menu');
    assert.ok(menu.linkLeft >= menu.headingLeft, `links under the heading ${JSON.stringify(menu)}`);
    assert.equal((await treeMenu(page, 2)).open, false, 'the other menu stays closed');
    await h.click(page, '#image_1');
    assert.equal((await treeMenu(page, 1)).open, false, 'and closes it');
    await h.click(page, '#image_plus');
    for (const n of [1, 2]) {
      menu = await treeMenu(page, n);
      assert.ok(menu.open && menu.linkLeft >= menu.headingLeft, `expand all: ${n}`);
    }
    await h.click(page, '#image_minus');
    for (const n of [1, 2]) assert.equal((await treeMenu(page, n)).open, false, `collapse all ${n}`);
    assert.equal(await cursorOf(page, '#image_plus'), 'pointer');
    noErrors(page);
  },

  // All six on one page: they do not get in each other's way.
  async showcase(t, mode) {
    const page = await load(t, 'showcase', mode);
    assert.equal(await page.$eval('#progress', (p) => getComputedStyle(p).display), 'none');
    await h.click(page, '#image_plus');
    const menu = await treeMenu(page, 1);
    assert.ok(menu.open && menu.linkLeft >= menu.headingLeft, JSON.stringify(menu));
    await h.type(page, 'input[name=State]', 'al');
    assert.equal((await fieldState(page, 'State')).value, 'Alabama');
    await clickOn(page, () => document.querySelector('img[onclick*=calContextMenu]'), 'button');
    await clickOn(page, cell, [null, '20'], { frame: await popupFrame(page) });
    assert.equal(await page.$eval('input[name=DeliveryDate]', (f) => f.value), '2/20/2003');
    noErrors(page);
  },
};

// --- without the script: each repair is needed (standards mode) -----------

const broken = {
  async popupsDead(t) {
    const menu = await load(t, 'popupmenu', 'standards', { compat: '0' });
    assert.match(menu.errors.join('\n'), /createPopup/);
    const calendar = await load(t, 'calendar', 'standards', { compat: '0' });
    assert.match(calendar.errors.join('\n'), /createPopup/);
    await clickOn(calendar, () => document.querySelector('img[onclick]'), 'button');
    // Errors are reported asynchronously.
    for (let waited = 0; calendar.errors.length < 2 && waited < 3000; waited += 50) {
      await new Promise((resume) => setTimeout(resume, 50));
    }
    assert.match(calendar.errors[1] || '', /document/, 'and each click of the button fails');
  },
  async noCompletion(t) {
    const page = await load(t, 'autocomplete', 'standards', { compat: '0' });
    await h.type(page, 'input[name=State]', 'a');
    assert.equal((await fieldState(page, 'State')).value, 'a');
  },
  async bareColoursIgnored(t) {
    const page = await load(t, 'progressbar', 'standards', { compat: '0' });
    await page.evaluate(() => progress_update(2));
    assert.equal((await progress(page)).filled, 0);
  },
  // Firefox draws the cells' empty images as broken-image frames over the fill.
  async brokenImageCoversFill(t) {
    if (t.browser.engine !== 'firefox') return;
    const page = await load(t, 'progressbar', 'quirks', { compat: '0', stream: 'bare', wait: false });
    for (let step = 1; step <= 3; step++) t.server.release('bare');
    await page.waitForFunction(() => /75/.test(document.getElementById('Display').textContent));
    assert.notDeepEqual(await cellColour(page), [0, 128, 0]);
    t.server.release('bare');
    await page.loaded;
  },
  async treeRowMisplaced(t) {
    const page = await load(t, 'tree', 'standards', { compat: '0' });
    await h.click(page, '#image_1');
    const menu = await treeMenu(page, 1);
    assert.ok(menu.linkLeft < menu.headingLeft - 10, JSON.stringify(menu));
  },
  async handCursorIgnored(t) {
    const page = await load(t, 'tree', 'standards', { compat: '0' });
    assert.notEqual(await cursorOf(page, '#image_plus'), 'pointer');
  },
  async lateLoadComplains(t) {
    const page = await load(t, 'popupmenu', 'quirks', { compat: 'late' });
    assert.match(page.errors.join('\n'), /loaded after component output/);
  },
};

// --- the run -----------------------------------------------------------------

async function main() {
  const { values } = parseArgs({ options: { vantrel: { type: 'string' },
    examples: { type: 'string' }, out: { type: 'string', default: 'browser-failures' },
    engine: { type: 'string', multiple: true } } });
  const engines = h.availableEngines(values.engine);
  if (engines.length === 0) {
    console.log('browser tests skipped: no browser engine available');
    return h.SKIP;
  }
  const server = await serveExamples({ vantrel: values.vantrel, examplesDir: values.examples,
    names: ['autocomplete', 'calendar', 'popupmenu', 'progressbar', 'showcase', 'tabs', 'tree'] });
  let failures = 0;
  try {
    const results = await Promise.all(engines.map(async (engine) => {
      const browser = await h.launch(engine);
      try {
        const cases = [];
        for (const mode of MODES) {
          for (const [name, run] of Object.entries(behaviours)) {
            cases.push({ name: `${engine}.${mode}.${name}`, run: (t) => run(t, mode) });
          }
        }
        // As the Windows form includes it: in <head>.
        for (const name of ['calendarPopup', 'popupMenu', 'progressBar']) {
          cases.push({ name: `${engine}.in-head.${name}`,
            run: (t) => behaviours[name]({ ...t, compat: 'head' }, 'standards') });
        }
        for (const [name, run] of Object.entries(broken)) {
          cases.push({ name: `${engine}.without-script.${name}`, run });
        }
        return await h.runCases(cases, { parallel: 3, outDir: values.out,
          context: { browser, server } });
      } finally {
        await browser.close();
      }
    }));
    failures = results.reduce((a, b) => a + b, 0);
  } finally {
    await server.close();
  }
  console.log(failures ? `${failures} browser test(s) failed` : 'all browser tests passed');
  return failures ? 1 : 0;
}

main().then((status) => process.exit(status), (error) => {
  console.error(error);
  process.exit(1);
});
