// The right-click menu on pictures: one entry for each option ticked in My Ambrel's general
// settings, asked of the program whenever the browser may have been away from it.
import {
  ENTRIES_REQUEST, HOST, PICTURE_PATTERNS, checkHandOver, handOverRequest, markerOf, menuItems,
  menuTitle,
} from "./menu.js";

const api = globalThis.browser ?? globalThis.chrome;
// Firefox reads "&" in a menu title as its access key mark.
const accessKeys = typeof globalThis.browser?.runtime?.getBrowserInfo === "function";

let shown = null;  // the titles in the menu, to rebuild it only when they change
let pending = Promise.resolve();

async function rebuild() {
  let items = [];
  try {
    items = menuItems(await api.runtime.sendNativeMessage(HOST, ENTRIES_REQUEST));
  } catch (error) {
    console.warn("My Ambrel:", error?.message ?? error);
  }
  const titles = JSON.stringify(items);
  if (titles === shown) {
    return false;
  }
  await api.contextMenus.removeAll();
  for (const item of items) {
    api.contextMenus.create({
      id: item.id,
      title: menuTitle(item.title, accessKeys),
      contexts: ["image"],
      targetUrlPatterns: PICTURE_PATTERNS,
    });
  }
  shown = titles;
  return true;
}

// One rebuild at a time: two overlapping ones would create the same ids twice.
function refresh() {
  pending = pending.then(rebuild, rebuild);
  return pending;
}

api.runtime.onInstalled.addListener(refresh);
api.runtime.onStartup.addListener(refresh);
// Coming back from My Ambrel's settings is coming back to a browser window.
api.windows.onFocusChanged.addListener((windowId) => {
  if (windowId !== api.windows.WINDOW_ID_NONE) {
    refresh();
  }
});
api.alarms.create("refresh", { periodInMinutes: 1 });
api.alarms.onAlarm.addListener(refresh);
// Firefox tells when the menu opens and lets it change while shown.
const menus = api.menus ?? api.contextMenus;
menus.onShown?.addListener(async () => {
  if (await refresh()) {
    menus.refresh();
  }
});

api.contextMenus.onClicked.addListener(async (info) => {
  const marker = markerOf(info.menuItemId);
  const request = marker === null ? null : handOverRequest(marker, info.srcUrl);
  if (request === null) {
    return;
  }
  try {
    checkHandOver(await api.runtime.sendNativeMessage(HOST, request));
  } catch (error) {
    console.warn("My Ambrel:", error?.message ?? error);
  }
});

refresh();
