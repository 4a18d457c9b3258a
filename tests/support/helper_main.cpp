#include "support/helper_main.h"

#include <cstdio>
#include <map>

namespace ktest {

static std::map<std::string, CommandFn>& Commands() {
    static std::map<std::string, CommandFn> commands;
    return commands;
}

HelperCommand::HelperCommand(const char* name, CommandFn fn) { Commands()[name] = std::move(fn); }

}  // namespace ktest

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kelmard-test-helper COMMAND [ARGS...]\n");
        return 2;
    }
    auto& commands = ktest::Commands();
    auto it = commands.find(argv[1]);
    if (it == commands.end()) {
        std::fprintf(stderr, "kelmard-test-helper: unknown command %s\n", argv[1]);
        return 2;
    }
    return it->second(std::vector<std::string>(argv + 2, argv + argc));
}
