'use strict';
// nginx, configured by deploy/nginx.conf, in front of two `vantrel serve`
// processes on loopback: requests are spread over both servers, stopping one
// in the middle of a bounded request loop loses no request, streamed pages
// reach the client in parts, and a page error's details do not leave nginx.
//
//   node nginx_failover_test.js VANTREL_COMMAND NGINX_CONF
//
// Exits 0 when every check passes, 1 when one fails, and 77 (skipped) when
// nginx is not installed, except under CI=true, where that is a failure.
// Everything it starts is stopped on every way out.

const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const net = require('net');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

const REQUESTS = 300;     // the bounded loop
const PARALLEL = 4;       // requests in flight at once
const STOP_AFTER = 100;   // answered requests before one server is stopped
const REQUEST_TIMEOUT_MS = 10000;
const DEADLINE_MS = 90000;
const SKIPPED = 77;

const PAGES = {
  'echo.asp': '<%@ LANGUAGE="JScript" %>echo <%= Request.QueryString("n") %>',
  'fails.asp': '<% throw new Error("details-for-the-log-only"); %>',
  'stream.asp': 'first<% Response.Flush(); var start = new Date().getTime();\n' +
                'while (new Date().getTime() - start < 1200) {} %>last',
};

const [vantrel, siteConf] = process.argv.slice(2);
const children = [];
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-nginx-'));

function fail(message) {
  console.error(`FAIL: ${message}`);
  const errorLog = path.join(work, 'error.log');
  if (fs.existsSync(errorLog)) console.error(`nginx's error log:\n${fs.readFileSync(errorLog, 'utf8')}`);
  process.exit(1);
}

process.on('exit', () => {
  for (const child of children) {
    if (child.exitCode === null && child.signalCode === null) child.kill('SIGKILL');
  }
  fs.rmSync(work, {recursive: true, force: true});
});
for (const signal of ['SIGINT', 'SIGTERM']) process.on(signal, () => fail(`got ${signal}`));
setTimeout(() => fail(`not done after ${DEADLINE_MS} ms`), DEADLINE_MS).unref();

function findNginx() {
  const dirs = (process.env.PATH || '').split(':').concat(['/usr/sbin', '/sbin']);
  for (const dir of dirs) {
    const candidate = path.join(dir, 'nginx');
    try {
      fs.accessSync(candidate, fs.constants.X_OK);
      return candidate;
    } catch (e) {
      // not here
    }
  }
  return null;
}

function start(command, args, name) {
  const child = childProcess.spawn(command, args, {stdio: ['ignore', 'pipe', 'pipe']});
  child.output = '';
  child.name = name;
  for (const stream of [child.stdout, child.stderr]) {
    stream.setEncoding('utf8');
    stream.on('data', (text) => { child.output += text; });
  }
  children.push(child);
  return child;
}

function sleep(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}

async function waitFor(what, child, test, ms) {
  for (const end = Date.now() + ms; Date.now() < end;) {
    const result = await test();
    if (result) return result;
    if (child.exitCode !== null || child.signalCode !== null) break;
    await sleep(50);
  }
  const state = child.exitCode === null && child.signalCode === null ? `not ready after ${ms} ms` : 'exited';
  fail(`${what}: ${state}\n${child.output}`);
}

async function startServer(site) {
  const child = start(vantrel, ['serve', '--bind', '127.0.0.1', '--port', '0', site], 'vantrel');
  const port = await waitFor('vantrel serve', child, () => {
    const match = /127\.0\.0\.1:(\d+)/.exec(child.output);
    return match && Number(match[1]);
  }, 10000);
  child.port = port;
  return child;
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
}

function accepts(port) {
  return new Promise((resolve) => {
    const socket = net.connect(port, '127.0.0.1');
    socket.on('connect', () => { socket.destroy(); resolve(true); });
    socket.on('error', () => resolve(false));
  });
}

// deploy/nginx.conf with its listen address and upstream servers pointed at
// the test's ports, inside a main configuration that keeps every file nginx
// writes in the work directory and logs which server answered each request.
function writeNginxConf(listenPort, upstreamPorts) {
  let conf = fs.readFileSync(siteConf, 'utf8');
  const serverLine = /^(\s*)server\s+[\w.:[\]-]+:\d+([^;]*);\n/m;
  const first = serverLine.exec(conf);
  if (!first) fail(`${siteConf}: no upstream server line`);
  const lines = upstreamPorts.map((port) => `${first[1]}server 127.0.0.1:${port}${first[2]};\n`);
  conf = conf.replace(new RegExp(serverLine.source, 'gm'), '');
  conf = conf.slice(0, first.index) + lines.join('') + conf.slice(first.index);
  conf = conf.replace(/^(\s*)listen\s+[^;]+;/m, `$1listen 127.0.0.1:${listenPort};`);
  fs.writeFileSync(path.join(work, 'site.conf'), conf);

  const temp = ['client_body', 'proxy', 'fastcgi', 'uwsgi', 'scgi']
      .map((kind) => `${kind}_temp_path ${path.join(work, kind)};`).join('\n  ');
  // One process (no master and workers), so that killing it leaves nothing behind.
  fs.writeFileSync(path.join(work, 'nginx.conf'), `daemon off;
master_process off;
pid ${path.join(work, 'nginx.pid')};
error_log ${path.join(work, 'error.log')} warn;
events { worker_connections 256; }
http {
  gzip on;
  log_format upstreams '$status $upstream_addr';
  access_log ${path.join(work, 'access.log')} upstreams;
  ${temp}
  include ${path.join(work, 'site.conf')};
}
`);
}

