#include "catalogue/rubric.h"

namespace quantaro {

QString rubricCode(int index)
{
    Q_ASSERT(index >= 0 && index < kRubricCount);
    const std::u16string_view code = kRubricCodes[static_cast<size_t>(index)];
    return QString(reinterpret_cast<const QChar*>(code.data()), static_cast<qsizetype>(code.size()));
}

namespace {
// Every unit line of a unit file starts with a code: ASCII letters compare without Qt's Unicode case
// folding, which would cost more than reading the rest of the line.
bool sameCode(QStringView code, std::u16string_view candidate)
{
    const QStringView other(candidate.data(), static_cast<qsizetype>(candidate.size()));
    if (code.size() != other.size()) {
        return false;
    }
    constexpr char16_t kLastAscii = 0x7f;
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t a = code[i].unicode();
        const char16_t b = other[i].unicode();
        if (a > kLastAscii || b > kLastAscii) {
            return code.compare(other, Qt::CaseInsensitive) == 0;
        }
        if (lower(a) != lower(b)) {
            return false;
        }
    }
    return true;
}
} // namespace

int rubricIndexOf(QStringView code)
{
    for (int i = 0; i < kRubricCount; ++i) {
        if (sameCode(code, kRubricCodes[static_cast<size_t>(i)])) {
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
