#pragma once

#include <string>

namespace vrz::cli {

// A JSON string literal; bytes that are not valid UTF-8 become U+FFFD, so
// the result is always valid JSON.
std::string JsonQuote(const std::string& text);

// `"key": "text"` and, when text is not valid UTF-8, `, "keyBytes": "<hex>"`
// so that the exact bytes are not lost.
std::string JsonTextField(const std::string& key, const std::string& bytes);

}  // namespace vrz::cli
