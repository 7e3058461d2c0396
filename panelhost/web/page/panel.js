// panelhost web: draws the panel, the devices and the log from the state the
// emulator streams (/api/events), and sends the operator's presses and
// property messages back (/api/press, /api/property).
'use strict';

const $ = (id) => document.getElementById(id);

// A DOM element with attributes (class, data-*, ...) and children; text
// children become text nodes, so nothing the plug-in sends is read as HTML.
function el(tag, attrs = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attrs)) {
    if (value === undefined || value === null || value === false) continue;
    node.setAttribute(name, value === true ? '' : String(value));
  }
  for (const child of children.flat()) {
    if (child === undefined || child === null) continue;
    node.append(child instanceof Node ? child : document.createTextNode(String(child)));
  }
  return node;
}

async function post(path, body) {
  const response = await fetch(path, {
    method: 'POST',
    headers: {'Content-Type': 'application/json'},
    body: JSON.stringify(body),
  });
  const data = await response.json().catch(() => ({error: response.statusText}));
  if (!response.ok) throw new Error(data.error || response.statusText);
  return data;
}

// ---- the panel ------------------------------------------------------------

// Where a control sits on the layout's grid; unplaced controls take a full
// row below the rest.
function placeOn(node, area) {
  if (area) {
    node.style.gridColumn = `${area[0]} / span ${Math.max(area[2], 1)}`;
    node.style.gridRow = `${area[1]} / span ${Math.max(area[3], 1)}`;
  } else {
    node.style.gridColumn = '1 / -1';
  }
  return node;
}

// A press the page sends: the control and, for lists and group selectors,
// the source or page.
function pressable(control, choice, attrs, ...children) {
  return el('button', {type: 'button', 'data-control': control, 'data-choice': choice, ...attrs}, ...children);
}

function drawLabel(control) {
  const props = control.properties;
  if ('statesheet' in props) {
    // A background the panel lights by switching its statesheet.
    return el('div', {
      class: `tile sheet-${props.statesheet}`,
      'data-control': control.id,
      'data-statesheet': props.statesheet,
      title: `${control.id}: ${props.statesheet}`,
    });
  }
  const text = props.text ?? control.caption;
  return el('div', {class: 'readout', 'data-control': control.id, title: control.id},
            el('span', {class: 'readout-text'}, text === '' ? '—' : text));
}

function drawButton(control) {
  return pressable(control.id, undefined, {class: 'key'}, control.caption || control.id);
}

function drawGroupSelector(control) {
  return el('div', {class: 'groups', 'data-control': control.id},
            el('span', {class: 'caption'}, control.caption || control.id),
            el('div', {class: 'group-keys'},
               control.pages.map((page) => pressable(control.id, page.number, {
                 class: page.chosen ? 'key group chosen' : 'key group',
                 'data-chosen': page.chosen,
               }, page.name || `Page ${page.number}`))));
}

function drawList(control) {
  const heading = el('div', {class: 'list-heading'},
                     el('span', {class: 'caption'}, control.caption || control.id),
                     el('span', {class: 'page-name'}, control.pageName || `page ${control.page}`));
  const keys = control.sources.map((source) => pressable(control.id, source.number, {
    class: source.lit ? 'key source lit' : 'key source',
    'data-lit': source.lit,
  }, el('span', {class: 'source-name'}, source.name), el('span', {class: 'source-number'}, source.number)));
  return el('div', {class: 'list', 'data-control': control.id, 'data-page': control.page, 'data-lit': control.lit},
            heading, el('div', {class: 'source-keys'}, keys));
}

const drawers = {
  'label': drawLabel,
  'button': drawButton,
  'group selector': drawGroupSelector,
  'list': drawList,
};

// The panel as last drawn: its controls by id, and the node of each, so a
// change redraws only the controls it names.
const shown = {panel: null, at: new Map(), nodes: new Map()};

function drawControl(control) {
  const draw = drawers[control.kind];
  const node = draw ? placeOn(draw(control), control.area) : null;
  const old = shown.nodes.get(control.id);
  if (node && old) old.replaceWith(node);
  else if (old) old.remove();
  if (node) shown.nodes.set(control.id, node);
  else shown.nodes.delete(control.id);
  return node;
}

