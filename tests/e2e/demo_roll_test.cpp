// The demo roll played end to end by the built player through ALSA's null
// device: its report, its registration trace and a tempo given on the
// command line.
#include <cstdio>
#include <iomanip>
#include <regex>
#include <set>

#include "e2efixture.h"

namespace {

// The header lines the roll's own meta events call for, in roll order.
std::string expectedHeader() {
    MidiFile roll;
    EXPECT_EQ(roll.read(VENNOR_DEMO_ROLL), 1);
    std::ostringstream lines;
    for (int i = 0; i < roll.getNumEvents(0); i++) {
        MFEvent& e = roll.getEvent(0, i);
        if (e.data.getSize() < 4 || e.data[0] != 0xFF) {
            continue;
        }
        std::string text;
        for (int k = 3; k < e.data.getSize(); k++) {
            text += static_cast<char>(e.data[k]);
        }
        switch (e.data[1]) {
        case 0x01:
            lines << text << "\n";
            break;
        case 0x02:
            lines << "Copyright: " << text << "\n";
            break;
        case 0x03:
            lines << "Title: " << text << "\n";
            break;
        case 0x51:
            lines << "Input tempo: " << std::fixed << std::setprecision(1)
                  << 60000000.0 / ((e.data[3] << 16) | (e.data[4] << 8) | e.data[5]) << "\n";
            break;
        }
    }
    return lines.str();
}

// Seconds of the "Playing time: M minutes S seconds" line, or -1.
int playingSeconds(const std::string& out) {
    std::smatch m;
    static const std::regex line("\nPlaying time: (\\d+) minutes (\\d+) seconds\n$");
    if (!std::regex_search(out, m, line)) {
        return -1;
    }
    return std::stoi(m[1]) * 60 + std::stoi(m[2]);
}

class DemoRoll : public PlayerRun {
  protected:
    // The player that loads the bank built in this tree, when there is one.
    RunResult demo(const std::vector<std::string>& extra) {
        std::vector<std::string> args{VENNOROLL_TESTBANK_BIN, VENNOR_DEMO_ROLL};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(VENNOROLL_TESTBANK_BIN, args, nullhome, 120);
    }
};

TEST_F(DemoRoll, PlaysToItsEndWithTitleCopyrightTempoAndPlayingTime) {
    const std::string header = expectedHeader();
    ASSERT_NE(header.find("Title: "), std::string::npos);
    ASSERT_NE(header.find("Copyright: "), std::string::npos);
    ASSERT_NE(header.find("Input tempo: "), std::string::npos);

    const RunResult r = demo({});
    ASSERT_TRUE(r.ended) << "still playing after 120 s";
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    const int seconds = playingSeconds(r.out);
    EXPECT_GE(seconds, 60) << r.out;
    EXPECT_LE(seconds, 180) << r.out;
    // Nothing else between the header and the playing time.
    char last[64];
    std::snprintf(last, sizeof last, "Playing time: %d minutes %d seconds\n", seconds / 60,
                  seconds % 60);
    EXPECT_EQ(r.out, banner() + header + last);
    if (access(VENNOR_TESTBANK, R_OK) == 0) {
        EXPECT_EQ(r.err.find("vennorbank-0.sf2"), std::string::npos) << r.err;
    }
}

TEST_F(DemoRoll, TraceShowsPlainRepeatedAndTogetherStops) {
    const RunResult r = demo({"s"});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    const int seconds = playingSeconds(r.out);
    static const std::regex action("t= ([0-9.]+)  sc([1-6])(A?)= ([12])\n");
    std::set<std::string> kinds;
    std::set<std::string> stops;
    double previous = 0.0;
    for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), action);
         it != std::sregex_iterator(); ++it) {
        const double t = std::stod((*it)[1]);
        EXPECT_GE(t, previous);
        EXPECT_LT(t, seconds); // at the roll's own tempo
        previous = t;
        stops.insert((*it)[2]);
        kinds.insert(std::string((*it)[3]) + (*it)[4].str());
    }
    EXPECT_TRUE(kinds.count("1")) << "no plain action\n" << r.out;
    EXPECT_TRUE(kinds.count("2")) << "no repeated plain action\n" << r.out;
    EXPECT_TRUE(kinds.count("A1")) << "no together action\n" << r.out;
    EXPECT_GE(stops.size(), 4u) << r.out;
}

TEST_F(DemoRoll, TempoOnTheCommandLineChangesThePlayingTime) {
    // Twice the roll's own tempo halves the playing time.
    const std::string header = expectedHeader();
    const size_t at = header.find("Input tempo: ");
    ASSERT_NE(at, std::string::npos);
    const double own = std::stod(header.substr(at + 13));
    ASSERT_LE(2 * own, 200.0);
    char faster[32];
    std::snprintf(faster, sizeof faster, "%.1f", 2 * own);

    const RunResult slow = demo({});
    const RunResult fast = demo({faster});
    ASSERT_TRUE(slow.ended && fast.ended);
    EXPECT_EQ(fast.status, 0) << fast.out << fast.err;
    // The roll's tempo line is printed all the same.
    EXPECT_NE(fast.out.find(header), std::string::npos) << fast.out;
    const int a = playingSeconds(slow.out);
    const int b = playingSeconds(fast.out);
    ASSERT_GT(a, 0);
    EXPECT_GE(b, a / 2 - 1);
    EXPECT_LE(b, a / 2 + 1);
}

} // namespace
