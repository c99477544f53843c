// The score text: one directive a line; a '#' that starts a word starts a
// comment (a sharp's '#' follows its letter).
//
//   title TEXT | copyright TEXT | text TEXT     header meta events
//   tpq N | tempo BPM | meter BEATS             resolution, Set Tempo, beats per bar
//   release BEATS | breath BEATS                note lift-off, silence before a change
//   phrase NAME TOKEN...                        a named run of notes
//   pedal|swell|great BAR:BEAT TOKEN...         notes played from that place on
//   plain BAR:BEAT STOP [open|close]            stop control acts plainly at that place
//   together BAR:BEAT STOP                      stop control acts with the swell pair
//   shade open|close BAR:BEAT                   one swell-shade hole
//   stop STOP BAR:BEAT                          one bare stop-control hole
//   lift BAR:BEAT [BEATS]                       silence before that place
//   hole HOLE BAR:BEAT BEATS                    any hole, raw
//
// Tokens: PITCH[+PITCH...]/BEATS (C4 is middle C), r/BEATS for a rest,
// $NAME for a phrase, $NAME*N for N repeats of it. STOP is 1 to 6.
#include "score.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

const int kShadeClose = 123;
const int kShadeOpen = 124;

// Holes of stop controls 1 to 6.
int stopHole(int stop) {
    return stop == 6 ? 125 : stop;
}

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

bool parseInt(const std::string& text, int& value) {
    double d = 0.0;
    if (!parseNumber(text, d) || d != std::floor(d) || std::fabs(d) > 1e9) {
        return false;
    }
    value = static_cast<int>(d);
    return true;
}

// Everything after the directive word, as one text.
std::string restOfLine(const std::string& line, const std::string& word) {
    std::string rest = line.substr(line.find(word) + word.size());
    const size_t first = rest.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    const size_t last = rest.find_last_not_of(" \t\r");
    return rest.substr(first, last - first + 1);
}

class Parser {
  public:
    Parser(Score& s, std::string& e) : score(s), error(e) {}

    bool line(const std::string& raw, int number);

  private:
    Score& score;
    std::string& error;
    int lineNumber = 0;

    bool fail(const std::string& what) {
        error = "line " + std::to_string(lineNumber) + ": " + what;
        return false;
    }
    long ticks(double beats) const { return std::lround(beats * score.tpq); }
    bool position(const std::string& text, long& tick);
    bool beats(const std::string& text, double& value);
    bool expand(const std::vector<std::string>& words, size_t from,
                std::vector<std::string>& tokens);
    bool play(const std::string& division, long tick, const std::vector<std::string>& tokens);
    void control(int hole, long tick, long length);
    bool change(long tick, int stop, bool together, int trigger);
};

bool Parser::position(const std::string& text, long& tick) {
    const size_t colon = text.find(':');
    int bar = 0;
    double beat = 0.0;
    if (colon == std::string::npos || !parseInt(text.substr(0, colon), bar) ||
        !parseNumber(text.substr(colon + 1), beat) || bar < 1 || beat < 1.0 || bar > 100000 ||
        beat > 100000.0) {
        return fail("bad place '" + text + "' (want BAR:BEAT, both from 1)");
    }
    tick = ticks((bar - 1) * static_cast<double>(score.meter) + (beat - 1.0));
    return true;
}

bool Parser::beats(const std::string& text, double& value) {
    if (!parseNumber(text, value) || value <= 0.0 || value > 100000.0) {
        return fail("bad length '" + text + "' (want beats above 0)");
    }
    return true;
}

bool Parser::expand(const std::vector<std::string>& words, size_t from,
                    std::vector<std::string>& tokens) {
    for (size_t i = from; i < words.size(); i++) {
        const std::string& w = words[i];
        if (w[0] != '$') {
            tokens.push_back(w);
            continue;
        }
        std::string name = w.substr(1);
        int repeats = 1;
        const size_t star = name.find('*');
        if (star != std::string::npos) {
            if (!parseInt(name.substr(star + 1), repeats) || repeats < 1) {
                return fail("bad repeat count in '" + w + "'");
            }
            name = name.substr(0, star);
        }
        const auto found = score.phrases.find(name);
        if (found == score.phrases.end()) {
            return fail("no phrase named '" + name + "'");
        }
        for (int r = 0; r < repeats; r++) {
            tokens.insert(tokens.end(), found->second.begin(), found->second.end());
        }
    }
    return true;
}

