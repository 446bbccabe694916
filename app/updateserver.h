#pragma once

#include <QString>
#include <optional>

namespace quantaro {

class SettingsStore;

/**
 * A publisher's base address in the form the downloads append their paths to: surrounding blanks
 * trimmed, a bare host name taken as http, trailing slashes dropped. Nothing when the address names
 * a scheme other than http or https, so a value from an edited store cannot send a download to a
 * file or another protocol. An empty address stays empty.
 */
std::optional<QString> normaliseServerBase(const QString& address);

/** The base address that "Settings\UpdateServer" names, by the rules above; empty when unset. */
std::optional<QString> updateServerBase(const SettingsStore& settings);

} // namespace quantaro
