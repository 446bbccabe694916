#include "convert/firstpairs.h"

#include "app/resourcesource.h"
#include "catalogue/rubric.h"

#include <QList>
#include <QStringView>

namespace quantaro {

namespace {
const QString kFirstPairsFile = QStringLiteral("firstpairs.txt");
const QString kEveryOtherRegion = QStringLiteral("*");
const QLatin1Char kCurrencyRow('@');
constexpr qsizetype kPairFields = 5;
constexpr qsizetype kCurrencyFields = 3;
// No row of the table comes near this: a longer line is no row of it.
constexpr qsizetype kMaxLineLength = 512;

QString pairKey(QStringView code, QStringView sousRubric, QStringView region)
{
    return code.toString() + QLatin1Char('\t') + sousRubric.toString() + QLatin1Char('\t') + region.toString();
}

// The unit on show whose currency code is code, by name; empty when there is none.
QString currencyUnitName(const Rubric& rubric, const QString& code)
{
    for (int i = 0; i < rubric.unitCount() && !code.isEmpty(); ++i) {
        const UnitRecord& unit = rubric.unit(i);
        if (!unit.hidden() && unit.tag() == code) {
            return unit.name();
        }
    }
    return {};
}
} // namespace

FirstPairs FirstPairs::fromResources(const ResourceSource& resources)
{
    const std::optional<QByteArray> text = resources.readFile(kFirstPairsFile);
    return text ? fromText(*text) : FirstPairs();
}

FirstPairs FirstPairs::fromText(const QByteArray& text)
{
    FirstPairs table;
    const QString all = QString::fromUtf8(text);
    for (const QStringView line : QStringView(all).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('#')) || line.size() > kMaxLineLength) {
            continue;
        }
        const QList<QStringView> fields = line.split(QLatin1Char('\t'));
        if (fields.size() == kCurrencyFields && fields[0] == kCurrencyRow) {
            table.m_currencies.insert(fields[1].toString(), fields[2].toString());
        } else if (fields.size() == kPairFields && !fields[0].isEmpty() && !fields[3].isEmpty() &&
                   !fields[4].isEmpty()) {
            table.m_pairs.insert(pairKey(fields[0], fields[1], fields[2]),
                                 UnitPair{fields[3].toString(), fields[4].toString()});
        }
    }
    return table;
}

std::optional<UnitPair> FirstPairs::pairFor(const Rubric& rubric, std::optional<int> sousRubric,
                                            const QString& region) const
{
    const QString sub = sousRubric ? QString::number(*sousRubric) : QString();
    auto found = m_pairs.constFind(pairKey(rubric.code(), sub, region));
    if (found == m_pairs.cend()) {
        found = m_pairs.constFind(pairKey(rubric.code(), sub, kEveryOtherRegion));
    }
    if (found == m_pairs.cend()) {
        return std::nullopt;
    }
    UnitPair pair = *found;
    if (rubricIndexOf(rubric.code()) == kCurrencyRubric) {
        // The money a person holds is the one they convert from; the row's target is what they
        // compare it with, unless it is that money itself.
        const QString own = currencyUnitName(rubric, currencyOf(region));
        if (!own.isEmpty()) {
            pair = own == pair.to ? UnitPair{own, pair.from} : UnitPair{own, pair.to};
        }
    }
    return pair;
}

} // namespace quantaro
