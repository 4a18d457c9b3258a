// The test helper program: its first argument names the verb it runs.
#include <cstdio>
#include <map>

#include "support/processes.h"

namespace ktest {

static std::map<std::string, int (*)(const HelperRun&)>& Verbs() {
    static std::map<std::string, int (*)(const HelperRun&)> verbs;
    return verbs;
}

HelperVerb::HelperVerb(const char* name, int (*verb)(const HelperRun&)) { Verbs()[name] = verb; }

}  // namespace ktest

int main(int argc, char** argv) {
    const auto verb = argc < 2 ? ktest::Verbs().end() : ktest::Verbs().find(argv[1]);
    if (verb == ktest::Verbs().end()) {
        std::fprintf(stderr, "kelmard-test-helper: unknown verb %s\n", argc < 2 ? "(none)" : argv[1]);
        return 2;
    }
    return verb->second(ktest::HelperRun{std::vector<std::string>(argv + 2, argv + argc)});
}
