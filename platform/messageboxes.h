#pragma once

#include <QString>

namespace quantaro {

/** Icons of the program's message boxes. */
enum class MessageIcon
{
    Error,       ///< a failure
    Information, ///< a success
    Exclamation, ///< a warning, such as a missing unit file
    Stop,        ///< the one fatal message of start-up
};

/** Shows a message box with one OK button and the application's name as caption. Behind an
 *  interface so tests record messages instead of blocking on them. */
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const QString& text, MessageIcon icon) = 0;
};

} // namespace quantaro
