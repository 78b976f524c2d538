// The extension's own logic: reading the host's answers, the menu's titles and what a click
// hands over.
import assert from "node:assert/strict";
import { test } from "node:test";

import {
  checkHandOver, handOverRequest, markerOf, menuItems, menuTitle,
} from "../extension/menu.js";

const ALL = [
  { title: "&Add to Zovururo", marker: "" },
  { title: "&Copy to clipboard", marker: "@" },
  { title: "&Custom Copy to clipboard", marker: "$" },
];

test("menu items follow the ticked entries the host names, in its order", () => {
  const cases = [
    { name: "all three", entries: ALL, ids: ["ambrel-add", "ambrel-copy", "ambrel-custom"] },
    { name: "none ticked", entries: [], ids: [] },
    { name: "custom copy alone", entries: [ALL[2]], ids: ["ambrel-custom"] },
    { name: "host order kept", entries: [ALL[1], ALL[0]], ids: ["ambrel-copy", "ambrel-add"] },
    {
      name: "unknown or broken entries left out",
      entries: [null, 7, { title: "x", marker: "#" }, { title: "", marker: "" },
        { marker: "@" }, { title: 5, marker: "$" }, ALL[0]],
      ids: ["ambrel-add"],
    },
    { name: "a marker named twice shows once", entries: [ALL[1], ALL[1]], ids: ["ambrel-copy"] },
  ];
  for (const c of cases) {
    const items = menuItems({ entries: c.entries });
    assert.deepEqual(items.map((item) => item.id), c.ids, c.name);
    for (const item of items) {
      assert.equal(markerOf(item.id), item.marker, c.name);
    }
  }
  assert.deepEqual(menuItems({ entries: [ALL[2]] }),
    [{ id: "ambrel-custom", title: "&Custom Copy to clipboard", marker: "$" }]);
});

test("answers that are not a list of entries say why", () => {
  const cases = [
    { answer: undefined, message: "no answer from My Ambrel" },
    { answer: null, message: "no answer from My Ambrel" },
    { answer: "entries", message: "no answer from My Ambrel" },
    { answer: { error: "the settings store cannot be read" },
      message: "the settings store cannot be read" },
    { answer: { entries: "all" }, message: "unexpected answer from My Ambrel" },
    { answer: {}, message: "unexpected answer from My Ambrel" },
  ];
  for (const c of cases) {
    assert.throws(() => menuItems(c.answer), { message: c.message }, JSON.stringify(c.answer));
  }
});

test("titles keep their access key mark only where the browser reads it", () => {
  const cases = [
    ["&Add to Zovururo", true, "&Add to Zovururo"],
    ["&Add to Zovururo", false, "Add to Zovururo"],
    ["Copy && add", false, "Copy & add"],
    ["No mark", false, "No mark"],
  ];
  for (const [title, accessKeys, shown] of cases) {
    assert.equal(menuTitle(title, accessKeys), shown, title);
  }
});

test("a click hands the marker and the picture's web address over", () => {
  const long = "http://host/" + "x".repeat(2048);
  const cases = [
    ["", "http://host/a/pic.jpg", "http://host/a/pic.jpg"],
    ["@", "https://host/a/pic.jpg", "@https://host/a/pic.jpg"],
    ["$", "http://host/a/p.jpg?s=1&t=2", "$http://host/a/p.jpg?s=1&t=2"],
    ["", "data:image/png;base64,AAAA", null],
    ["", "blob:http://host/1234", null],
    ["", "file:///home/u/pic.jpg", null],
    ["", "http://", null],
    ["", "http://host/a\nb.jpg", null],
    ["", long, null],
    ["", undefined, null],
    ["#", "http://host/a/pic.jpg", null],
  ];
  for (const [marker, url, text] of cases) {
    const request = handOverRequest(marker, url);
    assert.deepEqual(request, text === null ? null : { request: "handover", text },
      `${marker} ${String(url).slice(0, 40)}`);
  }
  assert.equal(markerOf("something-else"), null);
});

test("a hand-over counts only when the host says it was taken", () => {
  assert.doesNotThrow(() => checkHandOver({ ok: true }));
  const cases = [
    [{ error: "a hand-over text is one line" }, "a hand-over text is one line"],
    [{ ok: "yes" }, "unexpected answer from My Ambrel"],
    [null, "unexpected answer from My Ambrel"],
    [undefined, "unexpected answer from My Ambrel"],
  ];
  for (const [answer, message] of cases) {
    assert.throws(() => checkHandOver(answer), { message }, JSON.stringify(answer));
  }
});
