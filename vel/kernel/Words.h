// Words.h - a message of the host with its values kept apart from its wording, so that a
// window can show it in the person's language: the wording has %1, %2, ... where the values
// go, as Qt's translations have it, and its English text is the wording filled in.
#pragma once

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vel {

struct Wording {
    const char* context = "";  // where a translation finds it
    const char* text = "";
};

// Marks a wording for the translation tools (which read it as their own no-op marker).
#define VEL_WORDING(context, text) \
    ::vel::Wording {               \
        context, text              \
    }

// A value put into a wording: a number or a name as it is, or a word of the host's own ("an arc"),
// which is translated too.
using WordsValue = std::variant<std::string, Wording>;

struct Words {
    Wording wording;
    std::vector<WordsValue> values;

    bool empty() const { return *wording.text == '\0'; }
    // The English text, each %n (n from 1 to 9) replaced by its value.
    std::string text() const {
        std::string out;
        for (const char* c = wording.text; *c; ++c) {
            const size_t n =
                c[0] == '%' && c[1] >= '1' && c[1] <= '9' ? size_t(c[1] - '1') : size_t(-1);
            if (n < values.size()) {
                if (const auto* word = std::get_if<Wording>(&values[n]))
                    out += word->text;
                else
                    out += std::get<std::string>(values[n]);
                ++c;
            } else {
                out += *c;
            }
        }
        return out;
    }
};

// A message of this wording with these values.
inline Words says(Wording wording, std::vector<WordsValue> values = {}) {
    return Words{wording, std::move(values)};
}

}  // namespace vel
