// Writes the hostile constructions of tests/unit/HostileArchives.h as files,
// for the growth benchmark and as fuzzer seeds:
//   hostile_inputs DIR SCALE...   writes DIR/NAME-xSCALE.zip for each scale
#include <cstdio>
#include <cstdlib>
#include <string>

#include "HostileArchives.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: hostile_inputs DIR SCALE...\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::size_t scale = std::strtoul(argv[i], nullptr, 10);
        if (scale == 0) return 2;
        for (const auto& c : vrz::test::hostile::All()) {
            const vrz::test::Bytes bytes = c.build(scale);
            const std::string path = dir + "/" + c.name + "-x" + std::to_string(scale) + ".zip";
            std::FILE* f = std::fopen(path.c_str(), "wb");
            if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
                std::perror(path.c_str());
                return 1;
            }
        }
    }
    return 0;
}