function get(agent, port, target) {
  return new Promise((resolve) => {
    const request = http.get({host: '127.0.0.1', port, path: target, agent}, (response) => {
      let body = '';
      response.setEncoding('utf8');
      response.on('data', (text) => { body += text; });
      response.on('end', () => resolve({status: response.statusCode, body}));
      response.on('error', (error) => resolve({error: error.message}));
    });
    request.setTimeout(REQUEST_TIMEOUT_MS, () => request.destroy(new Error('timed out')));
    request.on('error', (error) => resolve({error: error.message}));
  });
}

// The bounded loop: REQUESTS requests, PARALLEL at a time; after STOP_AFTER
// answers, `stop` is called once. Returns the requests that went wrong.
async function requestLoop(port, stop) {
  const agent = new http.Agent({keepAlive: true, maxSockets: PARALLEL});
  const wrong = [];
  let next = 0;
  let answered = 0;
  async function worker() {
    while (next < REQUESTS) {
      const n = next++;
      const result = await get(agent, port, `/echo.asp?n=${n}`);
      if (result.error || result.status !== 200 || result.body.trim() !== `echo ${n}`) {
        wrong.push(`request ${n}: ${result.error || `${result.status} ${result.body.slice(0, 200)}`}`);
      }
      if (++answered === STOP_AFTER) stop();
    }
  }
  await Promise.all(Array.from({length: PARALLEL}, worker));
  agent.destroy();
  return wrong;
}

// Times of the first and the last body byte of a streamed page, compressed
// on the way as nginx compresses pages by default.
function streamTimes(port) {
  return new Promise((resolve) => {
    const begin = Date.now();
    const headers = {'Accept-Encoding': 'gzip'};
    const request = http.get({host: '127.0.0.1', port, path: '/stream.asp', headers}, (raw) => {
      const response = raw.headers['content-encoding'] === 'gzip' ? raw.pipe(zlib.createGunzip()) : raw;
      let first = null;
      let body = '';
      response.setEncoding('utf8');
      response.on('data', (text) => {
        if (first === null) first = Date.now() - begin;
        body += text;
      });
      response.on('end', () => resolve({first, last: Date.now() - begin, body}));
    });
    request.setTimeout(REQUEST_TIMEOUT_MS, () => request.destroy(new Error('timed out')));
    request.on('error', (error) => resolve({error: error.message}));
  });
}

async function main() {
  if (!vantrel || !siteConf) fail('usage: node nginx_failover_test.js VANTREL_COMMAND NGINX_CONF');
  const nginx = findNginx();
  if (!nginx) {
    if (process.env.CI === 'true') fail('nginx is not installed (scripts/setup installs it)');
    console.log('SKIP: nginx is not installed (scripts/setup installs it)');
    process.exit(SKIPPED);
  }

  const site = path.join(work, 'site');
  fs.mkdirSync(site);
  for (const [name, text] of Object.entries(PAGES)) fs.writeFileSync(path.join(site, name), text);
  const servers = [await startServer(site), await startServer(site)];

  const port = await freePort();
  writeNginxConf(port, servers.map((server) => server.port));
  const proxy = start(nginx, ['-p', work, '-c', path.join(work, 'nginx.conf'),
                              '-e', path.join(work, 'error.log')], 'nginx');
  await waitFor('nginx', proxy, () => accepts(port), 10000);

  const stream = await streamTimes(port);
  if (stream.error || stream.body !== 'firstlast') {
    fail(`streamed page: ${stream.error || JSON.stringify(stream.body)}`);
  }
  if (stream.last - stream.first < 600) {
    fail(`streamed page: first part after ${stream.first} ms, the end after ${stream.last} ms`);
  }

  const error = await get(undefined, port, '/fails.asp');
  if (error.status !== 500 || error.body.includes('details-for-the-log-only')) {
    fail(`failing page through nginx: ${error.error || `${error.status} ${error.body}`}`);
  }

  const stopped = servers[0];
  const wrong = await requestLoop(port, () => stopped.kill('SIGTERM'));
  if (wrong.length) fail(`${wrong.length} of ${REQUESTS} requests lost:\n${wrong.join('\n')}`);
  await waitFor('the stopped server', stopped, async () => stopped.exitCode !== null, 10000);
  if (stopped.exitCode !== 0) fail(`the stopped server exited with ${stopped.exitCode}`);

  const counts = new Map(servers.map((server) => [server.port, 0]));
  const log = fs.readFileSync(path.join(work, 'access.log'), 'utf8').trim().split('\n');
  for (const line of log) {
    const last = /(\d+)\s*$/.exec(line);
    if (last && counts.has(Number(last[1]))) counts.set(Number(last[1]), counts.get(Number(last[1])) + 1);
  }
  const spread = servers.map((server) => `${server.port}: ${counts.get(server.port)}`).join(', ');
  if ([...counts.values()].some((count) => count === 0)) fail(`requests not spread: ${spread}`);
  console.log(`${REQUESTS} requests, none lost; answered per server ${spread}`);
}

main().then(() => process.exit(0), (error) => fail(error.stack || String(error)));
