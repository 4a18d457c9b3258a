// The test helper program: one executable whose first argument names what it
// does. Each test folder adds its commands with a HelperCommand object.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace ktest {

using CommandFn = std::function<int(const std::vector<std::string>& args)>;

struct HelperCommand {
    HelperCommand(const char* name, CommandFn fn);
};

}  // namespace ktest
