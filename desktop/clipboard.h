// Putting a text on the system clipboard.
#pragma once

#include <cstddef>

namespace vantrel {

// Replaces the clipboard's content with the text as CF_TEXT, its bytes unchanged.
// True only when the clipboard took the block. Another program often holds the
// clipboard for a few milliseconds, so opening it is retried for a short while.
bool SetClipboardText(const char* text);
// text[length] must be the text's terminating zero.
bool SetClipboardText(const char* text, std::size_t length);

// How long opening the clipboard is retried: kOpenAttempts tries, kRetryPauseMs apart.
inline constexpr int kOpenAttempts = 10;
inline constexpr unsigned kRetryPauseMs = 10;

}  // namespace vantrel
