#pragma once

#include "convert/recentpairs.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace quantaro {

class ResourceSource;
class Rubric;

/**
 * The pair of units each category and sub-category opens with when nothing remembered is on show:
 * the pair people of the user's region most often convert, by display name. Read from a language
 * module's firstpairs.txt, which the build writes from lang/units/firstpairs.tsv and the territories'
 * currencies.
 */
class FirstPairs
{
public:
    static FirstPairs fromResources(const ResourceSource& resources);
    /** Rows that are not a pair or a territory's currency are skipped. */
    static FirstPairs fromText(const QByteArray& text);

    /**
     * The pair of the category (sub-category sousRubric of it, if it has them) for a user of region,
     * else the pair for every other region; nothing without either. Currencies start from the
     * region's own currency when the category has it and it is not hidden.
     */
    std::optional<UnitPair> pairFor(const Rubric& rubric, std::optional<int> sousRubric, const QString& region) const;

    bool isEmpty() const { return m_pairs.isEmpty(); }
    /** The currency code used in the territory, or an empty text. */
    QString currencyOf(const QString& territory) const { return m_currencies.value(territory); }

private:
    QHash<QString, UnitPair> m_pairs;     // by category code, sub-category and region
    QHash<QString, QString> m_currencies; // by territory
};

} // namespace quantaro
