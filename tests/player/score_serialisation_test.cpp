// The output score as handed to the player: sorted, serialised with 16 track
// chunks, its length rounded up to a multiple of 8 with zero filler.
#include <cstring>
#include <string>

#include "rollfixture.h"

namespace {

void put(std::string& s, std::initializer_list<int> bytes) {
    for (int b : bytes) {
        s.push_back(static_cast<char>(b));
    }
}

void puttext(std::string& s, const char* text) {
    s.push_back(static_cast<char>(std::strlen(text)));
    s += text;
}

std::string chunk(const std::string& body) {
    std::string s = "MTrk";
    size_t n = body.size();
    put(s, {static_cast<int>(n >> 24) & 0xFF, static_cast<int>(n >> 16) & 0xFF,
            static_cast<int>(n >> 8) & 0xFF, static_cast<int>(n) & 0xFF});
    return s + body;
}

// Ten pedal notes of hole 6, each from 192 * i to 192 * i + 96.
void tenpedalnotes(Roll& roll) {
    for (int i = 1; i <= 10; i++) {
        roll.hole(6, 192 * i, 192 * i + 96);
    }
}

std::string expectedfile() {
    std::string file = "MThd";
    put(file, {0, 0, 0, 6, 0, 1, 0, 16, 0, 192});
    std::string t0;
    put(t0, {0x00, 0xFF, 0x51, 0x03, 0x0A, 0xC5, 0x5A, 0x00, 0xFF, 0x2F, 0x00});
    // Channel messages come before meta events at one tick.
    std::string t1;
    put(t1, {0x00, 0xC0, 0x00, 0x00, 0xFF, 0x03});
    puttext(t1, "Pedal");
    put(t1, {0x00, 0xFF, 0x01});
    puttext(t1, "vennoroll");
    put(t1, {0x81, 0x40, 0x90, 36, 65, 0x60, 0x80, 36, 65});
    for (int i = 2; i <= 10; i++) {
        put(t1, {0x60, 0x90, 36, 65, 0x60, 0x80, 36, 65});
    }
    put(t1, {0x00, 0xFF, 0x2F, 0x00});
    std::string t2;
    put(t2, {0x00, 0xC1, 0x0A, 0x00, 0xFF, 0x03});
    puttext(t2, "sc1swell");
    put(t2, {0x00, 0xFF, 0x2F, 0x00});
    std::string t3;
    put(t3, {0x00, 0xC2, 0x46, 0x00, 0xFF, 0x03});
    puttext(t3, "sc2great");
    put(t3, {0x00, 0xFF, 0x2F, 0x00});
    file += chunk(t0) + chunk(t1) + chunk(t2) + chunk(t3);
    std::string empty;
    put(empty, {0x00, 0xFF, 0x2F, 0x00});
    for (int track = 4; track < 16; track++) {
        file += chunk(empty);
    }
    return file;
}

TEST(ScoreSerialisation, WholeFileOfTenPedalNotes) {
    Roll roll;
    tenpedalnotes(roll);
    interpret(roll);
    std::string op_string;
    size_t op_size = 0;
    serialisescore(op_string, op_size);
    std::string expected = expectedfile();
    EXPECT_EQ(op_string, expected);
    EXPECT_EQ(os_buffer.str(), expected);
    // 14 + 16 * 8 + bodies: 11 + 110 + 19 + 19 + 12 * 4 = 349, rounded to 352.
    EXPECT_EQ(expected.size(), 349u);
    EXPECT_EQ(op_size, 352u);
    EXPECT_EQ(outputfile.getTimeState(), 1); // left in absolute ticks
}

TEST(ScoreSerialisation, SizeRoundsUpWithZeroFiller) {
    // A text of n characters lengthens the file by n + 4 bytes: every
    // remainder modulo 8 comes round.
    for (int n = 1; n <= 8; n++) {
        Roll roll;
        tenpedalnotes(roll);
        roll.meta(0, 1, std::string(static_cast<size_t>(n), 'e'));
        testing::internal::CaptureStdout();
        interpret(roll);
        testing::internal::GetCapturedStdout();
        std::string op_string;
        size_t op_size = 0;
        serialisescore(op_string, op_size);
        size_t length = 349 + static_cast<size_t>(n) + 4;
        ASSERT_EQ(op_string.size(), length);
        EXPECT_EQ(op_size, (length + 7) / 8 * 8) << n;
        fillopbuffer(op_string, op_size);
        ASSERT_NE(op_buffer, nullptr);
        EXPECT_EQ(std::memcmp(op_buffer, op_string.data(), length), 0);
        for (size_t i = length; i < op_size; i++) {
            EXPECT_EQ(op_buffer[i], 0) << n << " byte " << i;
        }
    }
}

TEST(ScoreSerialisation, ExactMultipleGetsNoFiller) {
    // 349 + 7 + 4 = 360 bytes.
    Roll roll;
    tenpedalnotes(roll);
    roll.meta(0, 1, "sevench");
    testing::internal::CaptureStdout();
    interpret(roll);
    testing::internal::GetCapturedStdout();
    std::string op_string;
    size_t op_size = 0;
    serialisescore(op_string, op_size);
    EXPECT_EQ(op_string.size(), 360u);
    EXPECT_EQ(op_size, 360u);
}

TEST(ScoreSerialisation, NoteOffSortsBeforeNoteOnAtOneTick) {
    // Hole 6 closes at 288 and opens again at 288: off, then on.
    Roll roll;
    roll.hole(6, 192, 288).hole(6, 288, 384);
    interpret(roll);
    std::string op_string;
    size_t op_size = 0;
    serialisescore(op_string, op_size);
    std::vector<Ev> n = notes(1);
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[1], (Ev{288, {0x80, 36, 65}}));
    EXPECT_EQ(n[2], (Ev{288, {0x90, 36, 65}}));
}

} // namespace