function drawPanel(panel, missing) {
  const grid = $('panel');
  shown.panel = panel;
  shown.at = new Map();
  shown.nodes = new Map();
  $('no-panel').hidden = panel !== null;
  $('no-panel').textContent = missing
    ? `No layout is shown: ${missing}.`
    : 'The panel has not shown a layout yet.';
  grid.hidden = panel === null;
  if (panel === null) return drawTakesGoTo();
  $('title').textContent = panel.title || `panel ${panel.id}`;
  grid.style.gridTemplateColumns = `repeat(${panel.columns}, minmax(0, 1fr))`;
  grid.style.gridTemplateRows = `repeat(${Math.max(panel.rows, 1)}, minmax(3.25rem, auto))`;
  panel.controls.forEach((control, i) => shown.at.set(control.id, i));
  grid.replaceChildren(...panel.controls.map(drawControl).filter(Boolean));
  drawTakesGoTo();
}

// A control the panel changed, in place.
function updateControl(control) {
  const i = shown.at.get(control.id);
  if (!shown.panel || i === undefined) return;
  shown.panel.controls[i] = control;
  if (shown.nodes.has(control.id)) drawControl(control);
}

// Whether area `inner` lies within area `outer` on the grid.
function within(inner, outer) {
  return inner && outer && inner[0] >= outer[0] && inner[1] >= outer[1] &&
         inner[0] + inner[2] <= outer[0] + outer[2] && inner[1] + inner[3] <= outer[1] + outer[3];
}

// Says in words where a take goes: the monitor whose tile the panel lit
// with its take highlight (the ZR_TakeHigh statesheet), named by the button
// on that tile.
function drawTakesGoTo() {
  const line = $('takes-go-to');
  const controls = shown.panel ? shown.panel.controls : [];
  const names = controls.filter((c) => c.properties.statesheet === 'ZR_TakeHigh').map((tile) => {
    const key = controls.find((c) => c.kind === 'button' && within(c.area, tile.area));
    return key ? (key.caption || key.id) : tile.id;
  });
  line.hidden = shown.panel === null;
  line.textContent = names.length ? `Takes go to ${names.join(' and ')}` : 'No monitor is chosen: takes go nowhere';
}

// Presses go out on pointer down, as a panel key acts when pushed. A
// source of a list is lit at once, as the host lights what was picked
// before the panel hears of it; the stream's change confirms it, and a
// press refused draws the list again as the host has it.
function sendPress(target) {
  const key = target.closest('button[data-control]');
  if (!key) return;
  const body = {control: key.dataset.control};
  if (key.dataset.choice !== undefined) body.choice = key.dataset.choice;
  if (key.classList.contains('source')) {
    for (const lit of key.parentElement.querySelectorAll('.lit')) lit.classList.remove('lit');
    key.classList.add('lit');
  }
  post('/api/press', body).catch((error) => {
    const i = shown.at.get(body.control);
    if (shown.panel && i !== undefined) drawControl(shown.panel.controls[i]);
    showProblem(error.message);
  });
}

$('panel').addEventListener('pointerdown', (event) => {
  if (event.button === 0) sendPress(event.target);
});
$('panel').addEventListener('click', (event) => {
  if (event.detail === 0) sendPress(event.target);  // from the keyboard
});

// ---- the devices ----------------------------------------------------------

// Rows of a device table on one page; a table of thousands of crosspoints
// is never all in the page.
const kRowsShown = 25;

// One device's crosspoints: the named destinations (the monitors) always
// shown at the top, the rest a page at a time, filtered by destination
// (number or name) or source name. Holds every crosspoint by destination;
// a change touches only its own row.
class DeviceTable {
  constructor(device) {
    this.number = device.number;
    this.byDest = new Map();
    for (const xp of device.crosspoints) this.byDest.set(xp.dest, xp);
    this.dests = device.crosspoints.map((xp) => xp.dest);  // in destination order, as sent
    this.filter = '';
    this.page = 0;
    this.rows = new Map();  // dest -> its row, for the rows drawn
    this.pinned = el('tbody', {class: 'pinned'});
    this.body = el('tbody', {class: 'rows'});
    this.input = el('input', {type: 'search', class: 'filter', placeholder: 'filter: destination or source name',
                              'aria-label': `filter ${device.name}`, 'data-filter': device.number});
    this.input.addEventListener('input', () => this.setFilter(this.input.value));
    this.counter = el('span', {class: 'muted rows-shown'});
    this.back = el('button', {type: 'button', class: 'key small', 'data-page': 'back'}, '‹');
    this.next = el('button', {type: 'button', class: 'key small', 'data-page': 'next'}, '›');
    this.back.addEventListener('click', () => this.turn(-1));
    this.next.addEventListener('click', () => this.turn(1));
    this.node = el('div', {class: 'device', 'data-device': device.number},
                   el('h3', {}, device.name, el('span', {class: 'muted'}, ` · ${device.number}`)),
                   el('div', {class: 'device-tools'}, this.input, this.back, this.counter, this.next),
                   el('table', {},
                      el('thead', {},
                         el('tr', {}, el('th', {}, 'dest'), el('th', {}, 'source'), el('th', {}, 'tally'))),
                      this.pinned, this.body));
    this.listed = this.matching();
    this.draw();
  }

