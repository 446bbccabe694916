#pragma once

#include <QString>
#include <QStringView>

namespace quantaro {

/** Most characters kept of a unit's name and of each of its formulas. */
inline constexpr qsizetype kUnitTextMaxLength = 63;
/** Most characters kept of a unit's tag. */
inline constexpr qsizetype kUnitTagMaxLength = 5;

/** The first characters of a text, never more than maxLength, and never half a surrogate pair. */
QString cutText(QStringView text, qsizetype maxLength);

/**
 * One unit: its name, the two formulas that take a value to and from the category's base unit,
 * whether it is hidden, and a short tag (sub-category digit or currency code).
 *
 * Every text field has a fixed width: longer text is cut on the way in, never rejected. A new
 * record has empty texts and is not hidden.
 */
class UnitRecord
{
public:
    UnitRecord() = default;

    const QString& name() const { return m_name; }
    void setName(QStringView name) { m_name = cutText(name, kUnitTextMaxLength); }

    /** Takes a base value ("$") into this unit. */
    const QString& fromBase() const { return m_fromBase; }
    void setFromBase(QStringView formula) { m_fromBase = cutText(formula, kUnitTextMaxLength); }

    /** Takes a value of this unit ("$") into the base unit. */
    const QString& toBase() const { return m_toBase; }
    void setToBase(QStringView formula) { m_toBase = cutText(formula, kUnitTextMaxLength); }

    bool hidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }

    const QString& tag() const { return m_tag; }
    void setTag(QStringView tag) { m_tag = cutText(tag, kUnitTagMaxLength); }

    /** Whether the tag's first character puts the unit into sub-category n. */
    bool belongsToSousRubric(int n) const { return !m_tag.isEmpty() && m_tag.front().unicode() == u'0' + n; }

    friend bool operator==(const UnitRecord&, const UnitRecord&) = default;

private:
    QString m_name;
    QString m_fromBase;
    QString m_toBase;
    bool m_hidden = false;
    QString m_tag;
};

} // namespace quantaro
