#include "convert/convertchoices.h"

#include "app/settingsstore.h"
#include "catalogue/rubric.h"
#include "convert/conversion.h"

#include <algorithm>

namespace quantaro {

ConvertChoices::ConvertChoices(const Rubric& rubric)
    : m_rubric(rubric), m_notation(settings::kViewResultDefault), m_precision(settings::kPrecisionResultDefault)
{
}

std::optional<int> ConvertChoices::sousRubricSuffix() const
{
    return m_rubric.hasSousRubrics() ? std::optional<int>(m_sousRubric) : std::nullopt;
}

void ConvertChoices::read(const SettingsStore& settings, const FormerUnitNames* formerNames)
{
    const QString& code = m_rubric.code();
    // Only an edited settings file holds values out of range: they fall back to something the
    // menu can mark.
    const int notation =
        settings.getInt(settings::kSettings, code + settings::kViewResultSuffix, settings::kViewResultDefault);
    m_notation = (notation >= kNotationMin && notation <= kNotationMax) ? notation : settings::kViewResultDefault;
    const int precision = settings.getInt(settings::kSettings, code + settings::kPrecisionResultSuffix,
                                          settings::kPrecisionResultDefault);
    m_precision = std::clamp(precision, kPrecisionMin, kPrecisionMax);
    m_sousRubric = 0;
    if (m_rubric.hasSousRubrics()) {
        const int stored = settings.getInt(settings::kSettings, code + settings::kCurrentSousRubricSuffix,
                                           settings::kCurrentSousRubricDefault);
        // A sub-category the category does not have would leave the title without a name.
        m_sousRubric =
            (stored >= 0 && stored < m_rubric.sousRubricCount()) ? stored : settings::kCurrentSousRubricDefault;
    }
    loadRecentPairs(settings, formerNames);
}

void ConvertChoices::loadRecentPairs(const SettingsStore& settings, const FormerUnitNames* formerNames)
{
    m_recent.load(settings, m_rubric.code(), sousRubricSuffix(), formerNames);
}

QString ConvertChoices::rememberedFrom(const SettingsStore& settings) const
{
    return settings.getString(settings::kSettings, settings::fromName(m_rubric.code(), sousRubricSuffix()));
}

QString ConvertChoices::rememberedTo(const SettingsStore& settings) const
{
    return settings.getString(settings::kSettings, settings::toName(m_rubric.code(), sousRubricSuffix()));
}

void ConvertChoices::addSelections(SettingsChanges& changes, std::optional<int> sousRubric, const QString& from,
                                   const QString& to) const
{
    const QString& code = m_rubric.code();
    changes.putString(settings::kSettings, settings::fromName(code, sousRubric), from);
    changes.putString(settings::kSettings, settings::toName(code, sousRubric), to);
    m_recent.addTo(changes, code, sousRubric);
}

void ConvertChoices::addAll(SettingsChanges& changes, const QString& from, const QString& to) const
{
    const QString& code = m_rubric.code();
    addSelections(changes, sousRubricSuffix(), from, to);
    changes.putInt(settings::kSettings, code + settings::kViewResultSuffix, m_notation);
    changes.putInt(settings::kSettings, code + settings::kPrecisionResultSuffix, m_precision);
    if (m_rubric.hasSousRubrics()) {
        changes.putInt(settings::kSettings, code + settings::kCurrentSousRubricSuffix, m_sousRubric);
    }
}

} // namespace quantaro
