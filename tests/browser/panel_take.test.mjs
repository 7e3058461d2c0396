// Works `panelhost web` in Debian's Chromium the way an engineer does: the
// road of one take with the mouse, then a property set and read back, then
// Ctrl+C; once with the shipped studio and once with a table of 20,000
// crosspoints made here (never kept in the repository), where a device row
// is found through the table's filter. Prints the page's figures (first load
// to interactive, click to screen) as "figure:" lines. Run by
// tools/test-stages/60-browser.sh; the paths below can be given in the
// environment (PANELHOST, PLUGIN, SCREENSHOT, CHROMIUM).
import {after, before, describe, it} from 'node:test';
import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import {mkdir, mkdtemp, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';
import {chromium} from 'playwright-core';

import {writeLargeTable} from './large_studio.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const PANELHOST = process.env.PANELHOST ?? join(root, 'build/dev/panelhost/panelhost');
const PLUGIN = process.env.PLUGIN ?? join(root, 'build/dev/panels/Studio_A/ZUV_OZo/ZUV_OZo.so');
const SCREENSHOT = process.env.SCREENSHOT ?? join(root, 'build/dev/browser/panel-after-take.png');
const CHROMIUM = process.env.CHROMIUM ?? '/usr/bin/chromium';

// Chromium on this closed network: no sandbox (containers), no GPU, and no
// background traffic, whose refused connections otherwise stall it.
const CHROMIUM_ARGS = [
  '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync',
];

const PATIENCE_MS = 5000;

// Polls `probe` until it returns something truthy; fails after PATIENCE_MS
// naming `what` and the last value seen.
async function eventually(what, probe) {
  const deadline = Date.now() + PATIENCE_MS;
  let last;
  for (;;) {
    last = await probe();
    if (last) return last;
    if (Date.now() > deadline) assert.fail(`timed out waiting for ${what} (last seen: ${JSON.stringify(last)})`);
    await new Promise((r) => setTimeout(r, 25));
  }
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// Starts `panelhost web` on a free port; resolves once it prints its URL.
function startPanelhost(extra) {
  const child = spawn(PANELHOST, ['web', PLUGIN, '--port', '0', ...extra], {stdio: ['ignore', 'pipe', 'pipe']});
  const run = {child, out: '', err: '', exited: null};
  child.stdout.on('data', (d) => { run.out += d; });
  child.stderr.on('data', (d) => { run.err += d; });
  run.exited = new Promise((done) => child.on('exit', (code, signal) => done({code, signal})));
  const url = new Promise((found, failed) => {
    const timer = setTimeout(() => failed(new Error(`panelhost printed no URL:\n${run.out}${run.err}`)), 10000);
    child.stdout.on('data', () => {
      const m = /^panelhost web: serving ZUV_OZo\.so on (http:\/\/127\.0\.0\.1:\d+\/) — press Ctrl\+C to stop$/m
          .exec(run.out);
      if (m) {
        clearTimeout(timer);
        found(m[1]);
      }
    });
    run.exited.then(({code}) => failed(new Error(`panelhost web ended (${code}): ${run.err}`)));
  });
  return {run, url};
}

const TABLES = [
  {name: 'the shipped studio', crosspoints: 6},
  {name: 'a studio of 20,000 crosspoints', crosspoints: 20000},
];

for (const table of TABLES) describe(`panelhost web in Chromium, ${table.name}`, () => {
  let run;
  let tableDir;
  let url;
  let userDataDir;
  let context;
  let page;

  const control = (id) => page.locator(`[data-control="${id}"]`);
  const key = (id, choice) => page.locator(`button[data-control="${id}"][data-choice="${choice}"]`);
  const text = async (locator) => ((await locator.count()) ? (await locator.first().textContent()).trim() : null);
  const crosspoint = (device, dest) => page.locator(`tr[data-device="${device}"][data-dest="${dest}"]`);

  before(async () => {
    let extra = [];
    if (table.crosspoints > 6) {
      tableDir = await mkdtemp(join(tmpdir(), 'panelhost-table-'));
      await writeLargeTable(root, join(tableDir, 'studio.json'), table.crosspoints / 2);
      extra = ['--devices', join(tableDir, 'studio.json')];
    }
    const started = startPanelhost(extra);
    run = started.run;
    url = await started.url;
    userDataDir = await mkdtemp(join(tmpdir(), 'panelhost-chromium-'));
    context = await chromium.launchPersistentContext(userDataDir, {
      executablePath: CHROMIUM,
      headless: true,
      args: CHROMIUM_ARGS,
      viewport: {width: 1280, height: 900},
    });
    page = context.pages()[0] ?? await context.newPage();
    await page.goto(url);
  });

  after(async () => {
    await context?.close();
    if (run && run.child.exitCode === null && run.child.signalCode === null) run.child.kill('SIGKILL');
    if (userDataDir) await rm(userDataDir, {recursive: true, force: true});
    if (tableDir) await rm(tableDir, {recursive: true, force: true});
  });

  it('says where it is and draws the panel with the devices', async () => {
    await eventually('the panel drawn', () => control('Mon_2').count());
    assert.equal(await text(page.locator('#url')), url);
    assert.equal(await text(page.locator('#title')), 'Studio A - SCR monitors');
    assert.equal(await text(control('Mon_1')), 'SCR MON 1');
    assert.equal(await control('BG_Mon1').getAttribute('data-statesheet'), 'ZR_TakeHigh');
    assert.equal(await control('BG_Mon2').getAttribute('data-statesheet'), 'ZRGroupDeselected');
    const groups = await page.locator('button[data-control="GrpSelect"]').allTextContents();
    assert.deepEqual(groups.map((g) => g.trim()), ['Cameras', 'VT', 'Graphics', 'Remotes']);
    await eventually('the router\'s first tally on VID_2', async () => (await text(control('VID_2'))) === 'VT 1');
    assert.equal(await text(crosspoint(9, 411).locator('.tally')), 'VT 1');
    assert.equal(await text(crosspoint(7, 78).locator('.tally')), 'VT 1');
    assert.equal(await text(page.locator('#takes-go-to')), 'Takes go to SCR MON 1');
    // The monitors are named beside their destinations, on both devices.
    for (const [device, dest, name] of [[9, 410, 'SCR MON 1'], [9, 411, 'SCR MON 2'], [9, 412, 'SCR MON 3'],
                                        [7, 77, 'SCR MON 1'], [7, 78, 'SCR MON 2'], [7, 79, 'SCR MON 3']]) {
      assert.equal(await text(crosspoint(device, dest).locator('.dest-name')), name, `${device}/${dest}`);
    }
    const loaded = await page.evaluate(() => performance.getEntriesByName('panelhost:interactive')[0]?.startTime);
    assert.ok(loaded > 0, 'the page marks when it is first drawn');
    console.log(`figure: ${table.name}: first load to interactive ${loaded.toFixed(0)} ms`);
    const rows = await page.locator('#devices tr[data-dest]').count();
    assert.ok(rows <= 2 * 28, `at most a page of rows per device in the page, not ${rows}`);
  });

  it('finds a device row through the filter, the monitors still shown', async () => {
    const dest = table.crosspoints > 6 ? 7777 : 412;
    const filter = page.locator('input[data-filter="9"]');
    await filter.fill(String(dest));
    if (table.crosspoints > 6) {
      await eventually(`the row of ${dest}`, () => crosspoint(9, dest).count());
      const source = await text(crosspoint(9, dest).locator('.source'));
      const expected = JSON.parse(await (await fetch(`${url}api/state`)).text()).state.devices[0].crosspoints
          .find((xp) => xp.dest === dest);
      assert.equal(source, `${expected.source} ${expected.sourceName}`);
      assert.match(await text(page.locator('.device[data-device="9"] .rows-shown')), /^1–\d+ of \d+$/);
    }
    await filter.fill('CAM 2');
    const shown = page.locator('.device[data-device="9"] tbody.rows .source');
    if (table.crosspoints > 6) {
      await eventually('only rows taking CAM 2', async () => {
        const sources = await shown.allTextContents();
        return sources.length > 0 && sources.every((s) => s.endsWith('CAM 2')) ? sources : null;
      });
    } else {
      // The shipped packager has only the monitors' destinations.
      await eventually('no other rows', async () =>
        (await text(page.locator('.device[data-device="9"] .rows-shown'))) === 'no rows');
    }
    for (const monitor of [410, 411, 412]) assert.equal(await crosspoint(9, monitor).count(), 1, `${monitor} shown`);
    await filter.fill('');
  });

  it('selects monitor 2: its background is lit, monitor 1\'s is not', async () => {
    await control('Mon_2').click();
    await eventually('BG_Mon2 lit', async () =>
      (await control('BG_Mon2').getAttribute('data-statesheet')) === 'ZR_TakeHigh');
    await eventually('the words saying so', async () =>
      (await text(page.locator('#takes-go-to'))) === 'Takes go to SCR MON 2');
    assert.equal(await control('BG_Mon1').getAttribute('data-statesheet'), 'ZRGroupDeselected');
    assert.equal(await control('BG_Mon3').getAttribute('data-statesheet'), 'ZRGroupDeselected');
  });

  it('takes GFX 2 from Graphics: routed on 411 at once, highlight clears, VID_2 follows the router', async () => {
    await key('GrpSelect', 3).click();
    await eventually('the Graphics page', async () => (await key('GrpSelect', 3).getAttribute('data-chosen')) === '');
    await eventually('GFX 2 on the list', () => key('SourceSel', 22).count());

    // Notes each change of the list's highlight with the page's clock, so a
    // short-lived highlight is seen however slowly the test polls.
    await page.evaluate(() => {
      const grid = document.getElementById('panel');
      window.highlight = [];
      const note = () => {
        const lit = grid.querySelector('button[data-control="SourceSel"].lit');
        const now = lit ? lit.dataset.choice : null;
        if (window.highlight.length === 0 || window.highlight.at(-1).lit !== now) {
          window.highlight.push({lit: now, at: performance.now()});
        }
      };
      note();
      new MutationObserver(note).observe(grid, {childList: true, subtree: true, attributes: true});
    });
    await key('SourceSel', 22).click();

    await eventually('411 taking 22 on the packager', async () =>
      (await text(crosspoint(9, 411).locator('.source'))) === '22 GFX 2');
    await eventually('VID_2 showing GFX 2', async () => (await text(control('VID_2'))) === 'GFX 2');
    assert.equal(await text(crosspoint(7, 78).locator('.tally')), 'GFX 2', 'the router\'s tally for monitor 2');
    const highlight = await eventually('the highlight lit and cleared', () => page.evaluate(() =>
      (window.highlight.length >= 3 ? window.highlight : null)));
    assert.deepEqual(highlight.map((h) => h.lit), [null, '22', null], 'GFX 2 lit, then nothing');
    assert.equal(await page.locator('button[data-control="SourceSel"].lit').count(), 0);

    // The log the page shows says when, on the panel host's clock: the
    // highlight clears on the panel's 250 ms timer. (What the page saw is
    // later by the page's own delays, which vary on a busy machine.)
    const log = await page.locator('#log li').evaluateAll((items) => items.map((li) => ({
      time: parseInt(li.dataset.time, 10),
      wall: li.querySelector('.time').textContent,
      kind: li.className.replace('k-', ''),
      text: li.querySelector('.text').textContent,
    })));
    const at = (kind, text) => log.find((line) => line.kind === kind && line.text === text)?.time;
    const taken = at('event', 'control SourceSel "index=22" on panel "1" (code 2)');
    assert.ok(log.every((line) => /^\d\d:\d\d:\d\d\.\d\d\d$/.test(line.wall)), 'times of day on the wall clock');
    assert.equal(log.find((line) => line.text.includes('"_commands"'))?.text,
                 'property "_commands" (code 3), asked by the page, for its property forms');
    assert.equal(at('command', 'RC 9 22 411 \',1\' 0'), taken, 'routed at once');
    const cleared = at('command', 'TP \'index=0\' \'1\' \'SourceSel\'');
    assert.ok(cleared - taken >= 250 && cleared - taken < 1000,
              `the highlight cleared ${cleared - taken} ms after the take; the panel's timer is 250 ms`);

    // The lit source is not red: red means on air in a studio.
    await key('SourceSel', 21).click();
    await eventually('GFX 1 lit', () => page.locator('button[data-control="SourceSel"].lit').count());
    const [r, g, b] = (await page.locator('button[data-control="SourceSel"].lit').evaluate(
        (node) => getComputedStyle(node).backgroundColor)).match(/\d+/g).map(Number);
    assert.ok(!(r > 150 && g < 110 && b < 110), `the take highlight is rgb(${r}, ${g}, ${b})`);

    if (table.crosspoints === 6) {
      await mkdir(dirname(SCREENSHOT), {recursive: true});
      await page.screenshot({path: SCREENSHOT, fullPage: true});
    }
  });

  it('shows a click on screen: the source lit at once, the route as the stream brings it', async () => {
    // From the pointer going down to the frame that shows the source lit,
    // and to the frame that shows the route in the packager's row for
    // monitor 2 (the server's round trip).
    const lit = [];
    const routed = [];
    for (const source of [21, 22, 23, 24, 21, 22, 23, 24, 21]) {
      await page.waitForTimeout(300);  // the last highlight cleared
      await page.evaluate((choice) => {
        const grid = document.getElementById('panel');
        const began = {at: 0};
        grid.addEventListener('pointerdown', () => { began.at = performance.now(); }, {capture: true, once: true});
        const frameAfter = (found) => new Promise((done) => {
          const check = () => {
            if (!found()) return false;
            requestAnimationFrame(() => done(performance.now() - began.at));
            return true;
          };
          const seen = new MutationObserver(() => { if (check()) seen.disconnect(); });
          seen.observe(document.body, {childList: true, subtree: true, attributes: true, characterData: true});
        });
        window.litAfter = frameAfter(() =>
          grid.querySelector(`button[data-control="SourceSel"][data-choice="${choice}"].lit`));
        window.routedAfter = frameAfter(() =>
          document.querySelector('tr[data-device="9"][data-dest="411"] .num')?.textContent === choice);
      }, String(source));
      await key('SourceSel', source).click();
      lit.push(await page.evaluate(() => window.litAfter));
      routed.push(await page.evaluate(() => window.routedAfter));
    }
    console.log(`figure: ${table.name}: click to screen (source lit) median ${median(lit).toFixed(1)} ms; ` +
                `click to the route on screen median ${median(routed).toFixed(1)} ms, ` +
                `max ${Math.max(...routed).toFixed(1)} ms over ${routed.length} takes`);
    assert.equal(await text(crosspoint(9, 411).locator('.source')), '21 GFX 1');
  });

  it('sets myParam and instance and reads them back', {skip: table.crosspoints > 6 && 'once is enough'}, async () => {
    const answer = () => text(page.locator('#answers li .answer'));
    const asked = () => text(page.locator('#answers li .asked'));
    await eventually('the form of each property in "_commands"', async () => await page.locator('#prop-myParam').count() === 1);
    await page.fill('#prop-myParam', 'studio A');
    await page.click('form[data-name="myParam"] button');
    await eventually('the set acknowledged', async () => (await asked()) === 'myParam=studio A');
    assert.equal(await answer(), 'no answer');
    await page.fill('#prop-message', 'instance=cam2');
    await page.click('#prop-message-form button');
    await eventually('instance set', async () => (await asked()) === 'instance=cam2');

    await page.click('[data-read="return=all"]');
    await eventually('return=all answered', async () => (await asked()) === 'return=all');
    assert.equal(await answer(), 'myParam=studio A');
    await page.click('[data-read="_events"]');
    await eventually('_events answered', async () => (await asked()) === '_events');
    assert.equal(await answer(), 'notify=*');
    assert.equal(await page.locator('#violations').isHidden(), true, 'no rule broken');
  });

  it('stops on Ctrl+C after deleting the panel', async () => {
    run.child.kill('SIGINT');
    const {code} = await run.exited;
    assert.equal(code, 130, `stopped by Ctrl+C, as every mode ends then: ${run.err}`);
    const afterStop = run.out.slice(run.out.indexOf('panelhost web: stopping'));
    assert.match(afterStop, /<- RU 7\n.*<- AS\n$/);
    await eventually('the page noticing', async () => (await page.locator('#link').getAttribute('class')) === 'link lost');
  });
});
