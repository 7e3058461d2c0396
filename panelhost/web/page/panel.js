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

function drawPanel(panel) {
  const grid = $('panel');
  $('no-panel').hidden = panel !== null;
  grid.hidden = panel === null;
  if (panel === null) return;
  $('title').textContent = panel.title || `panel ${panel.id}`;
  grid.style.gridTemplateColumns = `repeat(${panel.columns}, minmax(0, 1fr))`;
  grid.style.gridTemplateRows = `repeat(${Math.max(panel.rows, 1)}, minmax(3.25rem, auto))`;
  grid.replaceChildren(...panel.controls.map((control) => {
    const draw = drawers[control.kind];
    return draw ? placeOn(draw(control), control.area) : null;
  }).filter(Boolean));
}

// Presses go out on pointer down, as a panel key acts when pushed; the
// panel is redrawn often, and a click could lose its button in between.
function sendPress(target) {
  const key = target.closest('button[data-control]');
  if (!key) return;
  const body = {control: key.dataset.control};
  if (key.dataset.choice !== undefined) body.choice = key.dataset.choice;
  post('/api/press', body).catch((error) => showProblem(error.message));
}

$('panel').addEventListener('pointerdown', (event) => {
  if (event.button === 0) sendPress(event.target);
});
$('panel').addEventListener('click', (event) => {
  if (event.detail === 0) sendPress(event.target);  // from the keyboard
});

// ---- the devices ----------------------------------------------------------

const lastCrosspoints = new Map();  // "device/dest" -> what it showed

function drawDevices(devices) {
  $('devices').replaceChildren(...devices.map((device) => {
    const rows = device.crosspoints.map((xp) => {
      const key = `${device.number}/${xp.dest}`;
      const shown = `${xp.source}|${xp.tally}`;
      const changed = lastCrosspoints.has(key) && lastCrosspoints.get(key) !== shown;
      lastCrosspoints.set(key, shown);
      return el('tr', {class: changed ? 'changed' : null, 'data-device': device.number, 'data-dest': xp.dest},
                el('td', {class: 'dest'}, xp.dest),
                el('td', {class: 'source'}, el('span', {class: 'num'}, xp.source), ' ', xp.sourceName),
                el('td', {class: 'tally'}, xp.tally || '—'));
    });
    return el('div', {class: 'device', 'data-device': device.number},
              el('h3', {}, device.name, el('span', {class: 'muted'}, ` · ${device.number}`)),
              el('table', {},
                 el('thead', {}, el('tr', {}, el('th', {}, 'dest'), el('th', {}, 'source'), el('th', {}, 'tally'))),
                 el('tbody', {}, rows)));
  }));
}

// ---- the log --------------------------------------------------------------

// As the transcript marks them; notes, violations and the plug-in's debug
// lines also differ in colour.
const marks = {event: '→', command: '←', reply: '', device: '**', note: '·', violation: '!!', debug: 'dbg'};
const kLogShown = 1000;

function appendLog(entries, fresh) {
  const log = $('log');
  if (fresh) log.replaceChildren();
  const atBottom = log.scrollHeight - log.scrollTop - log.clientHeight < 24;
  for (const entry of entries) {
    log.append(el('li', {class: `k-${entry.kind}`, 'data-seq': entry.seq},
                  el('span', {class: 'time'}, `${entry.time} ms`),
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
    answer = (await post('/api/property', {message: '_commands'})).answer;
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

function draw(message, fresh) {
  const {where, state, log} = message;
  drawWhere(where);
  drawPanel(state.panel);
  drawDevices(state.devices);
  appendLog(log, fresh);
  $('clock').textContent = state.running ? `${(state.now / 1000).toFixed(1)} s` : 'panel deleted';
  if (state.violations.length > 0) showProblem(`The panel broke the host's rules: ${state.violations[0]}`);
}

function connect() {
  const link = $('link');
  const stream = new EventSource('/api/events');
  let fresh = true;  // a new stream starts with the whole log again
  stream.onopen = () => {
    fresh = true;
    link.className = 'link live';
    link.title = 'live';
  };
  stream.onmessage = (event) => {
    draw(JSON.parse(event.data), fresh);
    fresh = false;
  };
  stream.onerror = () => {
    link.className = 'link lost';
    link.title = 'not connected: is panelhost web still running?';
  };
}

connect();
drawPropertyForms();
