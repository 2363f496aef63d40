// Opens the page of a run with --fit in headless chromium and checks that a
// person sees the systematic change in its tables: the model, each
// parameter with its standard deviation, the robust scales, and the largest
// residuals, the largest first.
//   node fit_tables_test.mjs PAGE.html
import { withBrowser, openPage } from './browser.mjs';
import { check, finish } from './checks.mjs';

const file = process.argv[2];

await withBrowser({ width: 1400, height: 1000 }, async (context) => {
  const { page, errors } = await openPage(context, file);
  const fit = await page.locator('#fit').innerText();
  check(/model\s+similarity, vertical offset/.test(fit), 'the model is named');
  for (const name of ['tn (m)', 'te (m)', 'tu (m)', 'rotation (arc-seconds)', 'scale (ppm)']) {
    check(new RegExp(`${name.replace(/[()]/g, '\\$&')}\\s+-?\\d+\\.\\d{6} ± \\d+\\.\\d{6}`).test(fit),
      `${name} with its standard deviation`);
  }
  check(/sigma_h \(m\)\s+\d+\.\d{4}/.test(fit), 'sigma_h in metres');
  const residuals = await page.locator('#largest-residuals tbody tr').allInnerTexts();
  const lengths = residuals.map((row) => Number(row.split('\t')[4]));
  check(residuals.length === 10, `ten largest residuals listed (${residuals.length})`);
  check(lengths.every((v, i) => i === 0 || v <= lengths[i - 1]), 'the largest residual first');
  check(await page.locator('#largest-residuals').isVisible(), 'the residuals table is visible');
  check(errors.length === 0, `no console error (${errors.join('; ')})`);
});

finish();
