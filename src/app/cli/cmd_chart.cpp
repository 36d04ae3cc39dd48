// yubino-cli chart DATA.ybf --kind KIND --out FILE: one chart of the analysis as PNG or SVG.
// Drawing needs Qt, which yubino-cli does not link: the command hands its arguments to
// yubino-chart, installed beside it, which draws without a display.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/cli/cli_commands.h"

namespace {

std::filesystem::path ChartProgram() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path() / "yubino-chart";
}

}  // namespace

int RunChart(std::span<char*> args) {
    const std::filesystem::path program = ChartProgram();
    std::vector<char*> argv;
    std::string name = program.string();
    argv.push_back(name.data());
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(nullptr);
    ::execv(name.c_str(), argv.data());
    std::fprintf(stderr, "グラフを描くプログラムを起動できません: %s\n", name.c_str());
    return kExitFailure;
}
