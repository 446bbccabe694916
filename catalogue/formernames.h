#pragma once

#include <QHash>
#include <QString>

namespace quantaro {

class ResourceSource;

/**
 * The names that units of a language module had before they were renamed ("pound (lb)" before
 * "pound (avoirdupois) (lb)"), so that a hidden list or a remembered unit stored under the old name
 * still finds its unit. A module lists them in its resource file "formernames.json" as an object of
 * old name to new name; a module without one renamed nothing.
 */
class FormerUnitNames
{
public:
    static FormerUnitNames fromResources(const ResourceSource& resources);

    /** The name a stored name means now: the new name of a former one (any case), else the name itself. */
    QString current(const QString& stored) const;
    bool isEmpty() const { return m_newByFoldedOld.isEmpty(); }

private:
    QHash<QString, QString> m_newByFoldedOld;
};

} // namespace quantaro
