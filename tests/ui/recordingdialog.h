#pragma once

#include "ui/bottommenubar.h"
#include "ui/quantarodialog.h"
#include "uitestmodule.h"

#include <QLabel>
#include <string>
#include <vector>

namespace quantaro::test {

inline constexpr int kFirstCategoryCommand = 1400;
inline constexpr int kCategoryCount = 20;
inline constexpr int kSecondColumnStart = 10;

/** A window of the ui test module that records what the base calls, the way real windows use it. */
class RecordingDialog : public QuantaroDialog
{
public:
    explicit RecordingDialog(UiServices services)
        : QuantaroDialog(TemplateTriple{uires::kPortrait, uires::kLandscape, uires::kSquare}, services)
    {
    }

    std::vector<std::string> calls;
    int popupsPrepared = 0;

protected:
    void onInitDialog() override
    {
        calls.push_back("init");
        setMenuBarFromResource(uires::kMenu);
    }
    void afterRelayout() override
    {
        calls.push_back("relayout");
        control<QLabel>(uires::kTitle)->setText(QStringLiteral("Run-time title"));
    }
    void onOk() override
    {
        calls.push_back("ok");
        QuantaroDialog::onOk();
    }
    void onCancel() override
    {
        calls.push_back("cancel");
        QuantaroDialog::onCancel();
    }
    void onPopupAboutToShow(QMenu* popup) override
    {
        ++popupsPrepared;
        if (BottomMenuBar::firstItemId(popup) != uires::kPlaceholder) {
            return;
        }
        menuBar()->removeItem(popup, uires::kPlaceholder);
        for (int i = 0; i < kCategoryCount; ++i) {
            menuBar()->appendItem(popup, kFirstCategoryCommand + i, QStringLiteral("Category %1").arg(i),
                                  i == kSecondColumnStart);
        }
    }
};

} // namespace quantaro::test
