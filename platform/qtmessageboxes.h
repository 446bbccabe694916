#pragma once

#include "platform/messageboxes.h"

namespace quantaro {

/** Message boxes as real modal windows. */
class QtMessageBoxes final : public MessageBoxes
{
public:
    void show(const QString& text, MessageIcon icon) override;
};

} // namespace quantaro
