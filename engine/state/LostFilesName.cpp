#include "state/LostFilesName.h"

namespace vrz {

std::string LostFilesName(std::string_view name) {
    const bool folder = !name.empty() && name.back() == '/';
    const std::string_view path = folder ? name.substr(0, name.size() - 1) : name;
    const auto slash = path.rfind('/');
    const std::string_view last = slash == 0 || slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string out(kLostFilesFolder);
    out.append(last.data(), last.size());
    if (folder) out += '/';
    return out;
}

}  // namespace vrz
