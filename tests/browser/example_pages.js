// The example pages as the built `vantrel run --compat-script` prints them, served on a
// loopback port in the variants the tests need:
//   /NAME.html                       as printed (quirks mode, with the script)
//   ...?mode=standards               with <!DOCTYPE html> in front
//   ...?compat=0                     without the compatibility script line
//   ...?compat=late                  the script line moved to the page's end
//   ...?compat=head                  the script line moved into a <head>
//   ...?stream=KEY                   sent in parts, one per progress_update
//                                    call, each held until release(KEY)
// and the script itself at /vantrel-compat.js, as `vantrel compat-script` prints it.
// Every *.gif the pages name is a 16 x 16 square, so that icons have their
// size at once and clicks land on them.
'use strict';

const { execFileSync } = require('node:child_process');
const path = require('node:path');
const { serve } = require('./harness');

const ICON = '<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16">' +
  '<rect width="16" height="16" fill="#c90"/></svg>';
const SCRIPT_LINE = '<script src="vantrel-compat.js"></script>\n';

function variant(page, query) {
  let html = page;
  const compat = query.get('compat') || '1';
  if (compat !== '1') {
    if (!html.includes(SCRIPT_LINE)) throw new Error('page lacks the script line');
    html = html.replace(SCRIPT_LINE, '');
    if (compat === 'late') html = html.replace('</body>', SCRIPT_LINE + '</body>');
    if (compat === 'head') html = html.replace('<html>', '<html><head>' + SCRIPT_LINE + '</head>');
  }
  if (query.get('mode') === 'standards') html = '<!DOCTYPE html>\r\n' + html;
  return html;
}

// Starts the server; `names` are examples/NAME.js. Resolves to
// { url(path), close(), release(key) } where release(key) lets the next part
// of the page streamed with that key go out.
async function serveExamples({ vantrel, examplesDir, names }) {
  const pages = {};
  for (const name of names) {
    pages[name] = execFileSync(vantrel,
      ['run', '--compat-script', path.join(examplesDir, `${name}.js`)],
      { encoding: 'utf8' });
  }
  const script = execFileSync(vantrel, ['compat-script'], { encoding: 'utf8' });
  const streams = {};  // key -> { waiting: [], released: 0 }
  const stream = (key) => (streams[key] = streams[key] || { waiting: [], released: 0 });
  const release = (key) => {
    const s = stream(key);
    if (s.waiting.length) s.waiting.shift()(); else s.released++;
  };
  const nextRelease = (key) => new Promise((go) => {
    const s = stream(key);
    if (s.released > 0) { s.released--; go(); } else s.waiting.push(go);
  });

  const routes = { '/vantrel-compat.js': script };
  for (const name of names) {
    routes[`/${name}.html`] = async (request, response) => {
      const query = new URL(request.url, 'http://x').searchParams;
      const html = variant(pages[name], query);
      response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8',
        'Cache-Control': 'no-store' });
      if (!query.get('stream')) return response.end(html);
      const parts = html.split(/(?=<SCRIPT LANGUAGE="JavaScript">progress_update)/);
      for (let i = 0; i < parts.length; i++) {
        if (i > 0) await nextRelease(query.get('stream'));
        // Padding past the browsers' initial buffering, so each part renders at once.
        response.write(parts[i] + `<!--${' '.repeat(2048)}-->\r\n`);
      }
      response.end();
    };
  }
  const server = await serve(routes, (request, response) => {
    if (!request.url.split('?')[0].endsWith('.gif')) return false;
    response.writeHead(200, { 'Content-Type': 'image/svg+xml', 'Cache-Control': 'max-age=600' });
    response.end(ICON);
    return true;
  });
  return { ...server, release };
}

module.exports = { serveExamples, SCRIPT_LINE };
