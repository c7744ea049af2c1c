#pragma once

#include <string>

namespace vrz::cli {

// A JSON string literal for UTF-8 text.
std::string JsonQuote(const std::string& text);

}  // namespace vrz::cli
