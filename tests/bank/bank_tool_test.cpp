// The vennorbank command: its failures end it with status 1 and one line on standard
// error. (Its successful run is the build step that makes the bank the other tests use.)

#include "bank_tool.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    return runBankTool(static_cast<int>(argv.size()), argv.data());
}

TEST(BankToolDeathTest, WrongArgumentsPrintUsage) {
    EXPECT_EXIT(std::exit(run({"vennorbank", "only-one"})), ::testing::ExitedWithCode(1),
                "^usage: vennorbank <sample-set.orgue> <output.sf2>\n$");
}

TEST(BankToolDeathTest, MissingPackageIsReported) {
    EXPECT_EXIT(std::exit(run({"vennorbank", "/nonexistent/demo.orgue", "/tmp/x.sf2"})),
                ::testing::ExitedWithCode(1), "^vennorbank: /nonexistent/demo.orgue: .*\n$");
}

TEST(BankToolDeathTest, PackageWithoutOrganDefinitionIsReported) {
    char path[] = "/tmp/vennor-empty-XXXXXX";
    close(mkstemp(path));
    int code = 0;
    zip_t* z = zip_open(path, ZIP_TRUNCATE, &code);
    static const char text[] = "not an organ";
    zip_file_add(z, "readme.txt", zip_source_buffer(z, text, sizeof text - 1, 0), 0);
    zip_close(z);
    EXPECT_EXIT(std::exit(run({"vennorbank", path, "/tmp/x.sf2"})), ::testing::ExitedWithCode(1),
                "^vennorbank: no .organ definition in the package\n$");
    std::remove(path);
}

} // namespace
