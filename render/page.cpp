#include "page.h"

#include <cstdio>
#include <string>

#include "canvas_svg.h"
#include "picture.h"
#include "stops.h"

namespace page {

extern const char* const script;

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

std::string number(double v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

std::string change(double t, int swellprogram, const std::string& label) {
    return "{\"t\":" + number(t) + ",\"swell\":" + quoted(registrationName(swellprogram)) +
           ",\"great\":" + quoted(registrationName(swellprogram + 60)) +
           ",\"label\":" + quoted(label) + "}";
}

// What the script needs: the picture's geometry, and what is in force when.
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
    return "{\"width\":" + number(width) + ",\"left\":" + number(left) +
           ",\"pixelspersecond\":" + number(pixelspersecond) +
           ",\"rowseconds\":" + number(rowseconds) + ",\"rowheight\":" + number(rowheight) +
           ",\"header\":" + number(headerheight(perf)) +
           ",\"rows\":" + std::to_string(rowcount(perf)) + ",\"seconds\":" + number(perf.seconds) +
           ",\"changes\":[" + changes + "],\"shades\":[" + shades + "]}";
}

const char* const style = R"css(
body { margin: 0; font: 14px "DejaVu Sans", sans-serif; color: #262626; background: #fff; }
#bar { position: sticky; top: 0; z-index: 1; display: flex; flex-wrap: wrap; gap: 4px 18px;
       align-items: center; padding: 8px 20px; background: #f2f2f2; border-bottom: 1px solid #ccc; }
#bar button { font: inherit; min-width: 5em; }
#bar .label { color: #737373; }
#clock { font-variant-numeric: tabular-nums; }
#roll svg { display: block; max-width: 100%; height: auto; cursor: pointer; }
)css";

} // namespace

std::string document(const performance& perf, const std::string& ogg) {
    using namespace picture;
    const std::string playhead = "<g id=\"playhead\" transform=\"translate(" + number(left) + " " +
                                 number(headerheight(perf)) +
                                 ")\"><rect x=\"-1\" y=\"0\" width=\"2\" height=\"" +
                                 number(holestop + 128 * holepitch) + "\" fill=\"#cc0000\"/></g>\n";
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           xmlescaped(rolltitle(perf)) + "</title>\n<style>" + style +
           "</style>\n</head>\n<body>\n<div id=\"bar\">\n"
           "<button id=\"play\" type=\"button\">Play</button>\n"
           "<span id=\"clock\">00:00 / 00:00</span>\n"
           "<span><span class=\"label\">swell</span> <span id=\"swell\"></span></span>\n"
           "<span><span class=\"label\">great</span> <span id=\"great\"></span></span>\n"
           "<span><span class=\"label\">shades</span> <span id=\"shades\"></span></span>\n"
           "<span id=\"action\"></span>\n</div>\n<div id=\"roll\">\n" +
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
