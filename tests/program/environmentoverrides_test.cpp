#include "platform/desktopscreen.h"
#include "platform/peerprobe.h"
#include "program/environmentoverrides.h"
#include "ui/picturecache.h"

#include <QtGlobal>
#include <gtest/gtest.h>

namespace quantaro {
namespace {

/** Sets or clears one variable for the test's length and puts the former value back. */
class ScopedVariable
{
public:
    ScopedVariable(const char* name, const char* value) : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_former = qgetenv(name);
        if (value != nullptr) {
            qputenv(name, value);
        } else {
            qunsetenv(name);
        }
    }
    ~ScopedVariable()
    {
        if (m_had) {
            qputenv(m_name, m_former);
        } else {
            qunsetenv(m_name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_former;
};

TEST(EnvironmentOverrides, AreReadFromTheThreeVariablesAndIgnoreWhatMeansNothing)
{
    const struct
    {
        const char* screen;
        const char* peer;
        const char* pictures;
        std::optional<QSize> expectedScreen;
        std::optional<bool> expectedPeer;
        const char* expectedPictures;
    } cases[] = {
        {nullptr, nullptr, nullptr, std::nullopt, std::nullopt, ""},
        {"240x320", "present", "off", QSize(240, 320), true, "off"},
        {" 640 X 360 ", " ABSENT ", "/tmp/pictures", QSize(640, 360), false, "/tmp/pictures"},
        {"240*320", "maybe", "", std::nullopt, std::nullopt, ""},
        {"0x320", "", nullptr, std::nullopt, std::nullopt, ""},
        {"1234567x1", "presentx", nullptr, std::nullopt, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const ScopedVariable screen(kScreenOverrideVariable, c.screen);
        const ScopedVariable peer(kPeerOverrideVariable, c.peer);
        const ScopedVariable pictures(kPictureCacheVariable, c.pictures);
        const EnvironmentOverrides read = readEnvironmentOverrides();
        const std::string row = std::string(c.screen ? c.screen : "-") + " " + (c.peer ? c.peer : "-");
        EXPECT_EQ(read.screen, c.expectedScreen) << row;
        EXPECT_EQ(read.peer, c.expectedPeer) << row;
        EXPECT_EQ(read.pictureCache, QString::fromLatin1(c.expectedPictures)) << row;
    }
}

TEST(EnvironmentOverrides, TheEmulatedScreenIsWhatEveryWindowSeesUntilTheVariableChangesNothing)
{
    EnvironmentOverrides overrides;
    overrides.screen = QSize(240, 320);
    applyEnvironmentOverrides(overrides);
    const ScopedVariable later(kScreenOverrideVariable, "480x480");
    EXPECT_EQ(emulatedScreen(), QSize(240, 320)) << "read once at start-up, not where it is used";
    EXPECT_EQ(DesktopScreen().screenSize(), QSize(240, 320));
    EXPECT_EQ(DesktopScreen().availableSize(), QSize(240, 320));
    applyEnvironmentOverrides(EnvironmentOverrides{});
    EXPECT_EQ(emulatedScreen(), std::nullopt);
    EXPECT_NE(DesktopScreen().screenSize(), QSize(480, 480)) << "the variable set after the start means nothing";
}

TEST(EnvironmentOverrides, AForcedPeerAnswersForEveryKey)
{
    const struct
    {
        std::optional<bool> forced;
        bool expected;
    } cases[] = {{true, true}, {false, false}};
    for (const auto& c : cases) {
        LinuxPeerProbe probe(c.forced);
        EXPECT_EQ(probe.peerAddressKnown(PeerKey::PointToPoint), c.expected);
        EXPECT_EQ(probe.peerAddressKnown(PeerKey::Desktop), c.expected);
    }
}

} // namespace
} // namespace quantaro
