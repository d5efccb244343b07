// progress_line.cpp -- composing the progress line: the fullest form that fits the terminal.
#include "progress_line.h"

#include <cstdio>
#include <vector>

namespace {

// The label is shortened to this many columns before any field gives way.
constexpr size_t kShortLabel = 16;
const char kEllipsis[] = "...";

// One code point of UTF-8 at text[i]: its length in bytes and its columns.
void CodePointAt(const std::string &text, size_t i, size_t *length, size_t *columns) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (i + n > text.size()) n = 1;
    uint32_t c = n == 1 ? b : b & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
                (c >= 0x20000 && c <= 0x3FFFD);
    *length = n;
    *columns = wide ? 2 : 1;
}

// The code points of a text with their columns.
struct Piece {
    size_t start, length, columns;
};

std::vector<Piece> Pieces(const std::string &text) {
    std::vector<Piece> pieces;
    for (size_t i = 0; i < text.size();) {
        Piece p{i, 0, 0};
        CodePointAt(text, i, &p.length, &p.columns);
        pieces.push_back(p);
        i += p.length;
    }
    return pieces;
}

// The text in at most `columns` columns: whole when it fits, else its beginning and end around
// "..." (a file name's end says most), else its beginning alone.
std::string Shorten(const std::string &text, size_t columns) {
    if (DisplayColumns(text) <= columns) return text;
    std::vector<Piece> pieces = Pieces(text);
    std::string head, tail;
    if (columns > sizeof(kEllipsis) - 1) {
        size_t room = columns - (sizeof(kEllipsis) - 1);
        size_t head_room = room / 3, tail_room = room - head_room, used = 0;
        for (const Piece &p : pieces) {
            if (used + p.columns > head_room) break;
            head += text.substr(p.start, p.length);
            used += p.columns;
        }
        used = 0;
        for (size_t k = pieces.size(); k-- > 0;) {
            if (used + pieces[k].columns > tail_room) break;
            tail.insert(0, text.substr(pieces[k].start, pieces[k].length));
            used += pieces[k].columns;
        }
        return head + kEllipsis + tail;
    }
    size_t used = 0;
    for (const Piece &p : pieces) {
        if (used + p.columns > columns) break;
        head += text.substr(p.start, p.length);
        used += p.columns;
    }
    return head;
}

std::string Format(const char *format, double value) {
    char text[48];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

// "2:15" or "1:02:15".
std::string Clock(double seconds) {
    if (seconds > 359999) seconds = 359999;
    long s = static_cast<long>(seconds + 0.5);
    char text[32];
    if (s >= 3600) {
        std::snprintf(text, sizeof(text), "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    } else {
        std::snprintf(text, sizeof(text), "%ld:%02ld", s / 60, s % 60);
    }
    return text;
}

// The forms of the part after the label, fullest first.
std::vector<std::string> Tails(const ProgressFigures &f) {
    std::string done = ByteCount(f.done);
    std::string rate = f.rate >= 0 ? ByteCount(static_cast<int64_t>(f.rate)) + "/s" : "";
    if (f.finished) {
        double average = f.seconds > 0 ? static_cast<double>(f.done) / f.seconds : -1;
        std::string took = done + " in " + Format("%.1f s", f.seconds);
        if (average < 0) return {took, done};
        return {took + ", " + ByteCount(static_cast<int64_t>(average)) + "/s", took, done};
    }
    if (f.total < 0) {
        std::string elapsed = Format("%.1f s", f.seconds);
        if (rate.empty()) return {done + ", " + elapsed, done};
        return {done + ", " + rate + ", " + elapsed, done + ", " + rate, done};
    }
    int64_t percent = f.total == 0 || f.done >= f.total ? 100 : f.done * 100 / f.total;
    std::string share = std::to_string(percent) + "%";
    std::string eta = f.rate > 0 && f.done < f.total ? "ETA " + Clock(static_cast<double>(f.total - f.done) / f.rate) : "";
    std::string speed = rate.empty() ? "" : ", " + rate;
    std::string when = eta.empty() ? "" : ", " + eta;
    return {done + " of " + ByteCount(f.total) + " (" + share + ")" + speed + when,
            done + " (" + share + ")" + speed + when, share + speed + when, share + when, share};
}

}  // namespace

size_t DisplayColumns(const std::string &text) {
    size_t columns = 0;
    for (const Piece &p : Pieces(text)) columns += p.columns;
    return columns;
}

std::string ProgressLine(const ProgressFigures &figures, int columns) {
    size_t room = columns > 1 ? static_cast<size_t>(columns - 1) : 0;
    std::vector<std::string> tails = Tails(figures);
    size_t label_columns = DisplayColumns(figures.label);
    size_t least_label = label_columns < kShortLabel ? label_columns : kShortLabel;
    for (const std::string &tail : tails) {
        size_t tail_columns = DisplayColumns(tail) + 2;  // ": "
        if (tail_columns + least_label > room) continue;
        return Shorten(figures.label, room - tail_columns) + ": " + tail;
    }
    // Too narrow for the label's short form: the shortest tail and what is left of the label.
    const std::string &tail = tails.back();
    size_t tail_columns = DisplayColumns(tail) + 2;
    if (tail_columns + 1 <= room) return Shorten(figures.label, room - tail_columns) + ": " + tail;
    return Shorten(tail, room);
}

std::string ByteCount(int64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " B";
    const char *units[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1023.95 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    return Format("%.1f ", value) + units[unit];
}
