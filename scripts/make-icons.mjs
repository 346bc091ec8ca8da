// Writes the SVG files of the icons the program uses from the pinned icon set's JSON.
// Usage: node make-icons.mjs <icons.json> <output folder> <category/name>...
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { dirname, join } from 'node:path';

const [iconsJson, outDir, ...names] = process.argv.slice(2);
const set = JSON.parse(readFileSync(iconsJson, 'utf8'));
const size = set.width ?? 16;

function bodyOf(key) {
  const icon = set.icons[key] ?? (set.aliases?.[key] && set.icons[set.aliases[key].parent]);
  if (!icon) throw new Error(`icon "${key}" is not in the icon set`);
  return icon.body;
}

for (const name of names) {
  const key = `${name.split('/').pop()}-16`;
  // Monochrome icons: black on transparent, so the style can recolour them per theme.
  const body = bodyOf(key).replaceAll('currentColor', '#000000');
  const svg = `<svg xmlns="http://www.w3.org/2000/svg" width="${size}" height="${size}" viewBox="0 0 ${size} ${size}">${body}</svg>\n`;
  const file = join(outDir, `${name}.svg`);
  mkdirSync(dirname(file), { recursive: true });
  writeFileSync(file, svg);
}