  matches(xp) {
    if (xp.destName) return false;  // shown above the rest whatever the filter
    if (this.filter === '') return true;
    const f = this.filter;
    return String(xp.dest).startsWith(f) || xp.sourceName.toLowerCase().includes(f);
  }

  matching() { return this.dests.filter((dest) => this.matches(this.byDest.get(dest))); }

  setFilter(text) {
    this.filter = text.trim().toLowerCase();
    this.listed = this.matching();
    this.page = 0;
    this.draw();
  }

  turn(by) {
    const pages = Math.max(1, Math.ceil(this.listed.length / kRowsShown));
    this.page = Math.min(Math.max(this.page + by, 0), pages - 1);
    this.draw();
  }

  row(xp, changed) {
    const tr = el('tr', {class: changed ? 'changed' : null, 'data-device': this.number, 'data-dest': xp.dest},
                  el('td', {class: 'dest'}, xp.dest,
                     xp.destName ? el('span', {class: 'dest-name'}, xp.destName) : null),
                  el('td', {class: 'source'}, el('span', {class: 'num'}, xp.source), ' ', xp.sourceName),
                  el('td', {class: 'tally'}, xp.tally || '—'));
    this.rows.set(xp.dest, tr);
    return tr;
  }

  draw() {
    this.rows.clear();
    const named = this.dests.map((dest) => this.byDest.get(dest)).filter((xp) => xp.destName);
    this.pinned.replaceChildren(...named.map((xp) => this.row(xp, false)));
    const first = this.page * kRowsShown;
    const page = this.listed.slice(first, first + kRowsShown);
    this.body.replaceChildren(...page.map((dest) => this.row(this.byDest.get(dest), false)));
    const n = this.listed.length;
    const of = n.toLocaleString('en-GB');
    this.counter.textContent = n === 0 ? 'no rows' : `${first + 1}–${first + page.length} of ${of}`;
    this.back.disabled = this.page === 0;
    this.next.disabled = first + kRowsShown >= n;
  }

  // A crosspoint the session changed: its data, its place in the list,
  // and its row if drawn.
  update(xp) {
    const had = this.byDest.has(xp.dest);
    this.byDest.set(xp.dest, xp);
    if (!had) this.dests.splice(sortedIndex(this.dests, xp.dest), 0, xp.dest);
    const at = sortedIndex(this.listed, xp.dest);
    const listed = this.listed[at] === xp.dest;
    const wanted = this.matches(xp);
    if (listed !== wanted || !had) {
      if (listed && !wanted) this.listed.splice(at, 1);
      if (!listed && wanted) this.listed.splice(at, 0, xp.dest);
      return this.draw();
    }
    const old = this.rows.get(xp.dest);
    if (old) old.replaceWith(this.row(xp, true));
  }
}

// Where `value` goes in the sorted array `sorted`.
function sortedIndex(sorted, value) {
  let low = 0;
  let high = sorted.length;
  while (low < high) {
    const mid = (low + high) >> 1;
    if (sorted[mid] < value) low = mid + 1;
    else high = mid;
  }
  return low;
}

const tables = new Map();  // device number -> DeviceTable

function drawDevices(devices) {
  tables.clear();
  for (const device of devices) tables.set(device.number, new DeviceTable(device));
  $('devices').replaceChildren(...[...tables.values()].map((table) => table.node));
}

// ---- the log --------------------------------------------------------------

// As the transcript marks them; notes, violations and the plug-in's debug
// lines also differ in colour.
const marks = {event: '→', command: '←', reply: '', device: '**', note: '·', violation: '!!', debug: 'dbg'};
const kLogShown = 1000;

// The wall-clock time of day of a line, as the engineer's watch shows it.
function timeOfDay(wall) {
  const at = new Date(wall);
  const two = (n) => String(n).padStart(2, '0');
  const ms = String(at.getMilliseconds()).padStart(3, '0');
  return `${two(at.getHours())}:${two(at.getMinutes())}:${two(at.getSeconds())}.${ms}`;
}

