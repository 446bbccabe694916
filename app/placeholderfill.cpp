#include "app/placeholderfill.h"

#include <algorithm>
#include <vector>

namespace quantaro {

namespace {
constexpr QChar kPercent = u'%';
constexpr QStringView kPercentPair = u"%%";
} // namespace

QString fillPlaceholders(QStringView format, std::initializer_list<Placeholder> placeholders, PercentPairs percent,
                         LaterPlaces later)
{
    QString out;
    out.reserve(format.size());
    std::vector<bool> filled(placeholders.size(), false);
    qsizetype at = 0;
    while (at < format.size()) {
        const QStringView rest = format.sliced(at);
        if (percent == PercentPairs::OnePercent && rest.startsWith(kPercentPair)) {
            out += kPercent;
            at += kPercentPair.size();
            continue;
        }
        const auto* found = std::find_if(placeholders.begin(), placeholders.end(), [rest](const Placeholder& p) {
            return !p.marker.isEmpty() && rest.startsWith(p.marker);
        });
        const auto index = static_cast<size_t>(found - placeholders.begin());
        if (found == placeholders.end() || (filled[index] && later == LaterPlaces::AsWritten)) {
            // Copied one character at a time: a marker shown as written may end where another begins.
            out += format[at];
            ++at;
            continue;
        }
        if (!filled[index] || later == LaterPlaces::Filled) {
            out += found->text;
        }
        filled[index] = true;
        at += found->marker.size();
    }
    return out;
}

} // namespace quantaro
