// LeftOut.cpp - counting what a drawing could not take, and saying it.
#include "vel/shapes/LeftOut.h"

#include <algorithm>
#include <climits>

namespace vel {

void LeftOut::add(LeftOutReason reason, const std::string& type, int count) {
    // Copies of blocks multiply counts: they stop at the largest int.
    auto sum = [](int a, long long b) {
        return static_cast<int>(std::min<long long>(a + b, INT_MAX));
    };
    counts_[{reason, type}] = sum(counts_[{reason, type}], count);
    total_ = sum(total_, count);
}

void LeftOut::add(const LeftOut& other, int times) {
    for (const auto& [key, n] : other.counts_)
        add(key.first, key.second,
            static_cast<int>(std::min<long long>(static_cast<long long>(n) * times, INT_MAX)));
}

int LeftOut::count(LeftOutReason reason, const std::string& type) const {
    const auto it = counts_.find({reason, type});
    return it == counts_.end() ? 0 : it->second;
}

std::vector<Words> LeftOut::words() const {
    if (total_ == 0) return {};
    auto words = [](LeftOutReason r) {
        switch (r) {
            case LeftOutReason::PaperSpace:
                return VEL_WORDING("LeftOut", "paper space");
            case LeftOutReason::ThreeD:
                return VEL_WORDING("LeftOut", "3D");
            case LeftOutReason::NotAFigure:
                return VEL_WORDING("LeftOut", "not figures");
            case LeftOutReason::Unsupported:
                return VEL_WORDING("LeftOut", "kinds the host has no figure for");
            case LeftOutReason::Empty:
                return VEL_WORDING("LeftOut", "empty");
            case LeftOutReason::BadValue:
                return VEL_WORDING("LeftOut", "bad value");
            case LeftOutReason::MissingBlock:
                return VEL_WORDING("LeftOut", "no such block");
        }
        return Wording{};
    };
    std::vector<Words> out{{total_ == 1 ? VEL_WORDING("LeftOut", "left out %1 entity:")
                                        : VEL_WORDING("LeftOut", "left out %1 entities:"),
                            {std::to_string(total_)}}};
    for (auto it = counts_.begin(); it != counts_.end();) {
        const LeftOutReason reason = it->first.first;
        std::vector<std::pair<int, std::string>> kinds;
        for (; it != counts_.end() && it->first.first == reason; ++it)
            kinds.push_back({-it->second, it->first.second});
        std::sort(kinds.begin(), kinds.end());
        std::string listed;
        for (size_t k = 0; k < kinds.size(); ++k)
            listed += (k ? ", " : "") + std::to_string(-kinds[k].first) + " " + kinds[k].second;
        out.push_back({VEL_WORDING("LeftOut", "%1 (%2)"), {listed, words(reason)}});
    }
    return out;
}

std::string LeftOut::summary() const {
    const std::vector<Words> parts = words();
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i)
        out += (i == 0 ? "" : i == 1 ? " " : "; ") + parts[i].text();
    return out;
}

}  // namespace vel