function appendLog(entries, fresh) {
  const log = $('log');
  if (fresh) log.replaceChildren();
  const atBottom = log.scrollHeight - log.scrollTop - log.clientHeight < 24;
  for (const entry of entries) {
    log.append(el('li', {class: `k-${entry.kind}`, 'data-seq': entry.seq, 'data-time': entry.time},
                  el('span', {class: 'time', title: `${entry.time} ms on the panel's clock`}, timeOfDay(entry.wall)),
                  el('span', {class: 'mark'}, marks[entry.kind] ?? ''),
                  el('span', {class: 'text'}, entry.text)));
  }
  while (log.childElementCount > kLogShown) log.firstElementChild.remove();
  if (atBottom || fresh) log.scrollTop = log.scrollHeight;
}

// ---- properties -----------------------------------------------------------

async function sendProperty(message) {
  let answer;
  try {
    const reply = await post('/api/property', {message});
    answer = reply.answer;
  } catch (error) {
    return showProblem(error.message);
  }
  const item = el('li', {},
                  el('span', {class: 'asked'}, message),
                  el('span', {class: 'answer', 'data-none': answer === null},
                     answer === null ? 'no answer' : answer));
  $('answers').prepend(item);
  while ($('answers').childElementCount > 8) $('answers').lastElementChild.remove();
}

// A form that sets one property: "<name>=<what is typed>".
function propertyForm(name) {
  const id = `prop-${name}`;
  const input = el('input', {id, name: 'value', autocomplete: 'off', spellcheck: 'false'});
  const form = el('form', {class: 'prop-set', 'data-name': name},
                  el('label', {for: id}, name), input, el('button', {class: 'key small', type: 'submit'}, 'Set'));
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    sendProperty(`${name}=${input.value}`);
  });
  return form;
}

// One form per property the panel says it takes: its "_commands" answer
// lists them as "name=[value]", one a line.
async function drawPropertyForms() {
  let answer;
  try {
    answer = (await post('/api/property', {message: '_commands', asker: 'page'})).answer;
  } catch (error) {
    return showProblem(error.message);
  }
  const names = (answer ?? '').split('\n').map((entry) => entry.split('=')[0]).filter((name) => name !== '');
  $('prop-forms').replaceChildren(...names.map(propertyForm));
}

// Any message, as typed: for properties the panel does not list.
$('prop-message-form').addEventListener('submit', (event) => {
  event.preventDefault();
  sendProperty($('prop-message').value);
});
for (const button of document.querySelectorAll('[data-read]')) {
  button.addEventListener('click', () => sendProperty(button.dataset.read));
}

// ---- the stream -----------------------------------------------------------

function showProblem(text) {
  const line = $('violations');
  line.hidden = !text;
  line.textContent = text || '';
}

function drawWhere(where) {
  $('url').textContent = where.url;
  $('url').href = where.url;
  $('plugin').textContent = where.plugin;
  $('plugin').title = `${where.path}\nversion ${where.version}\nSHA-256 ${where.sha256}`;
  document.title = `${where.plugin} · panelhost`;
}

function drawStatus(state) {
  $('clock').textContent = state.running ? `${(state.now / 1000).toFixed(1)} s` : 'panel deleted';
  if (state.violations.length > 0) showProblem(`The panel broke the host's rules: ${state.violations[0]}`);
}

// The state as last received, kept up to date by each change.
let current = null;

// A message of the stream: the whole state starts the page over; a change
// touches only the controls and crosspoints it names (README, "the event
// stream").
function receive(message) {
  if (message.type === 'state') {
    current = message.state;
    drawWhere(message.where);
    drawPanel(current.panel, current.layoutMissing);
    drawDevices(current.devices);
    appendLog(message.log, true);
    // The first whole state drawn: the page can be worked (a figure the
    // browser test reads).
    if (performance.getEntriesByName('panelhost:interactive').length === 0) performance.mark('panelhost:interactive');
  } else {
    const change = message.change;
    current.now = change.now;
    for (const whole of ['running', 'violations', 'layoutMissing']) {
      if (whole in change) current[whole] = change[whole];
    }
    if ('panel' in change || 'layoutMissing' in change) {
      if ('panel' in change) current.panel = change.panel;
      drawPanel(current.panel, current.layoutMissing);
    }
    for (const control of change.controls) updateControl(control);
    if (change.controls.length) drawTakesGoTo();
    for (const xp of change.crosspoints) {
      const {device, ...crosspoint} = xp;
      tables.get(device)?.update(crosspoint);
    }
    appendLog(message.log, false);
  }
  drawStatus(current);
}

function connect() {
  const link = $('link');
  const stream = new EventSource('/api/events');
  stream.onopen = () => {
    link.className = 'link live';
    link.title = 'live';
  };
  stream.onmessage = (event) => receive(JSON.parse(event.data));
  stream.onerror = () => {
    link.className = 'link lost';
    link.title = 'not connected: is panelhost web still running?';
  };
}

connect();
drawPropertyForms();
