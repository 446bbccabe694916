#pragma once

#include <QString>

namespace quantaro {

/** Opens a web or mailto: address with the desktop's default handler. */
class Shell
{
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QString& target) = 0;
};

} // namespace quantaro
