#include "mapping.h"

#include <algorithm>

bool operator==(const livemessage& a, const livemessage& b) {
    return a.tick == b.tick && a.what == b.what && a.size == b.size &&
           std::equal(a.bytes, a.bytes + a.size, b.bytes);
}

namespace {

livemessage message(long long tick, int what, int status, int data1, int data2 = -1) {
    livemessage m;
    m.tick = tick;
    m.what = what;
    m.size = data2 < 0 ? 2 : 3;
    m.bytes[0] = static_cast<unsigned char>(status);
    m.bytes[1] = static_cast<unsigned char>(data1 & 0x7F);
    m.bytes[2] = static_cast<unsigned char>(data2 < 0 ? 0 : data2 & 0x7F);
    return m;
}

livemessage stopchange(long long tick, const stopmessage& s, bool on) {
    const int ch = (s.channel - 1) & 0x0F;
    if (s.type == stopmessage::controller) {
        livemessage m = message(tick, on ? livemessage::stopon : livemessage::stopoff, 0xB0 | ch,
                                s.number, on ? s.on : s.off);
        m.retire = s.off;
        return m;
    }
    return on ? message(tick, livemessage::stopon, 0x90 | ch, s.number, s.on)
              : message(tick, livemessage::stopoff, 0x80 | ch, s.number, 0);
}

// A stop's message as the organ tells it apart: its kind, channel and number.
using stopkey = std::tuple<int, int, int>;

stopkey keyof(const stopmessage& s) {
    return stopkey(s.type, s.channel, s.number);
}

// The stops drawn in every division, and what a new registration of one
// division changes of them.
class registration {
  public:
    explicit registration(const livemap& m) : map(m) {}

    void change(long long tick, int division, int program, std::vector<livemessage>& out) {
        std::map<stopkey, stopmessage> before = drawnmessages();
        drawn[division].clear();
        const std::vector<const OrganStop*>& stops = divisionstops(division);
        const OrganProgram* p = organProgram(program);
        for (size_t i = 0; p != nullptr && i < stops.size(); i++) {
            if (std::find(p->stops.begin(), p->stops.end(), stops[i]) != p->stops.end()) {
                drawn[division].push_back(map.stops[division][i]);
            }
        }
        std::map<stopkey, stopmessage> after = drawnmessages();
        for (const auto& [key, s] : before) {
            if (after.count(key) == 0) {
                out.push_back(stopchange(tick, s, false));
            }
        }
        for (const auto& [key, s] : after) {
            if (before.count(key) == 0) {
                out.push_back(stopchange(tick, s, true));
            }
        }
    }

  private:
    std::map<stopkey, stopmessage> drawnmessages() const {
        std::map<stopkey, stopmessage> all;
        for (const std::vector<stopmessage>& list : drawn) {
            for (const stopmessage& s : list) {
                if (s.type != stopmessage::none) {
                    all.emplace(keyof(s), s);
                }
            }
        }
        return all;
    }

    const livemap& map;
    std::vector<stopmessage> drawn[divisioncount];
};

bool sends(registrationmode mode, registrationmode what) {
    return mode == what || mode == registrationmode::both;
}

} // namespace

void soundingledger::note(const livemessage& m) {
    const int status = m.bytes[0] & 0xF0;
    const int ch = m.bytes[0] & 0x0F;
    channels.insert(ch);
    const std::pair<int, int> key(ch, m.bytes[1]);
    if (status == 0x90 && m.bytes[2] > 0) {
        notes[key]++;
    } else if ((status == 0x80 || status == 0x90) && notes.count(key) != 0 && --notes[key] == 0) {
        notes.erase(key);
    } else if (status == 0xB0 && m.what == livemessage::stopon) {
        drawn[key] = message(m.tick, livemessage::stopoff, m.bytes[0], m.bytes[1], m.retire);
    } else if (status == 0xB0 && m.what == livemessage::stopoff) {
        drawn.erase(key);
    } else if (status == 0xB0 && m.bytes[1] == 123) {
        for (auto at = notes.begin(); at != notes.end();) {
            at = at->first.first == ch ? notes.erase(at) : std::next(at);
        }
    }
}

std::vector<livemessage> soundingledger::closing(long long tick) const {
    std::vector<livemessage> out;
    for (const auto& [key, count] : notes) {
        for (int i = 0; i < count; i++) {
            out.push_back(message(tick, livemessage::noteoff, 0x80 | key.first, key.second, 0));
        }
    }
    for (const auto& [key, off] : drawn) {
        livemessage m = off;
        m.tick = tick;
        out.push_back(m);
    }
    for (int ch : channels) {
        out.push_back(message(tick, livemessage::allnotesoff, 0xB0 | ch, 123, 0));
    }
    return out;
}

std::vector<livemessage> mapscore(MidiFile& score, const std::vector<shadesat>& shades,
                                  const livemap& map) {
    std::vector<livemessage> out;
    registration stops(map);
    long long last = 0;
    for (int track = 0; track < score.getTrackCount(); track++) {
        for (int i = 0; i < score.getNumEvents(track); i++) {
            MFEvent& e = score.getEvent(track, i);
            last = std::max<long long>(last, e.time);
            if (e.data.getSize() < 2 || e.data[0] >= 0xF0 || (e.data[0] & 0x0F) >= divisioncount) {
                continue;
            }
            const int status = e.data[0] & 0xF0;
            const int division = e.data[0] & 0x0F;
            const int ch = (map.channel[division] - 1) & 0x0F;
            if (status == 0xC0) {
                if (sends(map.registration, registrationmode::programs)) {
                    out.push_back(message(e.time, livemessage::program, 0xC0 | ch, e.data[1]));
                }
                if (sends(map.registration, registrationmode::stops)) {
                    stops.change(e.time, division, e.data[1], out);
                }
            } else if ((status == 0x80 || status == 0x90) && e.data.getSize() >= 3) {
                const bool on = status == 0x90 && e.data[2] > 0;
                const int velocity = map.velocity > 0 ? map.velocity : e.data[2];
                out.push_back(message(e.time, on ? livemessage::noteon : livemessage::noteoff,
                                      (on ? 0x90 : 0x80) | ch, e.data[1], velocity));
            }
        }
    }
    if (map.shadescontroller >= 0) {
        const int channel = map.shadeschannel > 0 ? map.shadeschannel : map.channel[swelldivision];
        int position = -1;
        for (const shadesat& s : shades) {
            if (s.position != position && s.position >= 0 && s.position <= 3) {
                position = s.position;
                out.push_back(message(s.tick, livemessage::shademove, 0xB0 | ((channel - 1) & 0x0F),
                                      map.shadescontroller, map.shadevalues[position]));
                last = std::max(last, s.tick);
            }
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const livemessage& a, const livemessage& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.what < b.what;
    });
    soundingledger ledger;
    for (const livemessage& m : out) {
        ledger.note(m);
    }
    for (const livemessage& m : ledger.closing(last)) {
        out.push_back(m);
    }
    return out;
}