bool Parser::play(const std::string& division, long tick, const std::vector<std::string>& tokens) {
    double at = static_cast<double>(tick) / score.tpq; // in beats, so lengths add up exactly
    for (const std::string& token : tokens) {
        const size_t slash = token.rfind('/');
        double length = 0.0;
        if (slash == std::string::npos || !beats(token.substr(slash + 1), length)) {
            return error.empty() ? fail("bad note '" + token + "' (want PITCH/BEATS)") : false;
        }
        const std::string pitches = token.substr(0, slash);
        const long start = ticks(at);
        const long end = ticks(at + length - score.release);
        at += length;
        if (pitches == "r") {
            continue;
        }
        if (end <= start) {
            return fail("note '" + token + "' is shorter than its release");
        }
        std::stringstream chord(pitches);
        std::string name;
        while (std::getline(chord, name, '+')) {
            const int pitch = parsePitch(name);
            if (pitch < 0) {
                return fail("bad pitch '" + name + "'");
            }
            const int hole = holeFor(division, pitch);
            if (hole == 0) {
                return fail(name + " is outside the " + division + "'s compass");
            }
            score.holes.push_back({hole, start, end, lineNumber, true});
        }
    }
    return true;
}

void Parser::control(int hole, long tick, long length) {
    score.holes.push_back({hole, tick, tick + length, lineNumber, false});
}

// The player acts on a plain stop two closings after the stop hole, at the
// opening of the second; a together stop acts at its own closing once a
// close and an open shade hole have opened less than 0.3 s apart. Both are
// punched into a breath before the place, so the change falls before the
// notes that follow and none of them sounds with the old stops.
bool Parser::change(long tick, int stop, bool together, int trigger) {
    const long breath = ticks(score.breath);
    const long step = breath / 3;
    const long open = std::max(1L, step / 2);
    if (step < 2 || tick - breath < 0) {
        return fail("no room for a registration change (breath too short or too early)");
    }
    score.lifts.push_back({tick, breath, lineNumber});
    const long first = tick - breath;
    if (together) {
        control(kShadeClose, first, open);
        control(kShadeOpen, first + step, open);
        control(stopHole(stop), first + 2 * step, open);
    } else {
        control(stopHole(stop), first, open);
        control(trigger, first + step, open);
        control(trigger, first + 2 * step, open);
    }
    return true;
}

bool Parser::line(const std::string& raw, int number) {
    lineNumber = number;
    std::string text = raw;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '#' && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '\t')) {
            text.resize(i);
            break;
        }
    }
    std::vector<std::string> w;
    std::stringstream words(text);
    std::string word;
    while (words >> word) {
        w.push_back(word);
    }
    if (w.empty()) {
        return true;
    }
    const std::string& d = w[0];
    if (d == "title" || d == "copyright" || d == "text") {
        const std::string value = restOfLine(text, d);
        if (value.empty()) {
            return fail(d + " needs a text");
        }
        if (d == "title") {
            score.title = value;
        } else if (d == "copyright") {
            score.copyright = value;
        } else {
            score.texts.push_back(value);
        }
        return true;
    }
    if (d == "tpq" || d == "meter") {
        int value = 0;
        if (w.size() != 2 || !parseInt(w[1], value) || value < 1 || value > 32767) {
            return fail(d + " needs a whole number from 1 to 32767");
        }
        if (d == "tpq" && !score.holes.empty()) {
            return fail("tpq must come before the first note");
        }
        (d == "tpq" ? score.tpq : score.meter) = value;
        return true;
    }
    if (d == "tempo") {
        double bpm = 0.0;
        if (w.size() != 2 || !parseNumber(w[1], bpm) || bpm < 10.0 || bpm > 200.0) {
            return fail("tempo needs beats per minute from 10 to 200");
        }
        score.tempo = bpm;
        return true;
    }
    if (d == "release" || d == "breath") {
        double value = 0.0;
        if (w.size() != 2 || !parseNumber(w[1], value) || value < 0.0) {
            return fail(d + " needs a length in beats, 0 or more");
        }
        (d == "release" ? score.release : score.breath) = value;
        return true;
    }
    if (d == "phrase") {
        if (w.size() < 3) {
            return fail("phrase needs a name and notes");
        }
        std::vector<std::string> tokens;
        if (!expand(w, 2, tokens)) {
            return false;
        }
        score.phrases[w[1]] = tokens;
        return true;
    }
    long tick = 0;
    if (d == "pedal" || d == "swell" || d == "great") {
        std::vector<std::string> tokens;
        if (w.size() < 3 || !position(w[1], tick) || !expand(w, 2, tokens)) {
            return error.empty() ? fail(d + " needs a place and notes") : false;
        }
        return play(d, tick, tokens);
    }
    if (d == "plain" || d == "together") {
        int stop = 0;
        int trigger = kShadeOpen;
        const size_t want = d == "plain" ? 4 : 3;
        if (w.size() < 3 || w.size() > want || !position(w[1], tick) || !parseInt(w[2], stop) ||
            stop < 1 || stop > 6) {
            return error.empty() ? fail(d + " needs a place and a stop control from 1 to 6")
                                 : false;
        }
        if (w.size() == 4) {
            if (w[3] != "open" && w[3] != "close") {
                return fail("plain ends with open or close, not '" + w[3] + "'");
            }
            trigger = w[3] == "open" ? kShadeOpen : kShadeClose;
        }
        return change(tick, stop, d == "together", trigger);
    }
    if (d == "shade") {
        if (w.size() != 3 || (w[1] != "open" && w[1] != "close") || !position(w[2], tick)) {
            return error.empty() ? fail("shade needs open or close and a place") : false;
        }
        control(w[1] == "open" ? kShadeOpen : kShadeClose, tick,
                std::max(1L, ticks(score.breath) / 6));
        return true;
    }
    if (d == "stop") {
        int stop = 0;
        if (w.size() != 3 || !parseInt(w[1], stop) || stop < 1 || stop > 6 ||
            !position(w[2], tick)) {
            return error.empty() ? fail("stop needs a stop control from 1 to 6 and a place")
                                 : false;
        }
        control(stopHole(stop), tick, std::max(1L, ticks(score.breath) / 6));
        return true;
    }
    if (d == "lift") {
        double length = score.breath;
        if (w.size() < 2 || w.size() > 3 || !position(w[1], tick) ||
            (w.size() == 3 && !beats(w[2], length))) {
            return error.empty() ? fail("lift needs a place and maybe a length") : false;
        }
        score.lifts.push_back({tick, ticks(length), lineNumber});
        return true;
    }
    if (d == "hole") {
        int hole = 0;
        double length = 0.0;
        if (w.size() != 4 || !parseInt(w[1], hole) || hole < 0 || hole > 127 ||
            !position(w[2], tick) || !beats(w[3], length)) {
            return error.empty() ? fail("hole needs a hole 0 to 127, a place and a length") : false;
        }
        const long end = tick + std::max(1L, ticks(length));
        score.holes.push_back({hole, tick, end, lineNumber, hole >= 6 && hole <= 120});
        return true;
    }
    return fail("unknown directive '" + d + "'");
}

} // namespace

