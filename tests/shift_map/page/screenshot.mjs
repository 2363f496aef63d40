// Takes the README's picture of a shift page, with the same browser setup as
// the tests:   node screenshot.mjs PAGE.html OUT.png
import { withBrowser, openPage } from './browser.mjs';

const [file, out] = process.argv.slice(2);
if (!file || !out) {
  console.error('usage: node screenshot.mjs PAGE.html OUT.png');
  process.exit(2);
}
await withBrowser({ width: 1360, height: 900 }, async (context) => {
  const { page, errors } = await openPage(context, file);
  if (errors.length) throw new Error('console errors: ' + errors.join(' | '));
  // The maps, their legends and the histograms: the top of the page.
  const bottom = await page.evaluate(() => document.querySelector('.histograms').getBoundingClientRect().bottom);
  await page.screenshot({ path: out, clip: { x: 0, y: 0, width: 1360, height: Math.ceil(bottom + 12) } });
});
