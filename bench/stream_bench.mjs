// What one press costs `panelhost web` as the page sees it, on the shipped
// studio and on one grown to 20,000 crosspoints (made here, in a temporary
// folder), with 50 other event streams open: press -> the route on the
// stream (median, p95), bytes the stream carries per press (the route, the
// router's tally, the highlight cleared), and the server's CPU time per
// press (its process's user + system time). Prints one table.
// Usage: node bench/stream_bench.mjs [PANELHOST] [PLUGIN]   (tools/bench runs it on the bench build)
import {spawn} from 'node:child_process';
import {mkdtemp, readFile, rm} from 'node:fs/promises';
import http from 'node:http';
import {tmpdir} from 'node:os';
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';

import {writeLargeTable} from '../tests/browser/large_studio.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const PANELHOST = process.argv[2] ?? join(root, 'build/bench/panelhost/panelhost');
const PLUGIN = process.argv[3] ?? join(root, 'build/bench/panels/Studio_A/ZUV_OZo/ZUV_OZo.so');
const OTHER_STREAMS = 50;
const PRESSES = 60;
const SETTLE_MS = 320;  // the tally (20 ms) and the highlight cleared (250 ms)

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

function start(extra) {
  const child = spawn(PANELHOST, ['web', PLUGIN, '--port', '0', ...extra], {stdio: ['ignore', 'pipe', 'inherit']});
  let out = '';
  return new Promise((found, failed) => {
    child.stdout.on('data', (d) => {
      out += d;
      const m = /on http:\/\/127\.0\.0\.1:(\d+)\//.exec(out);
      if (m) found({child, port: Number(m[1])});
    });
    child.on('exit', (code) => failed(new Error(`panelhost web ended (${code})`)));
  });
}

// The process's CPU time so far, in milliseconds (Linux).
async function cpuMs(pid) {
  const fields = (await readFile(`/proc/${pid}/stat`, 'utf8')).split(') ')[1].split(' ');
  return (Number(fields[11]) + Number(fields[12])) * 10;  // utime, stime in 100 Hz ticks
}

// An event stream: `onMessage` gets each message; counts its bytes.
function openStream(port, onMessage) {
  return new Promise((opened) => {
    const stream = {bytes: 0, request: null};
    stream.request = http.get({host: '127.0.0.1', port, path: '/api/events', agent: false}, (response) => {
      let pending = '';
      response.setEncoding('utf8');
      response.on('data', (chunk) => {
        stream.bytes += Buffer.byteLength(chunk);
        if (!onMessage) return;
        pending += chunk;
        let end;
        while ((end = pending.indexOf('\n\n')) >= 0) {
          const event = pending.slice(0, end);
          pending = pending.slice(end + 2);
          if (event.startsWith('data: ')) onMessage(JSON.parse(event.slice(6)), performance.now());
        }
      });
      opened(stream);
    });
  });
}

function press(port, control, choice) {
  const body = JSON.stringify({control, choice});
  return new Promise((done, failed) => {
    const request = http.request({host: '127.0.0.1', port, path: '/api/press', method: 'POST', agent: false,
                                  headers: {'Content-Type': 'application/json', 'Content-Length': body.length}},
                                 (response) => { response.resume(); response.on('end', done); });
    request.on('error', failed);
    request.end(body);
  });
}

function percentile(values, p) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * p))];
}

async function measure(name, extra) {
  const {child, port} = await start(extra);
  let waiting = null;  // {source, began, resolve}
  const watcher = await openStream(port, (message, at) => {
    if (!waiting || message.type !== 'change') return;
    const routed = message.change.crosspoints.find((xp) => xp.device === 9 && xp.dest === 410);
    if (routed && routed.source === waiting.source) waiting.resolve(at - waiting.began);
  });
  const others = [];
  for (let i = 0; i < OTHER_STREAMS; ++i) others.push(await openStream(port, null));
  await sleep(1000);  // every stream has its whole state

  await press(port, 'Mon_1', null);
  const sources = [1, 2, 3, 4, 5, 6];
  const latencies = [];
  const bytesBefore = watcher.bytes;
  const cpuBefore = await cpuMs(child.pid);
  for (let i = 0; i < PRESSES; ++i) {
    const source = sources[i % sources.length];
    const shown = new Promise((resolve) => { waiting = {source, began: performance.now(), resolve}; });
    await press(port, 'SourceSel', source);
    latencies.push(await shown);
    waiting = null;
    await sleep(SETTLE_MS);
  }
  const cpu = (await cpuMs(child.pid)) - cpuBefore;
  const bytes = (watcher.bytes - bytesBefore) / PRESSES;
  for (const stream of [watcher, ...others]) stream.request.destroy();
  child.kill('SIGINT');
  await new Promise((r) => child.on('exit', r));
  return {name, median: percentile(latencies, 0.5), p95: percentile(latencies, 0.95), bytes, cpu: cpu / PRESSES};
}

const dir = await mkdtemp(join(tmpdir(), 'panelhost-bench-'));
try {
  await writeLargeTable(root, join(dir, 'studio.json'), 10000);
  const rows = [await measure('shipped table (6 crosspoints)', []),
                await measure('20,000 crosspoints', ['--devices', join(dir, 'studio.json')])];
  console.log(`panelhost web, ${OTHER_STREAMS} other streams open, ${PRESSES} presses each`);
  console.log('table                          press->route median   p95 (goal <16.7 ms)  bytes/press (goal <64 KiB)' +
              '  server CPU/press');
  for (const r of rows) {
    console.log(`${r.name.padEnd(30)} ${r.median.toFixed(2).padStart(10)} ms ${r.p95.toFixed(2).padStart(12)} ms` +
                `       ${r.bytes.toFixed(0).padStart(10)} B        ${r.cpu.toFixed(2).padStart(8)} ms`);
  }
  const ratio = rows[1].cpu / Math.max(rows[0].cpu, 0.01);
  console.log(`server CPU per press, 20,000 crosspoints / shipped: ${ratio.toFixed(2)}x (goal: within 2x)`);
} finally {
  await rm(dir, {recursive: true, force: true});
}
