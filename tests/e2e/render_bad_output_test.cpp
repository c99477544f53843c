// Outputs vennoroll-render cannot write: an unknown ending, a folder that is
// missing or not a folder, a folder in the way, the roll itself. Each is one
// line and status 1, and nothing is left behind; a failed run keeps an
// existing output as it was.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "../support/refusal.h"
#include "render.h"
#include "render_e2e_support.h"

namespace {

using e2e::Folder;

TEST(RenderOutputKind, ByEndingInAnyCase) {
    EXPECT_EQ(outputkindof("a.mid"), midoutput);
    EXPECT_EQ(outputkindof("dir/a.MID"), midoutput);
    EXPECT_EQ(outputkindof("a.wav"), wavoutput);
    EXPECT_EQ(outputkindof("/x/y/a.Wav"), wavoutput);
    EXPECT_EQ(outputkindof("a.flac"), flacoutput);
    EXPECT_EQ(outputkindof("a.FLAC"), flacoutput);
    EXPECT_EQ(outputkindof("a.Svg"), svgoutput);
    EXPECT_EQ(outputkindof("a.png"), pngoutput);
    EXPECT_EQ(outputkindof("x/a.PDF"), pdfoutput);
    EXPECT_EQ(outputkindof("a.Html"), pageoutput);
    EXPECT_EQ(outputkindof("a.htm"), unknownoutput);
    EXPECT_EQ(outputkindof(".pdf"), unknownoutput);
    EXPECT_EQ(outputkindof("a.midi"), unknownoutput);
    EXPECT_EQ(outputkindof("a.mp3"), unknownoutput);
    EXPECT_EQ(outputkindof("wav"), unknownoutput);
    EXPECT_EQ(outputkindof("a.wav/"), unknownoutput);
    // A bare ending is a hidden file's name, not an output.
    EXPECT_EQ(outputkindof(".wav"), unknownoutput);
    EXPECT_EQ(outputkindof("dir/.mid"), unknownoutput);
    EXPECT_EQ(outputkindof(""), unknownoutput);
}

class RenderBadOutputDeathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetplayerstate();
        roll = folder.file("roll.mid");
        e2e::writeshortroll(roll);
    }
    void check(const std::string& output, const char* extra = nullptr) {
        std::string out = output, rollword = roll, extraword = extra ? extra : "";
        char program[] = "vennoroll-render";
        char* argv[] = {program, &rollword[0], &out[0], &extraword[0], nullptr};
        checkrenderarguments(extra ? 4 : 3, argv);
    }
    Folder folder;
    std::string roll;
};

TEST_F(RenderBadOutputDeathTest, UnknownEndings) {
    for (const char* output : {"out.txt", "out", "out.mp3", "out.midi", ".wav", ".html"}) {
        expectRefusal([&] { check(output); },
                      "Output must end in .mid, .wav, .flac, .svg, .png, .pdf or .html");
    }
}

TEST_F(RenderBadOutputDeathTest, RollAndTempoAreCheckedBeforeTheOutput) {
    roll = folder.file("missing.mid");
    expectRefusal([&] { check("out.txt"); }, "Input file does not exist");
    roll = folder.file("roll.mid");
    expectRefusal([&] { check("out.txt", "300"); }, "Output tempo must be between 10.0 and 200.0");
}

TEST_F(RenderBadOutputDeathTest, GoodOutputsPass) {
    check("out.wav", "s");
    EXPECT_TRUE(sc);
    check("out.flac", "120");
    EXPECT_TRUE(optempovalid);
    EXPECT_EQ(specifiedtempo, 120.0);
    check("out.mid");
    // The spool's options stand anywhere; either value turns the speed-up on.
    std::string out = "out.mid";
    char program[] = "vennoroll-render", speedup[] = "--speed-up", thick[] = "--paper-thickness=.2";
    char* plain[] = {program, speedup, &roll[0], &out[0], nullptr};
    renderarguments a = checkrenderarguments(4, plain);
    EXPECT_EQ(a.words, (std::vector<char*>{program, &roll[0], &out[0]}));
    EXPECT_TRUE(a.speedup.on);
    EXPECT_EQ(a.speedup.diameter, spool().diameter);
    char* thicker[] = {program, &roll[0], &out[0], thick, nullptr};
    a = checkrenderarguments(4, thicker);
    EXPECT_TRUE(a.speedup.on);
    EXPECT_EQ(a.speedup.thickness, 0.2);
    EXPECT_FALSE(checkrenderarguments(3, plain + 1).speedup.on);
}

TEST_F(RenderBadOutputDeathTest, UnwritablePlaces) {
    std::string missing = folder.file("no-such-folder/out.wav");
    expectRefusal([&] { openoutput(roll.c_str(), missing.c_str()); },
                  "Cannot write " + missing + ": No such file or directory");
    std::string underfile = roll + "/out.wav";
    expectRefusal([&] { openoutput(roll.c_str(), underfile.c_str()); },
                  "Cannot write " + underfile + ": Not a directory");
    std::string dir = folder.file("taken.wav");
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    expectRefusal([&] { openoutput(roll.c_str(), dir.c_str()); },
                  "Cannot write " + dir + ": Is a directory");
    expectRefusal([&] { openoutput(roll.c_str(), roll.c_str()); }, "Output would replace the roll");
    std::vector<std::string> left = {"roll.mid", "taken.wav"};
    EXPECT_EQ(folder.entries(), left);
}

