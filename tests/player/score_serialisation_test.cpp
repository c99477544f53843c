// The output score as handed to the player: sorted, serialised with 16 track
// chunks, its length rounded up to a multiple of 8 with zero filler.
#include <cstring>
#include <string>

#include "../support/smf.h"
#include "rollfixture.h"

namespace {

// Ten pedal notes of hole 6, each from 192 * i to 192 * i + 96.
void tenpedalnotes(Roll& roll) {
    for (int i = 1; i <= 10; i++) {
        roll.hole(6, 192 * i, 192 * i + 96);
    }
}

Bytes metatext(int type, const std::string& words) {
    return concat({bytes({0x00}), metabytes(type, words)});
}

Bytes expectedfile() {
    // Channel messages come before meta events at one tick.
    Bytes pedal = concat({bytes({0x00, 0xC0, 0x00}), metatext(3, "Pedal"), metatext(1, "vennoroll"),
                          bytes({0x81, 0x40, 0x90, 36, 65, 0x60, 0x80, 36, 65})});
    for (int i = 2; i <= 10; i++) {
        pedal = concat({pedal, bytes({0x60, 0x90, 36, 65, 0x60, 0x80, 36, 65})});
    }
    Bytes file = concat(
        {header(1, 16, 192),
         chunk(concat({bytes({0x00, 0xFF, 0x51, 0x03, 0x0A, 0xC5, 0x5A}), endoftrackdelta})),
         chunk(concat({pedal, endoftrackdelta})),
         chunk(concat({bytes({0x00, 0xC1, 0x0A}), metatext(3, "sc1swell"), endoftrackdelta})),
         chunk(concat({bytes({0x00, 0xC2, 0x46}), metatext(3, "sc2great"), endoftrackdelta}))});
    for (int track = 4; track < 16; track++) {
        file = concat({file, chunk(endoftrackdelta)});
    }
    return file;
}

// The serialised score of the roll, and op_size, through the player's steps.
std::string serialised(Roll& roll, size_t& op_size) {
    testing::internal::CaptureStdout();
    const double lastendtime = interpret(roll);
    std::string op_string;
    op_size = serialiseroll(lastendtime, op_string);
    testing::internal::GetCapturedStdout();
    return op_string;
}

TEST(ScoreSerialisation, WholeFileOfTenPedalNotes) {
    Roll roll;
    tenpedalnotes(roll);
    size_t op_size = 0;
    const std::string op_string = serialised(roll, op_size);
    const Bytes expected = expectedfile();
    EXPECT_EQ(text(op_string), expected);
    EXPECT_EQ(text(os_buffer.str()), expected);
    // 14 + 16 * 8 + bodies: 11 + 110 + 19 + 19 + 12 * 4 = 349, rounded to 352.
    EXPECT_EQ(expected.size(), 349u);
    EXPECT_EQ(op_size, 352u);
    EXPECT_EQ(outputfile.getTimeState(), 1); // left in absolute ticks
}

TEST(ScoreSerialisation, SizeRoundsUpWithZeroFiller) {
    // A text of n characters lengthens the file by n + 4 bytes: every
    // remainder modulo 8 comes round, 7 makes an exact multiple (360).
    for (int n = 1; n <= 8; n++) {
        Roll roll;
        tenpedalnotes(roll);
        roll.meta(0, 1, std::string(static_cast<size_t>(n), 'e'));
        size_t op_size = 0;
        const std::string op_string = serialised(roll, op_size);
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

TEST(ScoreSerialisation, NoteOffSortsBeforeNoteOnAtOneTick) {
    // Hole 6 closes at 288 and opens again at 288: off, then on.
    Roll roll;
    roll.hole(6, 192, 288).hole(6, 288, 384).required(1000);
    size_t op_size = 0;
    serialised(roll, op_size);
    std::vector<Ev> n = notes(1);
    ASSERT_GE(n.size(), 4u);
    EXPECT_EQ(n[1], (Ev{288, {0x80, 36, 65}}));
    EXPECT_EQ(n[2], (Ev{288, {0x90, 36, 65}}));
}

} // namespace
