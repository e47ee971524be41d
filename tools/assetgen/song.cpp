#include "song.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace ag {
namespace {

// "C#5" -> 73; returns -1 when it is not a note.
int parse_key(const std::string& s, size_t& pos, bool with_octave) {
    static const int base[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (pos >= s.size()) return -1;
    char c = char(std::toupper(static_cast<unsigned char>(s[pos])));
    if (c < 'A' || c > 'G') return -1;
    int k = base[c - 'A'];
    ++pos;
    if (pos < s.size() && s[pos] == '#')
        k += 1, ++pos;
    else if (pos < s.size() && s[pos] == 'b')
        k -= 1, ++pos;
    if (!with_octave) return k;
    int oct = 4;
    if (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) oct = s[pos++] - '0';
    return k + 12 * (oct + 1);
}

}  // namespace

std::vector<note_ev> score(const std::string& text, double start_beat) {
    std::vector<note_ev> out;
    std::istringstream in(text);
    std::string tok;
    double beat = start_beat, len = 1;
    while (in >> tok) {
        if (tok == "|") continue;
        note_ev n{beat, len, {}, 0.8f};
        size_t slash = tok.find('/');
        std::string keys = tok.substr(0, slash);
        if (slash != std::string::npos) {
            std::string l = tok.substr(slash + 1);
            if (!l.empty() && l.back() == '!') n.vel = 1.0f, l.pop_back();
            len = std::atof(l.c_str());
            n.len = len;
        }
        if (keys != "r") {
            size_t pos = 0;
            while (pos < keys.size()) {
                int k = parse_key(keys, pos, true);
                if (k < 0) break;
                n.keys.push_back(k);
                if (pos < keys.size() && keys[pos] == '+') ++pos;
            }
        }
        if (!n.keys.empty()) out.push_back(n);
        beat += len;
    }
    return out;
}

chord chord_of(const std::string& name, int octave) {
    size_t pos = 0;
    int root = parse_key(name, pos, false);
    std::string rest = name.substr(pos);
    int bass = root;
    size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        size_t bp = 0;
        std::string b = rest.substr(slash + 1);
        bass = parse_key(b, bp, false);
        rest = rest.substr(0, slash);
    }
    bool minor = !rest.empty() && rest[0] == 'm' && rest.rfind("maj", 0) != 0;
    std::vector<int> iv{0, minor ? 3 : 4, 7};
    if (rest.find("maj7") != std::string::npos)
        iv.push_back(11);
    else if (rest.find('7') != std::string::npos)
        iv.push_back(10);
    if (rest.find("sus") != std::string::npos) iv[1] = 5;
    chord c;
    int r = root + 12 * (octave + 1);
    c.bass = ((bass % 12) + 12) % 12 + 12 * (octave + 1);
    for (int i : iv) c.tones.push_back(r + i);
    return c;
}

std::vector<chord> progression(const std::string& names, int octave) {
    std::vector<chord> out;
    std::istringstream in(names);
    std::string n;
    while (in >> n)
        if (n != "|") out.push_back(chord_of(n, octave));
    return out;
}

bus::bus(double beats, double bpm, bool looping)
    : samples_per_beat(sample_rate * 60.0 / bpm), loop(looping) {
    size_t n = size_t(std::lround(beats * samples_per_beat));
    l.assign(n, 0.0f);
    r.assign(n, 0.0f);
}

void bus::put(double beat, const mono& v, float gain, float pan) {
    // Equal-power pan.
    float a = (pan + 1.0f) * float(pi) / 4.0f;
    float gl = std::cos(a) * gain * 1.4142f, gr = std::sin(a) * gain * 1.4142f;
    size_t n = l.size();
    long start = std::lround(beat * samples_per_beat);
    for (size_t i = 0; i < v.size(); ++i) {
        long j = start + long(i);
        if (loop)
            j = ((j % long(n)) + long(n)) % long(n);
        else if (j < 0 || j >= long(n))
            continue;
        l[size_t(j)] += v[i] * gl;
        r[size_t(j)] += v[i] * gr;
    }
}

sound master_loop(bus& b, float reverb_mix, float room, float rms_db) {
    reverb_stereo(b.l, b.r, reverb_mix, room, 0.35f, true);
    level_stereo(b.l, b.r, rms_db, -2.0f, true);
    return to_sound(b.l, b.r);
}

}  // namespace ag
