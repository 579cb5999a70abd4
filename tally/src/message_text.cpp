// Escaping for one-line messages, and the sentence shown for an error.
#include "quorvane/message_text.h"

#include <cstdio>

#include "quorvane/errors.h"

namespace quorvane {

std::string EscapeForMessage(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char hex[8];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0u;
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7f) {
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else if (c == 0xc2 && next >= 0x80 && next <= 0x9f) {  // U+0080 ... U+009F
            std::snprintf(hex, sizeof hex, "\\u%04x", next);
            out += hex;
            i += 1;
        } else if (c == 0xe2 && next == 0x80 && (third == 0xa8 || third == 0xa9)) {
            // U+2028, U+2029
            out += third == 0xa8 ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string ErrorSentence(const TallyError& error, std::string_view file) {
    std::string sentence;
    const auto* logError = dynamic_cast<const LogError*>(&error);
    if (!logError)
        sentence = "Cannot count ";
    else if (dynamic_cast<const LogReadError*>(&error))
        sentence = "Cannot read ";
    else
        sentence = "Cannot open ";
    sentence.append("\"").append(EscapeForMessage(file)).append("\": ");
    if (logError)
        sentence.append(logError->reason());
    else if (const auto* overflow = dynamic_cast<const CounterOverflow*>(&error))
        sentence.append("the count ")
            .append(overflow->counter())
            .append(" would pass 2,147,483,647");
    else
        sentence.append(error.what());
    return sentence + ".";
}

}  // namespace quorvane
