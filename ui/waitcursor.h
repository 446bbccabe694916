#pragma once

namespace quantaro {

/** Shows the wait cursor for its lifetime, the previous cursor afterwards. */
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace quantaro
