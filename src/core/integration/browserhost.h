#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/platform/registry.h"

namespace ambrel::integration {

// The browser extension's side of the hand-over. The browser starts the host and talks to
// it over its standard input and output: each message is a 4-byte length in the machine's
// byte order followed by that many bytes of JSON (UTF-8).
//
// Requests and answers:
//   {"request":"entries"}
//       -> {"entries":[{"title":"&Add to Zovururo","marker":""}, ...]}, the ticked
//          context-menu entries in their order, as the per-user store holds them
//   {"request":"handover","text":"@http://host/p.jpg"}
//       -> {"ok":true}
// A request that cannot be served gets {"error":"<why>"}.

// The host's name in the browsers' manifests, and the extension it answers in Firefox.
inline constexpr const char* kBrowserHostName = "net.corvane.myambrel";
inline constexpr const char* kFirefoxExtensionId = "myambrel@corvane.net";

// The largest message the host reads. The extension sends an address of at most a few
// kilobytes; a longer length cannot come from it and is not read.
inline constexpr std::uint32_t kBrowserMessageMax = 64 * 1024;

// Hands a text over to the program; nullopt when it was taken, else why not.
using HandOverSender = std::function<std::optional<std::string>(const std::string& text)>;

// The answer (JSON text) to one request (the message's bytes, not trusted in any way).
// Reloads the store before reading the entries, so boxes ticked since the last request
// count.
std::string answerBrowserRequest(const std::string& request, platform::RegistryStore& registry,
                                 const HandOverSender& send);

// Serves requests read from `in`, answering each on `out`, until the browser closes `in`.
// True for that clean end. False when the stream cannot go on: a length over
// kBrowserMessageMax (answered with an error first, since the browser is still listening),
// a message cut short, or a failed read or write; `why` then says what happened.
bool serveBrowser(int in, int out, platform::RegistryStore& registry, const HandOverSender& send,
                  std::string& why);

}  // namespace ambrel::integration
