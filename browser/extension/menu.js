// What the extension asks My Ambrel, shows in the right-click menu and hands over. Nothing
// here touches a browser interface, so Node's test runner checks it as it is.

// The host that browsers start for the extension (its manifest is installed with the
// program).
export const HOST = "net.corvane.myambrel";

// The entries' markers, as on the hand-over pages: none adds the picture to the list, "@"
// copies its address, "$" copies it between the "Prepend" and "Append" texts.
const MARKER_IDS = new Map([["", "ambrel-add"], ["@", "ambrel-copy"], ["$", "ambrel-custom"]]);

// The program takes web addresses; a picture without one (data:, blob:) gets no entry.
export const PICTURE_PATTERNS = ["http://*/*", "https://*/*"];
// Longer addresses are not pictures worth keeping; the program keeps 254 bytes at most.
export const MAX_ADDRESS = 2048;

export const ENTRIES_REQUEST = Object.freeze({ request: "entries" });

// The menu items for the host's answer to ENTRIES_REQUEST: [{id, title, marker}] in the
// host's order. Throws an Error saying why when the answer is an error or not an answer.
// Items the extension does not know (another marker, no title) are left out.
export function menuItems(answer) {
  if (answer === null || typeof answer !== "object") {
    throw new Error("no answer from My Ambrel");
  }
  if (typeof answer.error === "string") {
    throw new Error(answer.error);
  }
  if (!Array.isArray(answer.entries)) {
    throw new Error("unexpected answer from My Ambrel");
  }
  const items = [];
  for (const entry of answer.entries) {
    if (entry === null || typeof entry !== "object" || typeof entry.title !== "string" ||
        entry.title === "" || !MARKER_IDS.has(entry.marker)) {
      continue;
    }
    const id = MARKER_IDS.get(entry.marker);
    if (!items.some((item) => item.id === id)) {
      items.push({ id, title: entry.title, marker: entry.marker });
    }
  }
  return items;
}

// The title as a browser shows it. The entries' texts mark their access key with "&", as
// Firefox does; Chromium would show the "&" itself, so there it goes ("&&" is a plain "&").
export function menuTitle(title, accessKeys) {
  return accessKeys ? title : title.replace(/&(&?)/g, "$1");
}

// The marker of a menu item by its id, or null for an item that is not ours.
export function markerOf(menuItemId) {
  for (const [marker, id] of MARKER_IDS) {
    if (id === menuItemId) {
      return marker;
    }
  }
  return null;
}

// The hand-over request for a click on a picture, or null when its address cannot be handed
// over (not a web address, too long, more than one line).
export function handOverRequest(marker, srcUrl) {
  if (!MARKER_IDS.has(marker) || typeof srcUrl !== "string" || srcUrl.length > MAX_ADDRESS ||
      !/^https?:\/\/[^\r\n\0]+$/.test(srcUrl)) {
    return null;
  }
  return { request: "handover", text: marker + srcUrl };
}

// Throws an Error saying why unless the host's answer to a hand-over says it was taken.
export function checkHandOver(answer) {
  if (answer !== null && typeof answer === "object" && answer.ok === true) {
    return;
  }
  throw new Error(answer !== null && typeof answer === "object" && typeof answer.error === "string"
    ? answer.error : "unexpected answer from My Ambrel");
}
