#pragma once

#include <QByteArray>
#include <array>

namespace quantaro::test {

/** Sets the locale variables that name the user's territory for as long as it lives, and gives
 *  back the ones it found. An empty value leaves a variable unset. */
class ScopedLocaleEnvironment
{
public:
    ScopedLocaleEnvironment(const char* all, const char* measurement, const char* lang)
    {
        for (size_t i = 0; i < kNames.size(); ++i) {
            m_saved[i] = qgetenv(kNames[i]);
            m_was[i] = qEnvironmentVariableIsSet(kNames[i]);
        }
        set(all, measurement, lang);
    }
    ~ScopedLocaleEnvironment()
    {
        for (size_t i = 0; i < kNames.size(); ++i) {
            m_was[i] ? qputenv(kNames[i], m_saved[i]) : qunsetenv(kNames[i]);
        }
    }
    ScopedLocaleEnvironment(const ScopedLocaleEnvironment&) = delete;
    ScopedLocaleEnvironment& operator=(const ScopedLocaleEnvironment&) = delete;

    void set(const char* all, const char* measurement, const char* lang)
    {
        const std::array<const char*, 3> values = {all, measurement, lang};
        for (size_t i = 0; i < kNames.size(); ++i) {
            *values[i] != '\0' ? qputenv(kNames[i], values[i]) : qunsetenv(kNames[i]);
        }
    }

private:
    static constexpr std::array<const char*, 3> kNames = {"LC_ALL", "LC_MEASUREMENT", "LANG"};
    std::array<QByteArray, 3> m_saved;
    std::array<bool, 3> m_was{};
};

} // namespace quantaro::test
