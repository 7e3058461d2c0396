// A studio at scale for the page's tests and benchmark: the example panel's
// studio table with its packager and router grown to many destinations.
import {readFile, writeFile} from 'node:fs/promises';
import {join} from 'node:path';

// Writes to `file` the shipped studio (under the checkout `root`) with each
// device grown to `each` destinations (the monitors' destinations and names
// kept), routed round its sources that carry no tie line.
export async function writeLargeTable(root, file, each) {
  const table = JSON.parse(await readFile(join(root, 'panels/Studio_A/ZUV_OZo/studio.json'), 'utf8'));
  for (const device of table.devices) {
    const plain = device.sources.filter((s) => !s.carries).map((s) => s.number);
    for (let dest = 1; Object.keys(device.crosspoints).length < each; ++dest) {
      if (!(dest in device.crosspoints)) device.crosspoints[dest] = plain[dest % plain.length];
    }
  }
  await writeFile(file, JSON.stringify(table));
}
