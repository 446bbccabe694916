#pragma once

#include "platform/shell.h"

namespace quantaro {

/** Opens addresses through the desktop's default handlers. */
class DesktopShell final : public Shell
{
public:
    bool openUrl(const QString& target) override;
};

} // namespace quantaro
