// Debian's chromium, headless, driven by playwright-core: no browser is
// downloaded, nothing reaches the network, and every run gets a fresh
// profile that is removed afterwards.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

export const chromiumPath = process.env.TESSOVANE2_CHROMIUM || '/usr/bin/chromium';

export async function withBrowser(viewport, work) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tessovane2-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath,
    headless: true,
    viewport,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    return await work(context);
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

// Opens the file in a new page of the context; every request that is not
// the file itself is refused and listed in `refused`, every console error
// and page error in `errors`.
export async function openPage(context, file) {
  const url = 'file://' + path.resolve(file);
  const page = await context.newPage();
  const refused = [];
  const errors = [];
  await page.route('**/*', (route) => {
    const request = route.request().url();
    if (request === url) return route.continue();
    refused.push(request);
    return route.abort();
  });
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(url);
  await page.waitForSelector('body[data-drawn="true"]', { timeout: 30000 });
  return { page, refused, errors, url };
}
