#pragma once

#include "platform/messageboxes.h"
#include "platform/peerprobe.h"
#include "platform/screeninfo.h"
#include "platform/shell.h"

#include <QApplication>
#include <QStringList>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <vector>

namespace quantaro::test {

/** Records message boxes instead of showing them. */
class RecordingMessageBoxes final : public MessageBoxes
{
public:
    struct Message
    {
        QString text;
        MessageIcon icon;
        bool overAWindow = false; ///< some window was on the screen when the message came
    };
    void show(const QString& text, MessageIcon icon) override
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const bool overAWindow = std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* w) {
            return w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed();
        });
        messages.push_back({text, icon, overAWindow});
    }
    std::vector<Message> messages;
};

/** Answers peer questions from a script. */
class ScriptedPeerProbe final : public PeerProbe
{
public:
    bool peerAddressKnown(PeerKey key) override
    {
        ++asked;
        return answer ? answer(key) : false;
    }
    std::function<bool(PeerKey)> answer;
    int asked = 0;
};

/** Records opened addresses. */
class RecordingShell final : public Shell
{
public:
    bool openUrl(const QString& target) override
    {
        opened << target;
        return true;
    }
    QStringList opened;
};

/** A screen of a fixed, changeable size. */
class FixedScreen final : public ScreenInfo
{
public:
    explicit FixedScreen(QSize initial = QSize(360, 640)) : size(initial) {}
    QSize screenSize() const override { return size; }
    QSize size;
};

} // namespace quantaro::test
