#!/usr/bin/env node
// scripts/town_osm.js GRAPH.json OUT.osm: writes the small town that the OpenStreetMap
// editor iD ships for its walkthrough (data/intro_graph.json of the npm package
// @openstreetmap/id: nodes "n1" with "loc" [lon, lat], ways "w1" with "nodes", relations
// "r1" with "members", each with "tags") as OpenStreetMap XML, nodes, ways and relations each
// by id. The data is OpenStreetMap's (ODbL: (c) OpenStreetMap contributors).
'use strict';
const fs = require('fs');

if (process.argv.length !== 4) {
  process.stderr.write('usage: town_osm.js GRAPH.json OUT.osm\n');
  process.exit(1);
}
const graph = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
const escape = (text) => String(text).replace(/[&<>"']/g, (c) => (
  {'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&apos;'}[c]));
const number = (id) => Number(id.slice(1));
const tags = (entity) => Object.keys(entity.tags || {}).sort().map(
  (k) => `    <tag k="${escape(k)}" v="${escape(entity.tags[k])}"/>\n`).join('');
const version = 'version="1" visible="true"';

const lines = ['<?xml version="1.0" encoding="UTF-8"?>\n',
  '<osm version="0.6" generator="citywalk scripts/town_osm.js">\n'];
const byKind = (kind) => Object.keys(graph).filter((id) => id[0] === kind)
  .sort((a, b) => number(a) - number(b)).map((id) => graph[id]);
for (const node of byKind('n')) {
  const [lon, lat] = node.loc;
  const head = `  <node id="${number(node.id)}" ${version} lat="${lat}" lon="${lon}"`;
  const body = tags(node);
  lines.push(body ? `${head}>\n${body}  </node>\n` : `${head}/>\n`);
}
for (const way of byKind('w')) {
  lines.push(`  <way id="${number(way.id)}" ${version}>\n`);
  for (const ref of way.nodes) lines.push(`    <nd ref="${number(ref)}"/>\n`);
  lines.push(tags(way), '  </way>\n');
}
for (const relation of byKind('r')) {
  lines.push(`  <relation id="${number(relation.id)}" ${version}>\n`);
  for (const m of relation.members) {
    lines.push(`    <member type="${escape(m.type)}" ref="${number(m.id)}" ` +
      `role="${escape(m.role || '')}"/>\n`);
  }
  lines.push(tags(relation), '  </relation>\n');
}
lines.push('</osm>\n');
fs.writeFileSync(process.argv[3] + '.part', lines.join(''));
fs.renameSync(process.argv[3] + '.part', process.argv[3]);
