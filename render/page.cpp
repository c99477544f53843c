#include "page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "canvas_svg.h"
#include "picture.h"
#include "spool.h"
#include "stops.h"

namespace page {

// page.js and page.css, embedded at build time (embed.cmake).
extern const char* const script;
extern const char* const style;

namespace {

std::string base64(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned long n = static_cast<unsigned char>(bytes[i]) << 16;
        size_t left = bytes.size() - i;
        if (left > 1) {
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (left > 2) {
            n |= static_cast<unsigned char>(bytes[i + 2]);
        }
        out += digits[(n >> 18) & 63];
        out += digits[(n >> 12) & 63];
        out += left > 1 ? digits[(n >> 6) & 63] : '=';
        out += left > 2 ? digits[n & 63] : '=';
    }
    return out;
}

// A JSON string that may stand inside a <script> element.
std::string quoted(const std::string& words) {
    std::string out = "\"";
    for (char c : words) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '<') {
            out += "\\u003c";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string number(double v, const char* format = "%.4f") {
    char buf[48];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

const std::vector<const OrganStop*>& swelltabs() {
    static const std::vector<const OrganStop*> tabs = stopsOfPrograms(10, 63);
    return tabs;
}

const std::vector<const OrganStop*>& greattabs() {
    static const std::vector<const OrganStop*> tabs = stopsOfPrograms(70, 123);
    return tabs;
}

// The tabs a program draws, as their places among the division's tabs.
std::string drawn(int program, const std::vector<const OrganStop*>& tabs) {
    std::string places;
    const OrganProgram* p = organProgram(program);
    for (size_t i = 0; p != nullptr && i < tabs.size(); i++) {
        if (std::find(p->stops.begin(), p->stops.end(), tabs[i]) != p->stops.end()) {
            places += (places.empty() ? "" : ",") + std::to_string(i);
        }
    }
    return "[" + places + "]";
}

std::string change(double t, int swellprogram, const std::string& label) {
    return "{\"t\":" + number(t) + ",\"swell\":" + quoted(registrationName(swellprogram)) +
           ",\"great\":" + quoted(registrationName(swellprogram + 60)) +
           ",\"sw\":" + drawn(swellprogram, swelltabs()) +
           ",\"gt\":" + drawn(swellprogram + 60, greattabs()) + ",\"label\":" + quoted(label) + "}";
}

// What the script needs: the picture's geometry, the spool's law, every
// opening, and what is in force when. Times are seconds of paper.
std::string facts(const performance& perf) {
    using namespace picture;
    std::string changes = change(0.0, 10, "");
    for (const stopaction& a : perf.actions) {
        changes += "," + change(a.t, a.swellprogram, a.label);
    }
    std::string shades;
    for (const shadestep& s : perf.shades) {
        shades += std::string(shades.empty() ? "" : ",") + "{\"t\":" + number(s.t) +
                  ",\"level\":" + std::to_string(s.shades) + "}";
    }
    std::string holes;
    for (const holeopening& h : perf.holes) {
        const double end = std::isfinite(h.end) ? h.end : perf.seconds;
        holes += std::string(holes.empty() ? "" : ",") + "[" + std::to_string(h.hole) + "," +
                 number(h.start, "%.3f") + "," + number(end, "%.3f") + "]";
    }
    return "{\"width\":" + number(width) + ",\"left\":" + number(left) +
           ",\"pixelspersecond\":" + number(pixelspersecond) +
           ",\"rowseconds\":" + number(rowseconds) + ",\"rowheight\":" + number(rowheight) +
           ",\"holestop\":" + number(holestop) + ",\"holepitch\":" + number(holepitch) +
           ",\"header\":" + number(headerheight(perf)) +
           ",\"rows\":" + std::to_string(rowcount(perf)) + ",\"seconds\":" + number(perf.seconds) +
           ",\"played\":" + number(spoolplayed(perf.rate, perf.seconds)) +
           ",\"rate\":" + number(perf.rate, "%.9g") + ",\"changes\":[" + changes +
           "],\"shades\":[" + shades + "],\"holes\":[" + holes + "]}";
}

std::string tablist(const char* id, const char* name, const std::vector<const OrganStop*>& tabs) {
    std::string items;
    for (const OrganStop* s : tabs) {
        items += "<li class=\"tab\">" + picture::xmlescaped(s->name) + "</li>";
    }
    return std::string("<div class=\"division\"><span class=\"label\" aria-hidden=\"true\">") +
           name + "</span><ul id=\"" + id + "\" aria-label=\"" + name + " stops\">" + items +
           "</ul></div>\n";
}

} // namespace

std::string document(const performance& perf, const std::string& ogg) {
    using namespace picture;
    const std::string playhead =
        "<g id=\"playhead\" transform=\"translate(" + number(left) + " " +
        number(headerheight(perf)) + ")\"><rect x=\"-1\" y=\"0\" width=\"2\" height=\"" +
        number(holestop + 128 * holepitch) + "\" fill=\"#cc0000\"/><g id=\"lit\"></g></g>\n";
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           xmlescaped(rolltitle(perf)) + "</title>\n<style>" + style +
           "</style>\n</head>\n<body>\n<div id=\"bar\">\n<div id=\"transport\">\n"
           "<button id=\"play\" type=\"button\">Play</button>\n"
           "<span id=\"clock\" aria-label=\"Time played\">00:00 / 00:00</span>\n"
           "<input id=\"seek\" type=\"range\" min=\"0\" max=\"" +
           number(spoolplayed(perf.rate, perf.seconds), "%.1f") +
           "\" step=\"0.1\" value=\"0\" aria-label=\"Position in the roll\">\n"
           "<span id=\"tempocontrol\" role=\"group\" aria-label=\"Tempo\">"
           "<button id=\"slower\" type=\"button\" aria-label=\"Slower\">\xE2\x88\x92</button>"
           "<input id=\"tempo\" type=\"range\" min=\"50\" max=\"200\" step=\"10\" value=\"100\" "
           "aria-label=\"Tempo, percent of the roll's\">"
           "<button id=\"faster\" type=\"button\" aria-label=\"Faster\">+</button>"
           "<output id=\"tempovalue\" for=\"tempo\">100 %</output></span>\n"
           "<button id=\"copylink\" type=\"button\">Copy link</button>\n"
           "<span id=\"linkstatus\" role=\"status\"></span>\n</div>\n<div id=\"console\">\n" +
           tablist("swelltabs", "Swell", swelltabs()) + tablist("greattabs", "Great", greattabs()) +
           "<div class=\"division\"><label for=\"shades\" class=\"label\">Shades</label>"
           "<meter id=\"shades\" min=\"0\" max=\"3\" value=\"3\" "
           "aria-label=\"Swell shades, 0 closed to 3 open\"></meter>"
           "<span id=\"shadesvalue\" aria-hidden=\"true\">3</span></div>\n"
           "<span id=\"action\"></span>\n</div>\n"
           "<div id=\"announce\" class=\"unseen\" aria-live=\"polite\"></div>\n</div>\n"
           "<div id=\"roll\">\n" +
           svgdocument(perf, false, playhead) +
           "</div>\n<audio id=\"sound\" preload=\"auto\"></audio>\n"
           "<script id=\"facts\" type=\"application/json\">" +
           facts(perf) + "</script>\n<script id=\"ogg\" type=\"text/plain\">" + base64(ogg) +
           "</script>\n<script>" + script + "</script>\n</body>\n</html>\n";
}

bool write(const performance& perf, const std::string& ogg, const char* path) {
    const std::string html = document(perf, ogg);
    std::FILE* out = std::fopen(path, "wb");
    bool good = out != nullptr && std::fwrite(html.data(), 1, html.size(), out) == html.size();
    return (out != nullptr && std::fclose(out) == 0) && good;
}

} // namespace page
