#include "catalogue/rubric.h"

namespace quantaro {

QString rubricCode(int index)
{
    Q_ASSERT(index >= 0 && index < kRubricCount);
    const std::u16string_view code = kRubricCodes[static_cast<size_t>(index)];
    return QString(reinterpret_cast<const QChar*>(code.data()), static_cast<qsizetype>(code.size()));
}

int rubricIndexOf(QStringView code)
{
    for (int i = 0; i < kRubricCount; ++i) {
        const std::u16string_view candidate = kRubricCodes[static_cast<size_t>(i)];
        if (code.compare(QStringView(candidate.data(), static_cast<qsizetype>(candidate.size())),
                         Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void Rubric::clear()
{
    m_name.clear();
    m_sousRubrics.clear();
    m_units.clear();
}

const UnitRecord& Rubric::unit(int index) const
{
    Q_ASSERT(index >= 0 && index < unitCount());
    return m_units[static_cast<size_t>(index)];
}

UnitRecord& Rubric::unit(int index)
{
    Q_ASSERT(index >= 0 && index < unitCount());
    return m_units[static_cast<size_t>(index)];
}

const QString& Rubric::sousRubric(int index) const
{
    Q_ASSERT(index >= 0 && index < sousRubricCount());
    return m_sousRubrics[index];
}

} // namespace quantaro
