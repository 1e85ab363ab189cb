// The one test program's main: runs the tests of the file named first.

#include "support/test_main.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {
std::map<std::string, testmain::Run> &files()
{
    static std::map<std::string, testmain::Run> all;
    return all;
}
} // namespace

bool testmain::add(const char *sourceFile, Run run)
{
    std::string name = sourceFile;
    name = name.substr(name.find_last_of('/') + 1);
    name = name.substr(0, name.rfind('.'));
    return files().emplace(name, run).second;
}

int main(int argc, char **argv)
{
    const auto file = argc > 1 ? files().find(argv[1]) : files().end();
    if (file == files().end()) {
        std::fprintf(stderr, "usage: %s TEST_FILE [Qt Test options] [test functions]\nTest files:\n",
                     argc > 0 ? argv[0] : "voxcel_tests");
        for (const auto &[name, run] : files())
            std::fprintf(stderr, "  %s\n", name.c_str());
        return 2;
    }
    // The application is named after the file, as each file's program was:
    // settings and other per-program files stay apart when files run at once.
    QCoreApplication::setApplicationName(QString::fromStdString(file->first));
    argv[1] = argv[0];
    return file->second(argc - 1, argv + 1);
}
