#include "text/IniFile.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "io/FileIo.h"

namespace vrz {

namespace {

std::string Trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    const auto end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// "[name]" gives name; anything else gives false.
bool SectionName(const std::string& line, std::string* name) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const auto close = t.find(']');
    if (close == std::string::npos) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

bool KeyValue(const std::string& line, std::string* key, std::string* value) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) return false;
    *key = Trim(line.substr(0, eq));
    *value = Trim(line.substr(eq + 1));
    return !key->empty() && (*key)[0] != ';';
}

std::vector<std::string> ReadLines(const std::string& path, bool* exists) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    *exists = static_cast<bool>(in);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);  // UTF-8 byte order mark
        first = false;
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string TruncateCharacters(const std::string& text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) {
            if (characters == count) return text.substr(0, i);
            ++characters;
        }
    }
    return text;
}

std::string ReadIniString(const std::string& path, const std::string& section, const std::string& key,
                          std::size_t capacity) {
    if (capacity == 0) return {};
    bool exists = false;
    const std::vector<std::string> lines = ReadLines(path, &exists);
    bool inSection = false;
    for (const std::string& line : lines) {
        std::string name;
        if (SectionName(line, &name)) {
            if (inSection) break;  // the first matching section is the one read
            inSection = EqualsIgnoreCase(name, section);
            continue;
        }
        if (!inSection) continue;
        std::string k, v;
        if (!KeyValue(line, &k, &v) || !EqualsIgnoreCase(k, key)) continue;
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        return TruncateCharacters(v, capacity - 1);
    }
    return {};
}

bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
    bool exists = false;
    std::vector<std::string> lines = ReadLines(path, &exists);
    bool inSection = false;
    bool written = false;
    std::size_t sectionEnd = lines.size();
    bool sectionFound = false;
    for (std::size_t i = 0; i < lines.size() && !written; ++i) {
        std::string name;
        if (SectionName(lines[i], &name)) {
            if (inSection) {
                sectionEnd = i;
                break;
            }
            inSection = EqualsIgnoreCase(name, section);
            sectionFound = sectionFound || inSection;
            continue;
        }
        std::string k, v;
        if (inSection && KeyValue(lines[i], &k, &v) && EqualsIgnoreCase(k, key)) {
            lines[i] = k + "=" + value;
            written = true;
        }
    }
    if (!written) {
        if (!sectionFound) {
            lines.push_back("[" + section + "]");
            sectionEnd = lines.size();
        }
        // Keep the new key next to its section's other keys, before any blank lines.
        while (sectionFound && sectionEnd > 0 && Trim(lines[sectionEnd - 1]).empty()) --sectionEnd;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), key + "=" + value);
    }
    std::ostringstream text;
    for (const std::string& line : lines) text << line << "\n";
    // Write beside the file under a name of its own and move over it, so a
    // failed write never leaves half a file and two writers never share one.
    std::string temp = path + ".XXXXXX";
    OutputFile out;
    if (!out.CreateUnique(&temp)) return false;
    const std::string bytes = text.str();
    const bool saved = out.Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    out.Close();
    if (!saved || std::rename(temp.c_str(), path.c_str()) != 0) {
        RemoveFile(temp);
        return false;
    }
    return true;
}

int ParseLeadingInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    long value = 0;
    bool digits = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        digits = true;
        if (value < 100000000) value = value * 10 + (text[i] - '0');
    }
    return digits ? static_cast<int>(value) : 0;
}

}  // namespace vrz
