#include "ArchiveFixtures.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>

#include "io/FileIo.h"

namespace vrz::guitest {

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

int RunCommand(const std::string& command, std::string* output) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return -1;
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    const int status = ::pclose(pipe);
    if (output != nullptr) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

std::string Text(std::size_t lines, const std::string& word) {
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) text += word + " line " + std::to_string(i) + "\n";
    return text;
}

}  // namespace

std::vector<std::string> WriteSampleTree(const std::string& root) {
    const std::string tree = root + "/tree";
    RunCommand("mkdir -p " + Quote(tree + "/docs/img"));
    WriteFile(tree + "/readme.txt", Text(200, "readme"));
    WriteFile(tree + "/notes", Text(3, "notes"));
    WriteFile(tree + "/empty.dat", "");
    WriteFile(tree + "/docs/guide.txt", Text(5000, "guide"));
    WriteFile(tree + "/docs/img/logo.bin", RandomBytes(150 * 1024, 7));
    WriteFile(tree + "/big.bin", RandomBytes(300 * 1024, 11));
    return {"big.bin",  "docs/", "docs/guide.txt", "docs/img/", "docs/img/logo.bin",
            "empty.dat", "notes", "readme.txt"};
}

bool ZipTree(const std::string& root, const std::string& archive) {
    return RunCommand("cd " + Quote(root + "/tree") + " && zip -q -r " + Quote(archive) + " .") == 0;
}

bool ZipTreeSplit(const std::string& root, const std::string& folder, const std::string& base, int partKB) {
    RunCommand("mkdir -p " + Quote(folder));
    return RunCommand("cd " + Quote(root + "/tree") + " && zip -q -r -s " + std::to_string(partKB) + "k " +
                      Quote(folder + "/" + base + ".zip") + " .") == 0;
}

bool CutAtCentralDirectory(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const std::size_t central = bytes.find(std::string("PK\x01\x02", 4));
    if (central == std::string::npos) return false;
    bytes.resize(central);
    WriteFile(path, bytes);
    return true;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    return ListFilesSorted(folder);
}

std::string CheckRepairedArchive(const std::string& archive, const std::string& root,
                                 const std::vector<std::string>& expectedEntries) {
    std::string output;
    if (RunCommand("unzip -t " + Quote(archive), &output) != 0) return "unzip -t failed:\n" + output;
    if (RunCommand("7z t " + Quote(archive), &output) != 0) return "7z t failed:\n" + output;
    // Python's reader: every expected entry present, nothing else, content equal.
    std::string names;
    for (const std::string& name : expectedEntries) names += (names.empty() ? "" : ",") + name;
    const std::string script =
        "import sys, zipfile, os\n"
        "archive, tree, expected = sys.argv[1], sys.argv[2], sys.argv[3].split(',')\n"
        "with zipfile.ZipFile(archive) as z:\n"
        "    bad = z.testzip()\n"
        "    if bad: sys.exit('bad CRC: ' + bad)\n"
        "    names = sorted(n[2:] if n.startswith('./') else n for n in z.namelist())\n"
        "    if names != sorted(expected): sys.exit('entries %r, expected %r' % (names, sorted(expected)))\n"
        "    for info in z.infolist():\n"
        "        name = info.filename[2:] if info.filename.startswith('./') else info.filename\n"
        "        if name.endswith('/'): continue\n"
        "        with open(os.path.join(tree, name), 'rb') as f:\n"
        "            if z.read(info) != f.read(): sys.exit('content differs: ' + name)\n";
    const std::string scriptPath = root + "/check_archive.py";
    WriteFile(scriptPath, script);
    if (RunCommand("python3 " + Quote(scriptPath) + " " + Quote(archive) + " " + Quote(root + "/tree") + " " +
                       Quote(names),
                   &output) != 0) {
        return "zipfile check failed:\n" + output;
    }
    return std::string();
}

}  // namespace vrz::guitest
