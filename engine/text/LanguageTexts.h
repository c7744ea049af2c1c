// Every text a person reads is looked up by key in the language file in use.
#pragma once

#include <cstddef>
#include <string>

namespace vrz {

// Capacities in characters used by the lookups; a text is cut to capacity - 1.
constexpr std::size_t kTextCapacitySmall = 100;
constexpr std::size_t kTextCapacityCaption = 200;
constexpr std::size_t kTextCapacity = 1000;
constexpr std::size_t kTextCapacityAbout = 2000;

// The text of key in the current language file; empty when missing.
std::string LoadText(const std::string& key, std::size_t capacity);

// Switches to language index (0..4) and stores the choice in the settings
// file. Returns false when that language is already the stored one.
bool SelectLanguage(int index);

}  // namespace vrz