int holeFor(const std::string& division, int pitch) {
    if (division == "pedal" && pitch >= 36 && pitch <= 47) {
        return 6 + 2 * (pitch - 36);
    }
    if (division == "swell" && pitch >= 36 && pitch <= 92) {
        return 7 + 2 * (pitch - 36);
    }
    if (division == "great" && pitch >= 48 && pitch <= 93) {
        return 6 + 2 * (pitch - 36);
    }
    return 0;
}

int parsePitch(const std::string& text) {
    static const int steps[] = {9, 11, 0, 2, 4, 5, 7}; // A to G
    if (text.size() < 2 || text[0] < 'A' || text[0] > 'G') {
        return -1;
    }
    int pitch = steps[text[0] - 'A'];
    size_t i = 1;
    if (text[i] == '#') {
        pitch++;
        i++;
    } else if (text[i] == 'b') {
        pitch--;
        i++;
    }
    int octave = 0;
    if (i >= text.size() || !parseInt(text.substr(i), octave) || octave < -1 || octave > 9) {
        return -1;
    }
    pitch += 12 * (octave + 1);
    return pitch >= 0 && pitch <= 127 ? pitch : -1;
}

bool parseScore(std::istream& in, Score& score, std::string& error) {
    error.clear();
    Parser parser(score, error);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        if (!parser.line(line, ++number)) {
            return false;
        }
    }
    return true;
}

bool finishScore(Score& score, std::string& error) {
    auto fail = [&error](int line, const std::string& what) {
        error = "line " + std::to_string(line) + ": " + what;
        return false;
    };
    for (const Lift& lift : score.lifts) {
        const long from = lift.at - lift.length;
        for (HoleSpan& h : score.holes) {
            if (!h.note || h.end <= from || h.end > lift.at) {
                continue;
            }
            if (h.start >= from) {
                return fail(h.line,
                            "a note starts inside the lift of line " + std::to_string(lift.line));
            }
            h.end = from;
        }
    }
    // One hole has one perforation at a time: overlapping notes on it merge.
    std::stable_sort(score.holes.begin(), score.holes.end(),
                     [](const HoleSpan& a, const HoleSpan& b) {
                         return a.hole != b.hole ? a.hole < b.hole : a.start < b.start;
                     });
    std::vector<HoleSpan> merged;
    for (const HoleSpan& h : score.holes) {
        if (!merged.empty() && merged.back().hole == h.hole && h.start < merged.back().end) {
            merged.back().end = std::max(merged.back().end, h.end);
        } else {
            merged.push_back(h);
        }
    }
    score.holes = merged;
    // A standard file's delta times end at 2^28 - 1 ticks.
    for (const HoleSpan& h : score.holes) {
        if (h.end > 0x0FFFFFFF) {
            return fail(h.line, "the roll would be longer than a MIDI file can hold");
        }
    }
    // The player drops notes shorter than 0.01 s.
    const double bpm = score.tempo > 0.0 ? score.tempo : 85.0;
    for (const HoleSpan& h : score.holes) {
        const double seconds = (h.end - h.start) * 60.0 / bpm / score.tpq;
        if (h.note && seconds < 0.01) {
            return fail(h.line, "a note of hole " + std::to_string(h.hole) +
                                    " lasts less than 0.01 s and would not sound");
        }
    }
    return true;
}
