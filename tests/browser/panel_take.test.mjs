// Works `panelhost web` in Debian's Chromium the way an engineer does: the
// road of one take with the mouse, then a property set and read back, then
// Ctrl+C. Run by tools/test-stages/60-browser.sh; the paths below can be
// given in the environment (PANELHOST, PLUGIN, SCREENSHOT, CHROMIUM).
import {after, before, describe, it} from 'node:test';
import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import {mkdir, mkdtemp, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';
import {chromium} from 'playwright-core';

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

// Starts `panelhost web` on a free port; resolves once it prints its URL.
function startPanelhost() {
  const child = spawn(PANELHOST, ['web', PLUGIN, '--port', '0'], {stdio: ['ignore', 'pipe', 'pipe']});
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

describe('panelhost web in Chromium', () => {
  let run;
  let url;
  let userDataDir;
  let context;
  let page;

  const control = (id) => page.locator(`[data-control="${id}"]`);
  const key = (id, choice) => page.locator(`button[data-control="${id}"][data-choice="${choice}"]`);
  const text = async (locator) => ((await locator.count()) ? (await locator.first().textContent()).trim() : null);
  const crosspoint = (device, dest) => page.locator(`tr[data-device="${device}"][data-dest="${dest}"]`);

  before(async () => {
    const started = startPanelhost();
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
  });

  it('selects monitor 2: its background is lit, monitor 1\'s is not', async () => {
    await control('Mon_2').click();
    await eventually('BG_Mon2 lit', async () =>
      (await control('BG_Mon2').getAttribute('data-statesheet')) === 'ZR_TakeHigh');
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
      time: parseInt(li.querySelector('.time').textContent, 10),
      kind: li.className.replace('k-', ''),
      text: li.querySelector('.text').textContent,
    })));
    const at = (kind, text) => log.find((line) => line.kind === kind && line.text === text)?.time;
    const taken = at('event', 'control SourceSel "index=22" on panel "1" (code 2)');
    assert.equal(at('command', 'RC 9 22 411 \',1\' 0'), taken, 'routed at once');
    const cleared = at('command', 'TP \'index=0\' \'1\' \'SourceSel\'');
    assert.ok(cleared - taken >= 250 && cleared - taken < 1000,
              `the highlight cleared ${cleared - taken} ms after the take; the panel's timer is 250 ms`);

    await mkdir(dirname(SCREENSHOT), {recursive: true});
    await page.screenshot({path: SCREENSHOT, fullPage: true});
  });

  it('sets myParam and instance and reads them back', async () => {
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
    assert.equal(code, 0, run.err);
    const afterStop = run.out.slice(run.out.indexOf('panelhost web: stopping'));
    assert.match(afterStop, /<- RU 7\n.*<- AS\n$/);
    await eventually('the page noticing', async () => (await page.locator('#link').getAttribute('class')) === 'link lost');
  });
});