// The temporary file exists from openoutput on and goes at every exit.
TEST_F(RenderBadOutputDeathTest, TemporaryFileGoesAtAnExit) {
    std::string output = folder.file("out.mid");
    EXPECT_EXIT(
        {
            openoutput(roll.c_str(), output.c_str());
            std::fprintf(stderr, "pending %s\n", e2e::exists(pendingoutput()) ? "yes" : "no");
            std::exit(1);
        },
        ::testing::ExitedWithCode(1), "pending yes");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"roll.mid"});
}

// Through the built program: every bad output leaves the folder as it was.
TEST(RenderBadOutput, ProgramLeavesNothingBehind) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    ASSERT_EQ(mkdir(folder.file("taken.mid").c_str(), 0755), 0);
    struct Case {
        std::string output;
        std::string line;
        std::vector<std::string> options = {};
    };
    const std::vector<Case> cases = {
        {"out.ogg", "Output must end in .mid, .wav, .flac, .svg, .png, .pdf or .html"},
        {"gone/out.html", "Cannot write gone/out.html: No such file or directory"},
        {"gone/out.svg", "Cannot write gone/out.svg: No such file or directory"},
        {"gone/out.mid", "Cannot write gone/out.mid: No such file or directory"},
        {"roll.mid/out.wav", "Cannot write roll.mid/out.wav: Not a directory"},
        {"taken.mid", "Cannot write taken.mid: Is a directory"},
        {roll, "Output would replace the roll"},
        {"out.mid", "Unknown option --speedup", {"--speedup"}},
        {"out.wav", "Unknown option --spool-diameter", {"--spool-diameter"}},
        {"out.html", "Spool diameter must be between 20 and 500 mm", {"--spool-diameter=19.9"}},
        {"out.png", "Paper thickness must be between 0.01 and 1 mm", {"--paper-thickness=nan"}},
        {"out.svg", "Paper thickness must be between 0.01 and 1 mm", {"--paper-thickness=0.1mm"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {RENDER_BIN, roll, c.output};
        args.insert(args.end(), c.options.begin(), c.options.end());
        RunResult run = e2e::run(folder, args);
        ASSERT_FALSE(run.hung);
        EXPECT_EQ(run.status, 1) << c.output;
        std::string last = run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1);
        EXPECT_EQ(last, c.line + "\n");
        std::vector<std::string> left = {"roll.mid", "taken.mid"};
        EXPECT_EQ(folder.entries(), left) << c.output;
    }
}

// A roll refused after the temporary file was made: it is removed, and an
// output already there keeps its contents.
TEST(RenderBadOutput, FailedRunKeepsTheOldOutput) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    Roll().hole(6, 0, 100).write(roll); // one required hole: refused
    e2e::writefile(folder.file("out.mid"), "earlier");
    RunResult run = e2e::run(folder, {RENDER_BIN, roll, "out.mid"});
    ASSERT_FALSE(run.hung);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readfile(folder.file("out.mid")), "earlier");
    std::vector<std::string> left = {"out.mid", "roll.mid"};
    EXPECT_EQ(folder.entries(), left);
}

// A written output has the permissions any new file gets here.
TEST(RenderBadOutput, WrittenFileHasTheUsualPermissions) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    RunResult run = e2e::run(folder, {RENDER_BIN, roll, "out.mid"});
    ASSERT_EQ(run.status, 0) << run.out;
    mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat(folder.file("out.mid").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

// A render stopped by an interrupt or a termination signal removes its
// temporary file on the way out.
TEST(RenderBadOutput, InterruptedRenderLeavesNothing) {
    if (!e2e::exists(BANK_PATH)) {
        GTEST_SKIP() << "no bank at " << BANK_PATH;
    }
    for (int sig : {SIGINT, SIGTERM}) {
        Folder folder;
        std::string roll = folder.file("roll.mid");
        e2e::writeshortroll(roll);
        // At 10 beats a minute the roll lasts a minute: seconds of rendering.
        std::vector<std::string> args = {RENDER_BIN, roll, folder.file("out.wav"), "10"};
        const pid_t pid = startprogram(RENDER_BIN, args);
        ASSERT_GT(pid, 0);
        // Wait until the temporary file is there, then stop the program.
        bool seen = false;
        for (int i = 0; i < 20000 && !seen; i++) {
            seen = folder.entries().size() > 1;
            if (!seen) {
                usleep(500);
            }
        }
        EXPECT_TRUE(seen);
        kill(pid, sig);
        int wstatus = 0;
        for (int i = 0; i < 6000 && waitpid(pid, &wstatus, WNOHANG) == 0; i++) {
            usleep(10000);
        }
        if (waitpid(pid, &wstatus, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
            ADD_FAILURE() << "the renderer did not stop";
        }
        EXPECT_TRUE(WIFSIGNALED(wstatus));
        if (WIFSIGNALED(wstatus)) {
            EXPECT_EQ(WTERMSIG(wstatus), sig);
        }
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"roll.mid"});
    }
}

} // namespace
