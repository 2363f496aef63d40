// Takes the README's pictures of a shift page, with the same browser setup as
// the tests, as palette PNGs:   node screenshot.mjs PAGE.html OUT.png [maps]
// the top of the page (maps, legends, histograms), or with "maps" the two
// maps and their legends only.
import fs from 'node:fs';
import { withBrowser, openPage } from './browser.mjs';
import { decodePng } from './png.mjs';
import { encodePalettePng } from './png_palette.mjs';

const [file, out, part] = process.argv.slice(2);
if (!file || !out) {
  console.error('usage: node screenshot.mjs PAGE.html OUT.png [maps]');
  process.exit(2);
}
await withBrowser({ width: 960, height: 800 }, async (context) => {
  const { page, errors } = await openPage(context, file);
  if (errors.length) throw new Error('console errors: ' + errors.join(' | '));
  const selector = part === 'maps' ? '.maps' : '.histograms';
  const bottom = await page.evaluate((s) => document.querySelector(s).getBoundingClientRect().bottom, selector);
  const shot = await page.screenshot({ clip: { x: 0, y: 0, width: 960, height: Math.ceil(bottom + 12) } });
  fs.writeFileSync(out, encodePalettePng(decodePng(shot)));
});
