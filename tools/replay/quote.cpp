#include "quote.h"

namespace {

std::string escaped(std::string_view text, std::size_t limit, bool in_quotes) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\' || (in_quotes && c == '\'')) {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += {'\\', 'x', hex[c >> 4], hex[c & 15]};
        }
    }
    return out;
}

}  // namespace

std::string printable(std::string_view text, std::size_t limit) {
    return escaped(text, limit, false) + (text.size() > limit ? "..." : "");
}

std::string quote(std::string_view text, std::size_t limit) {
    return "'" + escaped(text, limit, true) + "'" + (text.size() > limit ? "..." : "");
}
